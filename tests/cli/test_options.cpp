// kova-export's options as its table declares them: the parser, --help and the
// bash completion script made from it agree.
#include "options.h"
#include "optiontable.h"
#include "usage.h"

#include <QCommandLineParser>
#include <QFile>
#include <QProcess>
#include <QtTest>

namespace {

ParsedCommandLine parse(const QStringList& arguments)
{
    return parseCommandLine(QStringList{QStringLiteral("kova-export")} + arguments);
}

QStringList words(const QString& text)
{
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the shipped completion script offers for the last of words, sorted:
// bash-completion's helpers stand in as the plainest they can be, and
// _filedir answers with the endings it was asked for.
QStringList offered(const QStringList& words)
{
    static const QString stubs = QStringLiteral(R"bash(
_init_completion() { words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD; cur=${words[cword]}; prev=${words[cword-1]}; split=false; }
_filedir() { COMPREPLY=("files:$1"); }
. "$0" || exit 1
COMP_WORDS=("$@")
COMP_CWORD=$(($# - 1))
_kova_export
printf '%s\n' "${COMPREPLY[@]}"
)bash");
    QProcess bash;
    bash.start(QStringLiteral("bash"), QStringList{QStringLiteral("-c"), stubs, QStringLiteral(KOVA_SHIPPED_COMPLETION),
                                                    QStringLiteral("kova-export")} + words);
    if (!bash.waitForFinished(10000) || bash.exitCode() != 0)
        return {QStringLiteral("bash failed: ") + QString::fromUtf8(bash.readAllStandardError())};
    QStringList lines = QString::fromUtf8(bash.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Whether the command line takes arguments (the program's name left out):
// verify's has a parser of its own that knows only its options.
bool takes(const QStringList& arguments)
{
    if (arguments.first() != QLatin1String("verify"))
        return !parse(arguments).error.contains(QStringLiteral(" does not apply to "));
    QCommandLineParser parser;
    addOptions(parser, verifyCommand);
    return parser.parse(QStringList{QStringLiteral("kova-export")} + arguments);
}

// The options the parser lets the command take, sorted as the completion's are.
QStringList taken(const QStringList& command)
{
    QStringList flags;
    for (const CommandOption& option : commandOptions()) {
        QStringList arguments = command + QStringList{option.flag()};
        if (option.takesValue())
            arguments.append(QStringLiteral("x"));
        if (takes(arguments))
            flags.append(option.flag());
    }
    std::sort(flags.begin(), flags.end());
    return flags;
}

// Before the command, a line may hold what every command takes.
QStringList takenByEveryCommand()
{
    QStringList flags;
    for (const QString& flag : taken(words("transfer"))) {
        bool everyCommand = true;
        for (const char* other : {"credit", "collection", "payroll", "history", "template payroll", "verify f.txt"})
            everyCommand = everyCommand && taken(words(other)).contains(flag);
        if (everyCommand)
            flags.append(flag);
    }
    return flags;
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private slots:
    // The script installed is the one the table writes at build time, line for line.
    void shippedCompletionIsTheTables()
    {
        const QList<QByteArray> shipped = fileBytes(QStringLiteral(KOVA_SHIPPED_COMPLETION)).split('\n');
        const QList<QByteArray> written = fileBytes(QStringLiteral(KOVA_WRITTEN_COMPLETION)).split('\n');
        QVERIFY(!written.value(0).isEmpty());
        for (int i = 0; i < qMax(shipped.size(), written.size()); ++i) {
            if (shipped.value(i) != written.value(i)) {
                QFAIL(qPrintable(QStringLiteral("packaging/kova-export.bash-completion line %1 is not the table's; "
                                                "copy %2 over it\n   shipped: %3\n   written: %4")
                                     .arg(i + 1)
                                     .arg(QStringLiteral(KOVA_WRITTEN_COMPLETION), QString::fromUtf8(shipped.value(i)),
                                          QString::fromUtf8(written.value(i)))));
            }
        }
    }

    void completionOffersWhatTheCommandTakes_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::newRow("before the command") << QStringList();
        for (const char* command : {"transfer", "credit", "collection", "payroll", "history", "template payroll", "verify f.txt"})
            QTest::newRow(command) << words(QString::fromUtf8(command));
    }

    void completionOffersWhatTheCommandTakes()
    {
        QFETCH(QStringList, command);
        QCOMPARE(offered(command + QStringList{QStringLiteral("--")}), command.isEmpty() ? takenByEveryCommand() : taken(command));
    }

    // An option's value is completed by what the option is; values given are passed over.
    void completionOfValues_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("expected");
        for (const CommandOption& option : commandOptions()) {
            if (!option.takesValue())
                continue;
            const QString command = (option.takes & exportOf(kova::BatchType::Credit)) ? QStringLiteral("credit")
                                    : (option.takes & exportOf(kova::BatchType::Transfer)) ? QStringLiteral("transfer")
                                                                                            : QStringLiteral("payroll");
            QStringList expected = option.choices;
            if (option.fileNames)
                expected = QStringList{QStringLiteral("files:") + option.fileNames->endings};
            std::sort(expected.begin(), expected.end());
            QTest::newRow(qPrintable(option.flag())) << QStringList{command, option.flag(), QString()} << expected;
        }
        QTest::newRow("template's --dest") << words("template payroll --dest") + QStringList{QString()}
                                           << QStringList{"files:xlsx"};
        QTest::newRow("after --settings FILE") << words("template --settings k.ini") + QStringList{QString()}
                                               << words("collection credit payroll transfer");
        QTest::newRow("after the template's --dest FILE") << words("template --dest t.xlsx") + QStringList{QString()}
                                                          << words("collection credit payroll transfer");
        QTest::newRow("options given once") << words("history --settings=k.ini --") << words("--help");
        QTest::newRow("verify's file") << words("verify") + QStringList{QString()} << QStringList{"files:"};
        QTest::newRow("choice typed in part") << words("payroll --holiday a") << words("after");
    }

    void completionOfValues()
    {
        QFETCH(QStringList, words);
        QFETCH(QStringList, expected);
        QCOMPARE(offered(words), expected);
    }

    // The fault told is the first in the order the checks always ran: the
    // dates, the choices, the limits, how delimited text is read, the header
    // row, the accounts row, then an option the bank mode has no use for;
    // wherever each stands on the line.
    void firstFaultTold_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("error");
        const QString date = QStringLiteral("--effective: not a date YYYY-MM-DD: 5");
        QTest::newRow("date after text") << "--delimiter colon --effective 5" << date;
        QTest::newRow("date after account") << "--account 0 --effective 5" << date;
        QTest::newRow("choice after limit") << "--mode others --max x --clearing x"
                                            << "--clearing must be one of llg|rtgs: x";
        QTest::newRow("limit after text") << "--date-order ymd --mode others --min x" << "--min: not a number: x";
        QTest::newRow("header row after account") << "--account 0 --header-row 0"
                                                  << "--header-row must be a row number from 1 to 1048575: 0";
        QTest::newRow("mode last") << "--clearing rtgs --header-row 0"
                                   << "--header-row must be a row number from 1 to 1048575: 0";
        QTest::newRow("modes in table order") << "--max 1 --min 1 --clearing llg" << "--clearing needs --mode others";
        QTest::newRow("wdk in others mode") << "--wdk mp --mode others" << "--wdk needs --mode wdk";
    }

    void firstFaultTold()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, error);
        QCOMPARE(parse(words("credit --source b.xlsx --sheet S --dest o.txt " + arguments)).error, error);
    }

    // --header-row and --account are row numbers alike: plain digits, from 1.
    void rowNumbers_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("row");   // 0: refused, as "from 1 to last"
        QTest::addColumn<int>("last");
        for (const QString& option : QStringList{"header-row", "account"}) {
            const int last = option == "account" ? std::numeric_limits<int>::max() : 1048575;
            const auto row = [&](const char* name, const QString& value, int read) {
                QTest::newRow(qPrintable(option + ": " + name)) << option << value << read << last;
            };
            row("first", "1", 1);
            row("leading zero", "07", 7);
            row("last", QString::number(last), last);
            row("past the last", QString::number(qint64(last) + 1), 0);
            row("zero", "0", 0);
            row("negative", "-1", 0);
            row("plus sign", "+1", 0);
            row("space", " 1", 0);
            row("line feed", "1\n", 0);
            row("not ASCII digits", QString::fromUtf8("\u0663"), 0);
            row("empty", "", 0);
        }
    }

    void rowNumbers()
    {
        QFETCH(QString, option);
        QFETCH(QString, value);
        QFETCH(int, row);
        QFETCH(int, last);
        const ParsedCommandLine parsed = parse(words("payroll --source b.xlsx --sheet S --dest o.txt --" + option) << value);
        const std::optional<int> read = option == "account" ? parsed.options.account : parsed.options.headerRow;
        if (row) {
            QCOMPARE(parsed.error, QString());
            QCOMPARE(read, std::optional<int>(row));
        } else {
            QCOMPARE(parsed.error, QString("--%1 must be a row number from 1 to %2: %3").arg(option).arg(last).arg(value));
        }
    }

    // --help lays each option out as it always did, whatever the width of its name and value.
    void helpLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("next");
        const QString indent(24, ' ');
        QTest::newRow("usage") << "Usage: kova-export TYPE --source WORKBOOK --sheet SHEET --dest FILE [options]"
                               << "  or:  kova-export history [--settings FILE]";
        QTest::newRow("name below the column") << "  --date-order dmy|mdy  delimited text: the date column's order when none of"
                                               << indent + "its dates tells (such as 25/12/2026 does) whether";
        QTest::newRow("name up to the column") << "  --holiday before|after  payroll holiday choice (default: before)"
                                               << "  --header-id TEXT      transfer Header ID (default: the stored one)";
        QTest::newRow("name past the column") << "  --decimal-mark dot|comma"
                                              << indent + "delimited text: the amounts' decimal mark (default:";
        QTest::newRow("two on one line") << "  --min N, --max N      the two limit fields in Others mode (default: the"
                                         << indent + "stored limits of the chosen clearing)";
        QTest::newRow("no help of its own") << "  --remarks2 TEXT" << "  --holiday before|after  payroll holiday choice (default: before)";
        QTest::newRow("switch, last") << "  --help                show this text" << "";
    }


    void helpLines()
    {
        QFETCH(QString, line);
        QFETCH(QString, next);
        const QStringList lines = helpText().split('\n');
        const int at = lines.indexOf(line);
        QVERIFY2(at >= 0, qPrintable(line));
        QCOMPARE(lines.value(at + 1), next);
    }

};

QTEST_GUILESS_MAIN(TestOptions)
#include "test_options.moc"
