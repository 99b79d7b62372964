#pragma once

#include "forms/parts/columnmapping.h"
#include "forms/parts/savedgroup.h"
#include "forms/base/transactionform.h"

#include "core/accountsettings.h"
#include "settings/sourceaccount.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QString>

#include <memory>
#include <optional>

class QGridLayout;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QTableView;
class SourceAccountsTable;
namespace kova { class AccountExport; }

// The widgets of an account form's .ui that its base works with, under the
// names all three forms give them.
struct AccountWidgets
{
    QTableView* tblAcc;
    QPushButton* btnAdd;
    QPushButton* btnDel;
    QGroupBox* gbColMap;
    QCheckBox* chkHeaders;
    QGridLayout* gridLayout;
    QDateEdit* dteEffDate;
    // "Immediate On Authorization"; null on a form whose header always
    // carries the effective date.
    QRadioButton* rdbAnytime;
    QDateEdit* dteFrom;
    QDateEdit* dteTo;
    QPushButton* btnSave;
    QPushButton* btnExport;

    template <typename Ui>
    static AccountWidgets of(const Ui& ui, QRadioButton* rdbAnytime)
    {
        return {ui.tblAcc, ui.btnAdd, ui.btnDel, ui.gbColMap, ui.chkHeaders, ui.gridLayout,
                ui.dteEffDate, rdbAnytime, ui.dteFrom, ui.dteTo, ui.btnSave, ui.btnExport};
    }
};

// The credit, collection and payroll forms alike: the company's accounts
// table, the column mapping, the effective date and the date filter, and the
// settings group that keeps the table's "Accounts" array, the mapping keys,
// then "HasColumnHeader". A form adds its own widgets, its settings and its
// engine.
class AccountForm : public TransactionForm
{
    Q_OBJECT

public:
    ~AccountForm() override;

    void ON_Excel_Changed(const QString& path, const QString& sheet) final;
    void ON_Export_Signal(const QString& sourcePath, const QString& destinationPath) final;
    // None while "Immediate On Authorization" is chosen.
    LayoutChoice* layoutChoice() final;
    QDate effectiveDate() const final;
    // Account rows added, changed or deleted since the last read or save are
    // asked about first; a Yes is not asked again for the same rows.
    bool mayClose() final;

protected:
    AccountForm(QWidget* parent, const kova::TypeDescriptor& type);

    // Once setupUi made the widgets, before the form reads its settings:
    // builds the accounts table (its account column titled accountTitle)
    // and the mapping rows, puts today in the three dates, chooses
    // "Immediate On Authorization" where the form has it, and connects the
    // buttons every account form has.
    void setUpAccountForm(const AccountWidgets& widgets, const QString& accountTitle);

    // The form's own settings first, then its group: the accounts table (no
    // row checked) and chkHeaders.
    void Read_Settings();

    const QString& settingsPath() const { return m_settingsPath; }
    ColumnMapping& mapping() { return *m_mapping; }
    // The first row from the top whose radio button is checked.
    std::optional<kova::SourceAccount> checkedAccount() const;

    // What the widgets of every account form hold, into s.
    template <typename Field>
    void gather(kova::AccountSettings<Field>& s) const
    {
        s.columns.assign(m_mapping->columns());
        s.hasColumnHeader = m_widgets.chkHeaders->isChecked();
        s.header = m_mapping->header();
        s.effectiveDate = m_widgets.dteEffDate->date();
        s.dateFrom = m_widgets.dteFrom->date();
        s.dateTo = m_widgets.dteTo->date();
    }

private slots:
    void ON_btnAdd_Click();
    void ON_btnDel_Click();
    void ON_btnSave_Click();
    void ON_chkHeaders_Click();

private:
    // Validate_Settings on the settings the widgets hold: the first refusal, or empty.
    virtual QString settingsRefusal() const = 0;
    // The type's engine over the settings the widgets hold.
    virtual std::unique_ptr<kova::AccountExport> exportJob() const = 0;
    // What the form keeps outside its group, read before it and saved after
    // it; saveOwnSettings() tells whether the file took it.
    virtual void readOwnSettings() {}
    virtual bool saveOwnSettings() { return true; }

    bool Validate_Settings();
    // Save Settings found the group saved elsewhere and the user chose to read it again.
    void reloadSettings();
    void readGroup();
    // Writes the group and tells whether the settings file took it.
    bool saveGroup() const;

    const kova::TypeDescriptor& m_type;
    QString m_settingsPath;
    AccountWidgets m_widgets{};
    SourceAccountsTable* m_accounts = nullptr;
    std::unique_ptr<ColumnMapping> m_mapping;
    // The group as last read or saved, so a save made elsewhere meanwhile is noticed.
    SavedGroup m_saved;
    // The accounts table's rows as last read or saved, blank rows left out.
    QVector<kova::SourceAccount> m_keptAccounts;
};
