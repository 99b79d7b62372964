#include "optiontable.h"

#include "givenoption.h"
#include "options.h"

#include "settings/settingsfile.h"
#include "types/registry.h"
#include "reader/cells/textoptions.h"

#include <QFile>

#include <limits>

CommandOption::CommandOption(const char* name, Commands takes) : name(QString::fromUtf8(name)), takes(takes) {}

CommandOption& CommandOption::value(const char* text)
{
    placeholder = QString::fromUtf8(text);
    return *this;
}

CommandOption& CommandOption::oneOf(const QStringList& names)
{
    choices = names;
    placeholder = names.join(QLatin1Char('|'));
    return *this;
}

CommandOption& CommandOption::help(const char* text)
{
    helpText = QString::fromUtf8(text);
    return *this;
}

CommandOption& CommandOption::inUsage()
{
    listing = Listing::Usage;
    return *this;
}

CommandOption& CommandOption::besidePrevious()
{
    listing = Listing::BesidePrevious;
    return *this;
}

CommandOption& CommandOption::required(Commands commands)
{
    requiredBy = commands;
    return *this;
}

CommandOption& CommandOption::files(const FileNames& names)
{
    fileNames = names;
    return *this;
}

CommandOption& CommandOption::checked(CheckOrder order)
{
    checkOrder = order;
    return *this;
}

CommandOption& CommandOption::onlyIn(kova::BankMode mode)
{
    onlyInMode = mode;
    return *this;
}

CommandOption& CommandOption::reads(void (*reader)(GivenOption&, Options&))
{
    read = reader;
    return *this;
}

QCommandLineOption CommandOption::parserOption() const
{
    return takesValue() ? QCommandLineOption(name, QString(), QStringLiteral("value")) : QCommandLineOption(name);
}

namespace {

using kova::BatchType;
using O = CommandOption;

constexpr Commands transfer = exportOf(BatchType::Transfer);
constexpr Commands credit = exportOf(BatchType::Credit);
constexpr Commands collection = exportOf(BatchType::Collection);
constexpr Commands payroll = exportOf(BatchType::Payroll);

QStringList names(std::initializer_list<const char*> list)
{
    QStringList all;
    for (const char* name : list)
        all.append(QString::fromUtf8(name));
    return all;
}

// The option that chooses the bank mode, and its choices in the order of
// kova::BankMode; options of one mode alone name it.
const char* const modeName = "mode";
const QStringList bankModes = names({"wdk", "others"});

const char* const helpName = "help";

// A header row needs a row below it for data.
constexpr int lastHeaderRow = 1048575;

// The files kova-export reads as a workbook: what the window's Browse offers.
const FileNames workbooks{QStringLiteral("@(xlsx|xlsm|xls|ods|csv|txt)")};

// The first line of the file, without its line end; the environment's
// KOVA_PASSWORD when no file is given.
QString password(GivenOption& v)
{
    if (!v.given())
        return qEnvironmentVariable("KOVA_PASSWORD");
    QFile file(v.text());
    if (!file.open(QIODevice::ReadOnly)) {
        v.fail(QStringLiteral("--password-file: cannot read ") + v.text());
        return {};
    }
    QByteArray line = file.readLine(64 * 1024);
    if (line.endsWith('\n'))
        line.chop(line.endsWith("\r\n") ? 2 : 1);
    return QString::fromUtf8(line);
}

} // namespace

