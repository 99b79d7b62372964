#include "payrollsettings.h"

#include "export/settingsfile.h"

QString payrollGroup()
{
    return QStringLiteral("Payroll");
}

const QStringList& payrollColumnKeys()
{
    static const QStringList keys{QStringLiteral("TrxDate"), QStringLiteral("AccountName"),
                                  QStringLiteral("AccountNumber"), QStringLiteral("Amount"),
                                  QStringLiteral("EmployeeID"), QStringLiteral("Department")};
    return keys;
}

QString validatePayrollSettings(const PayrollSettings& s)
{
    if (s.employeeNameColumn < 1)
        return QStringLiteral("Account Name can not be empty");
    if (s.accountColumn < 1)
        return QStringLiteral("Account Number can not be empty");
    if (s.amountColumn < 1)
        return QStringLiteral("Amount can not be empty");
    return {};
}

PayrollSettings readPayrollSettings(const QString& settingsPath)
{
    PayrollSettings s;
    s.settingsPath = settingsPath;
    const QVector<int> columns = kova::readColumnIndexes(settingsPath, payrollGroup(), payrollColumnKeys());
    s.trxDateColumn = columns.at(0);
    s.employeeNameColumn = columns.at(1);
    s.accountColumn = columns.at(2);
    s.amountColumn = columns.at(3);
    s.employeeIdColumn = columns.at(4);
    s.departmentColumn = columns.at(5);
    s.hasColumnHeader = kova::readHasColumnHeader(settingsPath, payrollGroup());

    const QDate today = QDate::currentDate();
    s.effectiveDate = today;
    s.dateFrom = today;
    s.dateTo = today;
    return s;
}

const QVector<kova::FieldGuide>& payrollFieldGuide()
{
    static const QVector<kova::FieldGuide> guide{
        {QStringLiteral("TrxDate"), {QStringLiteral("Trx Date"), QStringLiteral("Date")}, QStringLiteral("A date; rows outside the date range are skipped")},
        {QStringLiteral("AccountName"), {QStringLiteral("Employee Name"), QStringLiteral("Name")}, QStringLiteral("Text, up to 30 characters")},
        {QStringLiteral("AccountNumber"), {QStringLiteral("Acc #"), QStringLiteral("Account Number"), QStringLiteral("Account")}, QStringLiteral("10 digits")},
        {QStringLiteral("Amount"), {QStringLiteral("Amount"), QStringLiteral("Salary")}, QStringLiteral("An amount above 0 with at most 2 decimals")},
        {QStringLiteral("EmployeeID"), {QStringLiteral("Employee ID"), QStringLiteral("NIK")}, QStringLiteral("Text, up to 10 characters")},
        {QStringLiteral("Department"), {QStringLiteral("Department"), QStringLiteral("Dept")}, QStringLiteral("Text, up to 4 characters")},
    };
    return guide;
}
