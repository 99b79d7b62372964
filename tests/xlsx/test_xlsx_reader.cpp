// The workbook reader through its public face: what a cell of each kind reads
// as, how sheets are found and selected, and what becomes of broken files; then
// its building blocks where the public face cannot reach a branch.
#include "testpackage.h"
#include "testworkbook.h"

#include "xlsx/cellstore.h"
#include "xlsx/document.h"
#include "xlsx/numberformat.h"
#include "xlsx/ziparchive.h"

#include <QtTest>

#include <zip.h>

#include <memory>
#include <stdexcept>
#include <string>

Q_DECLARE_METATYPE(TestPackage)
Q_DECLARE_METATYPE(std::string)

using Cell = QPair<int, int>;
using CellValues = QMap<Cell, QVariant>;
Q_DECLARE_METATYPE(CellValues)

namespace {

// Shared strings used by the value table, by index.
const QByteArray kSharedStrings =
    "<si><t>plain</t></si>"
    "<si><r><t>Bold</t></r><r><rPr><b/></rPr><t xml:space=\"preserve\"> and plain</t></r></si>"
    "<si><t>\xE6\xBC\xA2\xE5\xAD\x97</t><rPh sb=\"0\" eb=\"2\"><t>\xE3\x81\x8B\xE3\x82\x93</t></rPh></si>"
    "<si><t>  spaced\n text  </t></si>"
    "<si><t>_x0041_pple</t></si>"
    "<si><t>_x005F_x0041_</t></si>"
    "<si><t>_xD83D__xDE00_</t></si>"
    "<si><t>&lt;tag&gt; &amp; more</t></si>";

// Cell formats used by the value table, by s index.
const QByteArray kNumFmts =
    "<numFmt numFmtId=\"164\" formatCode=\"yyyy\\-mm\\-dd\\ hh:mm\"/>"
    "<numFmt numFmtId=\"165\" formatCode=\"&quot;Day &quot;0\"/>"
    "<numFmt numFmtId=\"166\" formatCode=\"[h]:mm\"/>"
    "<numFmt numFmtId=\"167\" formatCode=\"[Red]0.00\"/>";
const QByteArray kCellXfs =
    "<xf numFmtId=\"0\"/>"   // 0 General
    "<xf numFmtId=\"14\"/>"  // 1 built-in date
    "<xf numFmtId=\"164\"/>" // 2 custom date and time
    "<xf numFmtId=\"165\"/>" // 3 quoted text, not a date
    "<xf numFmtId=\"166\"/>" // 4 elapsed hours
    "<xf numFmtId=\"167\"/>" // 5 colour, not a date
    "<xf numFmtId=\"22\"/>"  // 6 built-in date and time
    "<xf numFmtId=\"4\"/>";  // 7 built-in #,##0.00

const QByteArray kOne = "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>";

QDateTime utc(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

// Same type and same value; a date and time also in UTC.
bool sameValue(const QVariant& actual, const QVariant& expected)
{
    if (actual.userType() != expected.userType() || actual != expected)
        return false;
    return expected.userType() != QMetaType::QDateTime || actual.toDateTime().timeSpec() == Qt::UTC;
}

QByteArray describe(const QVariant& v)
{
    return QByteArray(v.typeName() ? v.typeName() : "invalid") + "(" + v.toString().toUtf8() + ")";
}

QList<int> bounds(const xlsx::CellRange& r) { return {r.firstRow(), r.firstColumn(), r.lastRow(), r.lastColumn()}; }

// A zip with one part "data" holding the bytes.
bool writeSinglePartZip(const QString& path, const QByteArray& bytes)
{
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    zip_source_t* source = archive ? zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0) : nullptr;
    if (!source || zip_file_add(archive, "data", source, 0) < 0)
        return false;
    zip_set_file_compression(archive, 0, ZIP_CM_DEFLATE, 9);
    return zip_close(archive) == 0;
}

// Makes that zip claim another inflated size, in the local header and the
// central directory, as a crafted file would.
bool patchDeclaredSize(const QString& path, quint32 size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    for (int offset : {22, bytes.lastIndexOf(QByteArray("PK\x01\x02", 4)) + 24})
        for (int i = 0; i < 4; ++i)
            bytes[offset + i] = char((size >> (8 * i)) & 0xFF);
    file.seek(0);
    return file.write(bytes) == bytes.size();
}

QByteArray varied(int n)
{
    QByteArray bytes;
    for (int i = 0; i < n; ++i)
        bytes += "<row r=\"" + QByteArray::number(i) + "\"><v>" + QByteArray::number(qint64(i) * 7919 % 100003) + "</v></row>";
    return bytes;
}

} // namespace

