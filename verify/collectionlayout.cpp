#include "fieldrules.h"
#include "fixedrecord.h"

namespace kova {

namespace {

// 9999999999999.99: the largest amount the sixteen-character field holds.
constexpr Cents largestAmount = wholeUnits(10000000000000LL) - 1;

// The collection layout: 201 bytes a record, the header's beginning "0CO".
class CollectionLayout final : public FixedLayout
{
public:
    CollectionLayout() : FixedLayout(201) {}

    BatchType type() const override { return BatchType::Collection; }
    bool isHeader(const QByteArray& record) const override { return record.startsWith("0CO"); }
    UploadHeader readHeader(const QByteArray& record, UploadProblems& problems) override;
    std::optional<Cents> readDetail(const QByteArray& record, UploadProblems& problems) override;
    UploadPayee payee(const QByteArray& record) const override
    {
        return {rightTrimmed(fixedField(record, 56, 35)), rightTrimmed(fixedField(record, 2, 10)), {}};
    }
};

UploadHeader CollectionLayout::readHeader(const QByteArray& record, UploadProblems& problems)
{
    const FixedRecord r(record, problems);
    UploadHeader header;
    companyColumns(r, header, problems);
    r.expect(46, QStringLiteral("0000"));
    header.total = r.field(50, 16);
    header.totalCents = twoDecimalAmount(QStringLiteral("total"), header.total, true, problems);
    header.records = r.field(66, 5);
    header.recordCount = fiveDigitCount(header.records, problems);
    r.expectSpaces(107, 95);
    return header;
}

std::optional<Cents> CollectionLayout::readDetail(const QByteArray& record, UploadProblems& problems)
{
    const FixedRecord r(record, problems);
    checkCode(QStringLiteral("record type"), r.field(1, 1), {QStringLiteral("1")}, problems);
    checkDigits(QStringLiteral("account"), r.field(2, 10), 10, problems);
    r.expectSpaces(12, 24);
    r.expect(36, QStringLiteral("0000"));
    const std::optional<Cents> amount = paidAmount(r.field(40, 16), true, largestAmount, problems);
    const QStringList flag = {QStringLiteral("0"), QStringLiteral("1")};
    checkCode(QStringLiteral("residence"), r.field(127, 1), flag, problems);
    checkCode(QStringLiteral("citizen"), r.field(128, 1), flag, problems);
    r.expectSpaces(129, 70);
    r.expect(199, QStringLiteral("014"));
    return amount;
}

} // namespace

std::unique_ptr<UploadLayout> collectionLayout()
{
    return std::make_unique<CollectionLayout>();
}

} // namespace kova
