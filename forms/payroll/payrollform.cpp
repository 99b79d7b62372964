#include "payrollform.h"

#include "core/payroll/payrollexport.h"
#include "ui_payrollform.h"

// The header always carries the effective date: no "Immediate On Authorization".
PayrollForm::PayrollForm(QWidget* parent)
    : AccountForm(parent, kova::payrollDescriptor())
    , ui(new Ui_PayrollForm)
{
    ui->setupUi(this);
    setUpAccountForm(AccountWidgets::of(*ui, nullptr), QStringLiteral("Source Account #"));
    ui->rdbBefore->setChecked(true);
    Read_Settings();
}

PayrollForm::~PayrollForm()
{
    delete ui;
}

QString PayrollForm::settingsRefusal() const
{
    return kova::validatePayrollSettings(settings());
}

std::unique_ptr<kova::AccountExport> PayrollForm::exportJob() const
{
    return std::make_unique<kova::PayrollExport>(settings());
}

kova::PayrollSettings PayrollForm::settings() const
{
    kova::PayrollSettings s;
    gather(s);
    s.sourceAccount = checkedAccount();
    s.afterHoliday = ui->rdbAfter->isChecked();
    return s;
}
