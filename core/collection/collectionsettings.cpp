#include "collectionsettings.h"

#include "settings/mappingstore.h"

namespace kova {

QString validateCollectionSettings(const CollectionSettings& s)
{
    return missingRequiredField(collectionDescriptor(), s.columns.toVector(), false);
}

CollectionSettings readCollectionSettings(const QString& settingsPath)
{
    CollectionSettings s;
    s.settingsPath = settingsPath;
    const SavedMapping saved = readSavedMapping(settingsPath, collectionDescriptor());
    s.columns.assign(saved.columns);
    s.header.row = saved.headerRow;
    s.header.texts = saved.headerTexts;
    s.hasColumnHeader = saved.hasColumnHeader;

    const QDate today = QDate::currentDate();
    s.effectiveDate = today;
    s.dateFrom = today;
    s.dateTo = today;
    return s;
}

} // namespace kova
