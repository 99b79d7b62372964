#include "commands.h"
#include "options.h"
#include "optiontable.h"
#include "printingsink.h"
#include "report.h"
#include "usage.h"
#include "verifycommand.h"

#include "record/passwordprotected.h"
#include "register/batchregister.h"
#include "settings/namedlayouts.h"
#include "register/batchtexts.h"
#include "types/templateworkbook.h"
#include "run/pathchecks.h"
#include "types/registry.h"
#include "reader/document.h"
#include "reader/csv/textdecoding.h"

#include "approval/approvalsummary.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

enum ExitStatus {
    Written = 0,
    RowErrors = 1,
    Refused = 2,
    // The upload file is in place: a script that retries on 2 must not send
    // the batch twice because only the report or its entry in the register
    // failed.
    WrittenNotReported = 3,
    BadUsage = 64,   // EX_USAGE
};

// An encoding as kova-export takes it.
QString encodingOption(reader::TextEncoding encoding)
{
    return QStringLiteral("--encoding ") + reader::encodingName(encoding).toLower();
}

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
    case kova::ExportOutcome::Declined:
    case kova::ExportOutcome::Cancelled:
    case kova::ExportOutcome::ReadAgain:
        break;
    }
    return Refused;
}

// A workbook that did not open for want of its password. kova-export takes
// one, so "save it without a password" is advice only where no password opens
// it here (an .ods saved with one).
QString lockedWorkbookText(const reader::Document& workbook, const Options& options)
{
    if (!workbook.opensWithPassword())
        return kova::passwordProtectedText();
    if (!options.password.isEmpty())
        return kova::wrongPasswordText();
    return QStringLiteral("Workbook is password-protected: give its password with --password-file FILE "
                          "or the KOVA_PASSWORD environment variable");
}

// One reading of the workbook and the export from it. With SheetAccess::InOrder
// no answer where the sheet did not read as that reading assumes: what it read
// is not the sheet, and the run is made again. reading: how delimited text's
// dates and amounts read, where a reading of all of it found it; filled in
// when this reading finds it.
std::optional<int> exportOnce(const Options& options, Command command, PrintingSink& sink, reader::SheetAccess access,
                              std::optional<kova::CellReading>& reading, QString& uploadSha256)
{
    // Choosing the sheet in the window fills the mapping combo boxes from it;
    // a sheet that cannot be chosen leaves nothing to export.
    // The export then reads the same document, its rows in order as they arrive.
    reader::Document workbook(options.source, options.text, access, options.password);
    const reader::TextOptions plain;
    const bool textOptionsGiven = options.text.delimiter != plain.delimiter || options.text.encoding != plain.encoding
                                  || options.text.dateOrder != plain.dateOrder || options.text.decimalMark;
    if (!workbook.isDelimitedText() && (options.sheet.isEmpty() || textOptionsGiven))
        return usageError(options.sheet.isEmpty() ? QStringLiteral("missing --sheet")
                                                  : delimitedTextOptions() + QStringLiteral(" apply to delimited text only"));
    // Delimited text is one sheet, named after the file.
    const QString sheet = options.sheet.isEmpty() ? QFileInfo(options.source).completeBaseName() : options.sheet;
    const bool inOrder = access == reader::SheetAccess::InOrder;
    if (!workbook.selectSheet(sheet)) {
        if (inOrder)
            return std::nullopt;
        sink.critical(workbook.isPasswordProtected() ? lockedWorkbookText(workbook, options)
                                                     : QStringLiteral("Error. Unable to select sheet ") + sheet
                                                           + kova::unreadable(workbook, encodingOption));
        return Refused;
    }
    const std::unique_ptr<kova::ExportJob> job = command(options, workbook, sink);
    kova::ExportRequest request{options.source, sheet, options.dest, options.settingsPath, &workbook, options.text};
    request.reading = reading;
    const kova::ExportResult result = kova::runExport(request, *job, sink);
    reading = result.reading;
    uploadSha256 = result.uploadSha256;
    // An export refused before its rows has not read the sheet to its end.
    if (inOrder && (result.outcome == kova::ExportOutcome::ReadAgain || !workbook.readIntact()))
        return std::nullopt;
    return exitStatus(result.outcome);
}

// The sheet is read once, on the assumption that its rows come in order and
// its top rows are as wide as any; a sheet that breaks it (or does not read)
// is read again the usual way, surveyed first, and only that run is told.
// Delimited text whose later rows write dates or amounts otherwise than its
// top rows is read once more first, knowing from the start how they read.
int run(const Options& options, Command command, std::unique_ptr<PrintingSink>& sink, QString& uploadSha256)
{
    // Before the workbook is first read: nothing the run writes may land on
    // the files it reads.
    const QString refusal = kova::exportPathsRefusal(options.source, options.dest, options.settingsPath);
    if (!refusal.isEmpty()) {
        sink->critical(refusal);
        return Refused;
    }
    const auto freshSink = [&] {
        sink = std::make_unique<PrintingSink>(stdout, stderr, !options.reportPath.isEmpty(), options.allowDuplicate);
    };
    std::optional<kova::CellReading> reading;
    sink->hold();
    std::optional<int> status = exportOnce(options, command, *sink, reader::SheetAccess::InOrder, reading, uploadSha256);
    if (!status && reading) {
        freshSink();
        sink->hold();
        status = exportOnce(options, command, *sink, reader::SheetAccess::InOrder, reading, uploadSha256);
    }
    if (status) {
        sink->release();
        return *status;
    }
    freshSink();
    reading.reset();
    return *exportOnce(options, command, *sink, reader::SheetAccess::Forward, reading, uploadSha256);
}

