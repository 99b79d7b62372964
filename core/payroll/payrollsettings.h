#pragma once

#include "settings/settingsfile.h"
#include "settings/sourceaccount.h"
#include "types/columnmap.h"
#include "types/payrolldescriptor.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace kova {

// What the Payroll form holds that its export and its checks need.
struct PayrollSettings
{
    ColumnMap<PayrollField> columns;
    bool hasColumnHeader = false;
    ColumnHeader header;

    // The row of the source accounts table whose radio button is checked.
    std::optional<SourceAccount> sourceAccount;
    QDate effectiveDate;
    // "After Holiday" chosen; false is "Before Holiday".
    bool afterHoliday = false;
    // Inclusive range of the date filter, applied only when the TrxDate column is mapped.
    QDate dateFrom;
    QDate dateTo;
    // The settings file the form reads and saves; an upload file must never
    // replace it.
    QString settingsPath = defaultSettingsPath();
};

// Validate_Settings: the first required mapping that is missing, as the
// message the user sees, or empty when all three are mapped.
QString validatePayrollSettings(const PayrollSettings& settings);

// The settings of a payroll form just created on settingsPath: the "Payroll"
// group's "HasColumnHeader" and column indexes (all 0 when the group was
// never saved), no account checked, "Before Holiday", today in all three
// dates.
//
// The indexes are as stored. The form shows an index beyond the chosen
// sheet's last column as not mapped; effectiveColumn() does the same
// for a caller that knows the sheet.
PayrollSettings readPayrollSettings(const QString& settingsPath);

} // namespace kova
