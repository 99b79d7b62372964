// Delimited text read once as it arrives (SheetAccess::InOrder) against the same text read whole: the same
// rows, cells, used range, delimiter and encoding, however the pieces fall (a quoted field, a CR LF, a character
// of several bytes cut by the end of a chunk); and where the whole reading refuses, or a later part would have
// been read otherwise than the start said, the rows break off instead of reading on.
#include "reader/csv/csvstream.h"
#include "reader/csv/textdecoding.h"
#include "reader/document.h"

#include "cellgrid.h"
#include "utf16text.h"

#include <QtTest>

Q_DECLARE_METATYPE(reader::TextOptions)
Q_DECLARE_METATYPE(reader::TextEncoding)

namespace {

reader::TextOptions options(char delimiter, reader::TextEncoding encoding = reader::TextEncoding::Detect)
{
    reader::TextOptions options;
    options.delimiter = delimiter;
    options.encoding = encoding;
    return options;
}

QString rangeText(const reader::CellRange& r)
{
    return QString("range %1,%2:%3,%4").arg(r.firstRow()).arg(r.firstColumn()).arg(r.lastRow()).arg(r.lastColumn());
}

QString cellText(const QString& text)
{
    return text.isNull() ? QString("-") : "[" + text + "]";
}

// Every row up to the last that holds text, and one column past the widest, as the whole reading gives them.
QString wholeRows(const QByteArray& bytes, const reader::TextOptions& given)
{
    reader::Document whole(reader::InMemory{bytes}, given);
    if (!whole.selectSheet("Sheet1"))
        return "refused: " + whole.problem();
    const reader::CellRange range = whole.dimension();
    const reader::TextOptions found = whole.textOptions();
    QStringList rows{rangeText(range), QString("delimiter %1 encoding %2").arg(found.delimiter).arg(int(found.encoding))};
    for (int row = 1; row <= range.lastRow(); ++row) {
        QStringList cells;
        for (int column = 1; column <= range.lastColumn() + 1; ++column)
            cells.append(cellText(checkedText(whole, row, column)));
        rows.append(cells.join('|'));
    }
    return rows.join('\n');
}

// The same, read as the export reads: the used range asked for first, then the rows in order as long as they reach.
QString streamedRows(const QByteArray& bytes, const reader::TextOptions& given, std::size_t chunkBytes, bool& intact)
{
    reader::CsvStream stream(QString(), bytes, given, chunkBytes);
    intact = false;
    if (!stream.open())
        return "refused";
    const reader::CellRange given_ = stream.usedRange();
    QStringList rows;
    for (int row = 1; stream.rowsReach(row); ++row) {
        QStringList cells;
        for (int column = 1; column <= given_.lastColumn() + 1; ++column)
            cells.append(cellText(checkedText(stream, row, column)));
        rows.append(cells.join('|'));
    }
    intact = stream.readIntact();
    const reader::CellRange range = stream.usedRange();
    // The columns given out before the rows were read are the text's.
    if (given_.firstColumn() != range.firstColumn() || given_.lastColumn() != range.lastColumn())
        return "columns given " + rangeText(given_) + ", read " + rangeText(range);
    const reader::TextOptions found = stream.options();
    rows.prepend(QString("delimiter %1 encoding %2").arg(found.delimiter).arg(int(found.encoding)));
    rows.prepend(rangeText(range));
    return rows.join('\n');
}

// Rows of every kind the reading tells apart, many times over, so that chunks end inside each of them.
QByteArray mixedRows(int rows)
{
    QByteArray text = "Name,Account,Amount,Note\r\n";
    for (int i = 0; i < rows; ++i) {
        const QByteArray n = QByteArray::number(i);
        switch (i % 6) {
        case 0:
            text += "\"Doe, John " + n + "\",00" + n + ",\"1.250,50\",\"two\r\nlines\"\r\n";
            break;
        case 1:
            text += "Jos\xC3\xA9 " + n + ",\xE2\x82\xAC" + n + ",\xF0\x9F\x98\x80,\"say \"\"hi\"\"\"\n";
            break;
        case 2:
            text += "\"bonus\"x " + n + ",5\" pipe," + n + "\r";
            break;
        case 3:
            text += "\n";
            break;
        case 4:
            text += "\"a\"b\"c\", \"b\"," + n + ",\r\n";
            break;
        default:
            text += "\"\"\"q\"\"\rr\"," + n + ",\"\",x\r\n";
            break;
        }
    }
    return text;
}

} // namespace

