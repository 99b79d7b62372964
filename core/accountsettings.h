#pragma once

#include "settings/mappingstore.h"
#include "settings/settingsfile.h"
#include "types/columnmap.h"

#include <QDate>
#include <QString>

namespace kova {

// What the credit, collection and payroll forms hold alike for their checks
// and their export. The checked row of the accounts table is each type's own
// member, as each names it in its own words. Column indexes are the mapping
// combo boxes' current indexes: the 1-based sheet column, 0 or below meaning
// not mapped.
template <typename Field>
struct AccountSettings
{
    ColumnMap<Field> columns;
    bool hasColumnHeader = false;
    ColumnHeader header;

    // The date the header record carries, where the type's choices let it.
    QDate effectiveDate;
    // "Filter By Date", inclusive, used only when the TrxDate column is mapped.
    QDate dateFrom;
    QDate dateTo;
    // The settings file the form reads and saves; an upload file must never
    // replace it.
    QString settingsPath = defaultSettingsPath();
};

// The settings of a form of type Settings just created on settingsPath: the
// mapping saved for its type, "HasColumnHeader" and the header row, today in
// all three dates, the rest as Settings starts it (no account checked).
//
// The indexes are as stored. The form shows an index beyond the chosen
// sheet's last column as not mapped; effectiveColumn() does the same for a
// caller that knows the sheet.
template <typename Settings>
Settings newAccountSettings(const QString& settingsPath, const SavedMapping& saved, const QDate& today)
{
    Settings s;
    s.settingsPath = settingsPath;
    s.columns.assign(saved.columns);
    s.header.row = saved.headerRow;
    s.header.texts = saved.headerTexts;
    s.hasColumnHeader = saved.hasColumnHeader;
    s.effectiveDate = today;
    s.dateFrom = today;
    s.dateTo = today;
    return s;
}

} // namespace kova
