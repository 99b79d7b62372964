#include "batchremarks.h"

#include "textfield.h"

namespace kova {
namespace {

QString remarksRefusal(const QString& remarks, int number)
{
    const QString name = QStringLiteral("Trx Remarks ") + QString::number(number);
    if (remarks.size() > 18)
        return name + QStringLiteral(" is exceeding 18 chars");
    if (!isPrintableAscii(remarks))
        return name + QStringLiteral(" contains invalid chars");
    return {};
}

} // namespace

QString batchRemarksRefusal(const QString& remarks1, const QString& remarks2)
{
    const QString refusal = remarksRefusal(remarks1, 1);
    return refusal.isEmpty() ? remarksRefusal(remarks2, 2) : refusal;
}

} // namespace kova
