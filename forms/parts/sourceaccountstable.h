#pragma once

#include "settings/sourceaccount.h"

#include <QObject>
#include <QVector>

#include <optional>

class QRadioButton;
class QSettings;
class QStandardItemModel;
class QTableView;
class QWidget;

// The company's own accounts of the credit, collection and payroll forms: the
// table tblAcc with one radio button per row that marks the account an export
// uses. The forms keep their slots (ON_btnAdd_Click, ON_btnDel_Click) and
// their settings code and call in here; the rules on the rows themselves
// (checks, the "Accounts" array) live in kova::SourceAccount's functions.
//
// Owned by the form (its QObject parent). The model is a child of the form
// too, as is every other item model of a form.
class SourceAccountsTable final : public QObject
{
public:
    // Builds the 3-column model (headers "    ", accountTitle and
    // "Company Code\n(9999/99999/XXXX)"), sets it on tblAcc, selects single
    // cells with extended selection, stretches the last column and keeps the
    // view at most 150 pixels high.
    SourceAccountsTable(QTableView* tblAcc, const QString& accountTitle, QWidget* form);

    QStandardItemModel* model() const;

    // ON_btnAdd_Click: appends an empty row with an unchecked radio button,
    // makes its account cell the current cell and opens the editor on it.
    void add();
    // ON_btnDel_Click: removes the row of the view's current index (the cell
    // with the keyboard focus, not the selection); nothing without one.
    void removeCurrent();

    // Inside the form's group: replaces the rows with the "Accounts" array
    // (no row checked) and sizes the columns to their contents.
    void read(QSettings& settings);
    // Inside the form's group: rewrites the "Accounts" array from the rows.
    void save(QSettings& settings) const;

    // Every row in table order, as shown.
    QVector<kova::SourceAccount> rows() const;
    // The first row from the top whose radio button is checked.
    std::optional<kova::SourceAccount> checked() const;

private:
    void appendRow(const QString& marker, const kova::SourceAccount& account);
    QRadioButton* radioButton(int row) const;

    QTableView* m_view;
    QStandardItemModel* m_model;
};