const QVector<CommandOption>& commandOptions()
{
    static const QVector<CommandOption> table = {
        O("source", everyExport).value("WORKBOOK").inUsage().required(everyExport).files(workbooks)
            .reads([](GivenOption& v, Options& o) { o.source = v.text(); }),
        // Delimited text has one sheet: --sheet may be left out for it.
        O("sheet", everyExport).value("SHEET").inUsage()
            .reads([](GivenOption& v, Options& o) { o.sheet = v.text(); }),
        O("dest", everyExport | templateCommand).value("FILE").inUsage().required(everyExport | templateCommand)
            .files({QString(), QStringLiteral("xlsx")})
            .reads([](GivenOption& v, Options& o) { o.dest = v.text(); }),
        O("delimiter", everyExport).oneOf(names({"comma", "semicolon", "tab", "pipe"}))
            .help("delimited text: the delimiter (default: found)")
            .checked(CheckOrder::DelimitedText)
            .reads([](GivenOption& v, Options& o) { o.text.delimiter = v.named(reader::delimiterNamed).value_or(o.text.delimiter); }),
        O("encoding", everyExport).oneOf(names({"utf-8", "utf-16le", "utf-16be", "windows-1252"}))
            .help("delimited text: the encoding (default: the byte order\n"
                  "mark, else UTF-8 when valid, else windows-1252)")
            .checked(CheckOrder::DelimitedText)
            .reads([](GivenOption& v, Options& o) { o.text.encoding = v.named(reader::encodingNamed).value_or(o.text.encoding); }),
        O("date-order", everyExport).oneOf(names({"dmy", "mdy"}))
            .help("delimited text: the date column's order when none of\n"
                  "its dates tells (such as 25/12/2026 does) whether\n"
                  "05/12/2026 is day first or month first (default: dmy)")
            .checked(CheckOrder::DelimitedText)
            .reads([](GivenOption& v, Options& o) { o.text.dateOrder = v.named(reader::dateOrderNamed).value_or(o.text.dateOrder); }),
        O("decimal-mark", everyExport).oneOf(names({"dot", "comma"}))
            .help("delimited text: the amounts' decimal mark (default:\n"
                  "what the amount column shows, as 1.250.000,00 or\n"
                  "1,234.56 do; a column where 750.000 could be either\n"
                  "is refused without it)")
            .checked(CheckOrder::DelimitedText)
            .reads([](GivenOption& v, Options& o) { o.text.decimalMark = v.named(reader::decimalMarkNamed); }),
        O("settings", everyCommand).value("FILE").files({QStringLiteral("ini")})
            .help("the settings file (default: kova.ini beside the executable\n"
                  "when that folder is writable, else ~/.config/kova/kova.ini)")
            .reads([](GivenOption& v, Options& o) { o.settingsPath = v.given() ? v.text() : kova::defaultSettingsPath(); }),
        O("from", everyExport).value("DATE").help("start of the date filter, YYYY-MM-DD (default: today)")
            .checked(CheckOrder::Dates)
            .reads([](GivenOption& v, Options& o) { o.from = v.date(); }),
        O("to", everyExport).value("DATE")
            .help("end of the date filter (default: today); the filter is\n"
                  "on only when the date column is mapped")
            .checked(CheckOrder::Dates)
            .reads([](GivenOption& v, Options& o) { o.to = v.date(); }),
        O(modeName, transfer | credit).oneOf(bankModes)
            .help("beneficiary-bank mode, transfer and credit (default: wdk)")
            .checked(CheckOrder::Choices)
            .reads([](GivenOption& v, Options& o) { o.mode = kova::BankMode(v.choice()); }),
        O("clearing", transfer | credit).oneOf(names({"llg", "rtgs"})).help("clearing in Others mode (default: llg)")
            .checked(CheckOrder::Choices).onlyIn(kova::BankMode::Others)
            .reads([](GivenOption& v, Options& o) { o.clearingIndex = v.choice(); }),
        O("wdk", credit).oneOf(names({"sp", "mp"}))
            .help("credit in WDK mode: \"One To One (SP)\" or\n"
                  "\"One To Many (MP)\" (default: sp)")
            .checked(CheckOrder::Choices).onlyIn(kova::BankMode::WDK)
            .reads([](GivenOption& v, Options& o) { o.wdkIndex = v.choice(); }),
        O("min", transfer | credit).value("N")
            .help("the two limit fields in Others mode (default: the\n"
                  "stored limits of the chosen clearing)")
            .checked(CheckOrder::Limits).onlyIn(kova::BankMode::Others)
            .reads([](GivenOption& v, Options& o) { o.minLimit = v.limit(); }),
        O("max", transfer | credit).value("N").besidePrevious()
            .checked(CheckOrder::Limits).onlyIn(kova::BankMode::Others)
            .reads([](GivenOption& v, Options& o) { o.maxLimit = v.limit(); }),
        O("effective", everyExport).value("DATE")
            .help("effective date (default: today); for credit and\n"
                  "collection it also selects \"On\" instead of\n"
                  "\"Immediate On Authorization\"")
            .checked(CheckOrder::Dates)
            .reads([](GivenOption& v, Options& o) {
                if (v.given())
                    o.effective = v.date();
            }),
        // Whether the accounts table holds the row is the export's check, as in the window.
        O("account", credit | collection | payroll).value("N")
            .help("row N (from 1) of the stored accounts table is the\n"
                  "checked one: credit, collection, payroll (default: none)")
            .checked(CheckOrder::AccountRow)
            .reads([](GivenOption& v, Options& o) { o.account = v.rowNumber(std::numeric_limits<int>::max()); }),
        O("remarks1", credit | collection).value("TEXT")
            .help("batch remarks, credit and collection (default: empty)")
            .reads([](GivenOption& v, Options& o) { o.remarks1 = v.text(); }),
        O("remarks2", credit | collection).value("TEXT")
            .reads([](GivenOption& v, Options& o) { o.remarks2 = v.text(); }),
        // In the order of Options::Holiday.
        O("holiday", payroll).oneOf(names({"before", "after"})).help("payroll holiday choice (default: before)")
            .checked(CheckOrder::Choices)
            .reads([](GivenOption& v, Options& o) { o.holiday = Options::Holiday(v.choice()); }),
        O("header-id", transfer).value("TEXT").help("transfer Header ID (default: the stored one)")
            .reads([](GivenOption& v, Options& o) { o.headerId = v.textIfGiven(); }),
        O("corporate-id", transfer).value("TEXT").help("transfer Corporate ID (default: the stored one)")
            .reads([](GivenOption& v, Options& o) { o.corporateId = v.textIfGiven(); }),
        O("layout", everyExport).value("NAME")
            .help("the saved layout (mapping) to read the sheet by\n"
                  "(default: the one whose saved column titles are all\n"
                  "on the sheet, else the one chosen in the window)")
            .reads([](GivenOption& v, Options& o) { o.layout = v.text(); }),
        O("header-row", everyExport).value("N")
            .help("the row of the column titles (default: the saved one,\n"
                  "1 when none is saved); the rows above it are no data")
            .checked(CheckOrder::HeaderRow)
            .reads([](GivenOption& v, Options& o) { o.headerRow = v.rowNumber(lastHeaderRow); }),
        O("password-file", everyExport).value("FILE").files({QString()})
            .help("the workbook's password: the first line of FILE\n"
                  "(default: the KOVA_PASSWORD environment variable)")
            .reads([](GivenOption& v, Options& o) { o.password = password(v); }),
        O("report", everyExport).value("FILE").help("also write the run's log as JSON").files({QString()})
            .reads([](GivenOption& v, Options& o) { o.reportPath = v.text(); }),
        O("summary", everyExport).value("FILE").files({QStringLiteral("pdf")})
            .help("after a written batch, also write its approval summary\n"
                  "(PDF): the payments read back from the upload file and\n"
                  "its SHA-256, with lines for the preparer and the approver")
            .reads([](GivenOption& v, Options& o) { o.summaryPath = v.text(); }),
        O("allow-duplicate", everyExport)
            .help("write a batch even when the same payments were written\n"
                  "before, or the register cannot tell")
            .reads([](GivenOption& v, Options& o) { o.allowDuplicate = v.given(); }),
        O("save-mapping", templateCommand).help("template: store the template's columns as TYPE's mapping")
            .reads([](GivenOption& v, Options& o) { o.saveMapping = v.given(); }),
        O(helpName, everyCommand).help("show this text"),
    };
    return table;
}

const CommandOption* commandOption(const QString& name)
{
    for (const CommandOption& option : commandOptions())
        if (option.name == name)
            return &option;
    return nullptr;
}

const CommandOption& helpOption()
{
    static const CommandOption& help = *commandOption(QString::fromUtf8(helpName));
    return help;
}

QString modeArgument(kova::BankMode mode)
{
    return commandOption(QString::fromUtf8(modeName))->flag() + QLatin1Char(' ') + bankModes.at(int(mode));
}

QString delimitedTextOptions()
{
    QStringList flags;
    for (const CommandOption& option : commandOptions())
        if (option.checkOrder == CheckOrder::DelimitedText)
            flags.append(option.flag());
    const QString last = flags.takeLast();
    return flags.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

Commands commandsOf(const Options& options)
{
    switch (options.action) {
    case Options::Action::History:
        return historyCommand;
    case Options::Action::Template:
        return templateCommand;
    case Options::Action::Export:
        break;
    }
    return exportOf(kova::descriptorForKeyword(options.type)->type);
}
