#pragma once

#include "core/credit/creditsettings.h"
#include "forms/common/savedgroup.h"
#include "forms/common/transactionform.h"

#include <QList>
#include <QString>

#include <memory>

class ClearingControls;
class ColumnMapping;
class QComboBox;
class SourceAccountsTable;
class Ui_CreditForm;

// The "Auto Credit" transaction form. It gathers its widgets into a
// kova::CreditSettings, checks and saves them, and relays what the credit export
// reports to the main window as its signals and message boxes.
class CreditForm final : public TransactionForm
{
    Q_OBJECT

public:
    explicit CreditForm(QWidget* parent);
    ~CreditForm() override;
    // The type it is the form of, for the form factory.
    static const kova::TypeDescriptor& descriptor() { return kova::creditDescriptor(); }

    void ON_Excel_Changed(const QString& path, const QString& sheet) override;
    void ON_Export_Signal(const QString& sourcePath, const QString& destinationPath) override;
    QDate effectiveDate() const override;

private slots:
    void ON_btnAdd_Click();
    void ON_btnDel_Click();
    void ON_btnSave_Click();
    void ON_cboOthers_Change(int index);
    void ON_txtRTGS_EnterKey();
    void ON_rdbBenefBank_Click();
    void ON_chkHeaders_Click();
    void ON_btnLock_Click();

private:
    void Read_Settings();
    bool Validate_Settings();
    // Save Settings found the group saved elsewhere and the user chose to read it again.
    void reloadSettings();

    kova::CreditSettings gatherSettings() const;

    Ui_CreditForm* ui;
    QString m_settingsPath;
    SourceAccountsTable* m_accounts = nullptr;
    std::unique_ptr<ColumnMapping> m_mapping;
    std::unique_ptr<ClearingControls> m_clearing;
    // The group as last read or saved, so a save made elsewhere meanwhile is noticed.
    SavedGroup m_saved;
};
