#include "commands.h"

#include "core/transfer/transferexport.h"
#include "reader/document.h"

std::unique_ptr<kova::ExportJob> transferJob(const Options& options, const reader::Document& workbook,
                                             PrintingSink& sink)
{
    kova::TransferSettings settings = kova::readTransferSettings(options.settingsPath);
    placeColumns(settings, options, kova::transferDescriptor(), workbook, sink);
    settings.chooseClearing(options.mode == kova::BankMode::WDK ? -1 : options.clearingIndex);
    if (options.minLimit)
        settings.minLimitText = *options.minLimit;
    if (options.maxLimit)
        settings.maxLimitText = *options.maxLimit;
    if (options.headerId)
        settings.headerIdText = *options.headerId;
    else
        settings.useStoredHeaderId = true;
    if (options.corporateId)
        settings.corporateId = *options.corporateId;
    settings.effectiveDate = options.effective.value_or(QDate::currentDate());
    return std::make_unique<kova::TransferExport>(settings);
}
