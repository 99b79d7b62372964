#include "settingsfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

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

bool syncSettings(QSettings& settings)
{
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QVector<int> readColumnIndexes(const QString& settingsPath, const QString& group, const QStringList& keys)
{
    QVector<int> indexes(keys.size(), 0);
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.beginGroup(group);
    if (settings.childKeys().isEmpty())
        return indexes;
    for (int i = 0; i < keys.size(); ++i)
        indexes[i] = settings.value(keys.at(i), 0).toInt();
    return indexes;
}

bool readHasColumnHeader(const QString& settingsPath, const QString& group)
{
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.beginGroup(group);
    return settings.value(QStringLiteral("HasColumnHeader"), false).toBool();
}

int effectiveColumn(int storedIndex, int lastColumn)
{
    return storedIndex >= 1 && storedIndex <= lastColumn ? storedIndex : 0;
}

} // namespace kova
