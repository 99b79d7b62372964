#include "export/money.h"

#include <QtTest>

using kova::Cents;

class TestMoney final : public QObject
{
    Q_OBJECT

private slots:
    // One row per branch of the parser; "cents" is the decimal text of the hundredths, empty: not a number.
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cents");
        const QString largest = "170141183460469231731687303715884105727";
        const QList<QPair<const char*, QString>> rows{
            {"1500000.5", "150000050"}, {"1.005", "101"}, {"1.0049999", "100"}, {"-1.005", "-101"},
            {".5", "50"}, {"5.", "500"}, {"+7", "700"}, {" 12.30 ", "1230"}, {"1e+16", "1000000000000000000"},
            {"1.5E-2", "2"}, {"0.12345678901234567890123", "12"}, {"000", "0"}, {"1e-400", "0"},
            {"1e400", largest}, {"-1e400", "-" + largest}, {"", ""}, {"-", ""}, {"nan", ""},
            {"1,500,000", ""}, {"1.234.567", ""}, {"1e", ""}, {"1 000", ""}};
        for (const auto& r : rows)
            QTest::newRow(r.first) << QString::fromLatin1(r.first) << r.second;
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QString, cents);
        const auto parsed = kova::parseCents(text);
        QCOMPARE(parsed ? kova::decimalText(*parsed) : QString(), cents);
    }

    // A number that rounds to more than 0.00 and not above the maximum.
    void validAmount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("at the maximum") << "9999999999999.99" << true;
        QTest::newRow("rounds up to above the maximum") << "9999999999999.995" << false;
        QTest::newRow("rounds to zero") << "0.004" << false;
        QTest::newRow("rounds to a cent") << "0.005" << true;
        QTest::newRow("negative") << "-5" << false;
        QTest::newRow("not a number") << "abc" << false;
    }

    void validAmount()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(kova::validAmount(text, kova::wholeUnits(9999999999999LL) + 99).has_value(), valid);
    }

    void formats_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fixed");
        QTest::addColumn<QString>("display");
        QTest::newRow("zero") << "0" << "0.00" << "0,00";
        QTest::newRow("cents") << "0.05" << "0.05" << "0,05";
        QTest::newRow("example") << "1500000.5" << "1500000.50" << "1.500.000,50";
        QTest::newRow("group boundary") << "999999.99" << "999999.99" << "999.999,99";
        QTest::newRow("large") << "99999999999999999.99" << "99999999999999999.99" << "99.999.999.999.999.999,99";
        QTest::newRow("negative") << "-5" << "-5.00" << "-5,00";
    }

    void formats()
    {
        QFETCH(QString, text);
        QFETCH(QString, fixed);
        QFETCH(QString, display);
        const Cents cents = *kova::parseCents(text);
        QCOMPARE(kova::fixedText(cents), fixed);
        QCOMPARE(kova::displayAmount(cents), display);
    }

    void groupedNumbers()
    {
        QCOMPARE(kova::groupedNumber(0), QString("0"));
        QCOMPARE(kova::groupedNumber(500000000), QString("500.000.000"));
        QCOMPARE(kova::groupedNumber(18446744073709551615ULL), QString("18.446.744.073.709.551.615"));
    }
};

QTEST_GUILESS_MAIN(TestMoney)
#include "test_money.moc"
