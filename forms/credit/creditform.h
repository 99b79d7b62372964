#pragma once

#include "core/credit/creditsettings.h"
#include "forms/parts/accountform.h"

#include <memory>

class ClearingControls;
class Ui_CreditForm;

// The "Auto Credit" transaction form. It gathers its widgets into a
// kova::CreditSettings, checks and saves them, and relays what the credit export
// reports to the main window as its signals and message boxes.
class CreditForm final : public AccountForm
{
    Q_OBJECT

public:
    explicit CreditForm(QWidget* parent);
    ~CreditForm() override;
    // The type it is the form of, for the form factory.
    static const kova::TypeDescriptor& descriptor() { return kova::creditDescriptor(); }

private slots:
    void ON_cboOthers_Change(int index);
    void ON_txtRTGS_EnterKey();
    void ON_rdbBenefBank_Click();
    void ON_btnLock_Click();

private:
    QString settingsRefusal() const override;
    std::unique_ptr<kova::AccountExport> exportJob() const override;
    // The clearing limits, kept outside the group.
    void readOwnSettings() override;
    bool saveOwnSettings() override;

    kova::CreditSettings gatherSettings() const;

    Ui_CreditForm* ui;
    std::unique_ptr<ClearingControls> m_clearing;
};
