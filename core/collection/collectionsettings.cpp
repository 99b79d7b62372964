#include "collectionsettings.h"

namespace kova {

QString validateCollectionSettings(const CollectionSettings& s)
{
    return missingRequiredField(collectionDescriptor(), s.columns.toVector(), false);
}

CollectionSettings readCollectionSettings(const QString& settingsPath)
{
    return newAccountSettings<CollectionSettings>(
        settingsPath, readSavedMapping(settingsPath, collectionDescriptor()), QDate::currentDate());
}

} // namespace kova
