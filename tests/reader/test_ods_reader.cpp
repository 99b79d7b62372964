// OpenDocument spreadsheets through Document: LibreOffice's own .ods read to the same cells as the
// .xlsx it was converted from, and crafted content.xml for what LibreOffice writes only sometimes:
// repeats, spans, spaces, covered cells, formulas without results, and the limits.
#include "reader/document.h"
#include "reader/sourcekind.h"

#include "cellgrid.h"
#include "odspackage.h"

#include <QtTest>

namespace {

const QString kFixtures = QStringLiteral(KOVA_FIXTURES);

QByteArray sheetPackage(const QByteArray& rows)
{
    return OdsPackage().setPart("content.xml", OdsPackage::content(OdsPackage::table("S", rows))).bytes();
}

QByteArray cell(const QByteArray& attributes, const QByteArray& content = {})
{
    return "<table:table-cell " + attributes + ">" + content + "</table:table-cell>";
}

QByteArray row(const QByteArray& cells, const QByteArray& attributes = {})
{
    return "<table:table-row " + attributes + ">" + cells + "</table:table-row>";
}

QByteArray text(const QByteArray& paragraph)
{
    return cell("office:value-type=\"string\"", "<text:p>" + paragraph + "</text:p>");
}

} // namespace

class TestOdsReader final : public QObject
{
    Q_OBJECT

private slots:
    // Each sheet of the .ods LibreOffice saved reads as the same sheet of the .xlsx it was converted
    // from: names, used range, every cell. LibreOffice keeps a boolean as the number 1 or 0 with a
    // formula =TRUE() or =FALSE(), and a boolean formula's result as that number: those read as numbers.
    void readsAsItsTwin_data()
    {
        QTest::addColumn<QString>("book");
        QTest::addColumn<QString>("sheet");
        for (const char* sheet : {"Text", "Numbers", "Dates", "Formulas", "Errors", "Long", "Empty"})
            QTest::newRow(sheet) << "kinds" << sheet;
        for (const char* sheet : {"Filled", "Array", "Long", "Chart"})
            QTest::newRow(QByteArray("formulas ").append(sheet)) << "formulas" << sheet;
    }

    void readsAsItsTwin()
    {
        QFETCH(QString, book);
        QFETCH(QString, sheet);
        reader::Document ods(kFixtures + "/" + book + ".ods", {});
        reader::Document twin(kFixtures + "/" + book + ".xlsx", {});
        QCOMPARE(ods.sheetNames(), twin.sheetNames());
        QVERIFY(!ods.isDelimitedText());
        QVERIFY(ods.selectSheet(sheet));
        QVERIFY(twin.selectSheet(sheet));
        QCOMPARE(grid(ods), grid(twin).replace("bool(true)", "qlonglong(1)").replace("bool(false)", "qlonglong(0)"));
    }

