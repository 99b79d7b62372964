#include "fieldrules.h"

#include "record/textfield.h"

#include <QTextCodec>

namespace kova {

namespace {

constexpr int headerFields = 11;
constexpr int detailFields = 18;
// 9999999999999.99, the largest amount the transfer export takes.
constexpr Cents largestAmount = wholeUnits(10000000000000LL) - 1;
const QString wdk = QStringLiteral("WDK");

// The record's "|"-separated fields, without the "|" that ends it.
QStringList fieldsOf(const QByteArray& record)
{
    QString text = QString::fromUtf8(record);
    if (text.endsWith(QLatin1Char('|')))
        text.chop(1);
    return text.split(QLatin1Char('|'));
}

// The detail record's free texts, each cut to its width by the export.
struct TextField
{
    int index;
    const char* name;
    int width;
};
const TextField textFields[] = {
    {2, "Trx Ref", 30},    {6, "remarks 1", 18},  {7, "remarks 2", 18},  {9, "bank name", 18},
    {10, "branch", 18},    {11, "beneficiary name", 70}, {12, "address 1", 18}, {13, "address 2", 18},
    {14, "address 3", 18}, {15, "address 4", 18},
};

// The fund-transfer layout: "|"-separated records of UTF-8 text, each ending
// in "|"; the header record names the batch's clearing, which decides what
// its detail records may leave empty.
class TransferLayout final : public UploadLayout
{
public:
    BatchType type() const override { return BatchType::Transfer; }
    bool isHeader(const QByteArray& record) const override { return record.startsWith("0|FT|"); }
    bool fitsShape(const QByteArray& record, bool header, UploadProblems& problems) const override;
    UploadHeader readHeader(const QByteArray& record, UploadProblems& problems) override;
    std::optional<Cents> readDetail(const QByteArray& record, UploadProblems& problems) override;
    UploadPayee payee(const QByteArray& record) const override
    {
        const QStringList f = fieldsOf(record);
        return {f.at(11), f.at(4), f.at(3)};
    }

private:
    // In WDK mode the export needs only the fields every batch has; for LLG
    // and RTG the bank code, customer type and residence too. Empty while
    // the header names none of them.
    bool othersMode() const { return !m_clearing.isEmpty() && m_clearing != wdk; }

