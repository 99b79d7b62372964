#include "detailmask.h"

#include <QStringList>
#include <QVector>

namespace kova {
namespace {

// Per type, the "|"-separated fields (0-based) of a detail record that belong
// to the batch rather than to the payment. Only the transfer record carries
// such a field, its sequence number. The fixed-width credit, collection and
// payroll detail records hold nothing but the payment: the Header ID, the
// effective date and the batch's own account sit in their header records
// alone, which are never fingerprinted.
struct DetailMask
{
    BatchType type;
    QVector<int> batchFields;
};

const DetailMask masks[] = {
    {BatchType::Transfer, {1}},   // "1|", the sequence number, "|", ...
    {BatchType::Credit, {}},
    {BatchType::Collection, {}},
    {BatchType::Payroll, {}},
};

const QChar separator = QLatin1Char('|');

} // namespace

QString paymentPart(BatchType type, const QString& detailRecord)
{
    for (const DetailMask& mask : masks) {
        if (mask.type != type || mask.batchFields.isEmpty())
            continue;
        // A sound transfer record never holds "|" inside a field (that is a
        // row error), so splitting finds the fields as the bank does.
        QStringList fields = detailRecord.split(separator);
        for (int field : mask.batchFields)
            if (field < fields.size())
                fields[field].clear();
        return fields.join(separator);
    }
    return detailRecord;
}

} // namespace kova