int printHistory(const QString& settingsPath)
{
    kova::BatchRegister batches(kova::registerPathFor(settingsPath));
    const QVector<kova::BatchEntry> entries = batches.history();
    if (!batches.problem().isEmpty()) {
        printLine(stderr, batches.problem());
        return Refused;
    }
    const QByteArray text = kova::historyText(entries).toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    return Written;
}

int saveTemplate(const Options& options)
{
    const kova::BatchType type = kova::descriptorForKeyword(options.type)->type;
    QString problem = kova::templatePathRefusal(options.dest, QString(), options.settingsPath);
    if (problem.isEmpty())
        problem = kova::writeTemplate(type, options.dest);
    if (problem.isEmpty() && options.saveMapping)
        problem = saveTemplateMapping(type, options.settingsPath);
    if (!problem.isEmpty()) {
        printLine(stderr, problem);
        return Refused;
    }
    return Written;
}

// A layout named on the command line that the settings do not hold: the
// refusal, naming those they do; else empty.
QString unknownLayout(const Options& options)
{
    const kova::TypeDescriptor& type = *kova::descriptorForKeyword(options.type);
    const kova::Layouts layouts = kova::readLayouts(options.settingsPath, type);
    if (layouts.indexOf(options.layout) >= 0)
        return {};
    QStringList names;
    for (const kova::NamedLayout& layout : layouts.layouts)
        names << QLatin1Char('"') + layout.name + QLatin1Char('"');
    return QStringLiteral("No layout \"%1\" for %2: the saved ones are %3")
        .arg(options.layout, type.displayName, names.join(QStringLiteral(", ")));
}

// What Qt says of a session without a runtime folder (a scheduled run, su)
// while the GUI application starts: nothing a caller of kova-export can act
// on, and standard error is theirs to read.
QtMessageHandler qtHandler = nullptr;
void quietStart(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.startsWith(QLatin1String("QStandardPaths: ")))
        qtHandler(type, context, message);
}

// A summary is drawn with fonts, which only a GUI application has; kova-export
// runs where there is no display, so it then draws on the offscreen platform.
std::unique_ptr<QCoreApplication> application(int& argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--summary" || argument.startsWith("--summary=")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            qtHandler = qInstallMessageHandler(quietStart);
            return std::make_unique<QGuiApplication>(argc, argv);
        }
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

// The summary of a batch just written; false (and why, on standard error)
// when it was not written.
bool writeSummary(const Options& options, const QString& uploadSha256, PrintingSink& sink)
{
    const QString problem = kova::writeApprovalSummary({options.dest, options.summaryPath, uploadSha256});
    if (problem.isEmpty())
        return true;
    sink.critical(QStringLiteral("Upload file written, but unable to write summary ") + options.summaryPath
                  + QStringLiteral(": ") + problem);
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::unique_ptr<QCoreApplication> app = application(argc, argv);
    // As with the other commands, options may come before the word.
    if (commandWord(QCoreApplication::arguments()) == QLatin1String("verify"))
        return verifyUpload(QCoreApplication::arguments());
    const ParsedCommandLine parsed = parseCommandLine(QCoreApplication::arguments());
    if (parsed.help) {
        printLine(stdout, helpText());
        return Written;
    }
    if (!parsed.error.isEmpty())
        return usageError(parsed.error);
    const Options& options = parsed.options;
    if (options.action == Options::Action::History)
        return printHistory(options.settingsPath);
    if (options.action == Options::Action::Template)
        return saveTemplate(options);

    auto sink = std::make_unique<PrintingSink>(stdout, stderr, !options.reportPath.isEmpty(), options.allowDuplicate);
    if (!options.reportPath.isEmpty()) {
        const QString refusal = kova::reportPathRefusal(options.reportPath, options.source, options.dest,
                                                        options.settingsPath);
        if (!refusal.isEmpty()) {
            sink->critical(refusal);
            return Refused;
        }
    }
    if (!options.summaryPath.isEmpty()) {
        const QString refusal = kova::summaryPathRefusal(options.summaryPath, options.reportPath, options.source,
                                                         options.dest, options.settingsPath);
        if (!refusal.isEmpty()) {
            sink->critical(refusal);
            return Refused;
        }
    }
    if (!options.layout.isEmpty()) {
        const QString refusal = unknownLayout(options);
        if (!refusal.isEmpty()) {
            sink->critical(refusal);
            return Refused;
        }
    }
    QString uploadSha256;
    int status = run(options, commandFor(options.type), sink, uploadSha256);
    if (status == Written && sink->unrecorded()) {
        sink->critical(QStringLiteral("Upload file written, but not recorded in the register of written batches"));
        status = WrittenNotReported;
    }
    // Never of a batch that was not written.
    const bool written = status == Written || status == WrittenNotReported;
    if (written && !options.summaryPath.isEmpty() && !writeSummary(options, uploadSha256, *sink))
        status = WrittenNotReported;
    if (options.reportPath.isEmpty() || writeReport(sink->report(), options.reportPath))
        return status;
    if (status == Written || status == WrittenNotReported) {
        sink->critical(QStringLiteral("Upload file written, but unable to write report ") + options.reportPath);
        return WrittenNotReported;
    }
    sink->critical(QStringLiteral("Unable to write report ") + options.reportPath);
    return Refused;
}
