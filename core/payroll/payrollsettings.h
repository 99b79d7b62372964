#pragma once

#include "core/accountsettings.h"
#include "settings/sourceaccount.h"
#include "types/payrolldescriptor.h"

#include <QString>

#include <optional>

namespace kova {

// What the Payroll form holds that its export and its checks need. Its
// header always carries the effective date.
struct PayrollSettings : AccountSettings<PayrollField>
{
    // The row of the source accounts table whose radio button is checked.
    std::optional<SourceAccount> sourceAccount;
    // "After Holiday" chosen; false is "Before Holiday".
    bool afterHoliday = false;
};

// Validate_Settings: the first required mapping that is missing, as the
// message the user sees, or empty when all three are mapped.
QString validatePayrollSettings(const PayrollSettings& settings);

// The settings of a payroll form just created on settingsPath (see
// newAccountSettings()): the "Payroll" group's mapping, "Before Holiday".
PayrollSettings readPayrollSettings(const QString& settingsPath);

} // namespace kova
