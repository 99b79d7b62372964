#include "plaintext.h"

#include <QtTest>

class TestPlainText final : public QObject
{
    Q_OBJECT

private slots:
    void plain_data();
    void plain();
};

void TestPlainText::plain_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("text");

    QTest::newRow("error line")
        << QStringLiteral("<span style=\"color:#e73d4a;\">LINE 2: Error. Invalid characters found in "
                          "<span style=\"font-weight:bold;\">From Acc</span></span>")
        << QStringLiteral("LINE 2: Error. Invalid characters found in From Acc");
    QTest::newRow("named references") << QStringLiteral("a &amp; b &lt;c&gt; &quot;d&quot;")
                                      << QStringLiteral("a & b <c> \"d\"");
    QTest::newRow("decimal and hex") << QStringLiteral("&#39;x&#39; &#x41;&#X42; &#8364;")
                                     << QStringLiteral("'x' AB \u20ac");
    QTest::newRow("beyond the BMP") << QStringLiteral("&#128512;") << QString::fromUcs4(U"\U0001F600");
    QTest::newRow("decoded once") << QStringLiteral("&amp;lt;") << QStringLiteral("&lt;");
    QTest::newRow("escaped tag stays text") << QStringLiteral("&lt;b&gt;") << QStringLiteral("<b>");
    QTest::newRow("unknown reference kept") << QStringLiteral("&nbsp;&copy;") << QStringLiteral("&nbsp;&copy;");
    QTest::newRow("bare ampersand") << QStringLiteral("A & B; C") << QStringLiteral("A & B; C");
    QTest::newRow("no semicolon") << QStringLiteral("&amp") << QStringLiteral("&amp");
    QTest::newRow("empty numeric") << QStringLiteral("&#;&#x;") << QStringLiteral("&#;&#x;");
    QTest::newRow("signed numeric") << QStringLiteral("&#+65;&#-1;") << QStringLiteral("&#+65;&#-1;");
    QTest::newRow("zero and surrogate") << QStringLiteral("&#0;&#xD800;") << QStringLiteral("&#0;&#xD800;");
    QTest::newRow("beyond unicode") << QStringLiteral("&#x110000;") << QStringLiteral("&#x110000;");
    QTest::newRow("unclosed tag") << QStringLiteral("a <b") << QStringLiteral("a <b");
    QTest::newRow("line break kept") << QStringLiteral("a\nb") << QStringLiteral("a\nb");
}

void TestPlainText::plain()
{
    QFETCH(QString, html);
    QFETCH(QString, text);
    QCOMPARE(plainText(html), text);
}

QTEST_APPLESS_MAIN(TestPlainText)
#include "test_plaintext.moc"
