#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

namespace kova {

// One key of the settings file and what it reads as when missing: each
// group's keys are declared once, as a table of these.
struct SettingsKey
{
    QString name;
    QVariant missing;

    QVariant in(const QSettings& settings) const { return settings.value(name, missing); }
};

} // namespace kova
