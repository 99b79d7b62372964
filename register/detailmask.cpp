#include "detailmask.h"

#include "types/registry.h"

#include <QStringList>

namespace kova {

QString paymentPart(BatchType type, const QString& detailRecord)
{
    const QVector<int>& batchFields = descriptorOf(type).batchFields;
    if (batchFields.isEmpty())
        return detailRecord;
    // A sound "|"-separated record never holds "|" inside a field (that is a
    // row error), so splitting finds the fields as the bank does.
    const QChar separator = QLatin1Char('|');
    QStringList fields = detailRecord.split(separator);
    for (int field : batchFields)
        if (field < fields.size())
            fields[field].clear();
    return fields.join(separator);
}

} // namespace kova
