#include "record/amounttext.h"
#include "record/datetext.h"
#include "record/money.h"
#include "record/utf8block.h"

#include <QtTest>

using namespace kova;

namespace {

QString shown(const QDate& date) { return date.isValid() ? date.toString(Qt::ISODate) : QStringLiteral("none"); }

QString shown(const DateTextReadings& readings)
{
    return shown(readings.dayFirst) + " | " + shown(readings.monthFirst);
}

QString shown(MarkEvidence evidence)
{
    switch (evidence) {
    case MarkEvidence::None:
        return "None";
    case MarkEvidence::Dot:
        return "Dot";
    case MarkEvidence::Comma:
        return "Comma";
    case MarkEvidence::Ambiguous:
        return "Ambiguous";
    }
    return "?";
}

const QString refused = "refused";

QString shown(const std::optional<QString>& plain) { return plain ? *plain : refused; }

} // namespace

class TestTextConventions final : public QObject
{
    Q_OBJECT

private slots:
    void dateText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // day first | month first
        const QString fifthOfDecember = "2026-12-05 | 2026-05-12";
        const QString sure = "2026-12-05 | 2026-12-05";
        const QString none = "none | none";

        QTest::newRow("either order") << "05/12/2026" << fifthOfDecember;
        QTest::newRow("only day first") << "25/12/2026" << "2026-12-25 | none";
        QTest::newRow("only month first") << "12/25/2026" << "none | 2026-12-25";
        QTest::newRow("dashes") << "05-12-2026" << fifthOfDecember;
        QTest::newRow("dots") << "05.12.2026" << fifthOfDecember;
        QTest::newRow("one digit each") << "5/1/2026" << "2026-01-05 | 2026-05-01";
        QTest::newRow("white space around") << " 05/12/2026 " << fifthOfDecember;
        QTest::newRow("tab and no-break space around") << QString::fromUtf8("\t05/12/2026\u00a0") << fifthOfDecember;
        QTest::newRow("leap day") << "29/02/2028" << "2028-02-29 | none";

        QTest::newRow("two-digit year") << "05/12/26" << fifthOfDecember;
        QTest::newRow("00 is 2000") << "05/12/00" << "2000-12-05 | 2000-05-12";
        QTest::newRow("29 is 2029") << "05/12/29" << "2029-12-05 | 2029-05-12";
        QTest::newRow("30 is 1930") << "05/12/30" << "1930-12-05 | 1930-05-12";
        QTest::newRow("99 is 1999") << "05/12/99" << "1999-12-05 | 1999-05-12";

        QTest::newRow("yyyy-mm-dd") << "2026-12-05" << sure;
        QTest::newRow("yyyy/mm/dd") << "2026/12/05" << sure;
        QTest::newRow("yyyy-m-d") << "2026-12-5" << sure;

        QTest::newRow("5 Dec 2026") << "5 Dec 2026" << sure;
        QTest::newRow("5 Des 2026") << "5 Des 2026" << sure;
        QTest::newRow("05-Des-2026") << "05-Des-2026" << sure;
        QTest::newRow("05-Des-26") << "05-Des-26" << sure;
        QTest::newRow("5 Desember 2026") << "5 Desember 2026" << sure;
        QTest::newRow("5 December 2026") << "5 December 2026" << sure;
        QTest::newRow("case ignored") << "5 dECEMBER 2026" << sure;
        QTest::newRow("Dec 5, 2026") << "Dec 5, 2026" << sure;
        QTest::newRow("December 5 2026") << "December 5 2026" << sure;
        QTest::newRow("Dec-05-2026") << "Dec-05-2026" << sure;
        QTest::newRow("Mei") << "5 Mei 2026" << "2026-05-05 | 2026-05-05";
        QTest::newRow("May") << "May 5, 2026" << "2026-05-05 | 2026-05-05";
        QTest::newRow("Agu") << "17 Agu 2026" << "2026-08-17 | 2026-08-17";
        QTest::newRow("Agustus") << "17 Agustus 2026" << "2026-08-17 | 2026-08-17";
        QTest::newRow("Sept") << "Sept 1, 2026" << "2026-09-01 | 2026-09-01";
        QTest::newRow("Okt") << "1-Okt-2026" << "2026-10-01 | 2026-10-01";
        QTest::newRow("Maret") << "1 Maret 2026" << "2026-03-01 | 2026-03-01";

