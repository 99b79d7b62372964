#pragma once

#include <QMap>
#include <QString>
#include <QVariant>

#include <functional>

class QWidget;

// What a form's group of the settings file held when the form last read or
// wrote it. Another window or kova-export may save the same group meanwhile;
// Save Settings then asks before it writes over what they stored, rather
// than silently dropping, say, an account another window just added.
class SavedGroup final
{
public:
    // ignoredKey: a key that moves on its own (the Header ID, advanced by
    // every batch written), which is no one's edit to protect; may be empty.
    SavedGroup(const QString& settingsPath, const QString& group, const QString& ignoredKey = QString());

    // After the form read or wrote the group.
    void remember();
    // Runs write, which stores part of the group (a layout saved from the
    // window's bar), and remembers what it changed; a change another window
    // made stays one to ask about.
    void absorb(const std::function<void()>& write);
    // Before Save Settings writes: true to write. When the group changed in
    // the file since it was remembered, asks whether to overwrite it, No the
    // default; after a No the form should read the file again.
    bool mayOverwrite(QWidget* form) const;

private:
    QMap<QString, QVariant> stored() const;

    QString m_settingsPath;
    QString m_group;
    QString m_ignoredKey;
    QMap<QString, QVariant> m_remembered;
};
