#include "accountchoice.h"
#include "commands.h"

#include "core/collection/collectionexport.h"
#include "xlsx/document.h"

kova::ExportOutcome runCollectionCommand(const Options& options, const xlsx::Document& workbook,
                                       kova::ExportSink& sink)
{
    CollectionSettings s = readCollectionSettings(options.settingsPath);
    const kova::SheetMapping placed = placeSavedMapping(options, collectionDescriptor(), workbook);
    s.columns.assign(placed.columns);
    s.header = {placed.headerRow, {}, placed.refusal()};
    const auto accounts = kova::storedAccounts(options.settingsPath, collectionDescriptor().group);
    s.creditedAccount = checkedAccount(accounts, options.account);
    s.remarks1 = options.remarks1;
    s.remarks2 = options.remarks2;
    if (options.effective) {
        s.immediate = false;
        s.effectiveDate = *options.effective;
    }
    s.dateFrom = options.from;
    s.dateTo = options.to;
    return runCollectionExport(s, options.source, options.sheet, options.dest, sink, &workbook);
}
