// A sheet's markup arrives in chunks, cut anywhere: inside a tag, a text, a
// UTF-8 character, a plain row. Read in pieces it must give the cells it gives
// read in one piece, and those expat gives.
#include "testpackage.h"

#include "reader/cells/cellsink.h"
#include "reader/xlsx/sharedstrings.h"
#include "reader/xlsx/sheetreader.h"
#include "reader/xlsx/styles.h"
#include "reader/xml/xmlparser.h"

#include <QtTest>

#include <algorithm>

namespace {

// Every cell as a line: its position, kind, and number or text.
class CellLines final : public reader::CellSink
{
public:
    bool keepsValues() const override { return true; }
    std::uint32_t addText(std::string_view utf8) override
    {
        m_texts.append(QString::fromUtf8(utf8.data(), int(utf8.size())));
        return std::uint32_t(m_texts.size() - 1);
    }
    void add(reader::Cell cell) override
    {
        const bool text = cell.kind == reader::CellKind::Text || cell.kind == reader::CellKind::Formula
                          || cell.kind == reader::CellKind::IsoDate;
        lines.append(QString("%1,%2 %3 %4").arg(cell.row).arg(cell.column).arg(int(cell.kind))
                         .arg(text ? "[" + m_texts.at(int(cell.index)) + "]" : QString::number(cell.number, 'g', 17)));
    }

    QStringList lines;

private:
    QStringList m_texts;
};

// The cells of the part fed in pieces of these sizes, the last one repeated
// to its end; "failed" and the cells so far when it does not read. Without
// scanning, expat reads it all.
QStringList cells(const QByteArray& part, const QList<int>& pieces, bool scanning = true)
{
    const reader::SharedStrings sharedStrings;
    const reader::Styles styles;
    CellLines sink;
    reader::SheetReader reader(sharedStrings, styles, sink, false);
    reader::XmlParser parser(reader, scanning ? "sheetData" : nullptr);
    bool ok = true;
    for (int at = 0, i = 0; ok && at < part.size(); ++i) {
        const int size = std::min(pieces.at(std::min(i, pieces.size() - 1)), part.size() - at);
        ok = parser.feed(part.constData() + at, std::size_t(size), false);
        at += size;
    }
    ok = ok && parser.feed(nullptr, 0, true);
    if (scanning && parser.scannerGaveUp())
        sink.lines.prepend("scanner gave up");
    if (!ok)
        sink.lines.prepend("failed");
    return sink.lines;
}

} // namespace

class TestMarkupPieces final : public QObject
{
    Q_OBJECT

private slots:
    void readsAsOnePiece_data()
    {
        QTest::addColumn<QByteArray>("part");
        QTest::addColumn<bool>("everyCut");
        const QByteArray text = "<c t=\"inlineStr\"><is><t>";
        const auto row = [](int r, const QByteArray& cells) { return "<row r=\"" + QByteArray::number(r) + "\">" + cells + "</row>"; };
        const QByteArray shapes = row(1, "<c r=\"A1\"><v>12.5</v></c>" + text + "Budi Rahma</t></is></c><c r=\"C1\" t=\"str\">"
                                             "<f>A1</f><v>x</v></c>" + text + "a &amp; b \xC3\xBC\xE6\xBC\xA2\xF0\x9F\x98\x80</t></is></c>"
                                             "<c t=\"inlineStr\"><is><t xml:space=\"preserve\"> _x0041_ </t></is></c>")
                                  + "\n" + row(2, "<c r=\"A2\" s=\"0\"><v> 7 </v></c><c r=\"B2\" t=\"e\"><v>#N/A</v></c>")
                                  + "<row r=\"3\" spans=\"1:2\" xmlns:k=\"urn:k\"><c r=\"A3\"><v>3</v></c></row>";
        // Every cut of a sheet of the shapes that go each way, and of the
        // markup after its cells, longer than the first bytes joined.
        QByteArray links = "<hyperlinks>";
        while (links.size() < 6000)
            links += "<hyperlink ref=\"A" + QByteArray::number(links.size()) + "\" display=\"link\"/>";
        QTest::newRow("shapes, cut anywhere") << TestPackage::worksheet(shapes).replace("</sheetData>", "</sheetData>" + links + "</hyperlinks>")
                                              << true;
        // Texts longer than the first bytes joined to what came before them.
        QByteArray longText;
        for (int i = 0; longText.size() < 40000; ++i)
            longText += QByteArray::number(i) + (i % 9 ? " " : "\xC3\xBC");
        QTest::newRow("long texts") << TestPackage::worksheet(row(1, text + longText + "</t></is></c>" + text + longText + "&amp;</t></is></c>")
                                                              + row(2, "<c r=\"A2\"><v>1</v></c>"))
                                    << false;
        QByteArray rows;
        for (int r = 1; r <= 3000; ++r)
            rows += row(r, "<c r=\"A" + QByteArray::number(r) + "\"><v>" + QByteArray::number(r) + "</v></c>" + text + "r"
                               + QByteArray::number(r) + "</t></is></c>");
        QTest::newRow("many rows") << TestPackage::worksheet(rows) << false;
    }
    void readsAsOnePiece()
    {
        QFETCH(QByteArray, part);
        QFETCH(bool, everyCut);
        const QStringList whole = cells(part, {part.size()});
        QVERIFY(whole.size() >= 3);
        QVERIFY(!whole.contains("failed") && !whole.contains("scanner gave up"));
        QCOMPARE(whole, cells(part, {part.size()}, false));
        for (const int size : {1, 2, 3, 7, 64, 4095, 4096, 4097, 10000, 65536})
            QCOMPARE(cells(part, {size}), whole);
        // A piece of nothing between others changes nothing either.
        QCOMPARE(cells(part, {part.size() / 2, 0, part.size()}), whole);
        for (int cut = 1; everyCut && cut < part.size(); ++cut)
            QCOMPARE(cells(part, {cut, part.size()}), whole);
    }
};

QTEST_APPLESS_MAIN(TestMarkupPieces)
#include "test_markup_pieces.moc"
