#include "mappingstore.h"

#include "export/settingsfile.h"

#include <QSettings>

namespace kova {
namespace {

const QString hasColumnHeaderKey = QStringLiteral("HasColumnHeader");

} // namespace

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

void writeMapping(QSettings& settings, const TypeDescriptor& type, const QVector<int>& columns,
                  bool hasColumnHeader)
{
    for (int i = 0; i < type.fields.size(); ++i)
        settings.setValue(type.fields.at(i).key, columns.value(i));
    settings.setValue(hasColumnHeaderKey, hasColumnHeader);
}

} // namespace kova
