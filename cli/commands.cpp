#include "commands.h"

#include "settings/mappingstore.h"
#include "settings/namedlayouts.h"
#include "settings/settingsfile.h"
#include "types/registry.h"

#include <QSettings>

Command commandFor(const QString& type)
{
    static const struct
    {
        kova::BatchType type;
        Command command;
    } commands[] = {
        {kova::BatchType::Transfer, transferJob},
        {kova::BatchType::Credit, creditJob},
        {kova::BatchType::Collection, collectionJob},
        {kova::BatchType::Payroll, payrollJob},
    };
    // parseCommandLine admits the registry's keywords only.
    const kova::BatchType chosen = kova::descriptorForKeyword(type)->type;
    for (const auto& entry : commands)
        if (entry.type == chosen)
            return entry.command;
    return payrollJob;
}

kova::SheetMapping placeSavedMapping(const Options& options, const kova::TypeDescriptor& type,
                                     const reader::Document& workbook, PrintingSink& sink)
{
    const kova::Layouts layouts = kova::readLayouts(options.settingsPath, type);
    int layout = layouts.indexOf(options.layout);
    if (options.layout.isEmpty()) {
        const kova::LayoutPick pick = kova::pickLayout(type, layouts, workbook);
        layout = pick.index;
        if (!pick.note.isEmpty())
            sink.note(pick.note);
    }
    kova::SavedMapping saved = layouts.layouts.at(layout).mapping;
    if (options.headerRow)
        saved.headerRow = *options.headerRow;
    const kova::SheetMapping placed = kova::placeMapping(type, saved, workbook);
    if (placed.headerRowFound)
        sink.note(QStringLiteral("Header row: row %1, where the saved column titles are").arg(placed.headerRow));
    for (const QString& line : placed.moved)
        sink.note(line);
    return placed;
}

QString saveTemplateMapping(kova::BatchType type, const QString& settingsPath)
{
    const kova::TypeDescriptor& descriptor = kova::descriptorOf(type);
    kova::SavedMapping mapping;
    mapping.hasColumnHeader = true;
    for (int i = 0; i < descriptor.fields.size(); ++i) {
        // A mapped date switches the date filter on, and a template filled
        // with last week's rows would pay only today's.
        const bool date = descriptor.fields.at(i).kind == kova::CellKind::Date;
        mapping.columns.append(date ? 0 : i + 1);
        mapping.headerTexts.append(descriptor.fields.at(i).caption);   // the template's titles
    }
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.beginGroup(descriptor.group);
    kova::writeMapping(settings, descriptor, mapping);
    settings.endGroup();
    return kova::syncSettings(settings) ? QString()
                                        : QStringLiteral("Unable to write settings ") + settingsPath;
}