    QString m_clearing;
    qint64 m_nextSequence = 1;
};

bool TransferLayout::fitsShape(const QByteArray& record, bool header, UploadProblems& problems) const
{
    QTextCodec::ConverterState state;
    const QString text = QTextCodec::codecForMib(106)->toUnicode(record.constData(), record.size(), &state);
    if (state.invalidChars > 0)
        problems.add(QStringLiteral("is not UTF-8 text"));
    // Printable text beyond ASCII is a name as written; a control character
    // or a line separator ends the record for some reader of the file.
    for (int i = 0; i < text.size(); ++i) {
        if (isControlCharacter(text.at(i))) {
            problems.add(QStringLiteral("control character U+%1 at column %2")
                             .arg(QString::number(text.at(i).unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')))
                             .arg(i + 1));
            break;
        }
    }
    if (!record.endsWith('|'))
        problems.add(QStringLiteral("does not end in |"));
    const int fields = fieldsOf(record).size();
    const int expected = header ? headerFields : detailFields;
    if (fields == expected)
        return true;
    problems.add(QStringLiteral("has %1 fields, not %2").arg(fields).arg(expected));
    return false;
}

UploadHeader TransferLayout::readHeader(const QByteArray& record, UploadProblems& problems)
{
    const QStringList f = fieldsOf(record);
    UploadHeader header;
    header.headerId = f.value(2);
    if (checkDigits(QStringLiteral("Header ID"), header.headerId, 8, problems)) {
        if (header.headerId.toLongLong() == 0)
            problems.add(QStringLiteral("Header ID 00000000 is zero"));
        else
            header.headerId = QString::number(header.headerId.toLongLong());
    }
    for (const int empty : {3, 4})
        if (!f.value(empty).isEmpty())
            problems.add(named(QStringLiteral("field %1").arg(empty + 1), f.value(empty)) + QStringLiteral(" is not empty"));
    header.effectiveDate = effectiveDate(f.value(5), problems);
    // Its ten characters go to the bank as they are, spaces included.
    const QString corporateId = f.value(6);
    header.company = rightTrimmed(corporateId);
    if (corporateId.size() != 10)
        problems.add(named(QStringLiteral("Corporate ID"), corporateId) + QStringLiteral(" is not 10 characters"));
    if (!isPrintableAscii(corporateId))
        problems.add(QStringLiteral("Corporate ID holds a character beyond printable ASCII"));
    header.total = f.value(7);
    header.totalCents = twoDecimalAmount(QStringLiteral("total"), header.total, false, problems);
    // At least five digits, never cut: a batch of 100000 records has six.
    header.records = f.value(8);
    if (!isDigits(header.records) || header.records.size() < 5)
        problems.add(named(QStringLiteral("record count"), header.records) + QStringLiteral(" is not 5 digits or more"));
    else if (header.records.size() > 5 && header.records.startsWith(QLatin1Char('0')))
        problems.add(named(QStringLiteral("record count"), header.records) + QStringLiteral(" has a leading zero"));
    else
        header.recordCount = header.records.toLongLong();
    m_clearing = f.value(9);
    if (!checkCode(QStringLiteral("transfer type"), m_clearing, {wdk, QStringLiteral("LLG"), QStringLiteral("RTG")}, problems))
        m_clearing.clear();
    checkCode(QStringLiteral("currency"), f.value(10), {QStringLiteral("IDR")}, problems);
    return header;
}

std::optional<Cents> TransferLayout::readDetail(const QByteArray& record, UploadProblems& problems)
{
    const QStringList f = fieldsOf(record);
    checkCode(QStringLiteral("record type"), f.at(0), {QStringLiteral("1")}, problems);

    // Numbered from 1 without a gap; after a wrong one, the count goes on
    // from it, so a record missing or doubled is one problem, not one a record.
    const QString sequence = f.at(1);
    const QString expected = rightPadded(QString::number(m_nextSequence), 5, QLatin1Char('0'));
    if (sequence != expected)
        problems.add(named(QStringLiteral("sequence number"), sequence) + QStringLiteral(" is not ") + expected);
    bool number = false;
    const qint64 read = sequence.toLongLong(&number);
    m_nextSequence = (number && isDigits(sequence) ? read : m_nextSequence) + 1;

    // Problems in the order of the fields.
    const auto checkText = [&](int index) {
        for (const TextField& text : textFields)
            if (text.index == index)
                checkLength(QLatin1String(text.name), f.at(index), text.width, problems);
    };
    checkText(2);
    checkDigits(QStringLiteral("from account"), f.at(3), 10, problems);
    const QString toAccount = f.at(4);
    if (!toAccount.isEmpty() && !isDigits(toAccount))
        problems.add(named(QStringLiteral("to account"), toAccount) + QStringLiteral(" is not digits"));
    else if (m_clearing == wdk)
        checkDigits(QStringLiteral("to account"), toAccount, 10, problems);
    else if (toAccount.size() > 34)
        problems.add(named(QStringLiteral("to account"), toAccount) + QStringLiteral(" is longer than 34 digits"));

    const std::optional<Cents> amount = paidAmount(f.at(5), false, largestAmount, problems);
    checkText(6);
    checkText(7);
    const QString bankCode = f.at(8);
    if ((othersMode() || !bankCode.isEmpty()) && bankCode.size() != 7)
        problems.add(named(QStringLiteral("BI code"), bankCode) + QStringLiteral(" is not 7 characters"));
    for (int index = 9; index <= 15; ++index)
        checkText(index);
    if (othersMode() || !f.at(16).isEmpty())
        checkCode(QStringLiteral("customer type"), f.at(16), {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")},
                  problems);
    if (othersMode() || !f.at(17).isEmpty())
        checkCode(QStringLiteral("residence"), f.at(17), {QStringLiteral("R"), QStringLiteral("N")}, problems);
    return amount;
}

} // namespace

std::unique_ptr<UploadLayout> transferLayout()
{
    return std::make_unique<TransferLayout>();
}

} // namespace kova