class TestCsvStream final : public QObject
{
    Q_OBJECT

private slots:
    // A chunk may end anywhere: what of it holds whole characters decodes now, the rest with the next chunk, and
    // the two pieces read as the whole text does, for a cut inside every character of two, three and four bytes,
    // an odd byte of UTF-16 and half of a surrogate pair.
    void decodedInPiecesAsWhole_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<reader::TextEncoding>("encoding");
        const QString text = QString::fromUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80;\xE4\xB8\xAD\r\n");
        QTest::newRow("UTF-8") << text.toUtf8() << reader::TextEncoding::Utf8;
        QTest::newRow("UTF-16LE") << utf16(text, false).mid(2) << reader::TextEncoding::Utf16LE;
        QTest::newRow("UTF-16BE") << utf16(text, true).mid(2) << reader::TextEncoding::Utf16BE;
        QTest::newRow("Windows-1252") << QByteArray("Jos\xE9 \x80\x93q\x94\n") << reader::TextEncoding::Windows1252;
    }
    void decodedInPiecesAsWhole()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(reader::TextEncoding, encoding);
        std::string whole;
        QVERIFY(reader::appendAsUtf8(bytes.constData(), std::size_t(bytes.size()), encoding, whole));
        for (int end = 0; end <= bytes.size(); ++end) {
            const std::size_t now = reader::wholeCharacters(bytes.constData(), std::size_t(end), encoding);
            QVERIFY(now <= std::size_t(end) && now + 3 >= std::size_t(end));
            std::string pieces;
            QVERIFY(reader::appendAsUtf8(bytes.constData(), now, encoding, pieces));
            QVERIFY(reader::appendAsUtf8(bytes.constData() + now, std::size_t(bytes.size()) - now, encoding, pieces));
            QCOMPARE(pieces, whole);
        }
    }

    // The texts of the whole reading's own tests, and longer ones, in chunks of every size up to a few bytes:
    // read once, each gives what it gives read whole.
    void sameRowsAsTheWholeReading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<reader::TextOptions>("given");
        const reader::TextOptions found;
        QTest::newRow("comma, LF") << QByteArray("Name,Account\nBudi,0012345678\n") << found;
        QTest::newRow("semicolon, CRLF, BOM") << QByteArray("\xEF\xBB\xBFName;Account\r\nBudi;0012345678\r\n") << found;
        QTest::newRow("tab, CR, no last line end") << QByteArray("Name\tAccount\rBudi\t0012345678") << found;
        QTest::newRow("pipe") << QByteArray("Name|Account\nBudi|0012345678\n") << found;
        QTest::newRow("UTF-16LE") << utf16("Name;Account\r\nBudi;0012345678\r\n", false) << found;
        QTest::newRow("UTF-16BE") << utf16("Name;Account\nBudi;0012345678\n", true) << found;
        QTest::newRow("UTF-16 non-ASCII") << utf16(QString::fromUtf8("José;中\U0001F600\n"), false) << found;
        QTest::newRow("UTF-16BE non-ASCII") << utf16(QString::fromUtf8("\U0001F600;José\n中\n"), true) << found;
        QTest::newRow("UTF-8 without BOM") << QByteArray("Jos\xC3\xA9;\xE2\x82\xAC 5\n\xF0\x9F\x98\x80;x\n") << found;
        QTest::newRow("Windows-1252 found") << QByteArray("Jos\xE9;\x80 5;\x93q\x94\n") << found;
        QTest::newRow("UTF-8 read as Windows-1252") << QByteArray("Jos\xC3\xA9\n") << options(0, reader::TextEncoding::Windows1252);
        QTest::newRow("quoted fields") << QByteArray("\"Doe; John\";\"say \"\"hi\"\"\";\"two\r\nlines\"; 007 ;\"\";x\n") << found;
        QTest::newRow("commas in amounts") << QByteArray("Name;Amount\nA;1,50\nB;2,75\n") << found;
        QTest::newRow("delimiter given") << QByteArray("a,b;c\n") << options(';');
        QTest::newRow("one column") << QByteArray("0012\n0034\n") << found;
        QTest::newRow("blank lines") << QByteArray("\n;a\r\n\r\nb;\n\n\n") << found;
        QTest::newRow("ragged rows") << QByteArray("a\nb;c;d\n") << found;
        QTest::newRow("empty text") << QByteArray() << found;
        QTest::newRow("only blank lines") << QByteArray("\r\n\n\r") << found;
        QTest::newRow("text after the closing quote")
            << QByteArray("E1,EMPLOYEE 1,\"bonus\"x,0012345678,1500000\nE2,EMPLOYEE 2,\"a\"b\"c\",0098765432,2500000\n") << found;
        QTest::newRow("quotes inside unquoted fields") << QByteArray("5\" pipe,b\"c\"d,x\ny\n") << found;
        QTest::newRow("lone quotes, then the field's end") << QByteArray("\"x\"b\"\"c\",\"b\"y\" \ny\n") << found;
        QTest::newRow("spaces after the closing quote") << QByteArray("\"b\" ,c\n\"d\"  \n") << found;
        QTest::newRow("read as written") << QByteArray("\"b\"x\"\"y,\"\"\"b\"x,\"b\"  x,\"c\"y\nz\n") << found;
        QTest::newRow("spaces before the opening quote") << QByteArray(" \"b\", \"two\nlines\",  \"c\"x\nd\n") << found;
        QTest::newRow("a row over two lines, then a lone quote") << QByteArray("\"x\ny\",\"c\"x\nd\n") << found;
        QTest::newRow("line breaks in quotes") << QByteArray("\"one\r\ntwo\",x\r\n\"\"\"q\"\"\rr\",y\r\nz\r\n") << found;
        QTest::newRow("mixed rows") << mixedRows(60) << found;
        QTest::newRow("mixed rows in UTF-16LE") << utf16(QString::fromUtf8(mixedRows(60)), false) << found;
        QTest::newRow("mixed rows in Windows-1252")
            << QString::fromUtf8(mixedRows(60)).replace(QChar(0x1F600), 'x').toLatin1().replace('\xAC', '\x80') << found;
    }
    void sameRowsAsTheWholeReading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(reader::TextOptions, given);
        const QString whole = wholeRows(bytes, given);
        QVERIFY2(!whole.startsWith("refused"), qPrintable(whole));
        for (std::size_t chunk : {1, 2, 3, 5, 7, 64, int(reader::CsvStream::kChunkBytes)}) {
            bool intact = false;
            QCOMPARE(streamedRows(bytes, given, chunk, intact), whole);
            QVERIFY2(intact, qPrintable(QString("chunk %1").arg(chunk)));
        }
    }

    // A text longer than the first look and than a chunk: pieces end inside quoted fields over two lines, between a
    // CR and its LF and inside characters of two, three and four bytes, at thousands of places; the rows passed
    // are let go as the reading goes on.
    void longTextInSmallChunks_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("chunk");
        for (int chunk : {4093, 65536})
            QTest::addRow("UTF-8, chunks of %d", chunk) << mixedRows(30000) << chunk;
        QTest::addRow("UTF-16BE, chunks of 4093") << utf16(QString::fromUtf8(mixedRows(30000)), true) << 4093;
    }
    void longTextInSmallChunks()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, chunk);
        bool intact = false;
        QCOMPARE(streamedRows(bytes, {}, std::size_t(chunk), intact), wholeRows(bytes, {}));
        QVERIFY(intact);
    }

    // What the whole reading refuses never reads as rows once: the first look fails, or the rows break off.
    void refusedTextBreaksOff_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<reader::TextOptions>("given");
        const reader::TextOptions found;
        const QByteArray rows = QByteArray("a,b\n").repeated(30000);
        // Past the first chunk, which the first look reads whole.
        const QByteArray moreRows = QByteArray("a,b\n").repeated(300000);
        QTest::newRow("quote never closed") << QByteArray("a;\"b\nc;d\n") << found;
        QTest::newRow("cut inside quotes") << QByteArray("a;\"b") << found;
        QTest::newRow("quote never closed, far on") << rows + "w,\"v\n" + rows << found;
        QTest::newRow("lone quote, the field reads on past a delimiter") << rows + "\"b\"x,\"c\",d\n" << found;
        QTest::newRow("a quoted field runs on from a line with a lone quote") << rows + "a,\"b\"x,\"c\nd\"\n" << found;
        QTest::newRow("invalid UTF-8 declared") << rows + "Jos\xE9\n" << options(0, reader::TextEncoding::Utf8);
        QTest::newRow("invalid UTF-8 after its mark") << "\xEF\xBB\xBF" + rows + "c\xFF\n" << found;
        QTest::newRow("byte Windows-1252 leaves undefined") << QByteArray("a\n\x81\n") << found;
        QTest::newRow("UTF-16 odd length") << QByteArray("\xFF\xFE" "a\0\n\0b", 7) << found;
        QTest::newRow("UTF-16 unpaired surrogate") << QByteArray("\xFF\xFE" "a\0\x00\xD8" "b\0", 8) << found;
        QTest::newRow("too many columns") << rows + QByteArray(16384, ',') + "\n" << found;
        QTest::newRow("too many rows") << QByteArray(1048577, '\n') << found;
        // Read whole, the start's UTF-8 does not make the text UTF-8: it is Windows-1252.
        QTest::newRow("not UTF-8 past the first look") << moreRows + "Jos\xE9\n" << found;
        // The columns given out are those of the top rows.
        QTest::newRow("a cell outside the columns of the top rows") << moreRows + "a,b,c\n" << found;
    }
    void refusedTextBreaksOff()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(reader::TextOptions, given);
        for (std::size_t chunk : {std::size_t(4093), reader::CsvStream::kChunkBytes}) {
            bool intact = true;
            streamedRows(bytes, given, chunk, intact);
            QVERIFY2(!intact, qPrintable(QString("chunk %1").arg(chunk)));
        }
    }

    // A row asked for again long after the rows passed it was let go: the rows break off rather than read it empty.
    void rowLetGoBreaksOff()
    {
        reader::CsvStream stream(QString(), QByteArray("a,b\n").repeated(40000), {}, 4096);
        QVERIFY(stream.open());
        QVERIFY(stream.rowsReach(1024));
        QCOMPARE(stream.text(1, 1), QString("a"));   // the first rows stay while the look at them lasts
        QVERIFY(stream.rowsReach(35000));
        QCOMPARE(stream.text(35000, 2), QString("b"));
        QVERIFY(stream.readIntact());
        QCOMPARE(stream.text(2, 1), QString());
        QVERIFY(!stream.readIntact());
        QVERIFY(!stream.rowsReach(35001));
    }

    // Through Document, from a file: read once with SheetAccess::InOrder, the rows and what they were read with
    // are the whole reading's.
    void documentReadOnce()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("pay.csv");
        const QByteArray bytes = mixedRows(20000);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        reader::Document whole(path, {});
        reader::Document once(path, {}, reader::SheetAccess::InOrder);
        QVERIFY(once.isReadOnce() && !whole.isReadOnce());
        QVERIFY(whole.selectSheet("pay") && once.selectSheet("pay"));
        QCOMPARE(once.textOptions().delimiter, ',');
        QCOMPARE(int(once.textOptions().encoding), int(reader::TextEncoding::Utf8));
        QCOMPARE(once.dimension().lastColumn(), whole.dimension().lastColumn());
        int row = 1;
        for (; once.rowsReach(row); ++row)
            for (int column = 1; column <= 5; ++column)
                QCOMPARE(once.read(row, column), whole.read(row, column));
        QCOMPARE(row - 1, whole.dimension().lastRow());
        QVERIFY(once.readIntact());
        QCOMPARE(rangeText(once.dimension()), rangeText(whole.dimension()));
    }
};

QTEST_APPLESS_MAIN(TestCsvStream)
#include "test_csv_stream.moc"
