#pragma once

#include "settings/settingsfile.h"
#include "settings/sourceaccount.h"
#include "types/collectiondescriptor.h"
#include "types/columnmap.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace kova {

// What the Auto Collection form holds that its export and its checks need.
// Column indexes are the mapping combo boxes' current indexes: the 1-based
// sheet column, 0 or below meaning not mapped.
struct CollectionSettings
{
    ColumnMap<CollectionField> columns;
    bool hasColumnHeader = false;
    ColumnHeader header;

    // The row of the credited accounts table whose radio button is checked.
    std::optional<SourceAccount> creditedAccount;
    // "Immediate On Authorization": the header carries no effective date.
    bool immediate = true;
    QDate effectiveDate;
    // Inclusive range of the date filter, applied only when the TrxDate column is mapped.
    QDate dateFrom;
    QDate dateTo;
    // Batch remarks as typed.
    QString remarks1;
    QString remarks2;
    // The settings file the form reads and saves; an upload file must never
    // replace it.
    QString settingsPath = defaultSettingsPath();
};

// Validate_Settings: the first required mapping that is missing, as the
// message the user sees, or empty when all five are mapped.
QString validateCollectionSettings(const CollectionSettings& settings);

// The settings of a collection form just created on settingsPath: the
// "Collection" group's "HasColumnHeader" and column indexes (all 0 when the
// group was never saved), no account checked, "Immediate On Authorization",
// empty remarks, today in all three dates.
//
// The indexes are as stored. The form shows an index beyond the chosen
// sheet's last column as not mapped; effectiveColumn() does the same
// for a caller that knows the sheet.
CollectionSettings readCollectionSettings(const QString& settingsPath);

} // namespace kova
