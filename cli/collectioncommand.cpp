#include "accountchoice.h"
#include "commands.h"

#include "export/settingsfile.h"
#include "core/collection/collectionexport.h"
#include "xlsx/document.h"

kova::ExportOutcome runCollectionCommand(const Options& options, const xlsx::Document& workbook,
                                       kova::ExportSink& sink)
{
    const int lastColumn = workbook.dimension().lastColumn();
    CollectionSettings s = readCollectionSettings(options.settingsPath);
    for (int& column : s.columns)
        column = kova::effectiveColumn(column, lastColumn);
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
