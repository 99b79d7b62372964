#include "creditsettings.h"

#include "settings/mappingstore.h"

#include <QSettings>

namespace kova {

QString validateCreditSettings(const CreditSettings& s)
{
    const QString missing = kova::missingRequiredField(creditDescriptor(), s.columns.toVector(),
                                                       s.mode == kova::BankMode::Others);
    if (!missing.isEmpty() || s.mode == kova::BankMode::WDK)
        return missing;
    return kova::checkLimitTexts(s.minLimitText, s.maxLimitText);
}

void chooseBeneficiaryBank(CreditSettings& s, kova::BankMode mode, int choice)
{
    s.mode = mode;
    s.wdkIndex = mode == kova::BankMode::WDK ? choice : -1;
    s.clearingIndex = mode == kova::BankMode::Others ? choice : -1;
    s.minLimitText = kova::limitText(s.limits.minimum(s.clearingIndex));
    s.maxLimitText = kova::limitText(s.limits.maximum(s.clearingIndex));
}

CreditSettings readCreditSettings(const QString& settingsPath, const QDate& today)
{
    CreditSettings s;
    s.settingsPath = settingsPath;
    s.effectiveDate = today;
    s.dateFrom = today;
    s.dateTo = today;
    QSettings file(settingsPath, QSettings::IniFormat);
    s.limits = kova::ClearingLimits::read(file);
    const kova::SavedMapping saved = kova::readSavedMapping(file, creditDescriptor());
    s.hasColumnHeader = saved.hasColumnHeader;
    s.columns.assign(saved.columns);
    s.header.row = saved.headerRow;
    s.header.texts = saved.headerTexts;
    chooseBeneficiaryBank(s, kova::BankMode::WDK, 0);
    return s;
}

} // namespace kova
