#include "pathchecks.h"

#include "record/textfield.h"
#include "settings/settingsfile.h"

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

QString fileNameRefusal(const QString& path)
{
    if (hasControlCharacter(path) || hasDirectionControl(path))
        return QStringLiteral("Invalid file name");
    return {};
}

QString programFileRefusal(const QString& who, const QString& path, const QString& settingsPath)
{
    if (settingsPath.isEmpty())
        return {};
    if (sameFile(path, settingsPath))
        return who + QStringLiteral(" must not be the settings file");
    const QString registerPath = registerPathFor(settingsPath);
    for (const QString& suffix : {QString(), QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")})
        if (sameFile(path, registerPath + suffix))
            return who + QStringLiteral(" must not be the register of written batches");
    for (const QString& lock : settingsLockPaths(settingsPath))
        if (sameFile(path, lock))
            return who + QStringLiteral(" must not be a lock file of the settings");
    return {};
}

QString exportPathsRefusal(const QString& sourcePath, const QString& destinationPath, const QString& settingsPath)
{
    QString refusal = fileNameRefusal(sourcePath);
    if (refusal.isEmpty())
        refusal = fileNameRefusal(destinationPath);
    if (refusal.isEmpty() && sameFile(destinationPath, sourcePath))
        refusal = QStringLiteral("Destination must not be the source workbook");
    return refusal.isEmpty() ? programFileRefusal(QStringLiteral("Destination"), destinationPath, settingsPath) : refusal;
}

QString reportPathRefusal(const QString& reportPath, const QString& sourcePath, const QString& destinationPath,
                          const QString& settingsPath)
{
    const QString refusal = fileNameRefusal(reportPath);
    if (!refusal.isEmpty())
        return refusal;
    if (sameFile(reportPath, sourcePath) || sameFile(reportPath, destinationPath) || sameFile(reportPath, settingsPath))
        return QStringLiteral("Report must not be the source workbook, the destination or the settings file");
    return programFileRefusal(QStringLiteral("Report"), reportPath, settingsPath);
}

QString summaryPathRefusal(const QString& summaryPath, const QString& reportPath, const QString& sourcePath,
                           const QString& destinationPath, const QString& settingsPath)
{
    const QString refusal = fileNameRefusal(summaryPath);
    if (!refusal.isEmpty())
        return refusal;
    if (sameFile(summaryPath, sourcePath) || sameFile(summaryPath, destinationPath)
        || sameFile(summaryPath, settingsPath) || (!reportPath.isEmpty() && sameFile(summaryPath, reportPath)))
        return QStringLiteral("Summary must not be the source workbook, the destination, the report or the settings file");
    return programFileRefusal(QStringLiteral("Summary"), summaryPath, settingsPath);
}

QString templatePathRefusal(const QString& templatePath, const QString& sourcePath, const QString& settingsPath)
{
    const QString refusal = fileNameRefusal(templatePath);
    if (!refusal.isEmpty())
        return refusal;
    if (sameFile(templatePath, sourcePath))
        return QStringLiteral("Template must not be the source workbook");
    return programFileRefusal(QStringLiteral("Template"), templatePath, settingsPath);
}

} // namespace kova
