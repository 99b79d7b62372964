#include "pathchecks.h"

#include "textfield.h"

#include "register/batchregister.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace kova {
namespace {

QString resolved(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : folder + QLatin1Char('/') + info.fileName();
}

#ifdef Q_OS_UNIX
// Hard links share no path at all, only the file.
bool sameInode(const QString& a, const QString& b)
{
    struct stat sa;
    struct stat sb;
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0
        && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}
#endif

} // namespace

bool sameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
#ifdef Q_OS_UNIX
    if (sameInode(a, b))
        return true;
#endif
    return resolved(a) == resolved(b);
}

QString exportPathsRefusal(const QString& sourcePath, const QString& destinationPath, const QString& settingsPath)
{
    if (hasControlCharacter(sourcePath) || hasControlCharacter(destinationPath))
        return QStringLiteral("Invalid file name");
    if (sameFile(destinationPath, sourcePath))
        return QStringLiteral("Destination must not be the source workbook");
    if (sameFile(destinationPath, settingsPath))
        return QStringLiteral("Destination must not be the settings file");
    return {};
}

QString reportPathRefusal(const QString& reportPath, const QString& sourcePath, const QString& destinationPath,
                          const QString& settingsPath)
{
    if (sameFile(reportPath, sourcePath) || sameFile(reportPath, destinationPath) || sameFile(reportPath, settingsPath))
        return QStringLiteral("Report must not be the source workbook, the destination or the settings file");
    return {};
}

bool isProgramFile(const QString& path, const QString& settingsPath)
{
    const QString registerPath = registerPathFor(settingsPath);
    for (const QString& own : {settingsPath, settingsPath + QStringLiteral(".lock"),
                               settingsPath + QStringLiteral(".headerid.lock"), registerPath,
                               registerPath + QStringLiteral("-journal")})
        if (sameFile(path, own))
            return true;
    return false;
}

QString templatePathRefusal(const QString& templatePath, const QString& sourcePath, const QString& settingsPath)
{
    if (hasControlCharacter(templatePath))
        return QStringLiteral("Invalid file name");
    if (sameFile(templatePath, sourcePath) || isProgramFile(templatePath, settingsPath))
        return QStringLiteral("Template must not be the source workbook, the settings file, the register or a lock file");
    return {};
}

} // namespace kova
