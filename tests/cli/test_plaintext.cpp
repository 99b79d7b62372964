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
        << "LINE 2: Error. Invalid characters found in From Acc";
    QTest::newRow("named references") << "a &amp; b &lt;c&gt; &quot;d&quot;" << "a & b <c> \"d\"";
    QTest::newRow("decimal and hex") << "&#39;x&#39; &#x41;&#X42; &#8364;" << "'x' AB \u20ac";
    QTest::newRow("beyond the BMP") << "&#128512;" << QString::fromUcs4(U"\U0001F600");
    QTest::newRow("decoded once") << "&amp;lt;" << "&lt;";
    QTest::newRow("escaped tag stays text") << "&lt;b&gt;" << "<b>";
    QTest::newRow("unknown reference kept") << "&nbsp;&copy;" << "&nbsp;&copy;";
    QTest::newRow("bare ampersand") << "A & B; C" << "A & B; C";
    QTest::newRow("no semicolon") << "&amp" << "&amp";
    QTest::newRow("empty numeric") << "&#;&#x;" << "&#;&#x;";
    QTest::newRow("signed numeric") << "&#+65;&#-1;" << "&#+65;&#-1;";
    QTest::newRow("zero and surrogate") << "&#0;&#xD800;" << "&#0;&#xD800;";
    QTest::newRow("beyond unicode") << "&#x110000;" << "&#x110000;";
    QTest::newRow("unclosed tag") << "a <b" << "a <b";
    QTest::newRow("line break kept") << "a\nb" << "a\nb";
}

void TestPlainText::plain()
{
    QFETCH(QString, html);
    QFETCH(QString, text);
    QCOMPARE(plainText(html), text);
}

QTEST_APPLESS_MAIN(TestPlainText)
#include "test_plaintext.moc"