#define COMPARE_VALUE(actual, expected, where)                                                        \
    do {                                                                                               \
        const QVariant a_ = (actual), e_ = (expected);                                                 \
        QVERIFY2(sameValue(a_, e_), QByteArray(where) + describe(a_) + " != " + describe(e_));       \
    } while (false)

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
    std::unique_ptr<xlsx::Document> open(const TestPackage& package, const QString& sheet)
    {
        auto document = std::make_unique<xlsx::Document>(write(package));
        return document->selectSheet(sheet) ? std::move(document) : nullptr;
    }
    // A document that lists sheets but cannot open them reads nothing.
    static void readsNothing(xlsx::Document& document)
    {
        QVERIFY(!document.dimension().isValid());
        QVERIFY(!document.read(1, 1).isValid());
    }

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void cellValue_data()
    {
        QTest::addColumn<QByteArray>("cell");
        QTest::addColumn<QVariant>("expected");
        QTest::addColumn<QByteArray>("date1904");
        const auto row = [](const char* name, const QByteArray& cell, const QVariant& expected) {
            QTest::newRow(name) << cell << expected << QByteArray();
        };
        // A serial under a custom date format, in the date system named by the workbook.
        const auto date = [](const char* name, const char* date1904, const char* serial, const QVariant& expected) {
            QTest::newRow(name) << "<c r=\"A1\" s=\"2\"><v>" + QByteArray(serial) + "</v></c>" << expected << QByteArray(date1904);
        };
        date("1900: serial 59", "", "59", QDate(1900, 2, 28));
        date("1900: fictitious Feb 29", "", "60", QDate(1900, 2, 28));
        date("1900: serial 61", "", "61", QDate(1900, 3, 1));
        date("1900: serial 0", "", "0", QDate(1899, 12, 31));
        date("1900: time only", "", "0.25", utc(1899, 12, 31, 6, 0));
        date("1900: explicit false", "false", "43831", QDate(2020, 1, 1));
        date("1900: explicit 0", "0", "43831", QDate(2020, 1, 1));
        date("1904: serial 0", "1", "0", QDate(1904, 1, 1));
        date("1904: 2020", "true", "42369", QDate(2020, 1, 1));
        date("1904: with time", "1", "42369.5", utc(2020, 1, 1, 12, 0));
        date("1904: negative", "1", "-1", qlonglong(-1));
        date("1900: serial 60.5", "", "60.5", utc(1900, 2, 28, 12, 0));
        date("1900: tiny negative", "", "-0.0001", -0.0001);
        date("1900: milliseconds", "", "45000.5000057870", utc(2023, 3, 15, 12, 0, 0, 500));
        date("1900: rounds up to the next day", "", "44999.9999999999", QDate(2023, 3, 15));
        date("1900: last day", "", "2958465", QDate(9999, 12, 31));
        date("1900: past the last day", "", "2958466", qlonglong(2958466));
        date("1904: last day", "1", "2957003", QDate(9999, 12, 31));
        date("1904: past the last day", "1", "2957004", qlonglong(2957004));
        // Texts.
        row("shared string", "<c r=\"A1\" t=\"s\"><v>0</v></c>", QString("plain"));
        row("shared rich text runs joined", "<c r=\"A1\" t=\"s\"><v>1</v></c>", QString("Bold and plain"));
        row("shared phonetic run left out", "<c r=\"A1\" t=\"s\"><v>2</v></c>", QString::fromUtf8("\xE6\xBC\xA2\xE5\xAD\x97"));
        row("shared whitespace kept", "<c r=\"A1\" t=\"s\"><v>3</v></c>", QString("  spaced\n text  "));
        row("escape decoded", "<c r=\"A1\" t=\"s\"><v>4</v></c>", QString("Apple"));
        row("escaped underscore", "<c r=\"A1\" t=\"s\"><v>5</v></c>", QString("_x0041_"));
        row("escaped surrogate pair", "<c r=\"A1\" t=\"s\"><v>6</v></c>", QString::fromUtf8("\xF0\x9F\x98\x80"));
        row("entities", "<c r=\"A1\" t=\"s\"><v>7</v></c>", QString("<tag> & more"));
        row("shared index out of range", "<c r=\"A1\" t=\"s\"><v>8</v></c>", QVariant());
        row("inline string", "<c r=\"A1\" t=\"inlineStr\"><is><t>inline</t></is></c>", QString("inline"));
        row("inline runs joined", "<c r=\"A1\" t=\"inlineStr\"><is><r><t>in</t></r><r><rPr><i/></rPr><t> line </t></r></is></c>",
            QString("in line "));
        row("inline phonetic left out", "<c r=\"A1\" t=\"inlineStr\"><is><t>x</t><rPh><t>y</t></rPh></is></c>", QString("x"));
        row("inline escape", "<c r=\"A1\" t=\"inlineStr\"><is><t>tab_x0009_here</t></is></c>", QString("tab\there"));
        const auto inlineText = [](const char* name, const QByteArray& text, const char* expected) {
            QTest::newRow(name) << "<c r=\"A1\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>" << QVariant(QString::fromUtf8(expected))
                                << QByteArray();
        };
        inlineText("lower-case hex escape", "_x00e9_", "\xC3\xA9");
        inlineText("lone high surrogate", "_xD83D_x", "\xEF\xBF\xBD" "x");
        inlineText("lone low surrogate", "_xDE00_", "\xEF\xBF\xBD");
        inlineText("escape too short", "_x41_", "_x41_");
        inlineText("escape not hex", "_x00G1_", "_x00G1_");
        inlineText("escape without closing underscore", "_x0041", "_x0041");
        inlineText("upper-case X is no escape", "_X0041_", "_X0041_");
        row("inline whitespace only", "<c r=\"A1\" t=\"inlineStr\"><is><t>   </t></is></c>", QString("   "));
        row("error", "<c r=\"A1\" t=\"e\"><v>#N/A</v></c>", QString("#N/A"));
    
        // Numbers.
        row("exponent written whole", "<c r=\"A1\"><v>1E+9</v></c>", QVariant(qlonglong(1000000000)));
        row("largest integer", "<c r=\"A1\"><v>999999999999999</v></c>", QVariant(qlonglong(999999999999999)));
        row("10^15 is a double", "<c r=\"A1\"><v>1000000000000000</v></c>", QVariant(1e15));
        row("negative integer", "<c r=\"A1\"><v>-7</v></c>", QVariant(qlonglong(-7)));
        row("fraction", "<c r=\"A1\"><v>3.25</v></c>", QVariant(3.25));
        row("explicit number type", "<c r=\"A1\" t=\"n\"><v>12.5</v></c>", QVariant(12.5));
        row("surrounding whitespace", "<c r=\"A1\"><v> 12 </v></c>", QVariant(qlonglong(12)));
        row("number format, not a date", "<c r=\"A1\" s=\"7\"><v>1234.5</v></c>", QVariant(1234.5));
        row("true", "<c r=\"A1\" t=\"b\"><v>1</v></c>", QVariant(true));
        row("false", "<c r=\"A1\" t=\"b\"><v>0</v></c>", QVariant(false));
    
        // No value.
        row("style only", "<c r=\"A1\" s=\"1\"/>", QVariant());
        row("empty value", "<c r=\"A1\"><v></v></c>", QVariant());
        row("no cell", "<c r=\"B1\"><v>1</v></c>", QVariant());
    
        // Dates.
        row("built-in date", "<c r=\"A1\" s=\"1\"><v>45000</v></c>", QVariant(QDate(2023, 3, 15)));
        row("custom date, whole day", "<c r=\"A1\" s=\"2\"><v>45351</v></c>", QVariant(QDate(2024, 2, 29)));
        row("custom date with time", "<c r=\"A1\" s=\"2\"><v>45351.5104166667</v></c>", QVariant(utc(2024, 2, 29, 12, 15)));
        row("quoted text is no date", "<c r=\"A1\" s=\"3\"><v>5</v></c>", QVariant(qlonglong(5)));
        row("elapsed hours", "<c r=\"A1\" s=\"4\"><v>1.5</v></c>", QVariant(utc(1900, 1, 1, 12, 0)));
        row("colour is no date", "<c r=\"A1\" s=\"5\"><v>2.5</v></c>", QVariant(2.5));
        row("negative date reads as number", "<c r=\"A1\" s=\"1\"><v>-3</v></c>", QVariant(qlonglong(-3)));
        row("style out of range", "<c r=\"A1\" s=\"99\"><v>45000</v></c>", QVariant(qlonglong(45000)));
        row("ISO date cell", "<c r=\"A1\" t=\"d\"><v>2024-02-29</v></c>", QVariant(QDate(2024, 2, 29)));
        row("ISO date and time with zone", "<c r=\"A1\" t=\"d\"><v>2024-02-29T10:30:00+07:00</v></c>", QVariant(utc(2024, 2, 29, 3, 30)));
        row("ISO midnight", "<c r=\"A1\" t=\"d\"><v>2024-02-29T00:00:00</v></c>", QVariant(QDate(2024, 2, 29)));
        row("ISO date unreadable", "<c r=\"A1\" t=\"d\"><v>29.02.2024</v></c>", QVariant(QString("29.02.2024")));
    
        // Formulas: the cached result, typed as that result; the formula only
        // when there is no result.
        row("formula number", "<c r=\"A1\"><f>1+1</f><v>2</v></c>", QVariant(qlonglong(2)));
        row("formula string", "<c r=\"A1\" t=\"str\"><f>B1&amp;\"x\"</f><v>hix</v></c>", QString("hix"));
        row("formula empty string", "<c r=\"A1\" t=\"str\"><f>\"\"</f><v></v></c>", QVariant(QString("")));
        row("formula boolean", "<c r=\"A1\" t=\"b\"><f>TRUE()</f><v>1</v></c>", QVariant(true));
        row("formula error", "<c r=\"A1\" t=\"e\"><f>1/0</f><v>#DIV/0!</v></c>", QString("#DIV/0!"));
        row("formula date", "<c r=\"A1\" s=\"1\"><f>TODAY()</f><v>45000</v></c>", QVariant(QDate(2023, 3, 15)));
        row("formula without result", "<c r=\"A1\"><f>SUM(B1:B3)</f></c>", QString("=SUM(B1:B3)"));
        row("formula never calculated", "<c r=\"A1\"><f>SUM(B1:B3)</f><v></v></c>", QString("=SUM(B1:B3)"));
        row("formula never calculated, blank", "<c r=\"A1\"><f>B1</f><v> </v></c>", QString("=B1"));
        row("boolean formula never calculated", "<c r=\"A1\" t=\"b\"><f>B1&gt;0</f><v></v></c>", QString("=B1>0"));
        row("text lookup never calculated", "<c r=\"A1\" t=\"s\"><f>B1</f><v/></c>", QString("=B1"));
        row("shared formula without text", "<c r=\"A1\"><f t=\"shared\" si=\"0\"/></c>", QString("="));
    }
    void cellValue()
    {
        QFETCH(QByteArray, cell);
        QFETCH(QVariant, expected);
        QFETCH(QByteArray, date1904);
        const auto document = open(TestPackage().setSharedStrings(kSharedStrings).setStyles(kNumFmts, kCellXfs).setDate1904(date1904)
                                       .addSheet("Sheet1", "<row r=\"1\">" + cell + "</row>"), "Sheet1");
        QVERIFY(document);
        COMPARE_VALUE(document->read(1, 1), expected, "");
    }

    void writtenBySpreadsheetLibrary()
    {
        const QString file = m_dir.filePath("library.xlsx");
        {
            TestWorkbook book(file);
            book.addSheet("Payroll");
            book.setRow(1, {QString("Date"), QString("Name"), QString("Account"), QString("Amount")});
            book.setRow(2, {QDate(2024, 1, 31), QString("Siti Rahma"), qlonglong(1234567890), 1500000.5});
            book.setRow(3, {QDateTime(QDate(2024, 2, 1), QTime(8, 30, 15), Qt::UTC), QString("  padded "), 0, true});
            book.setFormula(4, 1, "=SUM(D2:D3)", 1500001.5);
            book.setFormula(4, 2, "=B2&\"!\"", QString("Siti Rahma!"));
            book.setNumber(4, 3, 44000, "dd/mm/yyyy");
            book.setNumber(4, 4, 7, "\"No. \"0");
            QVERIFY(book.save());
        }
        QFile bytes(file);
        QVERIFY(bytes.open(QIODevice::ReadOnly));
        // From the file and from its bytes in memory, the same reading.
        xlsx::Document fromFile(file);
        xlsx::Document fromMemory(xlsx::InMemory{bytes.readAll()});
        for (xlsx::Document* document : {&fromFile, &fromMemory}) {
            QCOMPARE(document->sheetNames(), QStringList{"Payroll"});
            QVERIFY(document->selectSheet("Payroll"));
            QCOMPARE(bounds(document->dimension()), (QList<int>{1, 1, 4, 4}));
            const QList<QVariantList> expected = {
                {QString("Date"), QString("Name"), QString("Account"), QString("Amount")},
                {QDate(2024, 1, 31), QString("Siti Rahma"), qlonglong(1234567890), 1500000.5},
                {utc(2024, 2, 1, 8, 30, 15), QString("  padded "), qlonglong(0), true},
                {1500001.5, QString("Siti Rahma!"), QDate(2020, 6, 18), qlonglong(7)},
            };
            for (int r = 0; r < expected.size(); ++r)
                for (int c = 0; c < expected[r].size(); ++c)
                    COMPARE_VALUE(document->read(r + 1, c + 1), expected[r][c],
                                  QByteArray::number(r + 1) + "," + QByteArray::number(c + 1) + ": ");
            for (const Cell& outside : {Cell{5, 1}, Cell{0, 0}, Cell{-1, 3}})
                QVERIFY(!document->read(outside.first, outside.second).isValid());
        }
    }

    // The used range; where cells are listed, each reads as listed and every other cell of the range as nothing.
    void usedRange_data()
    {
        QTest::addColumn<QByteArray>("worksheet");
        QTest::addColumn<QList<int>>("range");
        QTest::addColumn<CellValues>("cells");
        const QByteArray cells = "<row r=\"3\"><c r=\"C3\"><v>1</v></c></row><row r=\"5\"><c r=\"E5\"><v>2</v></c></row>";
        const auto withDimension = [](const char* ref, const QByteArray& data) {
            return "<worksheet><dimension ref=\"" + QByteArray(ref) + "\"/><sheetData>" + data + "</sheetData></worksheet>";
        };
        const QList<int> used{3, 3, 5, 5}, none{0, 0, 0, 0};
        QTest::newRow("stale dimension too small") << withDimension("A1", cells) << used << CellValues();
        QTest::newRow("stale dimension too large") << withDimension("A1:Z900", cells) << used << CellValues();
        QTest::newRow("style-only cells do not count") << TestPackage::worksheet(
            cells + "<row r=\"9\"><c r=\"K9\" s=\"1\"/></row><row r=\"12\" s=\"1\"/>") << used << CellValues();
        QTest::newRow("empty sheet with stale dimension") << withDimension("A1:D10", "") << none << CellValues();
        QTest::newRow("only empty cells") << TestPackage::worksheet("<row r=\"1\"><c r=\"A1\"/><c r=\"B1\"><v></v></c></row>")
                                          << none << CellValues();
        QTest::newRow("widest row not the last")
            << TestPackage::worksheet("<row r=\"2\"><c r=\"B2\"><v>1</v></c><c r=\"XFD2\"><v>1</v></c></row>"
                                      "<row r=\"1048576\"><c r=\"A1048576\"><v>1</v></c></row>")
            << QList<int>{2, 1, 1048576, 16384} << CellValues();
        QTest::newRow("missing positions") << TestPackage::worksheet(
            "<row><c><v>11</v></c><c><v>12</v></c></row><row><c r=\"C2\"><v>23</v></c><c><v>24</v></c></row>"
            "<row r=\"5\"><c><v>51</v></c><c r=\"E5\"/><c><v>56</v></c></row><row><c t=\"inlineStr\"><is><t>61</t></is></c></row>")
            << QList<int>{1, 1, 6, 6}
            << CellValues{{{1, 1}, qlonglong(11)}, {{1, 2}, qlonglong(12)}, {{2, 3}, qlonglong(23)}, {{2, 4}, qlonglong(24)},
                          {{5, 1}, qlonglong(51)}, {{5, 6}, qlonglong(56)}, {{6, 1}, QString("61")}};
        QTest::newRow("out of order, the later cell wins") << TestPackage::worksheet(
            "<row r=\"3\"><c r=\"B3\"><v>32</v></c><c r=\"A3\"><v>31</v></c></row>"
            "<row r=\"1\"><c r=\"C1\"><v>13</v></c></row><row r=\"3\"><c r=\"B3\"><v>99</v></c></row>")
            << QList<int>{1, 1, 3, 3} << CellValues{{{3, 1}, qlonglong(31)}, {{3, 2}, qlonglong(99)}, {{1, 3}, qlonglong(13)}};
    }
    void usedRange()
    {
        QFETCH(QByteArray, worksheet);
        QFETCH(QList<int>, range);
        QFETCH(CellValues, cells);
        const auto document = open(TestPackage().addSheetPart("S", worksheet), "S");
        QVERIFY(document);
        QCOMPARE(bounds(document->dimension()), range);
        QCOMPARE(document->dimension().isValid(), range.last() > 0);
        for (int r = 1; !cells.isEmpty() && r <= range[2]; ++r)
            for (int c = 1; c <= range[3]; ++c)
                COMPARE_VALUE(document->read(r, c), cells.value({r, c}), QByteArray::number(r) + "," + QByteArray::number(c) + ": ");
    }

    void sheetOrderAndExactNames()
    {
        const QStringList names{"Zeta", "alpha", "Alpha ", QString::fromUtf8("Gaji & \xC3\xBCpah")};
        TestPackage package;
        for (int i = 0; i < names.size(); ++i)
            package.addSheet(names[i], "<row r=\"1\"><c r=\"A1\"><v>" + QByteArray::number(i + 1) + "</v></c></row>");
        xlsx::Document document(write(package));
        QCOMPARE(document.sheetNames(), names);
        for (int i : {2, 1, 3}) {
            QVERIFY(document.selectSheet(names[i]));
            QCOMPARE(document.read(1, 1), QVariant(qlonglong(i + 1)));
        }
        for (const char* near : {"Alpha", "zeta", ""})
            QVERIFY(!document.selectSheet(near));
        readsNothing(document); // a failed selection leaves no sheet behind
    }

    void partsFoundThroughRelationships_data()
    {
        QTest::addColumn<TestPackage>("package");
        const QByteArray relBase = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
        const QByteArray sheet = TestPackage::worksheet("<row r=\"1\"><c r=\"A1\" t=\"s\" s=\"1\"><v>0</v></c>"
                                                        "<c r=\"B1\" s=\"1\"><v>45000</v></c></row>");
        const QByteArray workbook = "<workbook xmlns:r=\"" + relBase.chopped(1) + "\"><sheets>"
                                    "<sheet name=\"Data\" sheetId=\"1\" r:id=\"rIdSheet\"/></sheets></workbook>";
        // The relationships of the sheet, then optionally of shared strings and styles.
        const auto rels = [&](const QByteArrayList& targets) {
            QByteArray xml = "<Relationships>";
            const char* types[] = {"worksheet", "sharedStrings", "styles"};
            for (int i = 0; i < targets.size(); ++i)
                xml += "<Relationship Id=\"rId" + QByteArray(i ? types[i] : "Sheet") + "\" Type=\"" + relBase + types[i]
                       + "\" Target=\"" + targets[i] + "\"/>";
            return xml + "<Relationship Id=\"rIdX\" Type=\"" + relBase + "hyperlink\" Target=\"http://example.invalid/\" "
                         "TargetMode=\"External\"/></Relationships>";
        };
        // The workbook part, its relationships, then the sheet, shared strings and styles parts.
        const auto package = [&](const QString& book, const QByteArray& bookXml, const QByteArray& relsXml,
                                 const QStringList& parts, const QByteArray& sheetXml = QByteArray()) {
            const int slash = book.lastIndexOf('/') + 1;
            TestPackage p;
            p.setPart(book, bookXml).setPart(book.left(slash) + "_rels/" + book.mid(slash) + ".rels", relsXml);
            return p.setPart(parts[0], sheetXml.isEmpty() ? sheet : sheetXml)
                .setPart(parts[1], "<sst><si><t>found</t></si></sst>")
                .setPart(parts[2], "<styleSheet><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/></cellXfs></styleSheet>");
        };
        const QStringList usual{"xl/worksheets/data.xml", "xl/sharedStrings.xml", "xl/styles.xml"};
        // Parent steps past the package root fold inside it.
        QTest::newRow("relative targets")
            << package("xl/workbook.xml", workbook, rels({"worksheets/data.xml", "strings.xml", "../../../xl/./fmt.xml"}),
                       {"xl/worksheets/data.xml", "xl/strings.xml", "xl/fmt.xml"});
        QTest::newRow("absolute targets")
            << package("xl/workbook.xml", workbook, rels({"/xl/worksheets/data.xml", "/shared/strings.xml", "/xl/fmt.xml"}),
                       {"xl/worksheets/data.xml", "shared/strings.xml", "xl/fmt.xml"});
        QTest::newRow("workbook elsewhere")
            << package("book/main.xml", workbook, rels({"sheets/one.xml", "sst.xml", "styles.xml"}),
                       {"book/sheets/one.xml", "book/sst.xml", "book/styles.xml"})
                   .setPart("_rels/.rels", "<Relationships><Relationship Id=\"rId1\" Type=\"" + relBase
                                               + "officeDocument\" Target=\"book/main.xml\"/></Relationships>");
        QTest::newRow("no package relationships, shared parts at their usual places")
            << package("xl/workbook.xml", workbook, rels({"worksheets/data.xml"}), usual).removePart("_rels/.rels");
        QTest::newRow("namespace prefixes")
            << package("xl/workbook.xml",
                       "<x:workbook xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:rel=\""
                           + relBase.chopped(1) + "\"><x:sheets><x:sheet name=\"Data\" sheetId=\"1\" rel:id=\"rIdSheet\"/>"
                           "</x:sheets></x:workbook>",
                       rels({"worksheets/data.xml", "sharedStrings.xml", "styles.xml"}), usual,
                       "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><x:sheetData>"
                       "<x:row r=\"1\"><x:c r=\"A1\" t=\"s\"><x:v>0</x:v></x:c><x:c r=\"B1\" s=\"1\"><x:v>45000</x:v></x:c>"
                       "</x:row></x:sheetData></x:worksheet>");
    }
    void partsFoundThroughRelationships()
    {
        QFETCH(TestPackage, package);
        const auto document = open(package, "Data");
        QVERIFY(document);
        QCOMPARE(document->sheetNames(), QStringList{"Data"});
        QCOMPARE(document->read(1, 1), QVariant(QString("found")));
        QCOMPARE(document->read(1, 2), QVariant(QDate(2023, 3, 15)));
    }

    // Broken or hostile files open without sheets, or their broken sheet "Bad" cannot be selected.
    void unreadable_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // written as they are, unless null
        QTest::addColumn<TestPackage>("package");
        QTest::addColumn<QStringList>("sheets");
        const QStringList none, both{"Good", "Bad"};
        const QByteArray oleHeader("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
        QTest::newRow("empty file") << QByteArray("") << TestPackage() << none;
        QTest::newRow("encrypted workbook or legacy xls (compound file)")
            << QByteArray(oleHeader + QByteArray(4096, '\0')) << TestPackage() << none;
        const auto good = [] { return TestPackage().addSheet("Bad", kOne); };
        QTest::newRow("no workbook part") << QByteArray() << good().removePart("xl/workbook.xml") << none;
        QTest::newRow("no workbook relationships") << QByteArray() << good().removePart("xl/_rels/workbook.xml.rels") << none;
        QTest::newRow("malformed workbook part")
            << QByteArray() << good().setPart("xl/workbook.xml", "<workbook><sheets><sheet name=\"Bad\" r:id=\"rId1\">") << none;
        QTest::newRow("malformed relationships")
            << QByteArray() << good().setPart("xl/_rels/workbook.xml.rels", "<Relationships><Relationship") << none;
        // Two entries for one part: a spreadsheet program may show the other.
        const QByteArray other = TestPackage::worksheet("<row r=\"1\"><c r=\"A1\"><v>9000000</v></c></row>");
        QTest::newRow("part twice, case differs")
            << QByteArray() << good().setPart("xl/worksheets/Sheet1.xml", other) << none;
        QTest::newRow("content types twice, case differs")
            << QByteArray() << good().setPart("[content_types].xml", "<Types/>") << none;
        {
            // libzip will not write one name twice: write a stand-in name of
            // the same length and rename it in the written bytes.
            const QString file = write(good().setPart("xl/worksheets/sheet1.xmZ", other));
            QFile in(file);
            in.open(QIODevice::ReadOnly);
            QTest::newRow("part twice, same name") << in.readAll().replace("sheet1.xmZ", "sheet1.xml") << TestPackage() << none;
        }
        TestPackage crowded = good();
        for (int i = 0; i < 10000; ++i)
            crowded.setPart(QString("xl/media/p%1.bin").arg(i), "");
        QTest::newRow("more entries than a workbook has") << QByteArray() << crowded << none;
        const auto withSheet = [](const QByteArray& sheetData) {
            return TestPackage().addSheet("Good", kOne).addSheet("Bad", sheetData);
        };
        QTest::newRow("malformed XML") << QByteArray() << withSheet("<row r=\"1\"><c r=\"A1\"><v>1</v></row>") << both;
        QTest::newRow("overflowing row number") << QByteArray() << withSheet("<row r=\"1\"><c r=\"A99999999999999999999\"><v>1</v></c></row>") << both;
        QTest::newRow("row past the last") << QByteArray() << withSheet("<row r=\"1048577\"><c><v>1</v></c></row>") << both;
        QTest::newRow("column past the last") << QByteArray() << withSheet("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>") << both;
        QTest::newRow("garbage reference") << QByteArray() << withSheet("<row r=\"1\"><c r=\"1A\"><v>1</v></c></row>") << both;
        QTest::newRow("garbage row number") << QByteArray() << withSheet("<row r=\"x\"><c><v>1</v></c></row>") << both;
        QTest::newRow("missing part") << QByteArray() << withSheet("").removePart("xl/worksheets/sheet2.xml") << both;
        QTest::newRow("sheet without relationship") << QByteArray() << withSheet("").setPart(
            "xl/workbook.xml", "<workbook xmlns:r=\"r\"><sheets><sheet name=\"Good\" r:id=\"rId1\"/>"
                               "<sheet name=\"Bad\" r:id=\"rId9\"/></sheets></workbook>") << both;
        QTest::newRow("malformed shared strings") << QByteArray() << withSheet("").setSharedStrings("<si><t>x</si>") << both;
        QTest::newRow("malformed styles") << QByteArray() << withSheet("").setStyles("", "<xf numFmtId=\"0\">") << both;
        QTest::newRow("nested past the depth limit")
            << QByteArray() << withSheet(kOne + QByteArray("<x>").repeated(260) + QByteArray("</x>").repeated(260)) << both;
        // One text past 10 MiB: no spreadsheet program writes such a cell.
        QByteArray huge;
        for (int i = 0; huge.size() <= 10 * 1024 * 1024; ++i)
            huge += QByteArray::number(qint64(i) * 2654435761 % 1000003);
        const QByteArray half = huge.left(6 * 1024 * 1024);
        QTest::newRow("inline text past the text limit")
            << QByteArray() << withSheet("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>" + huge + "</t></is></c></row>") << both;
        QTest::newRow("shared text past the text limit")
            << QByteArray() << withSheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>")
                   .setSharedStrings("<si><r><t>" + half + "</t></r><r><t>" + half + "</t></r></si>") << both;
        // Parts never carry a document type declaration: one that expands entities is refused.
        QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n<!ENTITY lol \"lol\">\n";
        for (int i = 1; i <= 9; ++i)
            laughs += "<!ENTITY lol" + QByteArray::number(i) + " \""
                      + QByteArray("&lol" + (i > 1 ? QByteArray::number(i - 1) : QByteArray()) + ";").repeated(10) + "\">\n";
        laughs += "]>\n";
        QTest::newRow("entity expansion in the workbook part") << QByteArray() << good().setPart(
            "xl/workbook.xml", laughs + "<workbook><sheets><sheet name=\"&lol9;\" r:id=\"rId1\"/></sheets></workbook>") << none;
        QTest::newRow("entity expansion in a sheet") << QByteArray() << withSheet("").setPart(
            "xl/worksheets/sheet2.xml", laughs + TestPackage::worksheet("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&lol9;"
                                                                        "</t></is></c></row>")) << both;
    }
    void unreadable()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(TestPackage, package);
        QFETCH(QStringList, sheets);
        QString file = m_dir.filePath("bytes.xlsx");
        if (bytes.isNull()) {
            file = write(package);
        } else {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        }
        xlsx::Document document(file);
        QCOMPARE(document.sheetNames(), sheets);
        QVERIFY(!document.selectSheet("Bad"));
        readsNothing(document);
    }

    void decompressionBomb()
    {
        // 48 MB of one repeated byte deflate to about 50 KB: far below the 1:100
        // ratio that a real sheet stays above.
        const QString file = write(TestPackage().addSheet("Bomb", kOne + QByteArray(48 * 1024 * 1024, ' ')).addSheet("Fine", kOne));
        QElapsedTimer timer;
        timer.start();
        xlsx::Document document(file);
        QCOMPARE(document.sheetNames(), (QStringList{"Bomb", "Fine"}));
        QVERIFY(!document.selectSheet("Bomb"));
        QVERIFY2(timer.elapsed() < 2000, QByteArray::number(timer.elapsed()) + " ms");
        QVERIFY(document.selectSheet("Fine"));
        QCOMPARE(document.read(1, 1), QVariant(qlonglong(1)));
    }

    void utf16Parts()
    {
        // Package parts may be UTF-16 as well as UTF-8.
        const auto utf16 = [](const char* xml) {
            const QString text = QChar(0xFEFF) + QString::fromUtf8(xml);
            return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        };
        const QString name = QString::fromUtf8("Lembar \xC3\xA9");
        const auto document = open(TestPackage().addSheet(name, "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>")
            .setSharedStrings("<si><t>x</t></si>")
            .setPart("xl/sharedStrings.xml", utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><sst><si><t>Gr\xC3\xBC\xC3\x9F "
                                                   "\xE6\xBC\xA2\xF0\x9F\x98\x80</t></si></sst>"))
            .setPart("xl/workbook.xml", utf16("<workbook xmlns:r=\"r\"><sheets><sheet name=\"Lembar \xC3\xA9\" "
                                              "r:id=\"rId1\"/></sheets></workbook>")), name);
        QVERIFY(document);
        QCOMPARE(document->read(1, 1), QVariant(QString::fromUtf8("Gr\xC3\xBC\xC3\x9F \xE6\xBC\xA2\xF0\x9F\x98\x80")));
    }

    void fullSizeSheet()
    {
        // Every row of the largest sheet holds a value, under the default limits; its last cell reads too.
        QByteArray rows;
        rows.reserve(80 * 1048576);
        for (int r = 1; r <= 1048576; ++r) {
            const QByteArray n = QByteArray::number(r);
            rows += "<row r=\"" + n + "\"><c r=\"A" + n + "\"><v>" + n + "</v></c><c r=\"B" + n
                    + "\" t=\"inlineStr\"><is><t>r" + n + "</t></is></c></row>";
        }
        rows.insert(rows.size() - 6, "<c r=\"XFD1048576\"><v>7</v></c>");
        TestPackage package;
        package.addSheet("Full", rows);
        rows.clear();
        const auto document = open(package, "Full");
        QVERIFY(document);
        QCOMPARE(bounds(document->dimension()), (QList<int>{1, 1, 1048576, 16384}));
        QCOMPARE(document->read(1048576, 16384), QVariant(qlonglong(7)));
        QVERIFY(!document->read(1048577, 16384).isValid() && !document->read(1048576, 16385).isValid());
        for (int r : {1, 2, 524288, 1048575, 1048576}) {
            QCOMPARE(document->read(r, 1), QVariant(qlonglong(r)));
            QCOMPARE(document->read(r, 2), QVariant(QString("r%1").arg(r)));
        }
    }

    void dateFormatCodes_data()
    {
        QTest::addColumn<std::string>("code");
        QTest::addColumn<bool>("date");
        // Tokens that make a date; quoted, escaped, bracketed, padding or later-section text does not.
        for (const char* code : {"dd/mm/yyyy", "DD.MM.YYYY", "h:mm AM/PM", "mm:ss.0", "[hh]:mm:ss", "[s]", "[$-409]d-mmm-yyyy"})
            QTest::newRow(code) << std::string(code) << true;
        for (const char* code : {"General", "0.00E+00", "@", "\"days\" 0", "[Red]#,##0;[Blue]-#,##0", "[>100]0;0", "[hm]0",
                                 "\\d0", "_d0", "*s0", "0;yyyy-mm-dd", "\"unterminated", "[unterminated", ""})
            QTest::newRow(code) << std::string(code) << false;
    }
    void dateFormatCodes()
    {
        QFETCH(std::string, code);
        QFETCH(bool, date);
        QCOMPARE(xlsx::isDateFormatCode(code), date);
    }

    void zipLimits_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qulonglong>("maxEntrySize");
        QTest::addColumn<quint32>("declaredSize"); // 0: the true size
        QTest::addColumn<qulonglong>("partLimit");
        QTest::addColumn<bool>("accepted");
        const QByteArray sheet = varied(300000);
        const qulonglong size = qulonglong(sheet.size()), none = 4ull << 30;
        QTest::newRow("exactly the size limit") << sheet << size << 0u << none << true;
        QTest::newRow("one byte past the size limit") << sheet << size - 1 << 0u << none << false;
        QTest::newRow("declares less than it inflates to") << sheet << qulonglong(1 << 20) << 1000u << none << false;
        QTest::newRow("small part may compress strongly") << QByteArray(512 * 1024, 'a') << none << 0u << none << true;
        QTest::newRow("at a part's own limit") << sheet << none << 0u << size << true;
        QTest::newRow("past a part's own limit") << sheet << none << 0u << size - 1 << false;
    }
    void zipLimits()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qulonglong, maxEntrySize);
        QFETCH(quint32, declaredSize);
        QFETCH(qulonglong, partLimit);
        QFETCH(bool, accepted);
        const QString file = m_dir.filePath("part.zip");
        QVERIFY(writeSinglePartZip(file, bytes));
        QVERIFY(!declaredSize || patchDeclaredSize(file, declaredSize));
        xlsx::ZipLimits limits;
        limits.maxEntrySize = maxEntrySize;
        xlsx::ZipArchive archive(file, limits);
        QByteArray received;
        const bool streamed = archive.stream("data", [&received](const char* data, std::size_t size) {
            received.append(data, int(size));
            return true;
        }, partLimit);
        QCOMPARE(streamed, accepted);
        if (accepted)
            QCOMPARE(received, bytes);
        else // refused as soon as a limit broke, well before the end of the part
            QVERIFY2(received.size() < bytes.size() / 4, QByteArray::number(received.size()));
    }

    void sinkStopsStream()
    {
        const QString file = m_dir.filePath("part.zip");
        QVERIFY(writeSinglePartZip(file, varied(300000)));
        xlsx::ZipArchive archive(file);
        QVERIFY(archive.contains("DATA") && !archive.stream("missing", [](const char*, std::size_t) { return true; }));
        int calls = 0;
        QVERIFY(!archive.stream("data", [&calls](const char*, std::size_t) { return ++calls < 3; }));
        QCOMPARE(calls, 3);
        QVERIFY_EXCEPTION_THROWN(archive.stream("data", [](const char*, std::size_t) -> bool {
            throw std::runtime_error("consumer failed");
        }), std::runtime_error);
    }

    void cellStoreLimit()
    {
        xlsx::CellStore store(3);
        xlsx::Cell cell{};
        for (cell.row = 1; cell.row <= 3; ++cell.row)
            store.append(cell);
        QVERIFY_EXCEPTION_THROWN(store.append(cell), std::length_error);
    }
};

QTEST_GUILESS_MAIN(TestXlsxReader)
#include "test_xlsx_reader.moc"
