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
