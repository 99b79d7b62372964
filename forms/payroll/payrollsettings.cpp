#include "payrollsettings.h"

#include "export/settingsfile.h"

#include <QSettings>

namespace {

const QString group = QStringLiteral("Payroll");

} // namespace

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
    const QVector<int> columns = kova::readColumnIndexes(settingsPath, group, payrollColumnKeys());
    s.trxDateColumn = columns.at(0);
    s.employeeNameColumn = columns.at(1);
    s.accountColumn = columns.at(2);
    s.amountColumn = columns.at(3);
    s.employeeIdColumn = columns.at(4);
    s.departmentColumn = columns.at(5);

    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.beginGroup(group);
    s.hasColumnHeader = settings.value(QStringLiteral("HasColumnHeader"), false).toBool();

    const QDate today = QDate::currentDate();
    s.effectiveDate = today;
    s.dateFrom = today;
    s.dateTo = today;
    return s;
}

QVector<kova::SourceAccount> readPayrollAccounts(const QString& settingsPath)
{
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.beginGroup(group);
    return kova::loadAccounts(settings);
}
