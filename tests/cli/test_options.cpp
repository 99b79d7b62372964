// kova-export's options as its table declares them: the parser and --help
// made from it.
#include "options.h"
#include "optiontable.h"
#include "usage.h"

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

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private slots:
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