    // Crafted rows of sheet "S", read whole.
    void content_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QString>("expected");
        QTest::newRow("values")
            << row(cell("office:value-type=\"float\" office:value=\"1500000.5\"", "<text:p>1,500,000.50</text:p>")
                   + cell("office:value-type=\"currency\" office:currency=\"IDR\" office:value=\"250000\"")
                   + cell("office:value-type=\"percentage\" office:value=\"0.125\"")
                   + cell("office:value-type=\"float\" office:value=\"1E+15\"")
                   + cell("office:value-type=\"boolean\" office:boolean-value=\"true\"", "<text:p>TRUE</text:p>"))
                   + row(cell("office:value-type=\"date\" office:date-value=\"2026-12-05\"")
                         + cell("office:value-type=\"date\" office:date-value=\"2026-12-05T13:45:30.250\"")
                         + cell("office:value-type=\"date\" office:date-value=\"1899-01-01\"")
                         + cell("office:value-type=\"time\" office:time-value=\"PT13H45M30S\"")
                         + cell("office:value-type=\"date\" office:date-value=\"5 Dec\"", "<text:p>5 Dec</text:p>"))
            << "range 1,1:2,5\n"
               "double(1500000.5) | qlonglong(250000) | double(0.125) | double(1e+15) | bool(true)\n"
               "QDate(2026-12-05) | QDateTime(2026-12-05T13:45:30.250Z) | QDate(1899-01-01) | "
               "QDateTime(1899-12-31T13:45:30.000Z) | QString(5 Dec)";
        QTest::newRow("repeated cells and rows")
            << row(cell("table:number-columns-repeated=\"2\"") + cell("office:value-type=\"float\" office:value=\"7\" "
                                                                      "table:number-columns-repeated=\"3\""))
                   + row(cell("table:number-columns-repeated=\"16384\""), "table:number-rows-repeated=\"2\"")
                   + row(text("a") + cell("table:number-columns-repeated=\"16383\""), "table:number-rows-repeated=\"2\"")
                   + row(cell("table:number-columns-repeated=\"16384\""), "table:number-rows-repeated=\"1048570\"")
            << "range 1,1:5,5\n"
               "invalid() | invalid() | qlonglong(7) | qlonglong(7) | qlonglong(7)\n"
               "invalid() | invalid() | invalid() | invalid() | invalid()\n"
               "invalid() | invalid() | invalid() | invalid() | invalid()\n"
               "QString(a) | invalid() | invalid() | invalid() | invalid()\n"
               "QString(a) | invalid() | invalid() | invalid() | invalid()";
        QTest::newRow("spans, spaces, tabs, breaks, paragraphs")
            << row(text("<text:span text:style-name=\"T1\">Budi</text:span><text:s/><text:span>San<text:span>toso</text:span></text:span>")
                   + text("a<text:s text:c=\"3\"/>b<text:tab/>c<text:line-break/>d")
                   + cell("office:value-type=\"string\"", "<text:p>first</text:p><text:p/><text:p>third</text:p>")
                   + text("  two \n\t spaces  <text:a xlink:href=\"x\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">link</text:a>")
                   + cell("office:value-type=\"string\" office:string-value=\"said\"", "<text:p>shown</text:p>"))
            << "range 1,1:1,5\n"
               "QString(Budi Santoso) | QString(a   b\tc\nd) | QString(first\n\nthird) | QString(two spaces link) | QString(said)";
        QTest::newRow("covered cells, notes and drawings")
            << row(cell("office:value-type=\"string\" table:number-columns-spanned=\"2\"", "<text:p>merged</text:p>")
                   + "<table:covered-table-cell office:value-type=\"string\"><text:p>hidden</text:p></table:covered-table-cell>"
                   + cell("office:value-type=\"string\"",
                          "<office:annotation><text:p>a note</text:p></office:annotation><text:p>value<d:frame "
                          "xmlns:d=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\"><text:p>in a frame</text:p>"
                          "</d:frame></text:p>"))
            << "range 1,1:1,3\nQString(merged) | invalid() | QString(value)";
        QTest::newRow("formulas")
            << row(cell("table:formula=\"of:=[.B1]*2\" office:value-type=\"float\" office:value=\"20\"")
                   + cell("table:formula=\"of:=[.C1]*2\"")
                   + cell("table:formula=\"of:=1/0\" office:value-type=\"string\" office:string-value=\"\" "
                          "calcext:value-type=\"error\"", "<text:p>#DIV/0!</text:p>")
                   + cell("table:formula=\"of:=&quot;&quot;\" office:value-type=\"string\" office:string-value=\"\"",
                          "<text:p/>")
                   + cell("table:formula=\"=A1\" office:value-type=\"float\"", "<text:p>3</text:p>")
                   + cell("table:formula=\"of:=NA()\" office:value-type=\"float\" office:value=\"0\" "
                          "calcext:value-type=\"error\"", "<text:p>#N/A</text:p>"))
            << "range 1,1:1,6\n"
               "qlonglong(20) | QString(=[.C1]*2) unknown | QString(#DIV/0!) | invalid() | QString(=A1) unknown | QString(#N/A)";
        // Elements and attributes are told by namespace, not by prefix.
        QTest::newRow("other prefixes")
            << row("<t:table-cell xmlns:t=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                   "xmlns:o=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" o:value-type=\"float\" o:value=\"5\" "
                   "t:number-columns-repeated=\"2\"/>"
                   "<table:table-cell xmlns:table=\"urn:example:other\" office:value-type=\"float\" office:value=\"6\"/>"
                   + cell("office:value-type=\"float\" value=\"8\" office:value=\"9\""))
                   + "<k:rows xmlns:k=\"urn:k\">" + row(text("not a row")) + "</k:rows>" + row(text("second"))
            << "range 1,1:2,3\nqlonglong(5) | qlonglong(5) | qlonglong(9)\nQString(second) | invalid() | invalid()";
    }

