#pragma once

#include "typedescriptor.h"

namespace kova {

// The mapped fields of a payroll, in the order of payrollDescriptor().fields.
enum class PayrollField { TrxDate, AccountName, AccountNumber, Amount, EmployeeID, Department, Count };

const TypeDescriptor& payrollDescriptor();

} // namespace kova
