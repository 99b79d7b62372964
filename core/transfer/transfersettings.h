#pragma once

#include "export/clearing.h"

#include "export/fieldguide.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>

// The mapped fields of a transfer, in the order their column indexes are
// stored and applied from the settings file.
enum class TransferField {
    TrxRef, TrxDate, FromAcc, ToAcc, Amount, Remarks1, Remarks2, Remittance,
    BICode, Bank, Branch, Beneficiary, Address1, Address2, Address3, Address4,
    CustType, Residence,
};
constexpr int transferFieldCount = 18;

// The settings file's group of the transfer form and its mapping keys, one per
// TransferField, in field order.
QString transferGroup();
QStringList transferColumnKeys();

// Everything the transfer form holds that validation and the export need.
struct TransferSettings
{
    // 1-based sheet columns by TransferField; 0 or below: not mapped.
    std::array<int, transferFieldCount> columns{};
    bool hasColumnHeader = false;

    QDate dateFrom;        // date filter, inclusive; on when TrxDate is mapped
    QDate dateTo;
    QDate effectiveDate;   // header record

    kova::BankMode mode = kova::BankMode::WDK;
    int clearingIndex = -1;          // 0 LLG, 1 RTGS; -1 in WDK mode
    kova::ClearingLimits limits;     // held limits, normalised
    QString minLimitText;            // the limit fields as they show
    QString maxLimitText;

    QString headerIdText;   // txtHeaderID as typed
    // The batch takes the stored Header ID as the export finds it, not
    // headerIdText: for runs that type none, which may run at the same time.
    bool useStoredHeaderId = false;
    QString corporateId;    // txtCompID as typed
    QString settingsPath;   // where an export reserves the Header ID

    int column(TransferField field) const { return columns[std::size_t(field)]; }
    bool mapped(TransferField field) const { return column(field) >= 1; }
    void setColumn(TransferField field, int column) { columns[std::size_t(field)] = column; }

    // Selects Others mode with clearing 0 (LLG) or 1 (RTGS), or WDK mode with
    // -1, and shows in the limit texts the held limits of that clearing, as
    // the form's mode buttons and clearing box do.
    void chooseClearing(int index);
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
// kova::effectiveColumn(index, lastColumn), as a mapping combo box would.
// Use chooseClearing() for Others mode.
TransferSettings readTransferSettings(const QString& settingsPath);

// One guide per mapping key, in key order: the header texts that name each
// field, and what the bank expects in it.
const QVector<kova::FieldGuide>& transferFieldGuide();
