#pragma once

#include "settings/clearing.h"
#include "types/batchtype.h"

#include <QCommandLineOption>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class GivenOption;
struct Options;

// The command lines an option belongs to, as bits: the export of each
// transaction type (by its BatchType), history, template and verify.
using Commands = unsigned;
constexpr Commands exportOf(kova::BatchType type)
{
    return 1u << unsigned(type);
}
constexpr Commands everyExport = exportOf(kova::BatchType::Transfer) | exportOf(kova::BatchType::Credit)
                                 | exportOf(kova::BatchType::Collection) | exportOf(kova::BatchType::Payroll);
constexpr Commands historyCommand = 1u << 4;
constexpr Commands templateCommand = 1u << 5;
constexpr Commands verifyCommand = 1u << 6;
constexpr Commands everyCommand = everyExport | historyCommand | templateCommand | verifyCommand;

// Where --help shows an option.
enum class Listing {
    Options,          // a line of its own under "Options:"
    Usage,            // in the usage line, which every usage error repeats
    BesidePrevious,   // on the line of the option before it ("--min N, --max N")
};

// When several options are wrong, the fault told is that of the option
// checked first: by what the option is about, in this order, then in table
// order. Last of all come options given in a bank mode that has no use for
// them.
enum class CheckOrder { Unchecked, Dates, Choices, Limits, DelimitedText, HeaderRow, AccountRow };

// The files <Tab> offers for a value: names ending as bash-completion's
// _filedir takes them ("" for every file), and where the template's own
// differ (it writes an .xlsx workbook), those.
struct FileNames
{
    QString endings;
    std::optional<QString> forTemplate = std::nullopt;
};

// One kova-export option: all the parser, --help (and through it the manual
// page) and the bash completion know of it. Built as the table does:
// CommandOption("report", everyExport).value("FILE").help(...).files({}).
struct CommandOption final
{
    QString name;   // without "--"
    Commands takes = 0;
    // What its value is called in --help; for a value that must be one of
    // choices, their names joined by "|". Empty for a switch.
    QString placeholder;
    QStringList choices;
    // --help's text, broken into lines as --help shows them.
    QString helpText;
    Listing listing = Listing::Options;
    Commands requiredBy = 0;   // refused as missing when absent or blank
    std::optional<FileNames> fileNames;
    CheckOrder checkOrder = CheckOrder::Unchecked;
    // Given in the other mode it is refused rather than dropped: dropping it
    // would export a batch other than the one asked for.
    std::optional<kova::BankMode> onlyInMode;
    // Puts the option, given or not, into the options; faults go to given.
    void (*read)(GivenOption& given, Options& options) = nullptr;

    CommandOption(const char* name, Commands takes);
    CommandOption& value(const char* placeholder);
    CommandOption& oneOf(const QStringList& names);
    CommandOption& help(const char* text);
    CommandOption& inUsage();
    CommandOption& besidePrevious();
    CommandOption& required(Commands commands);
    CommandOption& files(const FileNames& names);
    CommandOption& checked(CheckOrder order);
    CommandOption& onlyIn(kova::BankMode mode);
    CommandOption& reads(void (*reader)(GivenOption&, Options&));

    bool takesValue() const { return !placeholder.isEmpty(); }
    QCommandLineOption parserOption() const;
    QString flag() const { return QStringLiteral("--") + name; }
    // "--report FILE", as --help shows it.
    QString synopsis() const { return takesValue() ? flag() + QLatin1Char(' ') + placeholder : flag(); }
};

// Every option, in the order --help lists them.
const QVector<CommandOption>& commandOptions();

// The option called name ("sheet"), or nullptr.
const CommandOption* commandOption(const QString& name);

// The switch that asks for --help's text, whatever else is given.
const CommandOption& helpOption();

// How --mode names mode, as "--mode others", for the options only one mode takes.
QString modeArgument(kova::BankMode mode);

// "--delimiter, --encoding, --date-order and --decimal-mark": the options of
// delimited text, which a workbook refuses.
QString delimitedTextOptions();

// The commands the command line names: TYPE's export, history or template
// (verify has a command line of its own).
Commands commandsOf(const Options& options);
