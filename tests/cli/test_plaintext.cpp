#include "plaintext.h"

#include <QtTest>

class TestPlainText final : public QObject
{
    Q_OBJECT

private slots:
    void plain_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("text");
        QTest::newRow("error line") << "<span style=\"color:#e73d4a;\">LINE 2: Error. Invalid characters found in "
                                       "<span style=\"font-weight:bold;\">From Acc</span></span>"
                                    << "LINE 2: Error. Invalid characters found in From Acc";
        QTest::newRow("decoded once") << "a &amp; b &lt;c&gt; &quot;d&quot; &amp;lt;" << "a & b <c> \"d\" &lt;";
        QTest::newRow("numeric") << "&#39;x&#39; &#x41;&#X42; &#8364;&#128512;" << "'x' AB \u20ac" + QString::fromUcs4(U"\U0001F600");
        QTest::newRow("escaped tag stays text") << "&lt;b&gt;" << "<b>";
        // Anything that is not a whole known reference stays as it is.
        const QString kept = "&nbsp;&copy; A & B; C &#;&#x;&#+65;&#-1;&#0;&#xD800;&#x110000; a\nb &amp";
        QTest::newRow("kept") << kept << kept;
        QTest::newRow("unclosed tag") << "a <b" << "a <b";
    }

    void plain()
    {
        QFETCH(QString, html);
        QFETCH(QString, text);
        QCOMPARE(plainText(html), text);
    }
};

QTEST_APPLESS_MAIN(TestPlainText)
#include "test_plaintext.moc"
