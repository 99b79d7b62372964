#include "fieldrules.h"
#include "fixedrecord.h"

namespace kova {

namespace {

// 99999999999999999.99: the largest amount the twenty-character field holds.
const Cents largestAmount = Cents(10000000000000000000ULL) - 1;
const QString wdk = QStringLiteral("WDK");

// The credit layout: 256 bytes a record. The header names the batch's
// clearing; each detail record's clearing code and closing code follow it,
// and for LLG and RTG the bank code, customer type and residence are never
// left blank.
class CreditLayout final : public FixedLayout
{
public:
    CreditLayout() : FixedLayout(256) {}

    BatchType type() const override { return BatchType::Credit; }
    bool isHeader(const QByteArray& record) const override
    {
        return record.startsWith("0SP") || record.startsWith("0MP");
    }
    UploadHeader readHeader(const QByteArray& record, UploadProblems& problems) override;
    std::optional<Cents> readDetail(const QByteArray& record, UploadProblems& problems) override;
    UploadPayee payee(const QByteArray& record) const override
    {
        return {rightTrimmed(fixedField(record, 74, 70)), rightTrimmed(fixedField(record, 2, 34)), {}};
    }

private:
    QString m_clearing;   // "WDK", "LLG", "RTG"; empty while the header names none
};

UploadHeader CreditLayout::readHeader(const QByteArray& record, UploadProblems& problems)
{
    const FixedRecord r(record, problems);
    UploadHeader header;
    companyColumns(r, header, problems);
    header.total = r.field(46, 20);
    header.totalCents = twoDecimalAmount(QStringLiteral("total"), header.total, true, problems);
    header.records = r.field(66, 5);
    header.recordCount = fiveDigitCount(header.records, problems);
    m_clearing = r.field(71, 3);
    if (!checkCode(QStringLiteral("transfer type"), m_clearing, {wdk, QStringLiteral("LLG"), QStringLiteral("RTG")}, problems))
        m_clearing.clear();
    // One to one (SP) is a choice of WDK mode only.
    else if (r.field(2, 2) == QLatin1String("SP") && m_clearing != wdk)
        problems.add(QStringLiteral("SP is for WDK, not ") + m_clearing);
    r.expectSpaces(74, 15);
    r.expectSpaces(125, 132);
    return header;
}

std::optional<Cents> CreditLayout::readDetail(const QByteArray& record, UploadProblems& problems)
{
    const FixedRecord r(record, problems);
    const bool others = !m_clearing.isEmpty() && m_clearing != wdk;
    checkCode(QStringLiteral("record type"), r.field(1, 1), {QStringLiteral("1")}, problems);

    // Digits padded with spaces: ten of them in WDK mode, up to 34 otherwise.
    const QString account = r.field(2, 34);
    const QString digits = rightTrimmed(account);
    if (!digits.isEmpty() && !isDigits(digits))
        problems.add(named(QStringLiteral("account"), account) + QStringLiteral(" is not digits"));
    else if (m_clearing == wdk)
        checkDigits(QStringLiteral("account"), digits, 10, problems);
    r.expectSpaces(36, 18);
    const std::optional<Cents> amount = paidAmount(r.field(54, 20), true, largestAmount, problems);

    // What follows the clearing is told only by a header that names one.
    if (!m_clearing.isEmpty()) {
        const QString code = m_clearing == wdk ? QStringLiteral("B")
                             : m_clearing == QLatin1String("LLG") ? QStringLiteral("N") : QStringLiteral("Y");
        checkCode(QStringLiteral("clearing code"), r.field(144, 1), {code}, problems);
    }
    r.expectSpaces(145, 6);
    if (others && r.field(151, 7).trimmed().isEmpty())
        problems.add(QStringLiteral("BI code is blank for ") + m_clearing);
    r.expectSpaces(158, 4);
    r.expectSpaces(234, 18);

    const QString customerType = r.field(252, 1);
    if (others || customerType != QLatin1String(" "))
        checkCode(QStringLiteral("customer type"), customerType, {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")},
                  problems);
    const QString residence = r.field(253, 1);
    if (others || residence != QLatin1String(" "))
        checkCode(QStringLiteral("residence"), residence, {QStringLiteral("R"), QStringLiteral("N")}, problems);
    if (!m_clearing.isEmpty())
        r.expect(254, others ? QStringLiteral("888") : QStringLiteral("014"));
    return amount;
}

} // namespace

std::unique_ptr<UploadLayout> creditLayout()
{
    return std::make_unique<CreditLayout>();
}

} // namespace kova
