#include "batchtexts.h"

#include <QDir>

namespace kova {
namespace {

QString localTime(const QDateTime& utc)
{
    return utc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

} // namespace

QString duplicateQuestion(const BatchEntry& earlier)
{
    QString text = QStringLiteral("These ") + QString::number(earlier.records) + QStringLiteral(" payments (total ")
        + displayAmount(earlier.total) + QLatin1Char(')');
    if (earlier.key)
        text += earlier.key->effectiveDate.isEmpty() ? QStringLiteral(" for payment on authorization")
                                                     : QStringLiteral(" for effective date ") + earlier.key->effectiveDate;
    text += earlier.finished ? QStringLiteral(" were already written on ")
                             : QStringLiteral(" may have been written by a run that stopped on ");
    text += localTime(earlier.writtenAt) + QStringLiteral(" to ") + QDir::toNativeSeparators(earlier.destination);
    if (!earlier.headerId.isEmpty())
        text += QStringLiteral(" with Header ID ") + earlier.headerId;
    return text + QStringLiteral(". Write them again?");
}

QString unreadableRegisterQuestion(const QString& reason)
{
    return QStringLiteral("The register of written batches cannot be read (") + reason
        + QStringLiteral("). KOVA cannot tell whether these payments were written before. Write them anyway?");
}

QString historyText(const QVector<BatchEntry>& entries)
{
    QString text;
    for (const BatchEntry& entry : entries) {
        const QStringList fields = {
            localTime(entry.writtenAt), entry.type, entry.headerId, QString::number(entry.records),
            displayAmount(entry.total), QDir::toNativeSeparators(entry.destination),
        };
        text += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

} // namespace kova
