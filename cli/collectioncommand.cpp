#include "accountchoice.h"
#include "commands.h"

#include "core/collection/collectionexport.h"
#include "reader/document.h"

std::unique_ptr<kova::ExportJob> collectionJob(const Options& options, const reader::Document& workbook,
                                               PrintingSink& sink)
{
    kova::CollectionSettings s = kova::readCollectionSettings(options.settingsPath);
    placeColumns(s, options, kova::collectionDescriptor(), workbook, sink);
    const auto accounts = kova::readAccounts(options.settingsPath, kova::collectionDescriptor().group);
    s.creditedAccount = checkedAccount(accounts, options.account);
    s.remarks1 = options.remarks1;
    s.remarks2 = options.remarks2;
    if (options.effective) {
        s.immediate = false;
        s.effectiveDate = *options.effective;
    }
    return std::make_unique<kova::CollectionExport>(s);
}
