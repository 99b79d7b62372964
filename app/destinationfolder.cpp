#include "destinationfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

QString unwritableDestinationFolder(const QString& destinationPath)
{
    const QString folder = QFileInfo(destinationPath).absolutePath();
    // A file actually made and dropped again: permissions, a read-only mount
    // or a full disk answer alike, each with the system's own reason.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".kova-XXXXXX")));
    if (probe.open())
        return {};
    return QStringLiteral("Failed open file for writing in ") + QDir::toNativeSeparators(folder) + QStringLiteral(": ")
        + probe.errorString();
}
