#pragma once

#include "core/payroll/payrollsettings.h"

#include "forms/parts/accountform.h"

class Ui_PayrollForm;

// The "Payroll" transaction form. It gathers its widgets into a
// kova::PayrollSettings, saves part of them in the settings group "Payroll",
// and hands exports to the shared export road, relaying what the export
// reports as its signals and message boxes.
class PayrollForm final : public AccountForm
{
    Q_OBJECT

public:
    explicit PayrollForm(QWidget* parent);
    ~PayrollForm() override;
    // The type it is the form of, for the form factory.
    static const kova::TypeDescriptor& descriptor() { return kova::payrollDescriptor(); }

private:
    QString settingsRefusal() const override;
    std::unique_ptr<kova::AccountExport> exportJob() const override;
    kova::PayrollSettings settings() const;

    Ui_PayrollForm* ui;
};
