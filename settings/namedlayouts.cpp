#include "namedlayouts.h"

#include "settingskey.h"
#include "sheetmapping.h"

#include <QSettings>

namespace kova {

namespace {

const QString layoutNameKey = QStringLiteral("LayoutName");
const QString chosenKey = QStringLiteral("Layout");
const QString arrayName = QStringLiteral("Layouts");

QString arrayGroup(const TypeDescriptor& type, int index)
{
    // QSettings numbers array entries from 1.
    return type.group + QLatin1Char('/') + arrayName + QLatin1Char('/') + QString::number(index + 1);
}

// Every saved column title of the layout is in the sheet's header row.
bool allTitlesFound(const TypeDescriptor& type, const SavedMapping& mapping, const reader::Document& sheet)
{
    if (!mapping.hasColumnHeader)
        return false;
    bool titled = false;
    for (int i = 0; i < type.fields.size(); ++i)
        titled = titled || (mapping.columns.value(i) >= 1 && !mapping.headerTexts.value(i).trimmed().isEmpty());
    return titled && placeMapping(type, mapping, sheet).refusal().isEmpty();
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

} // namespace

int Layouts::indexOf(const QString& name) const
{
    for (int i = 0; i < layouts.size(); ++i)
        if (layouts.at(i).name == name)
            return i;
    return -1;
}

QString layoutNameRefusal(const Layouts& layouts, const QString& name, int keeping)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return QStringLiteral("A layout needs a name");
    const int taken = layouts.indexOf(trimmed);
    if (taken >= 0 && taken != keeping)
        return QStringLiteral("There is a layout named ") + quoted(trimmed) + QStringLiteral(" already");
    return {};
}

Layouts readLayouts(const QString& settingsPath, const TypeDescriptor& type)
{
    QSettings settings(settingsPath, QSettings::IniFormat);
    return readLayouts(settings, type);
}

Layouts readLayouts(QSettings& settings, const TypeDescriptor& type)
{
    Layouts read;
    settings.beginGroup(type.group);
    const QString firstName = settings.value(layoutNameKey).toString().trimmed();
    const QString chosen = settings.value(chosenKey).toString();
    const int more = settings.beginReadArray(arrayName);
    QStringList names;
    for (int i = 0; i < more; ++i) {
        settings.setArrayIndex(i);
        names << settings.value(QStringLiteral("Name")).toString().trimmed();
    }
    settings.endArray();
    settings.endGroup();

    read.layouts.append({firstName.isEmpty() ? type.displayName : firstName, readSavedMapping(settings, type)});
    for (int i = 0; i < more; ++i) {
        // A layout without a name, or with one taken already, cannot be chosen by it.
        if (names.at(i).isEmpty() || read.indexOf(names.at(i)) >= 0)
            continue;
        read.layouts.append({names.at(i), readSavedMapping(settings, type, arrayGroup(type, i))});
    }
    read.chosen = qMax(0, read.indexOf(chosen));
    return read;
}

void writeLayouts(QSettings& settings, const TypeDescriptor& type, const Layouts& layouts)
{
    settings.beginGroup(type.group);
    writeMapping(settings, type, layouts.layouts.first().mapping);
    // A first layout that keeps the type's name is how an older KOVA reads it.
    if (layouts.layouts.first().name == type.displayName)
        settings.remove(layoutNameKey);
    else
        settings.setValue(layoutNameKey, layouts.layouts.first().name);
    settings.remove(arrayName);
    if (layouts.layouts.size() > 1) {
        settings.beginWriteArray(arrayName, layouts.layouts.size() - 1);
        for (int i = 1; i < layouts.layouts.size(); ++i) {
            settings.setArrayIndex(i - 1);
            settings.setValue(QStringLiteral("Name"), layouts.layouts.at(i).name);
            writeMapping(settings, type, layouts.layouts.at(i).mapping);
        }
        settings.endArray();
    }
    if (layouts.chosen == 0)
        settings.remove(chosenKey);
    else
        settings.setValue(chosenKey, layouts.layouts.at(layouts.chosen).name);
    settings.endGroup();
}

LayoutPick pickLayout(const TypeDescriptor& type, const Layouts& layouts, const reader::Document& sheet)
{
    if (layouts.layouts.size() == 1)
        return {0, {}};
    QVector<int> fitting;
    for (int i = 0; i < layouts.layouts.size(); ++i)
        if (allTitlesFound(type, layouts.layouts.at(i).mapping, sheet))
            fitting.append(i);
    if (fitting.size() == 1)
        return {fitting.first(),
                QStringLiteral("Layout ") + quoted(layouts.layouts.at(fitting.first()).name)
                    + QStringLiteral(": every saved column title found")};
    const QString taken = quoted(layouts.layouts.at(layouts.chosen).name);
    if (fitting.isEmpty())
        return {layouts.chosen, QStringLiteral("No layout has every saved column title on this sheet: ") + taken
                                    + QStringLiteral(", the one chosen, is taken")};
    QStringList names;
    for (const int i : fitting)
        names << quoted(layouts.layouts.at(i).name);
    return {layouts.chosen, QStringLiteral("Layouts ") + names.join(QStringLiteral(", "))
                                + QStringLiteral(" all have every saved column title on this sheet: ") + taken
                                + QStringLiteral(", the one chosen, is taken")};
}

} // namespace kova
