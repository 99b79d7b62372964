#pragma once

#include "export/settingsfile.h"
#include "export/sourceaccount.h"

#include "export/fieldguide.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

// What the Auto Collection form holds that its export and its checks need.
// Column indexes are the mapping combo boxes' current indexes: the 1-based
// sheet column, 0 or below meaning not mapped.
struct CollectionSettings
{
    int trxDateColumn = 0;
    int accountNameColumn = 0;
    int accountColumn = 0;
    int amountColumn = 0;
    int remarks1Column = 0;
    int remarks2Column = 0;
    int residenceColumn = 0;
    int citizenColumn = 0;
    bool hasColumnHeader = false;

    // The row of the credited accounts table whose radio button is checked.
    std::optional<kova::SourceAccount> creditedAccount;
    // "Immediate On Authorization": the header carries no effective date.
    bool immediate = true;
    QDate effectiveDate;
    // Inclusive range of the date filter, applied only when trxDateColumn is mapped.
    QDate dateFrom;
    QDate dateTo;
    // Batch remarks as typed.
    QString remarks1;
    QString remarks2;
    // The settings file the form reads and saves; an upload file must never
    // replace it.
    QString settingsPath = kova::defaultSettingsPath();
};

// The settings file's group of the collection form: "Collection".
QString collectionGroup();

// The settings keys of the mapping, in the order the saved mapping is
// applied: "TrxDate", "AccountName", "AccountNumber", "Amount", "Remarks1",
// "Remarks2", "Residence", "Citizen" (the members above, in their order).
const QStringList& collectionColumnKeys();

// Validate_Settings: the first required mapping that is missing, as the
// message the user sees, or empty when all five are mapped.
QString validateCollectionSettings(const CollectionSettings& settings);

// The settings of a collection form just created on settingsPath: the
// "Collection" group's "HasColumnHeader" and column indexes (all 0 when the
// group was never saved), no account checked, "Immediate On Authorization",
// empty remarks, today in all three dates.
//
// The indexes are as stored. The form shows an index beyond the chosen
// sheet's last column as not mapped; kova::effectiveColumn() does the same
// for a caller that knows the sheet.
CollectionSettings readCollectionSettings(const QString& settingsPath);

// One guide per mapping key, in key order: the header texts that name each
// field, and what the bank expects in it.
const QVector<kova::FieldGuide>& collectionFieldGuide();
