#include "export/money.h"

#include <QtTest>

using kova::Cents;

Q_DECLARE_METATYPE(kova::Cents)

class TestMoney final : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<QString>("cents");   // decimal text of the expected hundredths

        QTest::newRow("whole") << "1500000" << true << "150000000";
        QTest::newRow("one decimal") << "1500000.5" << true << "150000050";
        QTest::newRow("half rounds away from zero") << "1.005" << true << "101";
        QTest::newRow("below half rounds down") << "1.0049999" << true << "100";
        QTest::newRow("negative half") << "-1.005" << true << "-101";
        QTest::newRow("tiny") << "0.004" << true << "0";
        QTest::newRow("tiny half") << "0.005" << true << "1";
        QTest::newRow("leading point") << ".5" << true << "50";
        QTest::newRow("trailing point") << "5." << true << "500";
        QTest::newRow("plus sign") << "+7" << true << "700";
        QTest::newRow("surrounding blanks") << " 12.30 " << true << "1230";
        QTest::newRow("exponent") << "1e+16" << true << "1000000000000000000";
        QTest::newRow("negative exponent") << "1.5E-2" << true << "2";
        QTest::newRow("max transfer") << "9999999999999.99" << true << "999999999999999";
        QTest::newRow("nines carry") << "9.999" << true << "1000";
        QTest::newRow("long fraction") << "0.12345678901234567890123" << true << "12";
        QTest::newRow("zero") << "0" << true << "0";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("blank") << "   " << false << "";
        QTest::newRow("grouping") << "1,500,000" << false << "";
        QTest::newRow("decimal comma") << "1500000,50" << false << "";
        QTest::newRow("dots as grouping") << "1.234.567" << false << "";
        QTest::newRow("nan") << "nan" << false << "";
        QTest::newRow("inf") << "inf" << false << "";
        QTest::newRow("infinity") << "-Infinity" << false << "";
        QTest::newRow("hex") << "0x10" << false << "";
        QTest::newRow("sign only") << "-" << false << "";
        QTest::newRow("point only") << "." << false << "";
        QTest::newRow("dangling exponent") << "1e" << false << "";
        QTest::newRow("formula text") << "=A1*2" << false << "";
        QTest::newRow("currency") << "Rp 100" << false << "";
        QTest::newRow("inner blank") << "1 000" << false << "";
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(bool, isNumber);
        QFETCH(QString, cents);
        const auto parsed = kova::parseCents(text);
        QCOMPARE(parsed.has_value(), isNumber);
        if (isNumber)
            QCOMPARE(kova::decimalText(*parsed), cents);
    }

    void hugeValuesClampAndStayHuge()
    {
        const auto big = kova::parseCents("1e400");
        QVERIFY(big.has_value());
        QVERIFY(*big > kova::wholeUnits(1000000000000000000LL));
        const auto negative = kova::parseCents("-1e400");
        QVERIFY(negative.has_value());
        QVERIFY(*negative < 0);
        QCOMPARE(kova::decimalText(*kova::parseCents("1e-400")), QString("0"));
    }

    void validAmount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("max");
        QTest::addColumn<bool>("valid");

        const QString transferMax = "999999999999999";
        QTest::newRow("ordinary") << "10" << transferMax << true;
        QTest::newRow("at the maximum") << "9999999999999.99" << transferMax << true;
        QTest::newRow("rounds up to above the maximum") << "9999999999999.995" << transferMax << false;
        QTest::newRow("above the maximum") << "10000000000000" << transferMax << false;
        QTest::newRow("zero") << "0" << transferMax << false;
        QTest::newRow("rounds to zero") << "0.004" << transferMax << false;
        QTest::newRow("rounds to a cent") << "0.005" << transferMax << true;
        QTest::newRow("negative") << "-5" << transferMax << false;
        QTest::newRow("not a number") << "abc" << transferMax << false;
    }

    void validAmount()
    {
        QFETCH(QString, text);
        QFETCH(QString, max);
        QFETCH(bool, valid);
        Cents maxCents = 0;
        for (const QChar c : max)
            maxCents = maxCents * 10 + (c.unicode() - '0');
        QCOMPARE(kova::validAmount(text, maxCents).has_value(), valid);
    }

    void formats_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fixed");
        QTest::addColumn<QString>("display");

        QTest::newRow("zero") << "0" << "0.00" << "0,00";
        QTest::newRow("cents") << "0.05" << "0.05" << "0,05";
        QTest::newRow("thousand") << "1000" << "1000.00" << "1.000,00";
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
        QCOMPARE(kova::groupedNumber(1), QString("1"));
        QCOMPARE(kova::groupedNumber(500000000), QString("500.000.000"));
        QCOMPARE(kova::groupedNumber(999999999999999ULL), QString("999.999.999.999.999"));
        QCOMPARE(kova::groupedNumber(18446744073709551615ULL), QString("18.446.744.073.709.551.615"));
    }
};

QTEST_GUILESS_MAIN(TestMoney)
#include "test_money.moc"
