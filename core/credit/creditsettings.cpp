#include "creditsettings.h"

#include "settings/mappingstore.h"

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
    CreditSettings s;
    s.settingsPath = settingsPath;
    s.effectiveDate = today;
    s.dateFrom = today;
    s.dateTo = today;
    QSettings file(settingsPath, QSettings::IniFormat);
    s.limits = ClearingLimits::read(file);
    const SavedMapping saved = readSavedMapping(file, creditDescriptor());
    s.hasColumnHeader = saved.hasColumnHeader;
    s.columns.assign(saved.columns);
    s.header.row = saved.headerRow;
    s.header.texts = saved.headerTexts;
    chooseBeneficiaryBank(s, BankMode::WDK, 0);
    return s;
}

} // namespace kova
