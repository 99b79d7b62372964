#include "clearing.h"

#include "settingsfile.h"
#include "settingskey.h"

#include <QSettings>

namespace kova {
namespace {

// At the top of the file; a missing limit reads as 0, which normalise() mends.
const SettingsKey minLLGKey{QStringLiteral("MinLLG"), 0};
const SettingsKey maxLLGKey{QStringLiteral("MaxLLG"), 0};
const SettingsKey minRTGSKey{QStringLiteral("MinRTGS"), 0};
const SettingsKey maxRTGSKey{QStringLiteral("MaxRTGS"), 0};

} // namespace

void ClearingLimits::normalise()
{
    if (minLLG == 0)
        minLLG = 1;
    if (maxLLG <= minLLG)
        maxLLG = 500000000ULL;
    if (minRTGS <= maxLLG)
        minRTGS = maxLLG + 1;
    if (maxRTGS <= minRTGS)
        maxRTGS = 999999999999999ULL;
}

ClearingLimits ClearingLimits::read(const QString& settingsPath)
{
    const QSettings settings(settingsPath, QSettings::IniFormat);
    return read(settings);
}

ClearingLimits ClearingLimits::read(const QSettings& settings)
{
    ClearingLimits limits;
    limits.minLLG = minLLGKey.in(settings).toULongLong();
    limits.minRTGS = minRTGSKey.in(settings).toULongLong();
    limits.maxLLG = maxLLGKey.in(settings).toULongLong();
    limits.maxRTGS = maxRTGSKey.in(settings).toULongLong();
    limits.normalise();
    return limits;
}

QString minLimitKey(int clearingIndex)
{
    return clearingIndex == 0 ? minLLGKey.name : minRTGSKey.name;
}

QString maxLimitKey(int clearingIndex)
{
    return clearingIndex == 0 ? maxLLGKey.name : maxRTGSKey.name;
}

bool storeLimit(const QString& settingsPath, const QString& key, quint64 value)
{
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.setValue(key, value);
    return syncSettings(settings);
}

QString limitText(quint64 value)
{
    return groupedNumber(value);
}

quint64 parseLimitText(const QString& text)
{
    QString digits = text;
    digits.remove(QLatin1Char('.'));
    bool ok = false;
    const quint64 value = digits.toULongLong(&ok, 10);
    return ok ? value : 0;
}

QString checkLimitTexts(const QString& minText, const QString& maxText)
{
    if (parseLimitText(minText) == 0)
        return QStringLiteral("Invalid minimum limit");
    if (parseLimitText(maxText) == 0)
        return QStringLiteral("Invalid maximum limit");
    return {};
}

BankFilter BankFilter::fromFields(BankMode mode, int clearingIndex, const QString& minText, const QString& maxText)
{
    if (mode == BankMode::WDK)
        return {};
    return {BankMode::Others, clearingIndex, parseLimitText(minText), parseLimitText(maxText)};
}

bool BankFilter::accepts(const QString& transferType) const
{
    const auto is = [&](const char* name) {
        return transferType.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    if (mode == BankMode::WDK)
        return is("WDK");
    if (is("WDK"))
        return false;
    return clearingIndex == 0 ? !is("RTG") : !is("LLG");
}

QString BankFilter::leftOutNote(int count) const
{
    const QString rows = QString::number(count) + QLatin1Char(' ');
    QString kinds = QStringLiteral("LLG/RTGS");
    QString batch = QStringLiteral("WDK");
    if (mode == BankMode::Others) {
        kinds = clearingIndex == 0 ? QStringLiteral("WDK/RTGS") : QStringLiteral("WDK/LLG");
        batch = clearingIndex == 0 ? QStringLiteral("LLG") : QStringLiteral("RTGS");
    }
    return rows + kinds + (count == 1 ? QStringLiteral(" row left out in ") : QStringLiteral(" rows left out in "))
        + batch + QStringLiteral(" mode");
}

QString BankFilter::limitError(Cents amount, const QString& transferType) const
{
    if (mode != BankMode::Others)
        return {};
    // The clearing filter ignores case, so a row typed "llg" is in the LLG
    // batch and must meet its limit.
    const auto is = [&](const char* name) {
        return transferType.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    if (clearingIndex == 0 && is("LLG") && amount > Cents(maxLimit) * 100)
        return QStringLiteral("LLG amount exceeding max limit ") + limitText(maxLimit);
    if (clearingIndex == 1 && is("RTG") && amount < Cents(minLimit) * 100)
        return QStringLiteral("RTGS amount below min limit ") + limitText(minLimit);
    return {};
}

} // namespace kova
