#include "fieldrules.h"
#include "fixedrecord.h"

#include <QRegularExpression>

namespace kova {

namespace {

// 999999999999.99: the largest amount the payroll export takes, though its
// field holds fifteen digits.
constexpr Cents largestAmount = wholeUnits(1000000000000LL) - 1;

// The payroll layout: 70 bytes a record, the header's beginning eleven
// spaces; the effective date's day, month and year stand apart in it.
class PayrollLayout final : public FixedLayout
{
public:
    PayrollLayout() : FixedLayout(70) {}

    BatchType type() const override { return BatchType::Payroll; }
    bool isHeader(const QByteArray& record) const override { return record.startsWith(QByteArray(11, ' ')); }
    UploadHeader readHeader(const QByteArray& record, UploadProblems& problems) override;
    std::optional<Cents> readDetail(const QByteArray& record, UploadProblems& problems) override;
    UploadPayee payee(const QByteArray& record) const override
    {
        return {rightTrimmed(fixedField(record, 37, 30)), rightTrimmed(fixedField(record, 2, 10)), {}};
    }
};

UploadHeader PayrollLayout::readHeader(const QByteArray& record, UploadProblems& problems)
{
    const FixedRecord r(record, problems);
    UploadHeader header;
    // The company code 1234/56789/ABCD written as 1234, 0, 6789 and ABCD.
    static const QRegularExpression companyCode(QStringLiteral("\\A[0-9]{4}0[0-9]{4}[A-Za-z]{4}\\z"));
    const QString code = r.field(12, 13);
    header.company = code;
    if (!companyCode.match(code).hasMatch())
        problems.add(named(QStringLiteral("company code"), code) + QStringLiteral(" is not 4 digits, 0, 4 digits and 4 letters"));
    header.effectiveDate = effectiveDate(r.field(67, 4) + r.field(65, 2) + r.field(25, 2), problems);
    r.expect(27, QStringLiteral("01"));
    header.account = r.field(29, 10);
    checkDigits(QStringLiteral("account"), header.account, 10, problems);
    r.expect(39, QStringLiteral("0"));
    checkCode(QStringLiteral("holiday flag"), r.field(40, 1), {QStringLiteral("0"), QStringLiteral("1")}, problems);
    r.expect(41, QStringLiteral("00"));
    header.records = r.field(43, 5);
    header.recordCount = fiveDigitCount(header.records, problems);
    header.total = r.field(48, 17);
    header.totalCents = twoDecimalAmount(QStringLiteral("total"), header.total, true, problems);
    return header;
}

std::optional<Cents> PayrollLayout::readDetail(const QByteArray& record, UploadProblems& problems)
{
    const FixedRecord r(record, problems);
    checkCode(QStringLiteral("record type"), r.field(1, 1), {QStringLiteral("0")}, problems);
    checkDigits(QStringLiteral("account"), r.field(2, 10), 10, problems);
    // Hundredths without a decimal point.
    const QString amount = r.field(12, 15);
    if (!checkDigits(QStringLiteral("amount"), amount, 15, problems))
        return std::nullopt;
    const Cents cents = amount.toLongLong();
    return checkPaid(amount, cents, largestAmount, problems) ? std::optional<Cents>(cents) : std::nullopt;
}

} // namespace

std::unique_ptr<UploadLayout> payrollLayout()
{
    return std::make_unique<PayrollLayout>();
}

} // namespace kova
