#include "options.h"

#include "givenoption.h"
#include "optiontable.h"

#include "types/registry.h"

#include <QCommandLineParser>

#include <algorithm>

namespace {

// The first problem of the command line's shape, in the order checked: an
// option the command does not take or given twice (in the order given), then
// a required one missing.
QString shapeProblem(const QCommandLineParser& parser, Commands command, const QString& commandName)
{
    const QStringList given = parser.optionNames();
    for (const QString& name : given) {
        if (!(commandOption(name)->takes & command))
            return QStringLiteral("--%1 does not apply to %2").arg(name, commandName);
        if (given.count(name) > 1)
            return QStringLiteral("--%1 given more than once").arg(name);
    }
    for (const CommandOption& option : commandOptions())
        if ((option.requiredBy & command) && parser.value(option.name).trimmed().isEmpty())
            return QStringLiteral("missing ") + option.flag();
    return {};
}

// Every option command takes read into options, checked in CheckOrder; the
// first fault, if any.
QString readValues(const QCommandLineParser& parser, Commands command, Options& options)
{
    QVector<const CommandOption*> order;
    for (const CommandOption& option : commandOptions())
        if (option.read && (option.takes & command))
            order.append(&option);
    std::stable_sort(order.begin(), order.end(), [](const CommandOption* a, const CommandOption* b) {
        return a->checkOrder < b->checkOrder;
    });
    QString fault;
    for (const CommandOption* option : qAsConst(order)) {
        GivenOption given(parser, *option, fault);
        option->read(given, options);
    }
    for (const CommandOption* option : qAsConst(order))
        if (fault.isEmpty() && option->onlyInMode && *option->onlyInMode != options.mode && parser.isSet(option->name))
            fault = QStringLiteral("%1 needs %2").arg(option->flag(), modeArgument(*option->onlyInMode));
    return fault;
}

} // namespace

void addOptions(QCommandLineParser& parser, Commands commands)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const CommandOption& option : commandOptions())
        if (option.takes & commands)
            parser.addOption(option.parserOption());
}

QString readOptions(const QCommandLineParser& parser, Commands command, const QString& commandName, Options& options)
{
    const QString problem = shapeProblem(parser, command, commandName);
    return problem.isEmpty() ? readValues(parser, command, options) : problem;
}

QString commandWord(const QStringList& arguments)
{
    QCommandLineParser parser;
    addOptions(parser, everyCommand);
    return parser.parse(arguments) ? parser.positionalArguments().value(0) : QString();
}

ParsedCommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    addOptions(parser, everyCommand & ~verifyCommand);

    ParsedCommandLine result;
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(helpOption().name)) {
        result.help = true;
        return result;
    }
    if (!parsed) {
        result.error = parser.errorText();
        return result;
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        result.error = QStringLiteral("missing TYPE");
        return result;
    }
    Options& o = result.options;
    const QString word = positional.first();
    if (word == QLatin1String("history"))
        o.action = Options::Action::History;
    else if (word == QLatin1String("template"))
        o.action = Options::Action::Template;
    const int typeAt = o.action == Options::Action::Template ? 1 : 0;
    if (o.action != Options::Action::History) {
        if (positional.size() <= typeAt) {
            result.error = QStringLiteral("missing TYPE");
            return result;
        }
        o.type = positional.at(typeAt);
        if (!kova::descriptorForKeyword(o.type)) {
            result.error = QStringLiteral("unknown type: ") + o.type;
            return result;
        }
    }
    const int expected = o.action == Options::Action::History ? 1 : typeAt + 1;
    if (positional.size() > expected) {
        result.error = QStringLiteral("unexpected argument: ") + positional.at(expected);
        return result;
    }

    result.error = readOptions(parser, commandsOf(o), o.action == Options::Action::Export ? o.type : word, o);
    return result;
}
