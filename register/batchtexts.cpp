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
        + displayAmount(earlier.total) + QStringLiteral(") were already written on ") + localTime(earlier.writtenAt)
        + QStringLiteral(" to ") + QDir::toNativeSeparators(earlier.destination);
    if (!earlier.headerId.isEmpty())
        text += QStringLiteral(" with Header ID ") + earlier.headerId;
    return text + QStringLiteral(". Write them again?");
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
