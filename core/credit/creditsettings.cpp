#include "creditsettings.h"

#include <QSettings>

namespace kova {

QString validateCreditSettings(const CreditSettings& s)
{
    const QString missing = missingRequiredField(creditDescriptor(), s.columns.toVector(),
                                                       s.mode == BankMode::Others);
    if (!missing.isEmpty() || s.mode == BankMode::WDK)
        return missing;
    return checkLimitTexts(s.minLimitText, s.maxLimitText);
}

void chooseBeneficiaryBank(CreditSettings& s, BankMode mode, int choice)
{
    s.mode = mode;
    s.wdkIndex = mode == BankMode::WDK ? choice : -1;
    s.clearingIndex = mode == BankMode::Others ? choice : -1;
    s.minLimitText = limitText(s.limits.minimum(s.clearingIndex));
    s.maxLimitText = limitText(s.limits.maximum(s.clearingIndex));
}

CreditSettings readCreditSettings(const QString& settingsPath, const QDate& today)
{
    QSettings file(settingsPath, QSettings::IniFormat);
    CreditSettings s =
        newAccountSettings<CreditSettings>(settingsPath, readSavedMapping(file, creditDescriptor()), today);
    s.limits = ClearingLimits::read(file);
    chooseBeneficiaryBank(s, BankMode::WDK, 0);
    return s;
}

} // namespace kova
