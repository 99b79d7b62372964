#pragma once

#include "settings/clearing.h"
#include "types/columnmap.h"
#include "types/transferdescriptor.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace kova {

// "HeaderID" of the transfer group: the next batch's Header ID.
QString transferHeaderIdKey();
// That key's value as stored: 0 when missing, none when it is not a whole
// number ("4.0" or "1e3" read as a number would start the count again at 1).
std::optional<qint64> storedHeaderId(const QVariant& value);

// The largest Header ID: the header record holds eight digits.
constexpr unsigned largestHeaderId = 99999999;
// "Max value of Header ID is 99999999".
QString headerIdBoundText();

// Everything the transfer form holds that validation and the export need.
struct TransferSettings
{
    ColumnMap<TransferField> columns;
    bool hasColumnHeader = false;
    ColumnHeader header;

    QDate dateFrom;        // date filter, inclusive; on when TrxDate is mapped
    QDate dateTo;
    QDate effectiveDate;   // header record

    BankMode mode = BankMode::WDK;
    int clearingIndex = -1;          // 0 LLG, 1 RTGS; -1 in WDK mode
    ClearingLimits limits;     // held limits, normalised
    QString minLimitText;            // the limit fields as they show
    QString maxLimitText;

    QString headerIdText;   // txtHeaderID as typed
    // The batch takes the stored Header ID as the export finds it, not
    // headerIdText: for runs that type none, which may run at the same time.
    bool useStoredHeaderId = false;
    QString corporateId;    // txtCompID as typed
    QString settingsPath;   // where an export reserves the Header ID

    // Selects Others mode with clearing 0 (LLG) or 1 (RTGS), or WDK mode with
    // -1, and shows in the limit texts the held limits of that clearing, as
    // the form's mode buttons and clearing box do.
    void chooseClearing(int index);
    // headerIdText as a number: 0 when it reads as none.
    int typedHeaderId() const;
};

// Validate_Settings: the first failed check's message, empty when all pass.
QString validateTransferSettings(const TransferSettings& settings);

// What the transfer form holds right after it was created on settingsPath
// (Read_Settings): Header ID read as a number (0 or missing shown as "1"),
// Corporate ID, HasColumnHeader, the normalised limits, WDK mode (the limit
// texts then show the RTGS limits, as the form's fields do with no clearing
// chosen) and today's date in all three date fields. The columns are the
// stored indexes as Read_Columns_Settings applies them (all 0 when the group
// was never saved). A caller that knows the sheet should pass each through
// effectiveColumn(index, lastColumn), as a mapping combo box would.
// Use chooseClearing() for Others mode.
TransferSettings readTransferSettings(const QString& settingsPath);

// Btn_Save_Click: the mapping, "HasColumnHeader", "HeaderID" and "CompanyID"
// as typed, into the transfer group of s.settingsPath; whether the file took them.
bool saveTransferSettings(const TransferSettings& s);

} // namespace kova
