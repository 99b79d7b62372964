#include "registerfinding.h"

#include "register/batchregister.h"

#include <QFileInfo>

namespace kova {

QString registerFinding(const QString& settingsPath, const QString& fileSha256)
{
    const QString path = registerPathFor(settingsPath);
    if (!QFileInfo::exists(path))
        return QStringLiteral("none at ") + path;
    BatchRegister batches(path);
    const std::optional<BatchEntry> entry = batches.findFile(fileSha256);
    const int untold = entry ? 0 : batches.batchesWithoutFileSha256();
    if (!batches.problem().isEmpty())
        return QStringLiteral("cannot be read (") + batches.reason() + QLatin1Char(')');
    if (entry)
        return QStringLiteral("written on ") + entry->writtenAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
            + QStringLiteral(" to ") + entry->destination
            + (entry->headerId.isEmpty() ? QString() : QStringLiteral(" with Header ID ") + entry->headerId);
    const QString none = QStringLiteral("no batch written with this SHA-256");
    return untold > 0 ? none + QStringLiteral(" (%1 recorded without one)").arg(untold) : none;
}

} // namespace kova
