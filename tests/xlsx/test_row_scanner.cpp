// A sheet's rows are read by the markup scanner, and by expat alone where the
// scanner does not judge the markup: either way a cell reads as expat reads it.
#include "testpackage.h"

#include "xlsx/document.h"

#include <QTemporaryDir>
#include <QtTest>

class TestRowScanner final : public QObject
{
    Q_OBJECT

private slots:
    void readsAsExpat_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QString>("expected");   // A1 as text; null: the sheet cannot be selected
        const auto inlineText = [](const QByteArray& t) {
            return "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>" + t + "</t></is></c></row>";
        };
        // Read by the scanner.
        QTest::newRow("entities") << inlineText("a &amp; b &lt;c&gt; &quot;&apos;") << "a & b <c> \"'";
        QTest::newRow("prefixed names") << QByteArray("<x:row r=\"1\"><x:c r=\"A1\"><x:v>7</x:v></x:c></x:row>") << "7";
        QTest::newRow("quotes and spaces in tags")
            << QByteArray("<row r='1' ><c  r = 'A1'\tt='inlineStr' ><is><t>x</t ></is></c ></row >") << "x";
        QTest::newRow("UTF-8") << inlineText("\xC5\xBB\xC3\xB3\xC5\x82\xC4\x87 \xE6\xBC\xA2 \xF0\x9F\x98\x80")
                               << QString::fromUtf8("\xC5\xBB\xC3\xB3\xC5\x82\xC4\x87 \xE6\xBC\xA2 \xF0\x9F\x98\x80");
        QTest::newRow("markup sign in an attribute") << QByteArray("<row r=\"1\"><c r=\"A1\" x=\"a>b\"><v>3</v></c></row>") << "3";
        // Left to expat.
        QTest::newRow("line ends") << inlineText("a\r\nb\rc") << "a\nb\nc";
        QTest::newRow("character references") << inlineText("&#65;&#x42;") << "AB";
        QTest::newRow("CDATA") << inlineText("<![CDATA[x<y]]>") << "x<y";
        QTest::newRow("comment") << QByteArray("<row r=\"1\"><!-- c --><c r=\"A1\"><v>1</v></c></row>") << "1";
        QTest::newRow("tab in an attribute") << QByteArray("<row r=\"1\"><c r=\"A1\" t=\"inline\tStr\"><v>2</v></c></row>") << "2";
        QTest::newRow("mismatched tags") << QByteArray("<row r=\"1\"><c r=\"A1\"><v>1</v></row></c>") << QString();
        QTest::newRow("invalid UTF-8") << inlineText("\xC3\x28") << QString();
        QTest::newRow("undeclared entity") << inlineText("&nbsp;") << QString();
        QTest::newRow("duplicate attribute") << QByteArray("<row r=\"1\"><c r=\"A1\" r=\"A1\"><v>1</v></c></row>") << QString();
    }
    void readsAsExpat()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("book.xlsx"));
        QVERIFY(TestPackage()
                    .addSheetPart("Sheet1", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<worksheet "
                                            "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                                            "xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                                            "<sheetData>" + rows + "</sheetData><pageMargins left=\"0.7\"/></worksheet>")
                    .write(path));
        xlsx::Document document(path);
        QCOMPARE(document.selectSheet(QStringLiteral("Sheet1")), !expected.isNull());
        QCOMPARE(document.text(1, 1), expected);
    }
};

QTEST_GUILESS_MAIN(TestRowScanner)
#include "test_row_scanner.moc"
