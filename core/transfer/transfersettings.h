#pragma once

#include "settings/clearing.h"
#include "types/columnmap.h"
#include "types/transferdescriptor.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

class QSettings;

class QSettings;

namespace kova {

// "HeaderID" of the transfer group: the next batch's Header ID.
QString transferHeaderIdKey();

// The largest Header ID: the header record holds eight digits.
constexpr qint64 largestHeaderId = 99999999;
// "Max value of Header ID is 99999999".
QString headerIdBoundText();

// A Header ID's text, typed or stored, as a number: decimal digits, a sign
// and white space around them allowed. Anything else ("4.0", "1e3", "abc",
// nothing) is none, never 0: read as 0 it would start the count again at 1.
std::optional<qint64> headerIdNumber(const QString& text);

// The Header ID the settings file stores, as every reader of it takes it.
struct StoredHeaderId
{
    QString text;                  // as the file holds it; empty when missing
    std::optional<qint64> number;  // 0 when missing; none when text is no whole number
};
// From settings opened outside any group.
StoredHeaderId readStoredHeaderId(const QSettings& settings);
// Why a stored text that is no whole number is refused:
// 'Settings key Transfer/HeaderID is not a whole number: "4.0"'.
QString storedHeaderIdRefusal(const QString& text);

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
    // headerIdText is then the stored one as readTransferSettings read it,
    // and the checks refuse it as the export would.
    bool useStoredHeaderId = false;
    QString corporateId;    // txtCompID as typed
    QString settingsPath;   // where an export reserves the Header ID

    // Selects Others mode with clearing 0 (LLG) or 1 (RTGS), or WDK mode with
    // -1, and shows in the limit texts the held limits of that clearing, as
    // the form's mode buttons and clearing box do.
    void chooseClearing(int index);
    // headerIdText as a number: 0 when it reads as none.
    qint64 typedHeaderId() const;
};

// Validate_Settings: the first failed check's message, empty when all pass.
QString validateTransferSettings(const TransferSettings& settings);

// What the transfer form holds right after it was created on settingsPath
// (Read_Settings): Header ID read as a number (0 or missing shown as "1",
// a stored text that is no whole number as it stands, for the checks to refuse),
// Corporate ID, HasColumnHeader, the normalised limits, WDK mode (the limit
// texts then show the RTGS limits, as the form's fields do with no clearing
// chosen) and today's date in all three date fields. The columns are the
// stored indexes as Read_Columns_Settings applies them (all 0 when the group
// was never saved). A caller that knows the sheet should pass each through
// effectiveColumn(index, lastColumn), as a mapping combo box would.
// Use chooseClearing() for Others mode.
TransferSettings readTransferSettings(const QString& settingsPath);

// Btn_Save_Click: "HeaderID" and "CompanyID" as typed into the transfer
// group of settings, beside what the caller wrote there (the mapping, as one
// of the type's named layouts); whether the file took them all.
bool saveTransferSettings(const TransferSettings& s, QSettings& settings);

} // namespace kova
