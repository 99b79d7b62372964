#include "accountformsettings.h"

#include "columnmapping.h"
#include "messages.h"
#include "sourceaccountstable.h"

#include "settings/settingsfile.h"

#include <QSettings>

void readAccountFormSettings(const QString& settingsPath, const QString& group, SourceAccountsTable& accounts,
                             ColumnMapping& mapping)
{
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.beginGroup(group);
    accounts.read(settings);
    mapping.readHasColumnHeader();
    settings.endGroup();
}

bool saveAccountFormSettings(const QString& settingsPath, const QString& group, const SourceAccountsTable& accounts,
                             const ColumnMapping& mapping)
{
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.beginGroup(group);
    accounts.save(settings);
    mapping.save(settings);
    settings.endGroup();
    return kova::syncSettings(settings);
}

void reportSettingsSaved(QWidget* form, bool saved)
{
    if (saved)
        Messages::information(form, QStringLiteral("Settings have been saved!"));
    else
        Messages::critical(form, QStringLiteral("Settings could not be saved"));
}
