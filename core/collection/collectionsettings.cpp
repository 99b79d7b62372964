#include "collectionsettings.h"

#include "core/mappingstore.h"

QString validateCollectionSettings(const CollectionSettings& s)
{
    return kova::missingRequiredField(collectionDescriptor(), s.columns.toVector(), false);
}

CollectionSettings readCollectionSettings(const QString& settingsPath)
{
    CollectionSettings s;
    s.settingsPath = settingsPath;
    s.columns.assign(kova::readMapping(settingsPath, collectionDescriptor()));
    s.hasColumnHeader = kova::readHasColumnHeader(settingsPath, collectionDescriptor());

    const QDate today = QDate::currentDate();
    s.effectiveDate = today;
    s.dateFrom = today;
    s.dateTo = today;
    return s;
}
