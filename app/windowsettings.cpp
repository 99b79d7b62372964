#include "windowsettings.h"

#include <QSettings>

namespace {

const QString group = QStringLiteral("Window");
const QString geometryKey = QStringLiteral("Geometry");
const QString formSplitterKey = QStringLiteral("FormSplitter");
const QString logSplitterKey = QStringLiteral("LogSplitter");
const QString lastFolderKey = QStringLiteral("LastFolder");

} // namespace

WindowSettings WindowSettings::read(const QString& settingsPath)
{
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.beginGroup(group);
    WindowSettings stored;
    stored.geometry = settings.value(geometryKey).toRect();
    stored.formSplitter = settings.value(formSplitterKey).toByteArray();
    stored.logSplitter = settings.value(logSplitterKey).toByteArray();
    stored.lastFolder = settings.value(lastFolderKey).toString();
    return stored;
}

void WindowSettings::writeLayout(const QString& settingsPath) const
{
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.beginGroup(group);
    settings.setValue(geometryKey, geometry);
    settings.setValue(formSplitterKey, formSplitter);
    settings.setValue(logSplitterKey, logSplitter);
}

void WindowSettings::writeLastFolder(const QString& settingsPath, const QString& folder)
{
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.setValue(group + QLatin1Char('/') + lastFolderKey, folder);
}