        QTest::newRow("with time, seconds") << "2026-12-05 00:00:00" << sure;
        QTest::newRow("with time, fraction") << "2026-12-05 00:00:00.000" << sure;
        QTest::newRow("with time, minutes") << "05/12/2026 13:45" << fifthOfDecember;
        QTest::newRow("with time, one-digit hour") << "05/12/2026 9:05:30" << fifthOfDecember;
        QTest::newRow("named month with time") << "5 Dec 2026 13:45" << sure;

        QTest::newRow("31/02/2026") << "31/02/2026" << none;
        QTest::newRow("29/02/2026") << "29/02/2026" << none;
        QTest::newRow("no month 13 either way") << "13/13/2026" << none;
        QTest::newRow("day 0") << "00/12/2026" << "none | none";
        QTest::newRow("2026-02-30") << "2026-02-30" << none;
        QTest::newRow("1.2.3") << "1.2.3" << none;
        QTest::newRow("text") << "Budi Santoso" << none;
        QTest::newRow("empty") << "" << none;
        QTest::newRow("mixed separators") << "05/12-2026" << none;
        QTest::newRow("mixed separators, year first") << "2026-12/05" << none;
        QTest::newRow("mixed separators, named") << "5 Dec-2026" << none;
        QTest::newRow("three-digit day") << "005/12/2026" << none;
        QTest::newRow("three-digit year") << "05/12/202" << none;
        QTest::newRow("five-digit year") << "05/12/20266" << none;
        QTest::newRow("yyyy.mm.dd") << "2026.12.05" << none;
        QTest::newRow("no day") << "2026-12" << none;
        QTest::newRow("space as separator of numbers") << "05 12 2026" << none;
        QTest::newRow("no month of that name") << "5 Dex 2026" << none;
        QTest::newRow("month name too long") << "5 Decemberr 2026" << none;
        QTest::newRow("two spaces") << "5  Dec 2026" << none;
        QTest::newRow("comma after the day first") << "5 Dec, 2026" << none;
        QTest::newRow("other digits") << QString::fromUtf8("٠٥/١٢/٢٠٢٦") << none;
        QTest::newRow("amount") << "1.250.000" << none;
        QTest::newRow("hour 24") << "05/12/2026 24:00" << none;
        QTest::newRow("minute 60") << "05/12/2026 13:60" << none;
        QTest::newRow("hour alone") << "05/12/2026 13" << none;
        QTest::newRow("time joined by T") << "2026-12-05T13:45" << none;
        QTest::newRow("more after the time") << "05/12/2026 13:45:30 WIB" << none;
        QTest::newRow("more after the date") << "05/12/2026x" << none;
    }
    void dateText()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(shown(readDateText(text)), expected);
    }

    // Records and message lines go into their blocks as the text's own UTF-8, written eight characters at a
    // time while they are ASCII: a letter beyond it anywhere, in the first eight or after, a pair of surrogates
    // and one left unpaired convert as the text itself does, after what the block already holds.
    void utf8Block_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("short") << QStringLiteral("1|00001|");
        QTest::newRow("long") << QStringLiteral("1|00001|INV-1|1234567890|0012345678|1000.50||||||ANI|||||||");
        QTest::newRow("letter first") << QString::fromUtf8("\u00e9tude");
        QTest::newRow("letter past eight") << QString::fromUtf8("Beneficiary Jos\u00e9 Ortega");
        QTest::newRow("letter last") << QString::fromUtf8("0123456789abcdef\u00ff");
        QTest::newRow("ideographs") << QString::fromUtf8("Keterangan \u652f\u4ed8 panjang");
        QTest::newRow("pair") << QString::fromUtf8("Nama \U0001F600 dan lain-lain");
        QTest::newRow("unpaired") << QStringLiteral("0123456789") + QChar(0xD800) + QStringLiteral("x");
    }

    void utf8Block()
    {
        QFETCH(QString, text);
        QByteArray block("x");
        appendUtf8(block, text);
        QCOMPARE(block, "x" + text.toUtf8());
    }

    void amountText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("evidence");
        QTest::addColumn<QString>("asDot");
        QTest::addColumn<QString>("asComma");

        QTest::newRow("no separator") << "750000" << "None" << "750000" << "750000";
        QTest::newRow("no separator, spaces around") << " 750000\t" << "None" << "750000" << "750000";
        QTest::newRow("no separator, signed") << "-750000" << "None" << "-750000" << "-750000";
        QTest::newRow("no separator, plus") << "+750000" << "None" << "+750000" << "+750000";
        QTest::newRow("no separator, exponent") << "1E5" << "None" << "1E5" << "1E5";

        QTest::newRow("750.000") << "750.000" << "Ambiguous" << "750.000" << "750000";
        QTest::newRow("1,250") << "1,250" << "Ambiguous" << "1250" << "1.250";
        QTest::newRow("ambiguous, spaces around") << " 750.000 " << "Ambiguous" << "750.000" << "750000";
        QTest::newRow("ambiguous, signed") << "-1,250" << "Ambiguous" << "-1250" << "-1.250";

        QTest::newRow("750,5") << "750,5" << "Comma" << refused << "750.5";
        QTest::newRow("1.250.000,00") << "1.250.000,00" << "Comma" << refused << "1250000.00";
        QTest::newRow("1.234.567") << "1.234.567" << "Comma" << refused << "1234567";
        QTest::newRow("signed, grouped") << "-1.250.000,50" << "Comma" << refused << "-1250000.50";
        QTest::newRow("no whole part") << ",5" << "Comma" << refused << ".5";
        QTest::newRow("0,500") << "0,500" << "Comma" << refused << "0.500";
        QTest::newRow("1,5E+06") << "1,5E+06" << "Comma" << refused << "1.5E+06";
        QTest::newRow("grouping before an exponent") << "1.250,5e3" << "None" << refused << refused;

        QTest::newRow("1,234.56") << "1,234.56" << "Dot" << "1234.56" << refused;
        QTest::newRow("750.50") << "750.50" << "Dot" << "750.50" << refused;
        QTest::newRow("1,234,567") << "1,234,567" << "Dot" << "1234567" << refused;
        QTest::newRow("1,250,000.00") << "1,250,000.00" << "Dot" << "1250000.00" << refused;
        QTest::newRow("0.500 is never grouped") << "0.500" << "Dot" << "0.500" << refused;
        QTest::newRow("four digits before") << "1000.000" << "Dot" << "1000.000" << refused;
        QTest::newRow("mark last") << "750." << "Dot" << "750." << refused;
        QTest::newRow("1.500E+06 is never grouped") << "1.500E+06" << "Dot" << "1.500E+06" << refused;

        QTest::newRow("bad grouping") << "12.50.000,00" << "None" << refused << refused;
        QTest::newRow("last group of four") << "1,2345.00" << "None" << refused << refused;
        QTest::newRow("first group of four") << "1234,567.00" << "None" << refused << refused;
        QTest::newRow("two commas after the decimal") << "1.250,00,00" << "None" << refused << refused;
        QTest::newRow("two dots after the decimal") << "1,234.56.7" << "None" << refused << refused;
        QTest::newRow("one of each after one digit") << "1,2.3" << "None" << refused << refused;
        QTest::newRow("sign after") << "1.250-" << "None" << refused << refused;
        QTest::newRow("no cents as a dash") << "1.250,-" << "None" << refused << refused;
        QTest::newRow("two signs") << "+-1.250" << "None" << refused << refused;
        QTest::newRow("sign inside") << "1.2-50" << "None" << refused << refused;
        QTest::newRow("space after the sign") << "- 1.250" << "None" << refused << refused;
        QTest::newRow("space as a separator") << "1 250,00" << "None" << refused << refused;
        QTest::newRow("space before the mark") << "1.250 ,00" << "None" << refused << refused;
        QTest::newRow("currency") << "Rp 1.250" << "None" << refused << refused;
        QTest::newRow("exponent without digits") << "1.2E" << "None" << refused << refused;
        QTest::newRow("other digits") << QString::fromUtf8("٧٥٠") << "None" << refused << refused;
        QTest::newRow("mark alone") << "." << "None" << refused << refused;
        QTest::newRow("sign alone") << "-" << "None" << refused << refused;
        QTest::newRow("empty") << "" << "None" << refused << refused;
        QTest::newRow("text") << "abc" << "None" << refused << refused;
    }
    void amountText()
    {
        QFETCH(QString, text);
        QFETCH(QString, evidence);
        QFETCH(QString, asDot);
        QFETCH(QString, asComma);
        QCOMPARE(shown(markEvidence(text)), evidence);
        const std::optional<QString> dot = plainAmountText(text, DecimalMark::Dot);
        const std::optional<QString> comma = plainAmountText(text, DecimalMark::Comma);
        QCOMPARE(shown(dot), asDot);
        QCOMPARE(shown(comma), asComma);
        for (const std::optional<QString>& plain : {dot, comma})
            if (plain)
                QVERIFY2(parseCents(*plain), qPrintable(*plain));
    }
};

QTEST_GUILESS_MAIN(TestTextConventions)
#include "test_text_conventions.moc"
