#pragma once

#include "record/money.h"

#include <QString>

class QSettings;

namespace kova {

// The four clearing limits (whole amounts), shared by the transfer and credit
// forms and stored at the top level of the settings file.
struct ClearingLimits
{
    quint64 minLLG = 0;
    quint64 maxLLG = 0;
    quint64 minRTGS = 0;
    quint64 maxRTGS = 0;

    // 0 -> 1; MaxLLG <= MinLLG -> 500000000; MinRTGS <= MaxLLG -> MaxLLG + 1;
    // MaxRTGS <= MinRTGS -> 999999999999999.
    void normalise();

    // Read from the settings file (missing keys read as 0), normalised.
    static ClearingLimits read(const QString& settingsPath);
    // The same from settings already open, outside any group.
    static ClearingLimits read(const QSettings& settings);

    // The limits of one clearing: index 0 is LLG, any other RTGS (the limit
    // fields show RTGS while no clearing is chosen).
    quint64& minimum(int clearingIndex) { return clearingIndex == 0 ? minLLG : minRTGS; }
    quint64& maximum(int clearingIndex) { return clearingIndex == 0 ? maxLLG : maxRTGS; }
    quint64 minimum(int clearingIndex) const { return clearingIndex == 0 ? minLLG : minRTGS; }
    quint64 maximum(int clearingIndex) const { return clearingIndex == 0 ? maxLLG : maxRTGS; }
};

// Keys of the limits at the top level of the settings file.
QString minLimitKey(int clearingIndex);   // "MinLLG" / "MinRTGS"
QString maxLimitKey(int clearingIndex);   // "MaxLLG" / "MaxRTGS"

// Stores one limit at the top level; false when the file could not be written.
bool storeLimit(const QString& settingsPath, const QString& key, quint64 value);

// Limit text: "500.000.000"; read back by removing every "." and parsing base 10
// (text that is not a number reads as 0).
QString limitText(quint64 value);
quint64 parseLimitText(const QString& text);

enum class BankMode { WDK, Others };

// The limit checks of Others mode on the two limit fields' texts:
// "Invalid minimum limit", "Invalid maximum limit", or empty.
QString checkLimitTexts(const QString& minText, const QString& maxText);

// The beneficiary-bank filter and the limit rules.
struct BankFilter
{
    // What an export applies: the mode, the clearing, and in Others mode the
    // limits the fields show (not the stored ones).
    static BankFilter fromFields(BankMode mode, int clearingIndex, const QString& minText,
                                 const QString& maxText);

    BankMode mode = BankMode::WDK;
    int clearingIndex = -1;   // 0 LLG, 1 RTGS; -1 in WDK mode
    quint64 minLimit = 0;     // from the limit fields, Others mode only
    quint64 maxLimit = 0;

    // The clearing filter on the row's transfer type (ignoring case).
    bool accepts(const QString& transferType) const;
    // What count rows the filter left out were: "3 LLG/RTGS rows left out in WDK mode".
    QString leftOutNote(int count) const;

    // The limit rule for a valid amount; returns the error's words
    // ("LLG amount exceeding max limit 500.000.000") or empty.
    QString limitError(Cents amount, const QString& transferType) const;
};

} // namespace kova
