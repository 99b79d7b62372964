#pragma once

#include "export/settingsfile.h"
#include "export/sourceaccount.h"

#include "export/fieldguide.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

// What the Payroll form holds that its export and its checks need. Column
// indexes are the mapping combo boxes' current indexes: the 1-based sheet
// column, 0 or below meaning not mapped.
struct PayrollSettings
{
    int trxDateColumn = 0;
    int employeeNameColumn = 0;
    int accountColumn = 0;
    int amountColumn = 0;
    int employeeIdColumn = 0;
    int departmentColumn = 0;
    bool hasColumnHeader = false;

    // The row of the source accounts table whose radio button is checked.
    std::optional<kova::SourceAccount> sourceAccount;
    QDate effectiveDate;
    // "After Holiday" chosen; false is "Before Holiday".
    bool afterHoliday = false;
    // Inclusive range of the date filter, applied only when trxDateColumn is mapped.
    QDate dateFrom;
    QDate dateTo;
    // The settings file the form reads and saves; an upload file must never
    // replace it.
    QString settingsPath = kova::defaultSettingsPath();
};

// The settings file's group of the payroll form: "Payroll".
QString payrollGroup();

// The settings keys of the mapping, in the order the saved mapping is
// applied: "TrxDate", "AccountName", "AccountNumber", "Amount", "EmployeeID",
// "Department" (the column members above, in their order).
const QStringList& payrollColumnKeys();

// Validate_Settings: the first required mapping that is missing, as the
// message the user sees, or empty when all three are mapped.
QString validatePayrollSettings(const PayrollSettings& settings);

// The settings of a payroll form just created on settingsPath: the "Payroll"
// group's "HasColumnHeader" and column indexes (all 0 when the group was
// never saved), no account checked, "Before Holiday", today in all three
// dates.
//
// The indexes are as stored. The form shows an index beyond the chosen
// sheet's last column as not mapped; kova::effectiveColumn() does the same
// for a caller that knows the sheet.
PayrollSettings readPayrollSettings(const QString& settingsPath);

// One guide per mapping key, in key order: the header texts that name each
// field, and what the bank expects in it.
const QVector<kova::FieldGuide>& payrollFieldGuide();
