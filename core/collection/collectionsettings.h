#pragma once

#include "core/accountsettings.h"
#include "settings/sourceaccount.h"
#include "types/collectiondescriptor.h"

#include <QString>

#include <optional>

namespace kova {

// What the Auto Collection form holds that its export and its checks need.
struct CollectionSettings : AccountSettings<CollectionField>
{
    // The row of the credited accounts table whose radio button is checked.
    std::optional<SourceAccount> creditedAccount;
    // "Immediate On Authorization": the header carries no effective date.
    bool immediate = true;
    // Batch remarks as typed.
    QString remarks1;
    QString remarks2;
};

// Validate_Settings: the first required mapping that is missing, as the
// message the user sees, or empty when all five are mapped.
QString validateCollectionSettings(const CollectionSettings& settings);

// The settings of a collection form just created on settingsPath (see
// newAccountSettings()): the "Collection" group's mapping, "Immediate On
// Authorization", empty remarks.
CollectionSettings readCollectionSettings(const QString& settingsPath);

} // namespace kova
