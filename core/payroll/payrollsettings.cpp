#include "payrollsettings.h"

#include "core/mappingstore.h"

QString validatePayrollSettings(const PayrollSettings& s)
{
    return kova::missingRequiredField(payrollDescriptor(), s.columns.toVector(), false);
}

PayrollSettings readPayrollSettings(const QString& settingsPath)
{
    PayrollSettings s;
    s.settingsPath = settingsPath;
    s.columns.assign(kova::readMapping(settingsPath, payrollDescriptor()));
    s.hasColumnHeader = kova::readHasColumnHeader(settingsPath, payrollDescriptor());

    const QDate today = QDate::currentDate();
    s.effectiveDate = today;
    s.dateFrom = today;
    s.dateTo = today;
    return s;
}
