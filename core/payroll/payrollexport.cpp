#include "payrollexport.h"

#include "record/cells.h"
#include "record/cutfield.h"
#include "record/money.h"
#include "record/textfield.h"

namespace kova {

namespace {

using F = PayrollField;

// How the row messages name field, which is not always its log title.
const QString& named(F field)
{
    return payrollDescriptor().fields.at(int(field)).messageName;
}

constexpr int recordLength = 70;
constexpr int accountWidth = 10;
constexpr int amountDigits = 15;
constexpr int employeeIdWidth = 10;
constexpr int nameWidth = 30;
constexpr int departmentWidth = 4;
constexpr int countWidth = 5;
constexpr int totalWidth = 17;
// 999999999999.99: fifteen digits without the point.
constexpr kova::Cents maxAmount = kova::wholeUnits(1000000000000LL) - 1;

} // namespace

PayrollExport::PayrollExport(const PayrollSettings& settings)
    : kova::AccountExport(payrollDescriptor(), settings,
                          {settings.sourceAccount, kova::payrollAccountMessages, settings.effectiveDate,
                           recordLength, totalWidth})
    , m_settings(settings)
{
}

void PayrollExport::convert(const reader::Document& sheet, int row, kova::RowContext& out) const
{
    const PayrollSettings& s = m_settings;
    // The record and the fields are written in place: where nobody keeps the
    // rows they keep their memory from row to row.
    QString& record = out.record;
    record.reserve(recordLength);
    record += QLatin1Char('0');

    record += accountNumber(sheet, row, F::AccountNumber, out);

    if (const std::optional<kova::Cents> amount = rowAmount(sheet, row, F::Amount, maxAmount, out))
        kova::appendDecimalField(record, *amount, amountDigits);

    // The employee ID's log title, spelled so, names it in the messages that
    // name the column; its truncation warning names the field.
    kova::putCutField(out.place(F::EmployeeID), out.cellText(sheet, row, s.columns[F::EmployeeID]),
                      employeeIdWidth, named(F::EmployeeID), out.title(F::EmployeeID), out.column(F::EmployeeID), out);
    record += out.shown(F::EmployeeID);

    // A name is never cut: too long is an error, shown whole so the user sees
    // what has to be shortened.
    const QString& name = out.cellText(sheet, row, s.columns[F::AccountName]);
    if (name.size() > nameWidth) {
        out.error(named(F::AccountName) + QStringLiteral(" is exceeding 30 chars"), F::AccountName);
        out.show(F::AccountName, name);
    } else {
        kova::putLeftField(out.place(F::AccountName), name, nameWidth);
    }
    if (!kova::isPrintableAscii(name))
        out.error(kova::invalidCharacters(out.title(F::AccountName)), F::AccountName);
    record += out.shown(F::AccountName);

    kova::putCutField(out.place(F::Department), out.cellText(sheet, row, s.columns[F::Department]),
                      departmentWidth, out.title(F::Department), out.title(F::Department), out.column(F::Department),
                      out);
    record += out.shown(F::Department);
}

QString PayrollExport::headerRecord(const kova::ExportTotals& totals) const
{
    const QDate date = m_settings.effectiveDate;
    const QString& code = account().companyCode;
    return QString(11, QLatin1Char(' ')) + code.mid(0, 4) + QLatin1Char('0') + code.mid(6, 4) + code.mid(11, 4)
        + date.toString(QStringLiteral("dd")) + QStringLiteral("01")
        + kova::leftField(account().account, accountWidth) + QLatin1Char('0')
        + (m_settings.afterHoliday ? QLatin1Char('1') : QLatin1Char('0')) + QStringLiteral("00")
        + kova::rightField(QString::number(totals.count), countWidth, QLatin1Char('0'))
        + kova::rightField(kova::fixedText(totals.total), totalWidth, QLatin1Char('0'))
        + date.toString(QStringLiteral("MM")) + date.toString(QStringLiteral("yyyy"));
}

QString PayrollExport::batchRefusal() const
{
    return validatePayrollSettings(m_settings);
}

} // namespace kova