    void content()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QString, expected);
        reader::Document document(reader::InMemory{sheetPackage(rows)});
        QCOMPARE(document.sheetNames(), QStringList{"S"});
        QVERIFY2(document.selectSheet("S"), qPrintable(document.problem()));
        QCOMPARE(grid(document), expected);
    }

    // Sheets in order, each read on its own; a row repeated a million times with a value in it is a
    // million rows, and one more row than a sheet holds is refused.
    void sheetsAndRepeats()
    {
        const QByteArray value = cell("office:value-type=\"float\" office:value=\"1\"");
        const QByteArray content = OdsPackage::content(
            OdsPackage::table("Zeta", row(text("z"))) + OdsPackage::table("Alpha", row(value, "table:number-rows-repeated=\"1048575\"") + row(value))
            + OdsPackage::table("Beyond", row(value, "table:number-rows-repeated=\"1048576\"") + row(value)));
        reader::Document document(reader::InMemory{OdsPackage().setPart("content.xml", content).bytes()});
        QCOMPARE(document.sheetNames(), (QStringList{"Zeta", "Alpha", "Beyond"}));
        QVERIFY(document.selectSheet("Alpha"));
        QCOMPARE(document.dimension().lastRow(), 1048576);
        QCOMPARE(document.read(1048576, 1), QVariant(1LL));
        QVERIFY(document.selectSheet("Zeta"));
        QCOMPARE(document.read(1, 1), QVariant("z"));
        QVERIFY(!document.selectSheet("Beyond"));
        QCOMPARE(document.problem(), QString("content.xml: more rows than a sheet may hold"));
    }

    // What a file could make the reader spend is bounded as for an .xlsx, and said.
    void refused_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QString>("problem");
        const QByteArray value = cell("office:value-type=\"float\" office:value=\"1\"");
        QTest::newRow("cells past the limit, before any is made")
            << row(cell("office:value-type=\"float\" office:value=\"1\" table:number-columns-repeated=\"64\""),
                   "table:number-rows-repeated=\"1048576\"")
            << "content.xml: more cells than a sheet may hold";
        QTest::newRow("columns past the sheet")
            << row(cell("table:number-columns-repeated=\"16384\"") + value) << "content.xml: more columns than a sheet may hold";
        QTest::newRow("spaces past the longest text")
            << row(text("<text:s text:c=\"10485761\"/>")) << "content.xml: a text longer than 10 MiB";
        QTest::newRow("nesting")
            << row(cell("office:value-type=\"string\"", "<text:p>" + QByteArray("<text:span>").repeated(300) + "x"
                                                           + QByteArray("</text:span>").repeated(300) + "</text:p>"))
            << "content.xml: nests elements more than 256 deep";
    }

    void refused()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QString, problem);
        reader::Document document(reader::InMemory{sheetPackage(rows)});
        if (document.sheetNames().isEmpty()) {
            QCOMPARE(document.problem(), problem);
            return;
        }
        QVERIFY(!document.selectSheet("S"));
        QCOMPARE(document.problem(), problem);
    }

    // The package itself: a document type declaration, a broken part, encrypted content, and
    // which zip packages are OpenDocument spreadsheets at all.
    void package_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("passwordProtected");
        QTest::addColumn<QString>("problem");
        QTest::newRow("doctype")
            << OdsPackage().setPart("content.xml", "<!DOCTYPE x [<!ENTITY a \"b\">]>" + OdsPackage::content({})).bytes() << false
            << "content.xml: holds a document type declaration";
        QTest::newRow("not well-formed")
            << OdsPackage().setPart("content.xml", OdsPackage::content(OdsPackage::table("S", "<table:table-row>"))).bytes()
            << false << "content.xml: not well-formed XML (line 2)";
        QTest::newRow("no content") << OdsPackage().setPart("styles.xml", "<x/>").bytes() << false << "content.xml: missing";
        QTest::newRow("no sheets") << OdsPackage().setPart("content.xml", OdsPackage::content({})).bytes() << false
                                   << "content.xml: lists no sheets";
        QTest::newRow("encrypted")
            << OdsPackage()
                   .setPart("content.xml", "\x01\x02 not XML")
                   .setPart("META-INF/manifest.xml",
                            "<m:manifest xmlns:m=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\">"
                            "<m:file-entry m:full-path=\"/\" m:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>"
                            "<m:file-entry m:full-path=\"content.xml\" m:media-type=\"text/xml\"><m:encryption-data/>"
                            "</m:file-entry></m:manifest>")
                   .bytes()
            << true << QString();
    }

    void package()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, passwordProtected);
        QFETCH(QString, problem);
        QCOMPARE(reader::sourceKind(bytes.constData(), std::size_t(bytes.size())), reader::SourceKind::OpenDocument);
        reader::Document document(reader::InMemory{bytes});
        QCOMPARE(document.sheetNames(), QStringList());
        QCOMPARE(document.isPasswordProtected(), passwordProtected);
        // No password opens it here: the window does not ask for one.
        QVERIFY(!document.opensWithPassword());
        QCOMPARE(document.problem(), problem);
    }

    // Only a stored "mimetype" entry naming a spreadsheet, first in the package, makes it one.
    void sourceKinds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        const QByteArray ods = sheetPackage(row(text("a")));
        QTest::newRow("ods") << ods << int(reader::SourceKind::OpenDocument);
        QTest::newRow("text document") << QByteArray(ods).replace("opendocument.spreadsheet", "opendocument.text\0\0\0\0\0\0\0")
                                       << int(reader::SourceKind::Package);
        QByteArray deflated = ods;
        deflated[8] = 8;
        QTest::newRow("mimetype deflated") << deflated << int(reader::SourceKind::Package);
        QTest::newRow("cut short") << ods.left(60) << int(reader::SourceKind::Package);
        QTest::newRow("xlsx") << QByteArray("PK\x03\x04rest") << int(reader::SourceKind::Package);
    }

    void sourceKinds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        QCOMPARE(int(reader::sourceKind(bytes.constData(), std::size_t(bytes.size()))), kind);
    }

    // Told by content: the fixture named .xlsx, or read from memory, is the same spreadsheet.
    void formatByContent()
    {
        QTemporaryDir dir;
        const QString renamed = dir.filePath("kinds.xlsx");
        QVERIFY(QFile::copy(kFixtures + "/kinds.ods", renamed));
        reader::Document document(renamed, {});
        QVERIFY(document.selectSheet("Text"));
        QCOMPARE(document.text(2, 1), QString("Budi Santoso"));
    }
};

QTEST_GUILESS_MAIN(TestOdsReader)
#include "test_ods_reader.moc"
