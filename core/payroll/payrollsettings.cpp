#include "payrollsettings.h"

#include "settings/mappingstore.h"

namespace kova {

QString validatePayrollSettings(const PayrollSettings& s)
{
    return missingRequiredField(payrollDescriptor(), s.columns.toVector(), false);
}

PayrollSettings readPayrollSettings(const QString& settingsPath)
{
    PayrollSettings s;
    s.settingsPath = settingsPath;
    const SavedMapping saved = readSavedMapping(settingsPath, payrollDescriptor());
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
