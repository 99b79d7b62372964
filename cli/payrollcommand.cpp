#include "accountchoice.h"
#include "commands.h"

#include "core/payroll/payrollexport.h"
#include "xlsx/document.h"

std::unique_ptr<kova::ExportJob> payrollJob(const Options& options, const xlsx::Document& workbook)
{
    kova::PayrollSettings s = kova::readPayrollSettings(options.settingsPath);
    const kova::SheetMapping placed = placeSavedMapping(options, kova::payrollDescriptor(), workbook);
    s.columns.assign(placed.columns);
    s.header = {placed.headerRow, {}, placed.refusal()};
    const auto accounts = kova::readAccounts(options.settingsPath, kova::payrollDescriptor().group);
    s.sourceAccount = checkedAccount(accounts, options.account);
    s.afterHoliday = options.holiday == Options::Holiday::After;
    s.effectiveDate = options.effective.value_or(QDate::currentDate());
    s.dateFrom = options.from;
    s.dateTo = options.to;
    return std::make_unique<kova::PayrollExport>(s);
}
