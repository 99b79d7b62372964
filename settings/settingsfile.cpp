#include "settingsfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QVariantMap>

namespace kova {

QString settingsPathFor(const QString& programDir, bool programDirWritable, const QString& userConfigDir)
{
    if (programDirWritable)
        return QDir(programDir).filePath(QStringLiteral("kova.ini"));
    return QDir(userConfigDir).filePath(QStringLiteral("kova/kova.ini"));
}

QString defaultSettingsPath()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString path = settingsPathFor(programDir, QFileInfo(programDir).isWritable(),
                                         QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}

namespace {

// What a settings file holds, read through a link of its own: the settings
// library serves every object on one path from one in-process cache, and that
// cache also holds values that were set but never written. A link is another
// path to the same file and, unlike a copy, needs no room on a full disk.
struct FileContent
{
    QVariantMap values;        // none for a missing or unreadable file
    bool understood = false;   // read, and no line the settings reader cannot parse
};

FileContent readPastCache(const QString& path)
{
    FileContent content;
    const QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("kova.ini"));
    if (!dir.isValid() || !QFileInfo(path).isFile() || !QFile::link(QFileInfo(path).absoluteFilePath(), link))
        return content;
    QSettings settings(link, QSettings::IniFormat);
    for (const QString& key : settings.allKeys())
        content.values.insert(key, settings.value(key));
    content.understood = settings.status() != QSettings::FormatError;
    return content;
}

// Whether the file holds every value the cache of path holds, which after a
// write is what was meant to be written. The file gives back text where a
// number or a flag was set; the text is what was written for it.
bool holdsAll(const FileContent& file, const QString& path)
{
    const QSettings cached(path, QSettings::IniFormat);
    const QStringList keys = cached.allKeys();
    if (keys.isEmpty())
        return true;
    if (!file.understood || file.values.size() != keys.size())
        return false;
    for (const QString& key : keys) {
        const QVariant meant = cached.value(key);
        const QVariant held = file.values.value(key);
        if (held.userType() == QMetaType::QString ? meant.toString() != held.toString() : meant != held)
            return false;
    }
    return true;
}

// Sets the cache of path back to what the file holds, so that no later reader
// takes unwritten values for stored ones, and no later write stores them
// unasked.
void forgetUnwrittenValues(const QString& path, const QVariantMap& held)
{
    // While the object whose write failed lives, this one shares its cache.
    QSettings cached(path, QSettings::IniFormat);
    for (const QString& key : cached.allKeys())
        if (!held.contains(key))
            cached.remove(key);
    for (auto it = held.cbegin(); it != held.cend(); ++it)
        cached.setValue(it.key(), it.value());
}

} // namespace

QString realSettingsPath(const QString& settingsPath)
{
    if (settingsPath.isEmpty())
        return {};
    // Followed step by step rather than canonicalised, so that a link to a
    // settings file not yet written still leads to where it will be; the
    // settings library writes through links the same way.
    QFileInfo info(settingsPath);
    for (int depth = 0; depth < 64 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : QDir(folder).filePath(info.fileName());
}

QString batchLockPath(const QString& settingsPath)
{
    return realSettingsPath(settingsPath) + QStringLiteral(".batch.lock");
}

QString headerIdLockPath(const QString& settingsPath)
{
    return realSettingsPath(settingsPath) + QStringLiteral(".headerid.lock");
}

QStringList settingsLockPaths(const QString& settingsPath)
{
    if (settingsPath.isEmpty())
        return {};
    return {batchLockPath(settingsPath), headerIdLockPath(settingsPath),
            QFileInfo(settingsPath).absoluteFilePath() + QStringLiteral(".lock"),
            realSettingsPath(settingsPath) + QStringLiteral(".lock")};
}

void removeAbandonedLock(const QString& lockPath)
{
    // The lock object writes its owner into the file as it creates it, so an
    // empty one that stays empty and unchanged for a second belongs to no
    // live run. Its time stamp cannot say how long that has been when the
    // clock was set back since or the file lies on a server with a clock of
    // its own: a lock stamped less than a second ago, or in the future, is
    // watched for that second by this run's own clock.
    QElapsedTimer watched;
    watched.start();
    QDateTime seen;
    for (;;) {
        const QFileInfo info(lockPath);
        if (!info.exists() || info.size() != 0)
            return;
        const QDateTime stamp = info.lastModified();
        if (stamp != seen) {
            seen = stamp;
            watched.restart();
        }
        if (stamp.msecsTo(QDateTime::currentDateTime()) > 1000 || watched.elapsed() > 1000) {
            QFile::remove(lockPath);
            return;
        }
        QThread::msleep(100);
    }
}

bool syncSettings(QSettings& settings)
{
    // The settings library waits half a minute before it takes over a lock
    // left empty by a run stopped while creating it; one left by a run that
    // died after writing its owner it takes over at once.
    removeAbandonedLock(settings.fileName() + QStringLiteral(".lock"));
    settings.sync();
    const QSettings::Status status = settings.status();
    const FileContent content = readPastCache(settings.fileName());
    // A line the reader does not understand (a comment a person added) is no
    // failed write, yet the status keeps only the first problem met and so
    // may hide one. Every write drops such lines: a file that still holds one
    // was not written. A write cut short by a full disk reports no error at
    // all and leaves the file cut short, so the file is read back whole.
    if (status != QSettings::AccessError && holdsAll(content, settings.fileName()))
        return true;
    forgetUnwrittenValues(settings.fileName(), content.values);
    return false;
}

QVector<int> readColumnIndexes(const QString& settingsPath, const QString& group, const QStringList& keys)
{
    QSettings settings(settingsPath, QSettings::IniFormat);
    return readColumnIndexes(settings, group, keys);
}

QVector<int> readColumnIndexes(QSettings& settings, const QString& group, const QStringList& keys)
{
    QVector<int> indexes(keys.size(), 0);
    settings.beginGroup(group);
    if (!settings.childKeys().isEmpty())
        for (int i = 0; i < keys.size(); ++i)
            indexes[i] = settings.value(keys.at(i), 0).toInt();
    settings.endGroup();
    return indexes;
}

int effectiveColumn(int storedIndex, int lastColumn)
{
    return storedIndex >= 1 && storedIndex <= lastColumn ? storedIndex : 0;
}

} // namespace kova
