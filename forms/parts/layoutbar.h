#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QComboBox;
class QPushButton;
class TransactionForm;

// The layout choice beside the transaction type: the named layouts of the
// current form's type ("cboLayout"), and "Save as...", "Rename..." and
// "Delete" for them. Choosing one maps the chosen sheet by it at once; each
// button stores its change in the settings file at once. Hidden while the
// form has no layouts to offer.
class LayoutBar final : public QWidget
{
    Q_OBJECT

public:
    explicit LayoutBar(QWidget* parent = nullptr);

    // The form whose layouts the bar shows from now on; null for none.
    void setForm(TransactionForm* form);

private:
    void refresh();
    void saveAs();
    void rename();
    void remove();
    // A refusal the form gave, in a box; true when there was none.
    bool accepted(const QString& refusal);

    QPointer<TransactionForm> m_form;
    QMetaObject::Connection m_formChanged;
    QComboBox* m_layouts = nullptr;
    QPushButton* m_rename = nullptr;
    QPushButton* m_delete = nullptr;
};
