#pragma once

#include "options.h"

#include "export/exportrun.h"

// One transaction type's export from the command line: the type's settings as
// its form holds them once the sheet (of lastColumn columns) is chosen, with
// the options typed over them, then the type's export.
using Command = kova::ExportOutcome (*)(const Options& options, int lastColumn, kova::ExportSink& sink);

// The command of one of the four types.
Command commandFor(const QString& type);

kova::ExportOutcome runTransferCommand(const Options& options, int lastColumn, kova::ExportSink& sink);
kova::ExportOutcome runCreditCommand(const Options& options, int lastColumn, kova::ExportSink& sink);
kova::ExportOutcome runCollectionCommand(const Options& options, int lastColumn, kova::ExportSink& sink);
kova::ExportOutcome runPayrollCommand(const Options& options, int lastColumn, kova::ExportSink& sink);
