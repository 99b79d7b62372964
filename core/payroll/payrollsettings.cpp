#include "payrollsettings.h"

#include "settings/mappingstore.h"

namespace kova {

QString validatePayrollSettings(const PayrollSettings& s)
{
    return kova::missingRequiredField(payrollDescriptor(), s.columns.toVector(), false);
}

PayrollSettings readPayrollSettings(const QString& settingsPath)
{
    PayrollSettings s;
    s.settingsPath = settingsPath;
    const kova::SavedMapping saved = kova::readSavedMapping(settingsPath, payrollDescriptor());
    s.columns.assign(saved.columns);
    s.header.row = saved.headerRow;
    s.header.texts = saved.headerTexts;
    s.hasColumnHeader = saved.hasColumnHeader;

    const QDate today = QDate::currentDate();
    s.effectiveDate = today;
    s.dateFrom = today;
    s.dateTo = today;
    return s;
}

} // namespace kova
