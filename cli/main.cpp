#include "commands.h"
#include "options.h"
#include "printingsink.h"
#include "report.h"
#include "sheetcolumns.h"
#include "usage.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

enum ExitStatus {
    Written = 0,
    RowErrors = 1,
    Refused = 2,
    BadUsage = 64,   // EX_USAGE
};

int usageError(const QString& problem)
{
    printLine(stderr, QStringLiteral("kova-export: ") + problem);
    printLine(stderr, usageLine());
    return BadUsage;
}

int exitStatus(kova::ExportOutcome outcome)
{
    switch (outcome) {
    case kova::ExportOutcome::Written:
        return Written;
    case kova::ExportOutcome::RowErrors:
        return RowErrors;
    case kova::ExportOutcome::Refused:
    case kova::ExportOutcome::NotFinished:
        break;
    }
    return Refused;
}

int run(const Options& options, Command command, PrintingSink& sink)
{
    // Choosing the sheet in the window fills the mapping combo boxes from it;
    // a sheet that cannot be chosen leaves nothing to export.
    const std::optional<int> lastColumn = sheetLastColumn(options.source, options.sheet);
    if (!lastColumn) {
        sink.critical(QStringLiteral("Error. Unable to select sheet ") + options.sheet);
        return Refused;
    }
    return exitStatus(command(options, *lastColumn, sink));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const ParsedCommandLine parsed = parseCommandLine(QCoreApplication::arguments());
    if (parsed.help) {
        printLine(stdout, helpText());
        return Written;
    }
    if (!parsed.error.isEmpty())
        return usageError(parsed.error);
    const Options& options = parsed.options;

    PrintingSink sink(stdout, stderr, !options.reportPath.isEmpty());
    int status = run(options, commandFor(options.type), sink);
    if (!options.reportPath.isEmpty() && !writeReport(sink.report(), options.reportPath)) {
        sink.critical(QStringLiteral("Unable to write report ") + options.reportPath);
        status = Refused;
    }
    return status;
}
