#include "mappingstore.h"

#include "settingsfile.h"

#include <QSettings>

namespace kova {
namespace {

const QString hasColumnHeaderKey = QStringLiteral("HasColumnHeader");
const QString headerRowKey = QStringLiteral("HeaderRow");

} // namespace

QString headerTextKey(const FieldSpec& field)
{
    return field.key + QStringLiteral("Header");
}

QVector<int> readMapping(const QString& settingsPath, const TypeDescriptor& type)
{
    return readColumnIndexes(settingsPath, type.group, type.keys());
}

bool readHasColumnHeader(const QString& settingsPath, const TypeDescriptor& type)
{
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.beginGroup(type.group);
    return settings.value(hasColumnHeaderKey, false).toBool();
}

SavedMapping readSavedMapping(const QString& settingsPath, const TypeDescriptor& type)
{
    SavedMapping saved;
    saved.columns = readMapping(settingsPath, type);
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.beginGroup(type.group);
    saved.hasColumnHeader = settings.value(hasColumnHeaderKey, false).toBool();
    saved.headerRow = qMax(1, settings.value(headerRowKey, 1).toInt());
    for (const FieldSpec& field : type.fields)
        saved.headerTexts.append(settings.value(headerTextKey(field)).toString());
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
    settings.setValue(hasColumnHeaderKey, mapping.hasColumnHeader);
    settings.setValue(headerRowKey, qMax(1, mapping.headerRow));
}

} // namespace kova
