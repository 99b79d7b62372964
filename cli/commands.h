#pragma once

#include "options.h"
#include "printingsink.h"

#include "run/exportrun.h"
#include "settings/sheetmapping.h"
#include "types/batchtype.h"

#include <memory>

// One transaction type's export job from the command line: the type's
// settings as its form holds them once the sheet is chosen (its width decides
// which mapped columns count), with the options typed over them.
using Command = std::unique_ptr<kova::ExportJob> (*)(const Options& options, const reader::Document& workbook,
                                                     PrintingSink& sink);

// The mapping saved for type as the sheet places it, as the window places
// it when the sheet is chosen (--header-row in place of the saved row). What
// moved, the fields that followed their titles and a header row found
// elsewhere, is told on standard error through the sink.
kova::SheetMapping placeSavedMapping(const Options& options, const kova::TypeDescriptor& type,
                                     const reader::Document& workbook, PrintingSink& sink);

// What every type's settings take from the command line alike: the mapping
// placed as placeSavedMapping() places it, and the date filter's range.
template <typename Settings>
void placeColumns(Settings& settings, const Options& options, const kova::TypeDescriptor& type,
                  const reader::Document& workbook, PrintingSink& sink)
{
    const kova::SheetMapping placed = placeSavedMapping(options, type, workbook, sink);
    settings.columns.assign(placed.columns);
    settings.hasColumnHeader = placed.hasColumnHeader;
    settings.header = {placed.headerRow, {}, placed.refusal()};
    settings.dateFrom = options.from;
    settings.dateTo = options.to;
}

// The command of one of the four types.
Command commandFor(const QString& type);

std::unique_ptr<kova::ExportJob> transferJob(const Options& options, const reader::Document& workbook,
                                             PrintingSink& sink);
std::unique_ptr<kova::ExportJob> creditJob(const Options& options, const reader::Document& workbook,
                                           PrintingSink& sink);
std::unique_ptr<kova::ExportJob> collectionJob(const Options& options, const reader::Document& workbook,
                                               PrintingSink& sink);
std::unique_ptr<kova::ExportJob> payrollJob(const Options& options, const reader::Document& workbook,
                                            PrintingSink& sink);

// Stores template column n as the n-th field of type (indexes 1..n, in the
// type's own mapping keys) with its title, but for the date, which only the
// user maps, and "Has Column Header" ticked, so a workbook filled from the
// template exports as it is. Empty on success, else the failure text.
QString saveTemplateMapping(kova::BatchType type, const QString& settingsPath);
