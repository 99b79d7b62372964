#include "accountchoice.h"
#include "commands.h"

#include "core/payroll/payrollexport.h"
#include "reader/document.h"

std::unique_ptr<kova::ExportJob> payrollJob(const Options& options, const reader::Document& workbook,
                                            PrintingSink& sink)
{
    kova::PayrollSettings s = kova::readPayrollSettings(options.settingsPath);
    placeColumns(s, options, kova::payrollDescriptor(), workbook, sink);
    const auto accounts = kova::readAccounts(options.settingsPath, kova::payrollDescriptor().group);
    s.sourceAccount = checkedAccount(accounts, options.account);
    s.afterHoliday = options.holiday == Options::Holiday::After;
    s.effectiveDate = options.effective.value_or(QDate::currentDate());
    return std::make_unique<kova::PayrollExport>(s);
}
