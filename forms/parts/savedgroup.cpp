#include "savedgroup.h"

#include "widgets/messages.h"

#include <QSettings>

SavedGroup::SavedGroup(const QString& settingsPath, const QString& group, const QString& ignoredKey)
    : m_settingsPath(settingsPath)
    , m_group(group)
    , m_ignoredKey(ignoredKey)
{
}

void SavedGroup::remember()
{
    m_remembered = stored();
}

bool SavedGroup::mayOverwrite(QWidget* form) const
{
    if (stored() == m_remembered)
        return true;
    return Messages::question(form, QStringLiteral("The ") + m_group
                                        + QStringLiteral(" settings were saved by another window or kova-export since "
                                                         "this form read them. Overwrite them? No reads them again."));
}

QMap<QString, QVariant> SavedGroup::stored() const
{
    // A new settings object reads the file again when another process changed it.
    QSettings settings(m_settingsPath, QSettings::IniFormat);
    settings.beginGroup(m_group);
    QMap<QString, QVariant> values;
    for (const QString& key : settings.allKeys())
        if (key != m_ignoredKey)
            values.insert(key, settings.value(key));
    return values;
}
