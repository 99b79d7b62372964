#include "payrollsettings.h"

namespace kova {

QString validatePayrollSettings(const PayrollSettings& s)
{
    return missingRequiredField(payrollDescriptor(), s.columns.toVector(), false);
}

PayrollSettings readPayrollSettings(const QString& settingsPath)
{
    return newAccountSettings<PayrollSettings>(settingsPath, readSavedMapping(settingsPath, payrollDescriptor()),
                                               QDate::currentDate());
}

} // namespace kova
