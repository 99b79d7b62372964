#include "verifycommand.h"

#include "options.h"
#include "printingsink.h"
#include "usage.h"

#include "verify/uploadcheck.h"
#include "verify/uploadfacts.h"

#include <QCommandLineParser>

namespace {

enum ExitStatus { Sound = 0, Problems = 1, Unreadable = 2, BadUsage = 64 };

int usageError(const QString& problem)
{
    printLine(stderr, QStringLiteral("kova-export: ") + problem);
    printLine(stderr, usageLine());
    return BadUsage;
}

} // namespace

int verifyUpload(const QStringList& arguments)
{
    QCommandLineParser parser;
    addOptions(parser, verifyCommand);
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(helpOption().name)) {
        printLine(stdout, helpText());
        return Sound;
    }
    // The first is "verify".
    const QStringList positional = parser.positionalArguments();
    if (!parsed)
        return usageError(parser.errorText());
    if (positional.size() < 2)
        return usageError(QStringLiteral("missing FILE"));
    if (positional.size() > 2)
        return usageError(QStringLiteral("unexpected argument: ") + positional.at(2));
    Options options;
    const QString problem = readOptions(parser, verifyCommand, positional.at(0), options);
    if (!problem.isEmpty())
        return usageError(problem);
    const QString settingsPath = options.settingsPath;

    kova::UploadCheck check(positional.at(1));
    if (!check.failure().isEmpty()) {
        printLine(stderr, check.failure());
        return Unreadable;
    }
    for (const QString& line : kova::uploadFacts(check, settingsPath))
        printLine(stdout, line);
    kova::ProblemLines& problems = check.problems();
    // Lines held in a temporary file that could not be read back are still counted.
    if (!problems.writeTo(stdout))
        printLine(stderr, QStringLiteral("Unable to show every problem line"));
    return problems.count() == 0 ? Sound : Problems;
}
