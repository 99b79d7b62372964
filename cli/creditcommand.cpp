#include "accountchoice.h"
#include "commands.h"

#include "core/credit/creditexport.h"
#include "settings/sourceaccount.h"
#include "reader/document.h"

std::unique_ptr<kova::ExportJob> creditJob(const Options& options, const reader::Document& workbook,
                                           PrintingSink& sink)
{
    kova::CreditSettings settings = kova::readCreditSettings(options.settingsPath, QDate::currentDate());
    placeColumns(settings, options, kova::creditDescriptor(), workbook, sink);
    kova::chooseBeneficiaryBank(settings, options.mode,
                          options.mode == kova::BankMode::WDK ? options.wdkIndex : options.clearingIndex);
    if (options.minLimit)
        settings.minLimitText = *options.minLimit;
    if (options.maxLimit)
        settings.maxLimitText = *options.maxLimit;
    const auto accounts = kova::readAccounts(options.settingsPath, kova::creditDescriptor().group);
    settings.sourceAccount = checkedAccount(accounts, options.account);
    settings.batchRemarks1 = options.remarks1;
    settings.batchRemarks2 = options.remarks2;
    if (options.effective) {
        settings.immediate = false;
        settings.effectiveDate = *options.effective;
    }
    return std::make_unique<kova::CreditExport>(settings);
}
