#include "mappingstore.h"

#include "settingsfile.h"
#include "settingskey.h"

#include <QSettings>

namespace kova {
namespace {

// A type's group holds these beside each field's column and header text.
const SettingsKey hasColumnHeaderKey{QStringLiteral("HasColumnHeader"), false};
const SettingsKey headerRowKey{QStringLiteral("HeaderRow"), 1};

} // namespace

QString headerTextKey(const FieldSpec& field)
{
    return field.key + QStringLiteral("Header");
}

QVector<int> readMapping(const QString& settingsPath, const TypeDescriptor& type)
{
    return readColumnIndexes(settingsPath, type.group, type.keys());
}

SavedMapping readSavedMapping(const QString& settingsPath, const TypeDescriptor& type)
{
    QSettings settings(settingsPath, QSettings::IniFormat);
    return readSavedMapping(settings, type);
}

SavedMapping readSavedMapping(QSettings& settings, const TypeDescriptor& type)
{
    return readSavedMapping(settings, type, type.group);
}

SavedMapping readSavedMapping(QSettings& settings, const TypeDescriptor& type, const QString& group)
{
    SavedMapping saved;
    saved.columns = readColumnIndexes(settings, group, type.keys());
    settings.beginGroup(group);
    saved.hasColumnHeader = hasColumnHeaderKey.in(settings).toBool();
    saved.stored = settings.contains(hasColumnHeaderKey.name);
    for (const QString& key : type.keys()) {
        saved.keySaved.append(settings.contains(key));
        saved.stored = saved.stored || saved.keySaved.last();
    }
    saved.headerRow = qMax(1, headerRowKey.in(settings).toInt());
    for (const FieldSpec& field : type.fields)
        saved.headerTexts.append(settings.value(headerTextKey(field)).toString());
    settings.endGroup();
    return saved;
}

void writeMapping(QSettings& settings, const TypeDescriptor& type, const SavedMapping& mapping)
{
    for (int i = 0; i < type.fields.size(); ++i) {
        const FieldSpec& field = type.fields.at(i);
        const int column = mapping.columns.value(i);
        settings.setValue(field.key, column);
        // A text kept for a column no longer mapped, or from a sheet without
        // titles, would later send the field after a column it never had.
        const QString text = mapping.headerTexts.value(i).trimmed();
        if (mapping.hasColumnHeader && column >= 1 && !text.isEmpty())
            settings.setValue(headerTextKey(field), text);
        else
            settings.remove(headerTextKey(field));
    }
    settings.setValue(hasColumnHeaderKey.name, mapping.hasColumnHeader);
    settings.setValue(headerRowKey.name, qMax(1, mapping.headerRow));
}

} // namespace kova
