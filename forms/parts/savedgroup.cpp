#include "savedgroup.h"

#include "widgets/messages.h"

#include <QSettings>
#include <QStringList>

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

void SavedGroup::absorb(const std::function<void()>& write)
{
    const QMap<QString, QVariant> before = stored();
    write();
    const QMap<QString, QVariant> after = stored();
    QStringList keys = before.keys() + after.keys();
    keys.removeDuplicates();
    for (const QString& key : qAsConst(keys)) {
        if (before.contains(key) == after.contains(key) && before.value(key) == after.value(key))
            continue;
        if (after.contains(key))
            m_remembered.insert(key, after.value(key));
        else
            m_remembered.remove(key);
    }
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
