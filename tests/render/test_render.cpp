#include "render/messagetext.h"

#include <QtTest>

using kova::RowMessage;
using kova::Severity;

Q_DECLARE_METATYPE(RowMessage)

// Every shape of message line, as the window's log and the terminal show it.
class TestRender final : public QObject
{
    Q_OBJECT

private slots:
    void messageLine_data()
    {
        QTest::addColumn<RowMessage>("message");
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("plain");
        const QString red = "<span style=\"color:#e73d4a;\">LINE ";
        const QString bold = "<span style=\"font-weight:bold;\">";
        QTest::newRow("no title") << RowMessage{Severity::Error, 2, {"Invalid amount", {}, {}}}
                                  << red + "2: Error. Invalid amount</span>" << "LINE 2: Error. Invalid amount";
        QTest::newRow("title first") << RowMessage{Severity::Error, 1, {{}, "To Acc", " must be 10 digits"}}
                                     << red + "1: Error. " + bold + "To Acc</span> must be 10 digits</span>"
                                     << "LINE 1: Error. To Acc must be 10 digits";
        QTest::newRow("space inside the title") << RowMessage{Severity::Error, 7, {{}, "Acc # ", "must be 10 digits"}}
                                                << red + "7: Error. " + bold + "Acc # </span>must be 10 digits</span>"
                                                << "LINE 7: Error. Acc # must be 10 digits";
        QTest::newRow("title last") << RowMessage{Severity::Error, 12, kova::invalidCharacters("From Acc")}
                                    << red + "12: Error. Invalid characters found in " + bold + "From Acc</span></span>"
                                    << "LINE 12: Error. Invalid characters found in From Acc";
        QTest::newRow("cut") << RowMessage{Severity::Warning, 999999, kova::truncated("Department", 4)}
                             << "<span style=\"color:#f88021;\">LINE 999999: Warning. String truncated in " + bold
                                    + "Department</span>. Exceeding 4 characters</span>"
                             << "LINE 999999: Warning. String truncated in Department. Exceeding 4 characters";
        QTest::newRow("cut as error") << RowMessage{Severity::Error, 3, kova::truncated("To Acc", 34)}
                                      << red + "3: Error. String truncated in " + bold
                                             + "To Acc</span>. Exceeding 34 characters</span>"
                                      << "LINE 3: Error. String truncated in To Acc. Exceeding 34 characters";
    }

    void messageLine()
    {
        QFETCH(RowMessage, message);
        QFETCH(QString, html);
        QFETCH(QString, plain);
        QCOMPARE(kova::htmlLine(message), html);
        QCOMPARE(kova::plainLine(message), plain);
    }
};

QTEST_APPLESS_MAIN(TestRender)
#include "test_render.moc"
