// The workbook reader through its public face: what a cell of each kind reads as, how sheets and parts are
// found, which files are refused; then the zip limits and date format codes, out of its reach.
#include "expect.h"
#include "cellgrid.h"
#include "testpackage.h"

#include "reader/document.h"
#include "reader/cells/cellreference.h"
#include "reader/cells/numberformat.h"
#include "reader/xml/plainmarkup.h"
#include "reader/containers/ziparchive.h"

#include <QtEndian>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>


namespace {

const QByteArray kOne = "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>";

QDateTime utc(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

QList<int> bounds(const reader::CellRange& r) { return {r.firstRow(), r.firstColumn(), r.lastRow(), r.lastColumn()}; }

// What a crafted or damaged file changes in the entry "payload": a field of both its zip headers (at these offsets
// into its local and its central header), or a byte of its data.
enum class Patch { None, Size, CompressedSize, Crc, Data, BlockType, Encrypted };

bool patchPayload(const QString& path, Patch patch, quint32 value = 0)
{
    QFile file(path);
    QByteArray bytes = file.open(QIODevice::ReadWrite) ? file.readAll() : QByteArray();
    const int local = bytes.indexOf("payload") - 30;
    const int central = bytes.lastIndexOf("payload") - 46;
    if (local < 0 || central <= local)
        return false;
    const auto put = [&bytes](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = char(v >> (8 * i));
    };
    const auto get = [&bytes](int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    switch (patch) {
    case Patch::None: break;
    case Patch::Size: put(local + 22, value), put(central + 24, value); break;
    case Patch::CompressedSize: put(local + 18, value), put(central + 20, value); break;
    case Patch::Crc: put(local + 14, get(local + 14) ^ 1), put(central + 16, get(central + 16) ^ 1); break;
    // The first block of the data of a type deflate does not have.
    case Patch::BlockType: {
        const int data = local + 30 + int(get(local + 26) & 0xFFFF) + int(get(local + 28) & 0xFFFF);
        bytes[data] = char(bytes[data] | 0x06);
        break;
    }
    // The flag that says the data is encrypted.
    case Patch::Encrypted: bytes[local + 6] = char(bytes[local + 6] | 1), bytes[central + 8] = char(bytes[central + 8] | 1); break;
    case Patch::Data: {
        const int data = local + 30 + int(get(local + 26) & 0xFFFF) + int(get(local + 28) & 0xFFFF);
        bytes[data + int(get(local + 18) / 2)] = char(bytes[data + int(get(local + 18) / 2)] ^ 0x55);
        break;
    }
    }
    return file.seek(0) && file.write(bytes) == bytes.size();
}

// Varied text of about this many bytes: it compresses as a real part does.
QByteArray numbers(int size)
{
    QByteArray bytes;
    for (qint64 i = 0; bytes.size() < size; ++i)
        bytes += QByteArray::number(i * 7919 % 100003) + (i % 16 ? ' ' : '\n');
    return bytes;
}

} // namespace

class TestXlsxReader final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    QString write(const TestPackage& package)
    {
        const QString file = m_dir.filePath(QStringLiteral("package%1.xlsx").arg(++m_files));
        if (!package.write(file))
            qFatal("cannot write %s", qPrintable(file));
        return file;
    }
    // The package written and opened on the sheet; null when it cannot be selected.
    std::unique_ptr<reader::Document> open(const TestPackage& package, const QString& sheet,
                                         reader::SheetAccess access = reader::SheetAccess::Random)
    {
        auto document = std::make_unique<reader::Document>(write(package), reader::TextOptions{}, access);
        return document->selectSheet(sheet) ? std::move(document) : nullptr;
    }

private slots:
    // A1 by read() and by text(); rows read by the markup scanner and rows it leaves to expat read alike.
    void cellValue_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QVariant>("expected");
        QTest::addColumn<QByteArray>("properties");   // of the workbook part
        // The cell A1 from its attributes on.
        const auto cell = [](const char* name, const QByteArray& c, const QVariant& expected, const char* date1904 = "false") {
            QTest::newRow(name) << "<row r=\"1\"><c r=\"A1\"" + c + "</c></row>" << expected
                                << "<workbookPr date1904=\"" + QByteArray(date1904) + "\"/>";
        };
        const auto recalculated = [](const char* name, const QByteArray& c, const QVariant& expected, const char* full = "1") {
            QTest::newRow(name) << "<row r=\"1\"><c r=\"A1\"" + c + "</c></row>" << expected
                                << "<calcPr calcId=\"191029\" fullCalcOnLoad=\"" + QByteArray(full) + "\"/>";
        };
        // Styles: 1 built-in date, 2 custom date and time, 3 built-in #,##0.00.
        const auto date = [&](const char* name, const QByteArray& serial, const QVariant& expected, const char* date1904 = "false") {
            cell(name, " s=\"2\"><v>" + serial + "</v>", expected, date1904);
        };
        const auto text = [&](const char* name, const QByteArray& t, const char* expected) {
            cell(name, " t=\"inlineStr\"><is><t>" + t + "</t></is>", QString::fromUtf8(expected));
        };
        date("1900: fictitious Feb 29", "60", QDate(1900, 2, 28));
        date("1900: time only", "0.25", utc(1899, 12, 31, 6, 0));
        date("1904: with time", "42369.5", utc(2020, 1, 1, 12, 0), "true");
        date("tiny negative", "-0.0001", -0.0001);
        date("milliseconds", "45000.5000057870", utc(2023, 3, 15, 12, 0, 0, 500));
        date("rounds up to the next day", "44999.9999999999", QDate(2023, 3, 15));
        date("1900: past the last day", "2958466", qlonglong(2958466));
        date("1904: past the last day", "2957004", qlonglong(2957004), "1");
        cell("built-in date", " s=\"1\"><v>45000</v>", QDate(2023, 3, 15));
        cell("negative date reads as number", " s=\"1\"><v>-3</v>", qlonglong(-3));
        cell("number format, not a date", " s=\"3\"><v>1234.5</v>", 1234.5);
        cell("style out of range", " s=\"99\"><v>45000</v>", qlonglong(45000));
        cell("exponent written whole", "><v>1E+9</v>", qlonglong(1000000000));
        cell("largest integer", "><v>999999999999999</v>", qlonglong(999999999999999));
        cell("10^15 is a double", "><v>1000000000000000</v>", 1e15);
        cell("surrounding whitespace, explicit number type", " t=\"n\"><v> 12 </v>", qlonglong(12));
        cell("fraction", "><v>3.25</v>", 3.25);
        cell("true", " t=\"b\"><v>1</v>", true);
        cell("false", " t=\"b\"><v>0</v>", false);
        cell("error", " t=\"e\"><v>#N/A</v>", QString("#N/A"));
        cell("style only", " s=\"1\">", QVariant());
        cell("empty value", "><v></v>", QVariant());
        cell("ISO date and time with zone", " t=\"d\"><v>2024-02-29T10:30:00+07:00</v>", utc(2024, 2, 29, 3, 30));
        cell("ISO midnight", " t=\"d\"><v>2024-02-29T00:00:00</v>", QDate(2024, 2, 29));
        cell("ISO date unreadable", " t=\"d\"><v>29.02.2024</v>", QString("29.02.2024"));
        // By index into the shared strings the test writes.
        cell("shared string", " t=\"s\"><v>0</v>", QString("plain"));
        cell("shared runs joined, phonetic left out", " t=\"s\"><v>1</v>", QString("Bold and plain"));
        cell("shared edges dropped, inner whitespace kept", " t=\"s\"><v>2</v>", QString("spaced\n text"));
        cell("shared escape decoded", " t=\"s\"><v>3</v>", QString("Apple"));
        cell("shared beyond the basic plane", " t=\"s\"><v>4</v>", QString::fromUtf8("Gr\xC3\xBC\xC3\x9F \xF0\x9F\x98\x80"));
        cell("shared run of another namespace left out", " t=\"s\"><v>5</v>", QString("0012345679"));
        cell("shared item of another namespace not counted", " t=\"s\"><v>6</v>", QString("after"));
        cell("inline runs joined, phonetic left out",
             " t=\"inlineStr\"><is><r><t>in</t></r><r><rPr><i/></rPr><t xml:space=\"preserve\"> line </t></r><rPh><t>y</t></rPh></is>",
             QString("in line "));
        // White space at a text's edges counts only where the <t> there preserves it.
        text("edges dropped", "\t a  b \n ", "a  b");
        cell("edges preserved", " t=\"inlineStr\"><is><t xml:space=\"preserve\"> a </t></is>", QString(" a "));
        cell("blank run between words kept", " t=\"inlineStr\"><is><r><t>hello</t></r><r><t> </t></r><r><t>world</t></r></is>",
             QString("hello world"));
        cell("first run preserves, last does not",
             " t=\"inlineStr\"><is><r><t xml:space=\"preserve\"> a </t></r><r><t> b </t></r></is>", QString(" a  b"));
        text("escaped space is no XML white space", "_x0020_a ", " a");
        text("only a line break", "&#10;", "");
        text("escapes decoded", "tab_x0009_here_x00e9__x005F_x0041_", "tab\there\xC3\xA9_x0041_");
        text("surrogates", "_xD83D__xDE00__xD83D_x_xDE00_", "\xF0\x9F\x98\x80\xEF\xBF\xBD" "x" "\xEF\xBF\xBD");
        text("no escapes", "_x41_ _x00G1_ _X0041_ _x0041", "_x41_ _x00G1_ _X0041_ _x0041");
        // Formulas: the cached result, typed as that result; the formula only when there is no result.
        cell("formula string", " t=\"str\"><f>B1&amp;\"x\"</f><v>hix</v>", QString("hix"));
        cell("formula empty string shows nothing", " t=\"str\"><f>\"\"</f><v></v>", QVariant());
        cell("formula empty shared string shows nothing", " t=\"s\"><f>B1</f><v>7</v>", QVariant());
        cell("empty string without formula", " t=\"str\"><v></v>", QString(""));
        cell("formula date", " s=\"1\"><f>TODAY()</f><v>45000</v>", QDate(2023, 3, 15));
        cell("formula without result", "><f>SUM(B1:B3)</f>", QString("=SUM(B1:B3)"));
        cell("formula never calculated", "><f>B1</f><v> </v>", QString("=B1"));
        cell("boolean formula never calculated", " t=\"b\"><f>B1&gt;0</f><v></v>", QString("=B1>0"));
        cell("text lookup never calculated", " t=\"s\"><f>B1</f><v/>", QString("=B1"));
        cell("shared formula without text", "><f t=\"shared\" si=\"0\"/>", QString("="));
        // A workbook to be recalculated on opening: cached results are not what a spreadsheet program shows.
        recalculated("recalculated: number result", "><f>1000*2</f><v>999999</v>", QString("=1000*2"));
        recalculated("recalculated: text result", " t=\"str\"><f>B1&amp;\"x\"</f><v>hix</v>", QString("=B1&\"x\""), "true");
        recalculated("recalculated: no formula", "><v>999999</v>", qlonglong(999999));
        recalculated("not recalculated", "><f>1000*2</f><v>999999</v>", qlonglong(999999), "0");
        // Read by the scanner.
        const auto row = [](const char* name, const QByteArray& xml, const QVariant& v) { QTest::newRow(name) << xml << v << QByteArray(); };
        text("entities and UTF-8", "&amp; &lt;c&gt; &quot;&apos; \xC5\xBB\xC3\xB3\xC5\x82\xC4\x87 \xE6\xBC\xA2 \xF0\x9F\x98\x80",
             "& <c> \"' \xC5\xBB\xC3\xB3\xC5\x82\xC4\x87 \xE6\xBC\xA2 \xF0\x9F\x98\x80");
        row("prefixed names", "<x:row r=\"1\"><x:c r=\"A1\"><x:v>7</x:v></x:c></x:row>", qlonglong(7));
        row("quotes, spaces and markup signs in tags",
            "<row r='1' ><c  r = 'A1'\tt='inlineStr' x=\"a>b\" ><is><t>x</t ></is></c ></row >", QString("x"));
        // Left to expat.
        text("line ends", "a\r\nb\rc", "a\nb\nc");
        text("character references", "&#65;&#x42;", "AB");
        text("CDATA", "<![CDATA[x<y]]>", "x<y");
        row("comment, prefixed names", "<x:row r=\"1\"><!-- c --><x:c r=\"A1\"><x:v>1</x:v></x:c></x:row>", qlonglong(1));
        text("edges dropped, by expat", "<!-- c --> a ", "a");
        // Only the spreadsheet's own namespace is content, whatever the prefix; by the scanner, then by expat.
        const QByteArray k = " xmlns:k=\"urn:k\"";
        const auto namespaced = [&](const char* name, const QByteArray& cells, const QVariant& v) {
            QTest::newRow(name) << "<row r=\"1\"" + k + ">" + cells + "</row>" << v << QByteArray();
            QTest::newRow(QByteArray(name) + ", by expat") << "<row r=\"1\"" + k + "><!---->" + cells + "</row>" << v << QByteArray();
        };
        namespaced("cell of another namespace after the cell", "<c r=\"A1\"><v>1500000</v></c><k:c r=\"A1\"><k:v>950000000</k:v></k:c>",
                   qlonglong(1500000));
        namespaced("value of another namespace", "<c r=\"A1\"><v>2</v><k:v>9</k:v></c>", qlonglong(2));
        namespaced("default namespace of another", "<c r=\"A1\"><v>3</v></c><c r=\"A1\" xmlns=\"urn:k\"><v>9</v></c>", qlonglong(3));
        namespaced("no namespace", "<c r=\"A1\" xmlns=\"\"><v>9</v></c>", QVariant());
        namespaced("the main namespace under another prefix",
                   "<m:c r=\"A1\" xmlns:m=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><m:v>5</m:v></m:c>", qlonglong(5));
        namespaced("strict main namespace", "<c r=\"A1\" xmlns=\"http://purl.oclc.org/ooxml/spreadsheetml/main\"><v>6</v></c>", qlonglong(6));
        namespaced("attribute of another namespace", "<c r=\"A1\" k:t=\"s\"><v>7</v></c>", qlonglong(7));
        namespaced("text run of another namespace", "<c r=\"A1\" t=\"inlineStr\"><is><k:t>98765</k:t><t>0012345679</t></is></c>",
                   QString("0012345679"));
        namespaced("cells inside another namespace", "<k:ext><c r=\"A1\" xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                   "<v>9</v></c></k:ext>", QVariant());
        namespaced("markup compatibility", "<mc:AlternateContent xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\">"
                   "<mc:Choice Requires=\"k\"><c r=\"A1\"><v>9</v></c></mc:Choice></mc:AlternateContent>", QVariant());
        cell("tab in an attribute", " t=\"inline\tStr\"><v>2</v>", qlonglong(2));
    }
    void cellValue()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QVariant, expected);
        QFETCH(QByteArray, properties);
        // Shared strings in UTF-16, as any part may be.
        const QString strings = QString::fromUtf8(
            "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
            + TestPackage::part("sst", "<si><t>plain</t></si><si><r><t>Bold</t></r><r><rPr><b/></rPr>"
            "<t xml:space=\"preserve\"> and plain</t></r><rPh><t>x</t></rPh></si><si><t>  spaced\n text  </t></si><si><t>_x0041_pple"
            "</t></si><si><t>Gr\xC3\xBC\xC3\x9F \xF0\x9F\x98\x80</t></si><si><k:t>98765</k:t><t>0012345679</t></si>"
            "<k:si><t>skipped</t></k:si><si><t>after</t></si><si><t/></si>", " xmlns:k=\"urn:k\""));
        TestPackage package;
        package.setPart("xl/sharedStrings.xml", QByteArray(reinterpret_cast<const char*>(strings.utf16()), strings.size() * 2))
            .setPart("xl/styles.xml", TestPackage::part("styleSheet", "<numFmts><numFmt numFmtId=\"164\" formatCode=\"yyyy\\-mm\\-dd\\ hh:mm\"/>"
                "</numFmts><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"164\"/><xf numFmtId=\"4\"/></cellXfs>"))
            .addSheet("Sheet1", rows);
        package.setPart("xl/workbook.xml", TestPackage::part("workbook", properties + "<sheets><sheet name=\"Sheet1\" r:id=\"rId1\"/></sheets>"));
        for (const auto access : {reader::SheetAccess::Random, reader::SheetAccess::Forward}) {
            const auto document = open(package, "Sheet1", access);
            QVERIFY(document);
            const QVariant value = document->read(1, 1);
            QCOMPARE(describe(value), describe(expected));
            QCOMPARE(document->text(1, 1), value.toString());
            QVERIFY(document->text(1, 1).isNull() == !value.isValid() && document->text(1, 2).isNull());
            // A formula shown as its text has no value to pay.
            const bool formula = value.toString().startsWith('=');
            QCOMPARE(document->isUnknown(1, 1), formula);
            QVERIFY(!formula || document->mayHoldUnknown(1));
        }
    }

    // The used range; where a grid is given, the text of every cell in it (rows split by ';', cells by ',').
    void usedRange_data()
    {
        QTest::addColumn<QByteArray>("worksheet");
        QTest::addColumn<QList<int>>("range");
        QTest::addColumn<QString>("grid");
        QTest::newRow("stale dimension, style-only and empty cells do not count")
            << TestPackage::worksheet("<row r=\"1\"><c r=\"A1\" s=\"1\"/><c r=\"B1\"><v></v></c></row><row r=\"12\" s=\"1\"/>")
                   .replace("<sheetData>", "<dimension ref=\"A1:D10\"/><sheetData>")
            << QList<int>{0, 0, 0, 0} << QString();
        QTest::newRow("missing positions") << TestPackage::worksheet(
            "<row><c><v>11</v></c><c><v>12</v></c></row><row><c r=\"C2\"><v>23</v></c><c><v>24</v></c></row>"
            "<row r=\"5\"><c><v>51</v></c><c r=\"E5\"/><c><v>56</v></c></row><row><c t=\"inlineStr\"><is><t>61</t></is></c></row>")
            << QList<int>{1, 1, 6, 6} << "11,12,,,,;,,23,24,,;,,,,,;,,,,,;51,,,,,56;61,,,,,";
        QTest::newRow("out of order, the later cell wins") << TestPackage::worksheet(
            "<row r=\"3\"><c r=\"B3\"><v>32</v></c><c r=\"A3\"><v>31</v></c></row>"
            "<row r=\"1\"><c r=\"C1\"><v>13</v></c></row><row r=\"3\"><c r=\"B3\"><v>99</v></c></row>")
            << QList<int>{1, 1, 3, 3} << ",,13;,,;31,99,";
        // A template's formulas showing "" below the filled rows.
        QTest::newRow("formulas showing nothing do not count") << TestPackage::worksheet(
            "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\" t=\"str\"><f>IF(A1=\"\",\"\",A1)</f><v>1</v></c></row>"
            "<row r=\"2\"><c r=\"B2\" t=\"str\"><f>IF(A2=\"\",\"\",A2)</f><v></v></c></row>"
            "<row r=\"3\"><c r=\"C3\" t=\"str\"><f>IF(A3=\"\",\"\",A3)</f><v/></c></row>")
            << QList<int>{1, 1, 1, 2} << "1,1";
        // The scanner takes the rows of the spreadsheet's own sheetData only.
        QTest::newRow("sheet data of another namespace") << TestPackage::worksheet("<row r=\"2\"><c r=\"B2\"><v>22</v></c></row>")
                   .replace("<sheetData>", "<k:sheetData xmlns:k=\"urn:k\"><row r=\"1\"><c r=\"A1\"><v>9</v></c></row></k:sheetData><sheetData>")
            << QList<int>{2, 2, 2, 2} << "22";
    }
    void usedRange()
    {
        QFETCH(QByteArray, worksheet);
        QFETCH(QList<int>, range);
        QFETCH(QString, grid);
        for (const auto access : {reader::SheetAccess::Random, reader::SheetAccess::Forward}) {
            const auto document = open(TestPackage().addSheetPart("S", worksheet), "S", access);
            QVERIFY(document);
            QCOMPARE(bounds(document->dimension()), range);
            QCOMPARE(document->dimension().isValid(), range.last() > 0);
            QStringList rows;
            for (int r = range[0]; !grid.isEmpty() && r <= range[2]; ++r) {
                QStringList cells;
                for (int c = range[1]; c <= range[3]; ++c)
                    cells.append(document->text(r, c));
                rows.append(cells.join(','));
            }
            QCOMPARE(rows.join(';'), grid);
        }
    }

    // A sheet read as its rows arrive (as kova-export reads it) gives what the whole sheet held in memory gives, cell
    // for cell, on sheets of several megabytes whose rows arrive in order or not: every row read in turn, then a few
    // read again from the start. Read once without a survey, as an export reads it (the width first, then the rows
    // until the end), it gives the same where its rows come in order and its top rows are as wide as any, and
    // otherwise says it did not read intact.
    void forwardReadsAsWhole_data()
    {
        QTest::addColumn<QByteArray>("worksheet");
        QTest::addColumn<bool>("inOrder");
        const auto rows = [](int first, int last) {
            QByteArray xml;
            for (int r = first; r <= last; ++r) {
                const QByteArray n = QByteArray::number(r);
                xml += "<row r=\"" + n + "\"><c r=\"A" + n + "\"><v>" + n + "</v></c><c r=\"B" + n
                       + "\" t=\"inlineStr\"><is><t>r" + n + "</t></is></c><c r=\"C" + n + "\" t=\"s\"><v>"
                       + QByteArray::number(r % 3) + "</v></c></row>";
            }
            return xml;
        };
        const QByteArray many = rows(1, 25000);
        const auto sheet = [](const char* name, const QByteArray& sheetData, bool inOrder) {
            QTest::newRow(name) << TestPackage::worksheet(sheetData) << inOrder;
        };
        const QByteArray duplicates = "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"A1\"><v>2</v></c><c r=\"B1\"><v>3</v></c>"
                                      "<c r=\"A1\" t=\"inlineStr\"><is><t>last</t></is></c></row>";
        sheet("in order", many, true);
        sheet("width set only by the last row", many + "<row r=\"25001\"><c r=\"XFD25001\"><v>1</v></c></row>", false);
        sheet("width set by a top row", rows(1, 9) + "<row r=\"10\"><c r=\"F10\"><v>6</v></c></row>" + rows(11, 25000), true);
        sheet("an earlier column in the last row", QByteArray(many).replace("<c r=\"A", "<c r=\"D")
              + "<row r=\"25001\"><c r=\"A25001\"><v>1</v></c></row>", false);
        sheet("a late row far back, listed again", many + "<row r=\"7\"><c r=\"D7\"><v>4</v></c><c r=\"A7\"><v>-7</v></c></row>"
              + "<row r=\"2\"><c r=\"B2\" t=\"b\"><v>1</v></c></row>", false);
        sheet("halves swapped", rows(12501, 25000) + rows(1, 12500), false);
        sheet("duplicate cells in a row", duplicates + rows(2, 25000), true);
        sheet("duplicate cells, rows listed again", duplicates + rows(2, 25000) + rows(24999, 25000), false);
        sheet("cells of a row out of order", "<row r=\"1\"><c r=\"C1\"><v>3</v></c><c r=\"A1\"><v>1</v></c></row>" + rows(2, 25000),
              true);
        // A comment makes the markup scanner give up: expat reads the part alone.
        sheet("read by expat", "<!-- note -->" + rows(1, 25000), false);
        sheet("no positions", "<row><c><v>1</v></c><c><v>2</v></c></row><row><c r=\"C2\"><v>3</v></c><c><v>4</v></c></row>", true);
        sheet("empty", "<row r=\"4\"><c r=\"B4\" s=\"1\"/></row>", true);
    }
    void forwardReadsAsWhole()
    {
        QFETCH(QByteArray, worksheet);
        const TestPackage package = TestPackage()
            .setPart("xl/sharedStrings.xml", TestPackage::part("sst", "<si><t>zero</t></si><si><t>one</t></si><si><t>two</t></si>"))
            .addSheetPart("S", worksheet);
        // Every row's first four columns and the last one, by read() and text(); then rows already passed.
        const auto cells = [](const reader::Document& document) {
            const reader::CellRange range = document.dimension();
            QStringList lines{QString::number(range.firstRow()) + ":" + QString::number(range.lastRow()) + ","
                              + QString::number(range.firstColumn()) + ":" + QString::number(range.lastColumn())};
            QList<int> order;
            for (int r = 1; r <= range.lastRow() + 1; ++r)
                order.append(r);
            order << 3 << 2 << range.lastRow() << 1;
            for (const int r : order) {
                QString line;
                for (const int c : {1, 2, 3, 4, 5, range.lastColumn()})
                    line += describe(document.read(r, c)) + checkedText(document, r, c) + '|';
                lines.append(line);
            }
            return lines;
        };
        const QString file = write(package);
        reader::Document whole(file, {});
        reader::Document forward(file, reader::TextOptions{}, reader::SheetAccess::Forward);
        QVERIFY(whole.selectSheet("S") && forward.selectSheet("S"));
        QCOMPARE(cells(forward), cells(whole));
        QVERIFY(forward.readIntact());

        QFETCH(bool, inOrder);
        const auto rowByRow = [](const reader::Document& document) {
            const int lastColumn = document.dimension().lastColumn();
            QStringList lines;
            for (int r = 1; document.rowsReach(r); ++r) {
                QString line;
                for (const int c : {1, 2, 3, 4, 5, 6, lastColumn})
                    line += describe(document.read(r, c)) + checkedText(document, r, c) + '|';
                lines.append(line);
            }
            const reader::CellRange range = document.dimension();
            return QStringList{QString::number(range.firstRow()) + ":" + QString::number(range.lastRow()) + ","
                               + QString::number(range.firstColumn()) + ":" + QString::number(lastColumn)} + lines;
        };
        reader::Document once(file, reader::TextOptions{}, reader::SheetAccess::InOrder);
        QVERIFY(once.selectSheet("S"));
        const QStringList read = rowByRow(once);
        QCOMPARE(once.readIntact(), inOrder);
        if (inOrder)
            QCOMPARE(read, rowByRow(whole));
    }

    void sheetOrderAndExactNames()
    {
        const QStringList names{"Zeta", "alpha", "Alpha ", QString::fromUtf8("Gaji & \xC3\xBCpah")};
        TestPackage package;
        for (int i = 0; i < names.size(); ++i)
            package.addSheet(names[i], "<row r=\"1\"><c r=\"A1\"><v>" + QByteArray::number(i + 1) + "</v></c></row>");
        reader::Document document(write(package), {});
        QCOMPARE(document.sheetNames(), names);
        for (int i : {2, 1, 3})
            QVERIFY(document.selectSheet(names[i]) && document.read(1, 1) == i + 1);
        for (const char* near : {"Alpha", "zeta", ""})
            QVERIFY(!document.selectSheet(near));
        QVERIFY(!document.dimension().isValid() && !document.read(1, 1).isValid()); // no sheet left behind
    }

    // A macro sheet of an .xlsm reads as a worksheet does, however the sheet is read: its root element is in
    // Excel's own namespace, what it holds in the spreadsheet's; any other element of Excel's namespace is
    // no content, as in a worksheet.
    void macroSheets_data()
    {
        QTest::addColumn<int>("access");
        QTest::newRow("held whole") << int(reader::SheetAccess::Random);
        QTest::newRow("surveyed") << int(reader::SheetAccess::Forward);
        QTest::newRow("in order") << int(reader::SheetAccess::InOrder);
    }
    void macroSheets()
    {
        QFETCH(int, access);
        const QByteArray rows = "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Budi</t></is></c><c r=\"B1\"><v>1500</v></c></row>"
                                "<row r=\"2\"><c r=\"A2\" t=\"str\"><f>GET.CELL(1)</f><v>Siti</v></c><xm:c r=\"C2\"><v>9</v></xm:c>"
                                "<c r=\"B2\"><v>2500</v></c></row>";
        const QString written = write(TestPackage().addSheet("Data", kOne).addMacroSheetPart("Macro1", TestPackage::macrosheet(rows)));
        reader::Document document(written, reader::TextOptions{}, reader::SheetAccess(access));
        QCOMPARE(document.sheetNames(), (QStringList{"Data", "Macro1"}));
        QVERIFY(document.selectSheet("Macro1"));
        QVERIFY2(document.problem().isEmpty(), qPrintable(document.problem()));
        QCOMPARE(bounds(document.dimension()), (QList<int>{1, 1, 2, 2}));
        QStringList cells;
        for (int row = 1; document.rowsReach(row); ++row)
            for (int column = 1; column <= 3; ++column)
                cells << describe(document.read(row, column));
        QCOMPARE(cells, (QStringList{"QString(Budi)", "qlonglong(1500)", "invalid()", "QString(Siti)", "qlonglong(2500)", "invalid()"}));
        QVERIFY(document.readIntact());
        QVERIFY(document.selectSheet("Data"));
        QCOMPARE(document.read(1, 1), QVariant(1));
    }

    // Parts are found through the relationships, wherever they lie: by relative and absolute targets, and by parent
    // steps past the package root, which fold inside it. In every part, elements and prefixed attributes of other
    // namespaces are no content, the spreadsheet's own under any prefix (strict or transitional) are.
    void partsFoundThroughRelationships()
    {
        const QByteArray rel = "<Relationship Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
        const QByteArray k = " xmlns:k=\"urn:k\"";
        const auto document = open(
            TestPackage()
                .setPart("_rels/.rels", "<p:Relationships xmlns:p=\"http://schemas.openxmlformats.org/package/2006/relationships\"" + k
                                            + "><k:Relationship Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                                              "officeDocument\" Id=\"a\" Target=\"xl/workbook.xml\"/>"
                                            + rel.mid(0, 1) + "p:" + rel.mid(1) + "officeDocument\" Id=\"b\" Target=\"book/main.xml\"/></p:Relationships>")
                .setPart("book/main.xml", "<workbook xmlns=\"http://purl.oclc.org/ooxml/spreadsheetml/main\" xmlns:rel=\"http://purl.oclc.org/"
                                          "ooxml/officeDocument/relationships\"" + k + "><sheets><k:sheet name=\"Hidden\" rel:id=\"s\"/>"
                                          "<sheet name=\"Data\" rel:id=\"s\"/><sheet name=\"Foreign id\" k:id=\"s\"/></sheets></workbook>")
                .setPart("book/_rels/main.xml.rels", TestPackage::relationships(rel + "worksheet\" Id=\"s\" Target=\"sheets/one.xml\"/>" + rel
                                                         + "sharedStrings\" Id=\"t\" Target=\"/shared/strings.xml\"/>" + rel
                                                         + "styles\" Id=\"u\" Target=\"../../../book/./fmt.xml\"/>"))
                .setPart("book/sheets/one.xml", TestPackage::worksheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c>"
                                                                       "<c r=\"B1\" s=\"1\"><v>45000</v></c></row>"))
                .setPart("shared/strings.xml", TestPackage::part("sst", "<k:si><t>hidden</t></k:si><si><t>found</t></si>", k))
                .setPart("book/fmt.xml", TestPackage::part("styleSheet", "<cellXfs><k:xf numFmtId=\"14\"/><xf numFmtId=\"0\"/>"
                                                                       "<xf numFmtId=\"14\"/></cellXfs>", k)),
            "Data");
        QVERIFY(document);
        QCOMPARE(document->sheetNames(), (QStringList{"Data", "Foreign id"}));
        QCOMPARE(document->text(1, 1) + " " + document->text(1, 2), QString("found 2023-03-15"));
        QVERIFY(!document->selectSheet("Foreign id"));
    }

    // Entries named with backslashes are found by their names with slashes.
    void backslashedEntryNames()
    {
        const auto document = open(TestPackage().addSheet("S", kOne).withBackslashes(), "S");
        QVERIFY(document);
        QCOMPARE(document->read(1, 1), QVariant(1));
    }

    // Broken or hostile files open without sheets, or their broken sheet "Bad"
    // cannot be selected and leaves nothing behind, while "Good" still reads.
    // The problem names the part and what is wrong with it (a legacy or an
    // encrypted workbook says nothing more).
    void unreadable_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // written as they are, unless null
        QTest::addColumn<TestPackage>("package");
        QTest::addColumn<QStringList>("sheets");
        QTest::addColumn<bool>("passwordProtected");
        QTest::addColumn<QString>("problem");
        const auto whole = [](const char* name, const TestPackage& package, const QString& problem, const QStringList& sheets = {}) {
            QTest::newRow(name) << QByteArray() << package << sheets << false << problem;
        };
        const auto sheet = [](const char* name, const QString& problem, const QByteArray& sheetData, const char* part = "",
                              const QByteArray& content = {}) {
            TestPackage package = TestPackage().addSheet("Good", kOne).addSheet("Bad", sheetData);
            QTest::newRow(name) << QByteArray() << (*part ? package.setPart(part, content) : package) << QStringList{"Good", "Bad"}
                                << false << "xl/worksheets/sheet2.xml: " + problem;
        };
        const auto file = [](const char* name, const QByteArray& bytes, bool passwordProtected, const QString& problem = {}) {
            QTest::newRow(name) << bytes << TestPackage() << QStringList() << passwordProtected << problem;
        };
        file("compound file without streams", QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") + QByteArray(4096, '\0'), false);
        file("legacy workbook", TestPackage::compoundFile({"Workbook"}), false);
        // Encrypted, but with nothing to tell how: damaged, not a question of the password.
        file("encrypted workbook without a header", TestPackage::compoundFile({"EncryptionInfo", "EncryptedPackage"}), false,
             "the encryption header is damaged");
        file("encrypted workbook, streams in another order", TestPackage::compoundFile({"EncryptedPackage", "EncryptionInfo"}),
             false, "the encryption header is damaged");
        file("half an encrypted workbook", TestPackage::compoundFile({"EncryptionInfo"}), false);
        file("encrypted workbook cut short", TestPackage::compoundFile({"EncryptionInfo", "EncryptedPackage"}).left(1000), false);
        QTest::newRow("not a zip file") << QByteArray("PK\x03\x04 and then nothing a zip holds") << TestPackage() << QStringList()
                                        << false << "the package is not a readable zip file";
        QTest::newRow("sheet without a part") << QByteArray() << TestPackage().addSheet("Good", kOne).setPart("xl/workbook.xml",
            TestPackage::part("workbook", "<sheets><sheet name=\"Good\" sheetId=\"1\" r:id=\"rId1\"/>"
                                          "<sheet name=\"Bad\" sheetId=\"2\" r:id=\"rId99\"/></sheets>"))
            << QStringList{"Good", "Bad"} << false << "the workbook names no part for the sheet";
        whole("no workbook relationships", TestPackage().addSheet("Bad", kOne).removePart("xl/_rels/workbook.xml.rels"),
              "xl/_rels/workbook.xml.rels: missing");
        whole("workbook in no namespace", TestPackage().addSheet("Bad", kOne).setPart("xl/workbook.xml",
            "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
            "<sheet name=\"Bad\" r:id=\"rId1\"/></sheets></workbook>"), "xl/workbook.xml: lists no sheets");
        // Two entries for one part: a spreadsheet program may show the other.
        const QString twice = ": a second part of that name, differing only in case or slashes";
        whole("part twice, case differs", TestPackage().addSheet("Bad", kOne).setPart("xl/worksheets/Sheet1.xml", kOne),
              "xl/worksheets/sheet1.xml" + twice);
        whole("part twice, slash differs", TestPackage().addSheet("Bad", kOne).setPart("xl\\worksheets\\sheet1.xml", kOne),
              "xl\\worksheets\\sheet1.xml" + twice);
        whole("malformed shared strings", TestPackage().addSheet("Bad", kOne).setPart("xl/sharedStrings.xml", "<sst><si><t>x</si></sst>"),
              "xl/sharedStrings.xml: not well-formed XML (line 1)", {"Bad"});
        sheet("malformed XML", "not well-formed XML (line 2)", "<row r=\"1\"><c r=\"A1\"><v>1</v></row></c>");
        sheet("malformed XML, a later line", "not well-formed XML (line 4)", "<row r=\"1\">\n<c r=\"A1\">\n<v>1</v></row></c>");
        sheet("invalid UTF-8", "not well-formed XML (line 2)", "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>\xC3\x28</t></is></c></row>");
        sheet("undeclared entity", "not well-formed XML (line 2)", "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&nbsp;</t></is></c></row>");
        const QString undeclared = "uses a namespace prefix it does not declare";
        sheet("undeclared prefix", undeclared, "<row r=\"1\"><c r=\"A1\"><v>1</v></c><k:c r=\"B1\"/></row>");
        sheet("undeclared prefix, by expat", undeclared, "<row r=\"1\"><!----><c r=\"A1\"><v>1</v></c><k:c r=\"B1\"/></row>");
        sheet("undeclared attribute prefix", undeclared, "<row r=\"1\"><c r=\"A1\" k:s=\"1\"><v>1</v></c></row>");
        sheet("prefix bound to nothing", "binds a namespace prefix to no namespace",
              "<row r=\"1\"><c r=\"A1\" xmlns:k=\"\"><v>1</v></c></row>");
        // Past the rows the scanner took, expat has not counted their lines.
        sheet("malformed after the rows", "not well-formed XML", "", "xl/worksheets/sheet2.xml",
              TestPackage::worksheet(kOne).replace("</sheetData>", "</sheetData><x>"));
        // The table holds one string (the other sheets have none): a text the sheet names is missing.
        const QString pastTable = "a shared string its table does not hold";
        sheet("shared string past the table", pastTable, "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c></row>", "xl/sharedStrings.xml",
              TestPackage::part("sst", "<si><t>one</t></si>"));
        sheet("shared string index not a number", pastTable, "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>x</v></c></row>", "xl/sharedStrings.xml",
              TestPackage::part("sst", "<si><t>one</t></si>"));
        sheet("no string table", pastTable, "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>");
        sheet("overflowing row number", "a cell reference outside the sheet", "<row r=\"1\"><c r=\"A99999999999999999999\"><v>1</v></c></row>");
        sheet("column past the last", "a cell reference outside the sheet", "<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>");
        sheet("row past the last", "a row number outside the sheet", "<row r=\"1048577\"><c><v>1</v></c></row>");
        sheet("missing part", "missing", "", "xl/worksheets/sheet2.xml", QByteArray());
        sheet("document type declaration", "holds a document type declaration", "", "xl/worksheets/sheet2.xml",
              TestPackage::worksheet(kOne).replace("<worksheet", "<!DOCTYPE worksheet><worksheet"));
        sheet("nested too deep", "nests elements more than 256 deep", QByteArray("<x>").repeated(300));
        // 48 MB of one repeated byte deflate to about 50 KB: far below the ratio a real sheet stays above.
        sheet("decompression bomb", "inflates too far for its compressed size", kOne + QByteArray(48 * 1024 * 1024, ' '));
        QByteArray huge; // one text past 10 MiB: no spreadsheet program writes such a cell
        for (int i = 0; huge.size() <= 10 * 1024 * 1024; ++i)
            huge += QByteArray::number(qint64(i) * 2654435761 % 1000003);
        sheet("text past the text limit", "a text longer than 10 MiB",
              "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>" + huge + "</t></is></c></row>");
    }
    void unreadable()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(TestPackage, package);
        QFETCH(QStringList, sheets);
        QFETCH(bool, passwordProtected);
        QFETCH(QString, problem);
        const QString file = bytes.isNull() ? write(package) : m_dir.filePath("bytes.xlsx");
        QFile out(file);
        QVERIFY(bytes.isNull() || (out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.flush()));
        reader::Document document(file, {});
        QCOMPARE(document.sheetNames(), sheets);
        QCOMPARE(document.isPasswordProtected(), passwordProtected);
        QCOMPARE(reader::Document(reader::InMemory{expect::fileBytes(file)}).isPasswordProtected(), passwordProtected);
        QVERIFY(!document.selectSheet("Bad"));
        QCOMPARE(document.problem(), problem);
        QVERIFY(!document.dimension().isValid() && !document.read(1, 1).isValid());
        QVERIFY(!sheets.contains("Good") || (document.selectSheet("Good") && document.read(1, 1) == 1));
        // The first pass of a sheet read as its rows arrive refuses what a whole read refuses.
        reader::Document forward(file, reader::TextOptions{}, reader::SheetAccess::Forward);
        QVERIFY(!forward.selectSheet("Bad") && !forward.dimension().isValid() && !forward.read(1, 1).isValid());
        QCOMPARE(forward.problem(), problem);
        QVERIFY(!sheets.contains("Good") || (forward.selectSheet("Good") && forward.read(1, 1) == 1));
    }

    // Every row of the largest sheet holds values, and its widest row is not the last: the default limits take it all.
    void fullSizeSheet()
    {
        QByteArray rows;
        for (int r = 1; r <= 1048576; ++r) {
            const QByteArray n = QByteArray::number(r);
            rows += "<row r=\"" + n + "\"><c r=\"A" + n + "\"><v>" + n + "</v></c><c r=\"B" + n + "\" t=\"inlineStr\"><is><t>r" + n
                    + "</t></is></c></row>";
        }
        const auto document = open(TestPackage().addSheet("Full", rows.insert(rows.indexOf("</row>"), "<c r=\"XFD1\"><v>7</v></c>")), "Full");
        QVERIFY(document);
        QCOMPARE(bounds(document->dimension()), (QList<int>{1, 1, 1048576, 16384}));
        for (int r : {1, 524288, 1048576})
            QCOMPARE(document->text(r, 1) + document->text(r, 2) + document->text(r, 16384), QString("%1r%1%2").arg(r).arg(r == 1 ? "7" : ""));
    }

    // The shapes of cell and row the sheet reader takes whole from the bytes, and those it leaves to the general parse
    // ("-"): the parts it read, once it took the whole cell or row and not a byte of what follows. A cut anywhere
    // short of the end leaves it too.
    void plainMarkup_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("prefix");
        QTest::addColumn<QString>("expected");
        const auto shape = [](const char* name, const QByteArray& bytes, const char* expected, const QByteArray& prefix = {}) {
            QTest::newRow(name) << bytes << prefix << QString::fromUtf8(expected);
        };
        const QByteArray inlineCell = "<c t=\"inlineStr\"><is><t>";
        // Cells taken.
        shape("value, every attribute", "<c r=\"A1\" s=\"1\" t=\"s\"><v>12</v></c>", "r=A1 s=1 t=s value[12]");
        shape("no attributes, empty", "<c/>", "r=- s=- t=- none");
        shape("style only, empty", "<c r=\"B2\" s=\"7\"/>", "r=B2 s=7 t=- none");
        shape("no content", "<c r=\"B2\"></c>", "r=B2 s=- t=- none");
        shape("empty value", "<c r=\"B2\"><v></v></c>", "r=B2 s=- t=- value[]");
        shape("empty attribute values", "<c r=\"\" t=''><v>1</v></c>", "r= s=- t= value[1]");
        shape("quotes, white space and markup signs in the tag", "<c\tr = 'A1'\n t=\"a>b'\" ><v>1</v></c>", "r=A1 s=- t=a>b' value[1]");
        shape("inline text", inlineCell + "Budi Rahma</t></is></c>", "r=- s=- t=inlineStr text[Budi Rahma]");
        shape("inline text preserved", "<c t=\"inlineStr\"><is><t xml:space=\"preserve\"> a </t></is></c>",
              "r=- s=- t=inlineStr preserved[ a ]");
        shape("text with tab, line feed, DEL, '>' and UTF-8 of every length",
              inlineCell + "a\tb\nc\x7F > ]> \xC3\xBC\xE6\xBC\xA2\xF0\x9F\x98\x80 \xEF\xBF\xBD</t></is></c>",
              "r=- s=- t=inlineStr text[a\tb\nc\x7F > ]> \xC3\xBC\xE6\xBC\xA2\xF0\x9F\x98\x80 \xEF\xBF\xBD]");
        shape("long text, past eight bytes", "<c><v>0123456789abcdefghijklmnopqrstuvwxyz.0123456789</v></c>",
              "r=- s=- t=- value[0123456789abcdefghijklmnopqrstuvwxyz.0123456789]");
        shape("prefixed", "<x:c r=\"A1\"><x:v>7</x:v></x:c>", "r=A1 s=- t=- value[7]", "x:");
        shape("prefixed inline text", "<x:c t=\"inlineStr\"><x:is><x:t>y</x:t></x:is></x:c>", "r=- s=- t=inlineStr text[y]", "x:");
        // Cells left to the general parse.
        shape("another element", "<cx r=\"A1\"><v>1</v></cx>", "-");
        shape("a prefixed name", "<c:c r=\"A1\"><v>1</v></c:c>", "-");
        shape("prefix not the one bound", "<c r=\"A1\"><v>1</v></c>", "-", "x:");
        shape("inner prefix differs", "<x:c r=\"A1\"><v>1</v></x:c>", "-", "x:");
        shape("another prefix of that length", "<k:c r=\"A1\"><k:v>1</k:v></k:c>", "-", "x:");
        shape("another attribute", "<c r=\"A1\" cm=\"1\"><v>1</v></c>", "-");
        shape("another attribute of one letter", "<c r=\"A1\" x=\"1\"><v>1</v></c>", "-");
        shape("an attribute twice", "<c r=\"A1\" r=\"B1\"><v>1</v></c>", "-");
        shape("a prefixed attribute", "<c r=\"A1\" k:t=\"s\"><v>1</v></c>", "-");
        shape("an attribute named with more letters", "<c rr=\"A1\"><v>1</v></c>", "-");
        shape("no space before an attribute", "<c r=\"A1\"s=\"1\"><v>1</v></c>", "-");
        shape("no value", "<c r><v>1</v></c>", "-");
        shape("value unquoted", "<c r=A1><v>1</v></c>", "-");
        shape("value in other delimiters", "<c r=|A1|><v>1</v></c>", "-");
        shape("line feed in a value, then what reads as an attribute", "<c t=\"s\n r=\"A1\"><v>0</v></c>", "-");
        shape("tab in a value at the end", "<c t=\"a\tb\"/>", "-");
        shape("value at the end", "<c t=\"ab\"/>", "r=- s=- t=ab none");
        shape("quotes unmatched", "<c r=\"A1'><v>1</v></c>", "-");
        shape("slash without '>'", "<c r=\"A1\"/ >", "-");
        for (const char* value : {"&quot;", "a<b", "inline\tStr", "a\nb", "a\x1F" "b", "\xC3\xBC"}) {
            const QByteArray name = QByteArray("attribute value holding ") + QByteArray(value).toPercentEncoding();
            QTest::newRow(name.constData()) << "<c t=\"" + QByteArray(value) + "\"><v>1</v></c>" << QByteArray() << "-";
        }
        shape("formula", "<c r=\"A1\"><f>B1</f><v>1</v></c>", "-");
        shape("value empty tag", "<c r=\"A1\"><v/></c>", "-");
        shape("space in a tag", "<c r=\"A1\"><v >1</v></c>", "-");
        shape("space in an end tag", "<c r=\"A1\"><v>1</v ></c>", "-");
        shape("white space between tags", "<c r=\"A1\"> <v>1</v></c>", "-");
        shape("text after the value", "<c r=\"A1\"><v>1</v>x</c>", "-");
        shape("rich text", inlineCell.left(inlineCell.size() - 3) + "r><t>a</t></r></is></c>", "-");
        shape("text marked otherwise", "<c t=\"inlineStr\"><is><t xml:space=\"default\">a</t></is></c>", "-");
        shape("text marked in other quotes", "<c t=\"inlineStr\"><is><t xml:space='preserve'>a</t></is></c>", "-");
        shape("two runs", inlineCell + "a</t><t>b</t></is></c>", "-");
        // The most one text may hold.
        const QByteArray longest(10 * 1024 * 1024, 'a');
        shape("text at the limit", inlineCell + longest + "</t></is></c>", ("r=- s=- t=inlineStr text[" + longest + "]").constData());
        shape("text past the limit", inlineCell + longest + "a</t></is></c>", "-");
        for (const char* text : {"a&amp;b", "a&#65;", "a\rb", "a\x01", "a\x1F" "b", "a]]>b", "\xC3\x28", "\xC0\xAF", "\xED\xA0\x80", "\xEF\xBF\xBE",
                                 "\xF4\x90\x80\x80", "\xE6\xBC", "<![CDATA[a]]>", "<!---->a"}) {
            const QByteArray name = QByteArray("text holding ") + QByteArray(text).toPercentEncoding();
            QTest::newRow(name.constData()) << inlineCell + text + "</t></is></c>" << QByteArray() << "-";
        }
        // Rows taken, their cells read as above.
        shape("row", "<row r=\"2\"><c r=\"A2\"><v>1</v></c><c r=\"B2\" t=\"inlineStr\"><is><t>b</t></is></c><c/></row>",
              "row r=2: r=A2 s=- t=- value[1] | r=B2 s=- t=inlineStr text[b] | r=- s=- t=- none");
        shape("row without cells", "<row r=\"3\" spans=\"1:5\"></row>", "row r=3:");
        shape("row of attributes named like its number", "<row rr=\"1\" r=\"3\" ref=\"2\"></row>", "row r=3:");
        shape("empty row", "<row r=\"3\" s=\"1\" customFormat=\"1\"/>", "row r=3:");
        shape("row without a number", "<row><c><v>1</v></c></row>", "row r=-: r=- s=- t=- value[1]");
        shape("row of many attributes", "<row\tspans = '1:2' r=\"4\" ht=\"15\" customHeight=\"1\" hidden=\"0\" outlineLevel=\"0\"><c/></row>",
              "row r=4: r=- s=- t=- none");
        shape("prefixed row", "<x:row r=\"5\"><x:c><x:v>1</x:v></x:c></x:row>", "row r=5: r=- s=- t=- value[1]", "x:");
        shape("row with prefixed attributes", "<row r=\"2\" x14ac:dyDescent=\"0.25\" a:b:c=\"1\" xml:space=\"preserve\"><c/></row>",
              "row r=2 [x14ac a xml]: r=- s=- t=- none");
        // Rows left to the general parse.
        shape("row holding a cell of another shape", "<row r=\"2\"><c r=\"A2\"><v>1</v></c><c r=\"B2\"><f>A2</f></c></row>", "-");
        shape("row with white space between cells", "<row r=\"2\"><c r=\"A2\"><v>1</v></c> <c r=\"B2\"/></row>", "-");
        shape("row declaring a namespace", "<row r=\"2\" xmlns:k=\"urn:k\"><c/></row>", "-");
        shape("row declaring the default namespace", "<row r=\"2\" xmlns=\"urn:k\"><c/></row>", "-");
        shape("row attribute twice", "<row r=\"2\" r=\"3\"><c/></row>", "-");
        shape("row attribute without a value", "<row r=\"2\" hidden><c/></row>", "-");
        shape("row end with a space", "<row r=\"2\"><c/></row >", "-");
        shape("row end of another name", "<row r=\"2\"><c/></rows>", "-");
        QByteArray many = "<row";
        for (int i = 0; i < 17; ++i)
            many += " a" + QByteArray::number(i) + "=\"1\"";
        shape("row of 17 attributes", many + "><c/></row>", "-");
        shape("row of 16 attributes", many.left(many.lastIndexOf(" a16")) + "><c/></row>", "row r=-: r=- s=- t=- none");
    }
    void plainMarkup()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, prefix);
        QFETCH(QString, expected);
        const std::string_view bound(prefix.constData(), std::size_t(prefix.size()));
        const auto view = [](const std::optional<std::string_view>& v) {
            return v ? QString::fromUtf8(v->data(), int(v->size())) : QString("-");
        };
        const auto cell = [&](const reader::PlainCell& c) {
            const QString text = QString::fromUtf8(c.text.data(), int(c.text.size()));
            const QString content = c.content == reader::PlainCell::Content::None ? "none"
                                    : c.content == reader::PlainCell::Content::Value ? "value[" + text + "]"
                                    : (c.preserved ? "preserved[" : "text[") + text + "]";
            return "r=" + view(c.reference) + " s=" + view(c.style) + " t=" + view(c.type) + " " + content;
        };
        // Read from a buffer that ends where the bytes do, followed by the next cell.
        const bool isRow = bytes.startsWith("<" + prefix + "row");
        const auto read = [&](int size, QString* parts) {
            const std::unique_ptr<char[]> buffer(new char[std::size_t(size)]);
            std::copy(bytes.constData(), bytes.constData() + std::min(size, bytes.size()), buffer.get());
            const char* const next = "<c/>";
            std::copy(next, next + std::max(0, size - bytes.size()), buffer.get() + bytes.size());
            if (!isRow) {
                reader::PlainCell plain;
                const std::size_t used = reader::readPlainCell(buffer.get(), std::size_t(size), bound, plain);
                if (parts && used)
                    *parts = cell(plain);
                return used;
            }
            reader::PlainRow plain;
            const std::size_t used = reader::readPlainRow(buffer.get(), std::size_t(size), bound, plain);
            QStringList cells;
            for (const reader::PlainCell& c : plain.cells)
                cells.append(cell(c));
            QStringList prefixes;
            for (const std::string_view p : plain.attributePrefixes)
                prefixes.append(QString::fromUtf8(p.data(), int(p.size())));
            if (parts && used)
                *parts = ("row r=" + view(plain.number) + (prefixes.isEmpty() ? "" : " [" + prefixes.join(' ') + "]") + ": "
                          + cells.join(" | ")).trimmed();
            return used;
        };
        // Followed by the next cell, and at the very end of the bytes.
        for (const int size : {bytes.size() + 4, bytes.size()}) {
            QString parts = "-";
            const std::size_t used = read(size, &parts);
            QCOMPARE(parts, expected);
            QCOMPARE(used, expected == "-" ? 0 : std::size_t(bytes.size()));
        }
        for (int size = 0; expected != "-" && size < std::min(bytes.size(), 4096); ++size)
            QCOMPARE(read(size, nullptr), std::size_t(0));
    }

    // Sheets read by the markup scanner, whose cells and rows of plain shape are taken straight from the bytes, read
    // cell for cell as expat reads them, refusals included; so do those whose markup breaks a limit or a rule only
    // inside a plain cell. Cells of the shapes taken and of shapes left to the general parse stand side by side.
    void plainMarkupReadsAsExpat_data()
    {
        QTest::addColumn<QByteArray>("worksheet");
        const auto sheet = [](const char* name, const QByteArray& sheetData) { QTest::newRow(name) << TestPackage::worksheet(sheetData); };
        const auto row = [](int r, const QByteArray& cells) { return "<row r=\"" + QByteArray::number(r) + "\">" + cells + "</row>"; };
        const QByteArray text = "<c t=\"inlineStr\"><is><t>";
        sheet("every type and style", row(1, "<c r=\"A1\"><v>12</v></c><c r=\"B1\" t=\"s\"><v>1</v></c><c r=\"C1\" t=\"b\"><v>1</v></c>"
                                             "<c r=\"D1\" t=\"e\"><v>#N/A</v></c><c r=\"E1\" t=\"str\"><v>s</v></c>"
                                             "<c r=\"F1\" t=\"d\"><v>2024-02-29</v></c><c r=\"G1\" t=\"n\" s=\"1\"><v> 45000 </v></c>"
                                             "<c r=\"H1\" s=\"2\"><v>45000.5</v></c><c r=\"I1\" s=\"99\"><v>1E+3</v></c>"
                                             "<c r=\"J1\" t=\"b\"><v>yes</v></c><c r=\"K1\"><v>+7</v></c><c r=\"L1\"><v>1x</v></c>"
                                             "<c r=\"M1\" t=\"s\"><v> 2 </v></c><c r=\"N1\" t=\"inlineStr\"><v>v</v></c>")
                                         + row(2, text + "\t a b \n</t></is></c><c t=\"inlineStr\"><is><t xml:space=\"preserve\"> a </t></is></c>"
                                                  "<c t=\"inlineStr\"><is><t>_x0041__x0009_</t></is></c><c t=\"s\"><is><t>x</t></is></c>"
                                                  "<c><is><t>7</t></is></c><c t=\"inlineStr\"><is><t></t></is></c><c t=\"str\"><v></v></c>"
                                                  "<c><v> </v></c><c r=\"J2\" s=\"1\"/><c/><c r=\"L2\"></c>"
                                                  + text + "\xC3\xBC \xF0\x9F\x98\x80 a > b</t></is></c>"));
        sheet("prefixed", "<x:row r=\"1\"><x:c r=\"A1\"><x:v>1</x:v></x:c><x:c t=\"inlineStr\"><x:is><x:t>b</x:t></x:is></x:c></x:row>"
                          "<x:row><x:c><x:v>2</x:v></x:c></x:row>");
        sheet("positions left out, rows empty and out of order", "<row><c><v>1</v></c><c><v>2</v></c></row><row r=\"5\"/><row r=\"4\">"
              "<c r=\"C4\"><v>3</v></c><c><v>4</v></c></row><row><c><v>5</v></c></row><row r=\"2\"><c r=\"A2\"><v>6</v></c>"
              "<c r=\"A2\"><v>7</v></c></row>");
        sheet("rows of other attributes", "<row r=\"1\" spans=\"1:2\" ht=\"15\" customHeight=\"1\"><c r=\"A1\"><v>1</v></c></row>"
              "<row r=\"2\" x:a=\"1\"><c r=\"A2\"><v>2</v></c></row><row r=\"3\" xmlns:k=\"urn:k\" k:a=\"1\"><c r=\"A3\"><v>3</v></c></row>");
        sheet("cells of other shapes between plain ones", row(1, "<c r=\"A1\"><v>1</v></c><c r=\"B1\"><f>A1</f><v>2</v></c>"
              "<c r=\"C1\"><v>3</v></c><c r=\"D1\" t=\"inlineStr\"><is><r><t>a</t></r><r><t> b</t></r></is></c>"
              "<c r=\"E1\" t=\"inlineStr\"><is><t xml:space=\"default\"> e </t></is></c><c r=\"F1\" cm=\"1\"><v>6</v></c>"
              "<c r=\"G1\"> <v>7</v> </c>") + "\n" + row(2, text + "a &amp; b</t></is></c>" + text + "c\r\nd</t></is></c>"
              + text + "&#65;</t></is></c><c><v><![CDATA[5]]></v></c><c><v>6</v><!----></c><c>\n<v>7</v></c>"));
        // The namespaces in force: elements of another are skipped, whether or not their shape is plain.
        const QByteArray k = " xmlns:k=\"urn:k\"";
        sheet("cells of another namespace", row(1, "<c r=\"A1\"><v>1</v></c><k:c r=\"A1\"" + k + "><k:v>9</k:v></k:c>"
              "<c r=\"B1\" xmlns=\"urn:k\"><v>9</v></c><r:c r=\"C1\"><r:v>3</r:v></r:c>"));
        sheet("row of another default namespace", "<row r=\"1\" xmlns=\"urn:k\"><c r=\"A1\"><v>9</v></c></row>"
              "<row r=\"2\"><c r=\"A2\"><v>2</v></c></row>");
        sheet("row of another namespace", "<k:row r=\"1\"" + k + "><c r=\"A1\"><v>1</v></c></k:row>");
        sheet("rows of the main namespace under another prefix", "<m:row r=\"1\" xmlns:m=\"http://schemas.openxmlformats.org/"
              "spreadsheetml/2006/main\"><m:c r=\"A1\"><m:v>5</m:v></m:c></m:row>");
        sheet("undeclared prefix", row(1, "<c r=\"A1\"><v>1</v></c><k:c r=\"B1\"><k:v>1</k:v></k:c>"));
        sheet("undeclared attribute prefix on a row", row(1, "<c r=\"A1\"><v>1</v></c>") + "<row r=\"2\" k:a=\"1\"><c r=\"A2\"><v>2</v></c></row>");
        QTest::newRow("rows as a spreadsheet program writes them")
            << TestPackage::worksheet("<row r=\"1\" spans=\"1:2\" x14ac:dyDescent=\"0.25\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\">"
                                      "<v>1.5</v></c></row><row r=\"2\" spans=\"1:2\" ht=\"30\" customHeight=\"1\" x14ac:dyDescent=\"0.3\">"
                                      "<c r=\"A2\" s=\"1\"><v>45000</v></c></row>")
                   .replace("<worksheet ", "<worksheet xmlns:x14ac=\"http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac\" ");
        // Cells past the sheet data, behind a second one that ends it, are no cells.
        sheet("sheet data ended inside", row(1, "<c r=\"A1\"><v>1</v></c>") + "<sheetData></sheetData>" + row(2, "<c r=\"A2\"><v>2</v></c>"));
        // Cells nested in a cell's text; the text after them is collected for no cell, and would break the text limit.
        // (Varied text: a part that deflates far below 1:100 is refused as a bomb.)
        const QByteArray longest = numbers(10 * 1024 * 1024).left(10 * 1024 * 1024);
        sheet("cell inside a text", row(1, text + "a<c r=\"B1\"><v>2</v></c>" + longest + "b</t></is></c>"));
        // Malformed, and past the limits, only inside plain shapes.
        sheet("attribute twice", row(1, "<c r=\"A1\" r=\"A1\"><v>1</v></c>"));
        sheet("row attribute twice", "<row r=\"1\" r=\"1\"><c r=\"A1\"><v>1</v></c></row>");
        sheet("no space between attributes", row(1, "<c r=\"A1\"t=\"s\"><v>0</v></c>"));
        sheet("reference past the sheet", row(1, "<c r=\"A1\"><v>1</v></c><c r=\"XFE1\"><v>1</v></c>"));
        sheet("row past the sheet", "<row r=\"1048577\"><c><v>1</v></c></row>");
        sheet("shared string past the table", row(1, "<c r=\"A1\" t=\"s\"><v>3</v></c>"));
        for (const char* bad : {"\xC3\x28", "\xED\xA0\x80", "\xEF\xBF\xBF", "a]]>", "\x01", "&nbsp;"}) {
            const QByteArray name = QByteArray("text holding ") + QByteArray(bad).toPercentEncoding();
            QTest::newRow(name.constData()) << TestPackage::worksheet(row(1, text + bad + "</t></is></c>"));
        }
        sheet("text past the limit", row(1, text + longest + "a</t></is></c>"));
        sheet("text at the limit", row(1, text + longest + "</t></is></c>"));
        // The sheet data nested deep: the text of an inline cell opens the 256th element, or the 257th.
        const auto nested = [](int wrappers, const QByteArray& cell, const QByteArray& row = "<row r=\"1\">") {
            QByteArray sheet = TestPackage::worksheet(row + cell + "</row>");
            const int at = sheet.indexOf("<sheetData>");
            sheet.insert(sheet.indexOf("<pageMargins"), QByteArray("</a>").repeated(wrappers));
            return sheet.insert(at, QByteArray("<a>").repeated(wrappers));
        };
        QTest::newRow("nesting at the limit") << nested(250, text + "deep</t></is></c>");
        QTest::newRow("nesting past the limit") << nested(251, text + "deep</t></is></c>");
        QTest::newRow("nesting past the limit for a text, not for a value") << nested(251, "<c r=\"A1\"><v>1</v></c>");
        QTest::newRow("nesting past the limit, in a row of another shape") << nested(251, text + "deep</t></is></c>", "<row r=\"1\"> ");
    }
    void plainMarkupReadsAsExpat()
    {
        QFETCH(QByteArray, worksheet);
        const auto cells = [&](const QByteArray& part, reader::SheetAccess access) {
            const auto document = open(TestPackage()
                .setPart("xl/sharedStrings.xml", TestPackage::part("sst", "<si><t>zero</t></si><si><t>one</t></si><si><t>two</t></si>"))
                .setPart("xl/styles.xml", TestPackage::part("styleSheet", "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/>"
                    "<xf numFmtId=\"22\"/></cellXfs>"))
                .addSheetPart("S", part), "S", access);
            if (!document)
                return QStringList{"unreadable"};
            const reader::CellRange range = document->dimension();
            QStringList read{QString("%1:%2 %3:%4").arg(range.firstRow()).arg(range.lastRow()).arg(range.firstColumn()).arg(range.lastColumn())};
            for (int r = 1; range.isValid() && r <= range.lastRow(); ++r)
                for (int c = 1; c <= range.lastColumn(); ++c)
                    read.append(describe(document->read(r, c)) + "|" + document->text(r, c).left(20));
            return read;
        };
        // A comment at the start of the sheet data leaves the whole part to expat.
        const QByteArray byExpat = QByteArray(worksheet).replace("<sheetData>", "<sheetData><!---->");
        for (const auto access : {reader::SheetAccess::Random, reader::SheetAccess::Forward})
            QCOMPARE(cells(worksheet, access).join("\n"), cells(byExpat, access).join("\n"));
    }

    // Positions as a sheet writes them: either case of letters, leading zeros, up to the last row and column; "-" for
    // what is refused.
    void cellReferences()
    {
        const auto read = [](const char* text) {
            int row = 0;
            int column = 0;
            return reader::parseCellReference(text, row, column) ? QString("%1,%2").arg(row).arg(column) : QString("-");
        };
        const QList<QPair<const char*, const char*>> references = {
            {"A1", "1,1"}, {"z9", "9,26"}, {"aA10", "10,27"}, {"XFD1048576", "1048576,16384"}, {"xfd1", "1,16384"},
            {"B0000001", "1,2"}, {"B00000000001048576", "1048576,2"}, {"C9999999", "-"}, {"C1048577", "-"},
            {"C00000001048577", "-"}, {"A18446744073709551617", "-"}, {"XFE1", "-"}, {"AAAAAAAA1", "-"}, {"A0", "-"}, {"A000", "-"}, {"A", "-"}, {"1", "-"},
            {"", "-"}, {"A1 ", "-"}, {" A1", "-"}, {"A-1", "-"}, {"A+1", "-"}, {"A1.5", "-"}, {"@1", "-"}, {"[1", "-"},
            {"`1", "-"}, {"{1", "-"}, {"A1B", "-"}, {"AÃ1", "-"}, {"Ã" "1", "-"}};
        for (const auto& [text, expected] : references)
            QVERIFY2(read(text) == expected, text);
        int row = 0;
        for (const char* text : {"1", "12", "123", "1234", "99999", "100000", "1048576", "00001234", "01048576", "0001048576"})
            QVERIFY2(reader::parseRowNumber(text, row) && row == QByteArray(text).toInt(), text);
        for (const char* text : {"0", "0000", "00000000", "1048577", "9999999", "99999999", "10485760", "-1", "1e3", " 1", "",
                                 "123:", "/123", "12 4", "1234567\xB9", "\xB1" "234", "12\x7F" "4", "123456789"})
            QVERIFY2(!reader::parseRowNumber(text, row), text);
    }

    void dateFormatCodes()
    {
        // Tokens that make a date; quoted, escaped, bracketed, padding or later-section text does not.
        for (const char* code : {"dd/mm/yyyy", "DD.MM.YYYY", "h:mm AM/PM", "mm:ss.0", "[hh]:mm:ss", "[s]", "[$-409]d-mmm-yyyy"})
            QVERIFY2(reader::isDateFormatCode(code), code);
        for (const char* code : {"General", "0.00E+00", "@", "\"days\" 0", "[Red]#,##0;[Blue]-#,##0", "[>100]0;0", "[hm]0",
                                 "\\d0", "_d0", "*s0", "0;yyyy-mm-dd", "\"unterminated", "[unterminated", ""})
            QVERIFY2(!reader::isDateFormatCode(code), code);
    }

    // A part past a limit is refused as soon as the limit breaks, well before its end, by either inflater.
    void zipLimits()
    {
        const QByteArray big = numbers(5800000);
        // What the part "payload" gives under a size limit, when it declares a size (0: the true one), or the
        // refusal and why; the same from ISA-L and from zlib, or "inflaters differ".
        const auto read = [&](const QByteArray& bytes, quint64 limit, quint32 declared) {
            const QString file = write(TestPackage().setPart("payload", bytes));
            if (declared && !patchPayload(file, Patch::Size, declared))
                return QByteArray("not patched");
            QByteArrayList results;
            for (const auto inflater : {reader::ZipArchive::Inflater::Fastest, reader::ZipArchive::Inflater::Zlib}) {
                QByteArray received;
                const char* fault = "";
                const auto sink = [&received](const char* data, std::size_t n) { return received.append(data, int(n)), true; };
                const bool read = reader::ZipArchive(file, {}, inflater).stream("payload", sink, limit, &fault);
                results.append(!read && received.size() < bytes.size() / 4 ? "refused early: " + QByteArray(fault) : received);
            }
            return results[0] == results[1] ? results[0] : QByteArray("inflaters differ");
        };
        const QByteArray small(512 * 1024, 'a'); // small parts may compress strongly
        QCOMPARE(read(small, UINT64_MAX, 0), small);
        QCOMPARE(read(big, quint64(big.size()) - 1, 0), QByteArray("refused early: inflates past its limit")); // by what it declares
        // Declares less than it inflates to.
        QCOMPARE(read(big, 1 << 20, 1000), QByteArray("refused early: inflates past its limit"));
        QCOMPARE(read(QByteArray(8 * 1024 * 1024, ' '), UINT64_MAX, 0),
                 QByteArray("refused early: inflates too far for its compressed size")); // far below 1:100
        reader::ZipLimits few;
        few.maxEntries = 2;
        const reader::ZipArchive crowded(write(TestPackage().setPart("payload", small)), few);
        QVERIFY(!crowded.isOpen());
        QCOMPARE(QString::fromStdString(crowded.problem()), QString("the package has more than 2 parts"));
    }

    // A sheet read as its rows arrive, whose file is overwritten in place after a first row was read: the rows after
    // are not the sheet chosen, and readIntact() says so once the rows are read; the same sheet left alone is intact.
    void forwardReadOfAChangedFile_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::newRow("left alone") << false;
        QTest::newRow("overwritten in place") << true;
    }
    void forwardReadOfAChangedFile()
    {
        QFETCH(bool, changed);
        // More than the rows read ahead of the reading side; stored, so that the file is cheap to write.
        QByteArray rows;
        for (int r = 1; rows.size() < 16 * 1024 * 1024; ++r) {
            const QByteArray n = QByteArray::number(r);
            rows += "<row r=\"" + n + "\"><c r=\"A" + n + "\"><v>" + n + "</v></c><c r=\"B" + n
                    + "\" t=\"inlineStr\"><is><t>the row numbered " + n + "</t></is></c></row>";
        }
        const QString file = write(TestPackage().addSheet("S", rows).stored());
        reader::Document document(file, reader::TextOptions{}, reader::SheetAccess::Forward);
        QVERIFY(document.selectSheet("S"));
        QCOMPARE(document.text(1, 1), QString("1"));
        if (changed) {
            QFile overwritten(file);
            QVERIFY(overwritten.open(QIODevice::ReadWrite));
            QVERIFY(overwritten.write(QByteArray(int(overwritten.size()), 'x')) == overwritten.size() && overwritten.flush());
        }
        const int last = document.dimension().lastRow();
        for (int r = 2; r <= last; ++r)
            document.text(r, 2);
        QCOMPARE(document.readIntact(), !changed);
        QVERIFY(reader::Document(m_dir.filePath("none.xlsx"), {}).readIntact());
    }

    // ISA-L (deflated entries) and zlib (what ISA-L does not take, and on request) read every entry alike: the same
    // bytes from a sound one, a refusal from a damaged one, with the damage named as each inflater finds it.
    void inflaters_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<int>("patch");
        QTest::addColumn<QStringList>("faults"); // by ISA-L, by zlib; none when the entry reads
        const QByteArray part = numbers(3 * 1024 * 1024);
        const auto row = [&](const char* name, const QByteArray& content, bool stored, Patch patch, const QStringList& faults = {}) {
            QTest::newRow(name) << content << stored << int(patch) << faults;
        };
        const QString crc = "damaged (CRC-32 mismatch)";
        const QString size = "damaged (not the size it declares)";
        row("stored", part, true, Patch::None);
        row("deflated", part, false, Patch::None);
        row("deflated, empty", QByteArray(""), false, Patch::None);
        row("deflated, inflated beside the parser", numbers(20 * 1024 * 1024), false, Patch::None);
        row("stored, wrong CRC", part, true, Patch::Crc, {crc, crc});
        row("deflated, wrong CRC", part, false, Patch::Crc, {crc, crc});
        row("deflated, a byte damaged", part, false, Patch::Data, {size, crc});
        row("deflated, longer than it declares", part, false, Patch::Size, {size, size});
        row("deflated, cut short", part, false, Patch::CompressedSize, {"damaged (cut short)", crc});
        row("deflated, a block of no type", part, false, Patch::BlockType,
            {"damaged (not valid deflate data)", "damaged (cannot be inflated)"});
        row("encrypted", part, false, Patch::Encrypted, {"encrypted", "encrypted"});
    }
    void inflaters()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, stored);
        QFETCH(int, patch);
        QFETCH(QStringList, faults);
        const bool readable = faults.isEmpty();
        TestPackage package = TestPackage().setPart("payload", content);
        const QString file = write(stored ? package.stored() : package);
        QFile sizes(file);
        const QByteArray bytes = sizes.open(QIODevice::ReadOnly) ? sizes.readAll() : QByteArray();
        const quint32 compressed = qFromLittleEndian<quint32>(bytes.constData() + bytes.indexOf("payload") - 12);
        QVERIFY(patchPayload(file, Patch(patch), Patch(patch) == Patch::Size ? quint32(content.size() - 1) : compressed / 2));
        for (const auto inflater : {reader::ZipArchive::Inflater::Fastest, reader::ZipArchive::Inflater::Zlib}) {
            QByteArray received;
            const char* fault = nullptr;
            const bool read = reader::ZipArchive(file, {}, inflater).stream("payload", [&received](const char* data, std::size_t n) {
                return received.append(data, int(n)), true;
            }, UINT64_MAX, &fault);
            const bool zlib = inflater == reader::ZipArchive::Inflater::Zlib;
            QVERIFY2(read == readable, zlib ? "zlib" : "ISA-L");
            QVERIFY(!readable || received == content);
            QCOMPARE(QString(fault ? fault : ""), faults.value(zlib ? 1 : 0));
        }
    }
};

QTEST_GUILESS_MAIN(TestXlsxReader)
#include "test_xlsx_reader.moc"
