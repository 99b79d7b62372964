// The readers beside the .xlsx one, through Document: delimited text in each delimiter and encoding,
// what it refuses, and legacy .xls workbooks read to the same values as their .xlsx twins.
#include "reader/document.h"
#include "reader/sourcekind.h"
#include "reader/csv/textdecoding.h"

#include "cellgrid.h"
#include "testpackage.h"
#include "utf16text.h"

#include <QtTest>

#include <cstring>

Q_DECLARE_METATYPE(reader::TextOptions)

namespace {

const QString kFixtures = QStringLiteral(KOVA_FIXTURES);

QByteArray le(quint64 value, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out.append(char(value >> (8 * i)));
    return out;
}

QByteArray record(quint16 type, const QByteArray& body)
{
    return le(type, 2) + le(quint32(body.size()), 2) + body;
}

QByteArray bof(quint16 substream)
{
    return record(0x0809, le(0x0600, 2) + le(substream, 2) + QByteArray(12, '\0'));
}

const QByteArray kEof = record(0x000A, {});

QByteArray cell(int row, int column)
{
    return le(quint32(row), 2) + le(quint32(column), 2) + le(0x0F, 2);
}

QByteArray number(int row, int column, double value)
{
    QByteArray bits(8, '\0');
    std::memcpy(bits.data(), &value, 8);
    return record(0x0203, cell(row, column) + bits);
}

// A formula whose result is text, to come in a STRING record; the formula itself is not read.
QByteArray textFormula(int row, int column)
{
    return record(0x0006, cell(row, column) + QByteArray("\0\0\0\0\0\0\xFF\xFF", 8) + le(0, 2) + le(0, 4) + le(0, 2));
}

// A STRING record of compressed (Latin-1) characters, claiming chars of them.
QByteArray string(const QByteArray& latin1, int chars)
{
    return record(0x0207, le(quint32(chars), 2) + '\0' + latin1);
}

QByteArray wide(const QString& text)
{
    QByteArray bytes;
    for (QChar c : text)
        bytes += le(c.unicode(), 2);
    return bytes;
}

// The range the records of a shared, array or table formula cover: the first rows of column 1.
const QByteArray kRange = le(0, 2) + le(3, 2) + le(0, 1) + le(0, 1);
const QByteArray kSharedFormula = record(0x04BC, kRange + le(0, 1) + le(4, 1) + le(0, 2));
const QByteArray kArrayFormula = record(0x0221, kRange + le(0, 2) + le(0, 4) + le(0, 2));
const QByteArray kDataTable = record(0x0236, kRange + le(0, 2) + le(0, 8));

// An .xls of one worksheet, "Sheet", holding these records between its BOF and EOF, the
// workbook's own records (globalRecords) before it, in a stream of that name.
QByteArray legacyWorkbook(const QByteArray& sheetRecords, const QByteArray& globalRecords = {},
                          const QString& streamName = "Workbook",
                          TestPackage::FileEnd end = TestPackage::FileEnd::WholeSector)
{
    const QByteArray name = "Sheet";
    const auto globals = [&](quint32 sheetAt) {
        return bof(0x0005) + globalRecords + record(0x0085, le(sheetAt, 4) + le(0, 2) + le(quint32(name.size()), 1) + '\0' + name)
               + kEof;
    };
    const QByteArray stream = globals(quint32(globals(0).size())) + bof(0x0010) + sheetRecords + kEof;
    return TestPackage::compoundFile({streamName}, stream, end);
}

// A shared-string table announcing that many strings and holding these (Latin-1).
QByteArray sharedStrings(quint32 announced, const QList<QByteArray>& held)
{
    QByteArray body = le(announced, 4) + le(announced, 4);
    for (const QByteArray& text : held)
        body += le(quint32(text.size()), 2) + '\0' + text;
    return record(0x00FC, body);
}

QByteArray sharedString(int row, int column, quint32 index)
{
    return record(0x00FD, cell(row, column) + le(index, 4));
}

// A formula whose result is the number, under that record number.
QByteArray numberFormula(quint16 type, int row, int column, double value)
{
    QByteArray bits(8, '\0');
    std::memcpy(bits.data(), &value, 8);
    return record(type, cell(row, column) + bits + le(0, 2) + le(0, 4) + le(0, 2));
}

reader::TextOptions options(char delimiter, reader::TextEncoding encoding = reader::TextEncoding::Detect,
                          reader::DateOrder order = reader::DateOrder::DayMonthYear)
{
    reader::TextOptions options;
    options.delimiter = delimiter;
    options.encoding = encoding;
    options.dateOrder = order;
    return options;
}

} // namespace

class TestSourceFormats final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    // Delimiter and encoding found or given; quoted fields; line ends; dates; text kept as written.
    void delimitedText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<reader::TextOptions>("given");
        QTest::addColumn<QString>("expected");
        const reader::TextOptions found;
        const QString twoByTwo = "range 1,1:2,2\nQString(Name) | QString(Account)\nQString(Budi) | QString(0012345678)";
        QTest::newRow("comma, LF") << QByteArray("Name,Account\nBudi,0012345678\n") << found << twoByTwo;
        QTest::newRow("semicolon, CRLF, BOM") << QByteArray("\xEF\xBB\xBFName;Account\r\nBudi;0012345678\r\n") << found << twoByTwo;
        QTest::newRow("tab, CR, no last line end") << QByteArray("Name\tAccount\rBudi\t0012345678") << found << twoByTwo;
        QTest::newRow("pipe") << QByteArray("Name|Account\nBudi|0012345678\n") << found << twoByTwo;
        QTest::newRow("UTF-16LE") << utf16("Name;Account\r\nBudi;0012345678\r\n", false) << found << twoByTwo;
        QTest::newRow("UTF-16BE") << utf16("Name;Account\nBudi;0012345678\n", true) << found << twoByTwo;
        QTest::newRow("UTF-16 non-ASCII") << utf16(QString::fromUtf8("José;中\U0001F600\n"), false) << found
                                          << QString::fromUtf8("range 1,1:1,2\nQString(José) | QString(中\U0001F600)");
        QTest::newRow("UTF-8 without BOM") << QByteArray("Jos\xC3\xA9;\xE2\x82\xAC 5\n") << found
                                           << QString::fromUtf8("range 1,1:1,2\nQString(José) | QString(€ 5)");
        QTest::newRow("Windows-1252 found") << QByteArray("Jos\xE9;\x80 5;\x93q\x94\n") << found
                                            << QString::fromUtf8("range 1,1:1,3\nQString(José) | QString(€ 5) | QString(“q”)");
        QTest::newRow("UTF-8 read as Windows-1252") << QByteArray("Jos\xC3\xA9\n") << options(0, reader::TextEncoding::Windows1252)
                                                    << QString::fromUtf8("range 1,1:1,1\nQString(JosÃ©)");
        // A delimiter, a doubled quote and a line break inside quotes; spaces kept; an empty quoted field.
        QTest::newRow("quoted fields")
            << QByteArray("\"Doe; John\";\"say \"\"hi\"\"\";\"two\r\nlines\"; 007 ;\"\";x\n") << found
            << "range 1,1:1,6\nQString(Doe; John) | QString(say \"hi\") | QString(two\r\nlines) | QString( 007 ) | invalid() | QString(x)";
        // The header names the delimiter: commas in every amount do not.
        QTest::newRow("commas in amounts") << QByteArray("Name;Amount\nA;1,50\nB;2,75\n") << found
                                           << "range 1,1:3,2\nQString(Name) | QString(Amount)\nQString(A) | QString(1,50)\n"
                                              "QString(B) | QString(2,75)";
        QTest::newRow("delimiter given") << QByteArray("a,b;c\n") << options(';') << "range 1,1:1,2\nQString(a,b) | QString(c)";
        QTest::newRow("one column") << QByteArray("0012\n0034\n") << found
                                    << "range 1,1:2,1\nQString(0012)\nQString(0034)";
        // Blank lines are empty rows, as spreadsheet programs show them; trailing ones are outside the range.
        QTest::newRow("blank lines") << QByteArray("\n;a\r\n\r\nb;\n\n\n") << found
                                     << "range 2,1:4,2\ninvalid() | invalid()\ninvalid() | QString(a)\ninvalid() | invalid()\n"
                                        "QString(b) | invalid()";
        QTest::newRow("ragged rows") << QByteArray("a\nb;c;d\n") << found
                                     << "range 1,1:2,3\nQString(a) | invalid() | invalid()\nQString(b) | QString(c) | QString(d)";
        QTest::newRow("empty text") << QByteArray() << found << "range 0,0:0,0";
        // Whole dates in a form that leaves no doubt, their text as a workbook's dates; anything else stays text.
        // A reference such as 01.12.2026 is text; only a date field reads it as a date.
        for (const auto order : {reader::DateOrder::DayMonthYear, reader::DateOrder::MonthDayYear})
            QTest::addRow("what looks like a date stays as written, order %d", int(order))
                << QByteArray("2026-12-05;01.12.2026;5-1-2026\n") << options(0, reader::TextEncoding::Detect, order)
                << "range 1,1:1,3\nQString(2026-12-05) | QString(01.12.2026) | QString(5-1-2026)";
    }
    void delimitedText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(reader::TextOptions, given);
        QFETCH(QString, expected);
        reader::Document document(write("Payroll March.2026.csv", bytes), given);
        QVERIFY(document.isDelimitedText());
        QCOMPARE(document.sheetNames(), QStringList{"Payroll March.2026"});
        QVERIFY(document.selectSheet("Payroll March.2026"));
        QCOMPARE(grid(document), expected);
        QCOMPARE(document.problem(), QString());
    }

    // Quotes as spreadsheet programs read them: a quote inside a field is a character, and a quoted field that goes
    // on after its closing quote reads as LibreOffice shows it, in its own line; the rows after it stay rows.
    void quotes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text after the closing quote")
            << QByteArray("E1,EMPLOYEE 1,\"bonus\"x,0012345678,1500000\nE2,EMPLOYEE 2,\"a\"b\"c\",0098765432,2500000\n")
            << "range 1,1:2,5\nQString(E1) | QString(EMPLOYEE 1) | QString(\"bonus\"x) | QString(0012345678) | QString(1500000)\n"
               "QString(E2) | QString(EMPLOYEE 2) | QString(a\"b\"c) | QString(0098765432) | QString(2500000)";
        QTest::newRow("quotes inside unquoted fields") << QByteArray("5\" pipe,b\"c\"d,x\ny\n")
                                                       << "range 1,1:2,3\nQString(5\" pipe) | QString(b\"c\"d) | QString(x)\n"
                                                          "QString(y) | invalid() | invalid()";
        // Up to the quote that ends the field, doubled quotes as one; the spaces after that quote are kept.
        QTest::newRow("lone quotes, then the field's end") << QByteArray("\"x\"b\"\"c\",\"b\"y\" \ny\n")
                                                            << "range 1,1:2,2\nQString(x\"b\"c) | QString(b\"y )\n"
                                                               "QString(y) | invalid()";
        QTest::newRow("spaces after the closing quote") << QByteArray("\"b\" ,c\n\"d\"  \n")
                                                        << "range 1,1:2,2\nQString(b ) | QString(c)\nQString(d  ) | invalid()";
        // Without a quote that ends the field, it reads as written up to the delimiter.
        QTest::newRow("read as written") << QByteArray("\"b\"x\"\"y,\"\"\"b\"x,\"b\"  x,\"c\"y\nz\n")
                                         << "range 1,1:2,4\nQString(\"b\"x\"\"y) | QString(\"\"\"b\"x) | QString(\"b\"  x) | QString(\"c\"y)\n"
                                            "QString(z) | invalid() | invalid() | invalid()";
        QTest::newRow("spaces before the opening quote") << QByteArray(" \"b\", \"two\nlines\",  \"c\"x\nd\n")
                                                         << "range 1,1:2,3\nQString(b) | QString(two\nlines) | QString(\"c\"x)\n"
                                                            "QString(d) | invalid() | invalid()";
        QTest::newRow("a row over two lines, then a lone quote") << QByteArray("\"x\ny\",\"c\"x\nd\n")
                                                                 << "range 1,1:2,2\nQString(x\ny) | QString(\"c\"x)\nQString(d) | invalid()";
        QTest::newRow("line breaks in quotes") << QByteArray("\"one\r\ntwo\",x\r\n\"\"\"q\"\"\rr\",y\r\nz\r\n")
                                               << "range 1,1:3,2\nQString(one\r\ntwo) | QString(x)\nQString(\"q\"\rr) | QString(y)\n"
                                                  "QString(z) | invalid()";
    }
    void quotes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        reader::Document document(write("quotes.csv", bytes), options(','));
        QVERIFY2(document.selectSheet("quotes"), qPrintable(document.problem()));
        QCOMPARE(grid(document), expected);
    }

    // Never half-read: text cut inside quotes or with quotes no reading keeps in their lines, bytes the encoding does
    // not allow, limits broken. A binary file has no sheet at all; the others list theirs but it cannot be selected.
    // Either way the problem says why, and where; an encoding the whole text reads in is offered.
    void refusedText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<reader::TextOptions>("given");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QString>("encodingToTry");
        const reader::TextOptions found;
        const QString lone = "a quoted field holds a quote that is not doubled";
        const QString semicolons = QString::fromUtf8("a;b\r\n");
        QTest::newRow("quote never closed") << QByteArray("a;\"b\nc;d\n") << found << true
                                            << "line 1: a quoted field is never closed" << QString();
        QTest::newRow("cut inside quotes") << QByteArray("a;\"b") << found << true << "line 1: a quoted field is never closed"
                                           << QString();
        // Lines end at LF, CR LF and CR alone, and inside a quoted field too.
        QTest::newRow("quote never closed, lines counted") << QByteArray("x\r\ny\rz\n\"multi\nline\",1\nw,\"v\n") << found << true
                                                           << "line 6: a quoted field is never closed" << QString();
        QTest::newRow("lone quote, the field reads on past a delimiter") << QByteArray("a,b\n\"b\"x,\"c\",d\n") << found << true
                                                                         << "line 2: " + lone << QString();
        QTest::newRow("lone quote in a field over two lines") << QByteArray("a,\"b\nc\"x,d\n") << found << true << "line 2: " + lone
                                                              << QString();
        // LibreOffice ends the row at the line's end, RFC 4180 does not.
        QTest::newRow("a quoted field runs on from a line with a lone quote") << QByteArray("a,\"b\"x,\"c\nd\"\n") << found << true
                                                                              << "line 1: " + lone << QString();
        // LibreOffice counts the quotes and reads on into the next line, RFC 4180 does not.
        QTest::newRow("lone quote where LibreOffice reads on") << QByteArray("\" \"a,\"\"\n,,aa,\"\"b\"\n") << found << true
                                                               << "line 1: " + lone << QString();
        QTest::newRow("invalid UTF-8 declared") << QByteArray("Jos\xE9\n") << options(0, reader::TextEncoding::Utf8) << true
                                                << "line 1: bytes that are not UTF-8" << "Windows-1252";
        QTest::newRow("overlong UTF-8 declared") << QByteArray("ok\r\n\xC0\xAF\n") << options(0, reader::TextEncoding::Utf8) << true
                                                 << "line 2: bytes that are not UTF-8" << "Windows-1252";
        // A byte order mark names the encoding: read in another, the mark would be characters.
        QTest::newRow("invalid UTF-8 after its mark") << QByteArray("\xEF\xBB\xBF" "a\nb\nc\xFF\n") << found << true
                                                      << "line 3: bytes that are not UTF-8" << QString();
        QTest::newRow("byte Windows-1252 leaves undefined") << QByteArray("a\n\x81\n") << found << true
                                                            << "line 2: bytes that are neither UTF-8 nor Windows-1252" << QString();
        QTest::newRow("UTF-8 read as Windows-1252") << QByteArray("ok\nJos\xC3\x81\n") << options(0, reader::TextEncoding::Windows1252)
                                                    << true << "line 2: bytes that are not Windows-1252" << "UTF-8";
        QTest::newRow("UTF-16 odd length") << QByteArray("\xFF\xFE" "a\0\n\0b", 7) << found << true
                                           << "line 2: bytes that are not UTF-16LE" << QString();
        QTest::newRow("UTF-16 unpaired surrogate") << QByteArray("\xFF\xFE" "a\0\x00\xD8" "b\0", 8) << found << true
                                                   << "line 1: bytes that are not UTF-16LE" << QString();
        QTest::newRow("too many columns") << "a\n" + QByteArray(16384, ',') + "\n" << found << true
                                          << "line 2: more than 16,384 columns" << QString();
        QTest::newRow("too many rows") << QByteArray(1048577, '\n') << found << true << "line 1048577: more than 1,048,576 rows"
                                       << QString();
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) << found << false
                                << "the file is neither a workbook nor text" << QString();
        QTest::newRow("UTF-16 read as UTF-8") << utf16(semicolons, false) << options(0, reader::TextEncoding::Utf8) << false
                                              << "the file is neither a workbook nor text" << "UTF-16LE";
    }
    void refusedText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(reader::TextOptions, given);
        QFETCH(bool, listed);
        QFETCH(QString, problem);
        QFETCH(QString, encodingToTry);
        reader::Document document(write("bad.csv", bytes), given);
        QCOMPARE(document.sheetNames(), listed ? QStringList{"bad"} : QStringList());
        QVERIFY(!document.selectSheet("bad"));
        QCOMPARE(document.dimension().isValid(), false);
        QCOMPARE(describe(document.read(1, 1)), QString("invalid()"));
        QCOMPARE(document.problem(), problem);
        QCOMPARE(document.encodingToTry() ? reader::encodingName(*document.encodingToTry()) : QString(), encodingToTry);
        // Refused once, refused again, for the same reason.
        QVERIFY(!document.selectSheet("bad"));
        QCOMPARE(document.problem(), problem);
    }

    // One cell past the most text a cell may hold is refused; the most is read.
    void longestCell()
    {
        const int most = 10 * 1024 * 1024;
        reader::Document held(write("held.csv", "\"" + QByteArray(most, 'x') + "\"\n"), {});
        QVERIFY(held.selectSheet("held"));
        QCOMPARE(held.text(1, 1).size(), most);
        reader::Document refused(write("refused.csv", "a\n\"" + QByteArray(most + 1, 'x') + "\"\n"), {});
        QVERIFY(!refused.selectSheet("refused"));
        QCOMPARE(refused.problem(), QString("line 2: a field longer than 10 MiB"));
    }

    // Text larger than the reader holds is no sheet, and says why; its size alone tells.
    void largestFile()
    {
        const QString path = write("large.csv", "a,b\n");
        QVERIFY(QFile::resize(path, qint64(256) * 1024 * 1024 + 1));
        const reader::Document document(path, {});
        QCOMPARE(document.sheetNames(), QStringList());
        QCOMPARE(document.problem(), QString("the file is larger than 256 MiB"));
    }

    // Two readers of one file, told two delimiters, each read it as told, whichever opened it first.
    void optionsAreEachReadersOwn()
    {
        const QString path = write("chosen.csv", "a,b;c\n");
        reader::Document semicolon(path, options(';'));
        reader::Document found(path, {});
        QVERIFY(found.selectSheet("chosen") && semicolon.selectSheet("chosen"));
        QCOMPARE(semicolon.text(1, 1) + "|" + found.text(1, 1), QString("a,b|a"));
    }

    // Each sheet of the .xls reads as the same sheet of its .xlsx twin: names, used range, every cell.
    void legacyWorkbookReadsAsItsTwin_data()
    {
        QTest::addColumn<QString>("book");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text") << "kinds" << "Text"
                              << QString::fromUtf8("range 1,1:2,2\nQString(Name) | QString(0012345678)\n"
                                                   "QString(Budi Santoso) | QString(José € 5 中)");
        QTest::newRow("numbers") << "kinds" << "Numbers"
                                 << "range 1,1:2,7\nqlonglong(42) | qlonglong(-7) | double(1500000.5) | qlonglong(123456789012) | "
                                    "double(1e+15) | double(0.1) | qlonglong(65536)\ndouble(2500000.25) | invalid() | invalid() | "
                                    "invalid() | invalid() | invalid() | invalid()";
        QTest::newRow("dates") << "kinds" << "Dates"
                               << "range 1,1:1,4\nQDate(2026-12-05) | QDateTime(2026-12-05T13:45:30.000Z) | QDate(1999-01-31) | "
                                  "QDateTime(1899-12-31T12:00:00.000Z)";
        QTest::newRow("formula results") << "kinds" << "Formulas"
                                         << "range 1,1:2,4\nqlonglong(1500000) | qlonglong(3000000) | qlonglong(187500) | "
                                            "double(468.75)\ninvalid() | bool(true) | QDate(2026-12-06) | invalid()";
        QTest::newRow("errors and booleans") << "kinds" << "Errors"
                                             << "range 1,1:2,2\nQString(#DIV/0!) | QString(#N/A)\nbool(true) | bool(false)";
        QTest::newRow("text longer than a record") << "kinds" << "Long"
                                                   << "range 1,1:2,1\nQString(" + QString::fromUtf8("Äabcdefghi").repeated(1000)
                                                          + ")\nQString(after)";
        QTest::newRow("empty cells") << "kinds" << "Empty"
                                     << "range 2,2:4,4\ninvalid() | invalid() | invalid() | invalid()\n"
                                        "invalid() | QString(first) | invalid() | invalid()\n"
                                        "invalid() | invalid() | invalid() | invalid()\n"
                                        "invalid() | invalid() | invalid() | QString(last)";
            // Written by LibreOffice, both of them, from one book.
        QTest::newRow("filled-down formulas") << "formulas" << "Filled"
                                              << "range 1,1:5,5\nQString(First) | QString(Last) | QString(Full) | "
                                                 "QString(Amount) | QString(Double)\n"
                                                 "QString(Budi) | QString(Santoso) | QString(Budi Santoso) | qlonglong(1500) | qlonglong(3000)\n"
                                                 "QString(Siti) | QString(Aminah) | QString(Siti Aminah) | qlonglong(250000) | "
                                                 "qlonglong(500000)\n"
                                                 "QString(Ani) | QString(Wijaya) | QString(Ani Wijaya) | qlonglong(7) | qlonglong(14)\n"
                                                 "QString(Joko) | QString(Susilo) | QString(Joko Susilo) | double(12.5) | qlonglong(25)";
        QTest::newRow("array formulas") << "formulas" << "Array"
                                        << "range 1,1:3,3\nqlonglong(1) | qlonglong(2) | qlonglong(60)\n"
                                           "qlonglong(2) | qlonglong(4) | invalid()\nqlonglong(3) | qlonglong(6) | invalid()";
        QTest::newRow("text result longer than a record") << "formulas" << "Long"
                                                          << "range 1,1:2,1\nQString(" + QString::fromUtf8("Ä中").repeated(2075)
                                                                 + ")\nQString(after)";
        QTest::newRow("chart over the data") << "formulas" << "Chart"
                                             << "range 1,1:4,2\nQString(Month) | QString(Amount)\nQString(Jan) | qlonglong(100)\n"
                                                "QString(Feb) | qlonglong(250)\nQString(Mar) | qlonglong(175)";
    }

    void legacyWorkbookReadsAsItsTwin()
    {
        QFETCH(QString, book);
        QFETCH(QString, sheet);
        QFETCH(QString, expected);
        reader::Document legacy(kFixtures + "/" + book + ".xls", {});
        reader::Document twin(kFixtures + "/" + book + ".xlsx", {});
        const QMap<QString, QStringList> sheets{{"kinds", {"Text", "Numbers", "Dates", "Formulas", "Errors", "Long", "Empty"}},
                                                {"formulas", {"Filled", "Array", "Long", "Chart"}}};
        QCOMPARE(legacy.sheetNames(), sheets[book]);
        QCOMPARE(twin.sheetNames(), sheets[book]);
        QVERIFY(!legacy.isDelimitedText());
        QVERIFY(legacy.selectSheet(sheet));
        QVERIFY(twin.selectSheet(sheet));
        QCOMPARE(grid(legacy), expected);
        QCOMPARE(grid(twin), expected);
    }

    // Records as Excel and LibreOffice order them, and as a crafted file may: a formula's text
    // result after the records of the shared, array or table formula it starts, continued
    // across records, or never given; an embedded chart's substream inside the sheet's.
    void legacyRecords_data()
    {
        QTest::addColumn<QByteArray>("records");
        QTest::addColumn<QString>("expected");
        const QByteArray budi = string("Budi Santoso", 12);
        const QString oneText = "range 1,1:2,1\nQString(Budi Santoso)\nQString(after)";
        const QByteArray after = record(0x0204, cell(1, 0) + le(5, 2) + '\0' + "after");
        QTest::newRow("after SHRFMLA") << textFormula(0, 0) + kSharedFormula + budi + after << oneText;
        QTest::newRow("after ARRAY") << textFormula(0, 0) + kArrayFormula + budi + after << oneText;
        QTest::newRow("after TABLE") << textFormula(0, 0) + kDataTable + budi + after << oneText;
        // Each record the characters go on in starts with a flags byte of its own: Latin-1, then wide, then Latin-1.
        QTest::newRow("continued") << textFormula(0, 0) + string("abc", 8) + record(0x003C, '\x01' + wide(QString::fromUtf8("中文")))
                                          + record(0x003C, QByteArray("\0def", 4)) + after
                                   << QString::fromUtf8("range 1,1:2,1\nQString(abc中文def)\nQString(after)");
        // The chart's own cached values, and a substream nested in it, are passed over; the sheet goes on after it.
        const QByteArray chart = bof(0x0020) + number(0, 0, 99) + bof(0x0020) + kEof + number(0, 1, 98) + kEof;
        QTest::newRow("embedded chart") << number(0, 0, 1500) + chart + number(1, 0, 2500)
                                        << "range 1,1:2,1\nqlonglong(1500)\nqlonglong(2500)";
        // No text: the cell holds a formula whose value is not known.
        QTest::newRow("next cell first") << textFormula(0, 0) + number(0, 1, 7) + budi
                                         << "range 1,1:1,2\nQString(=) unknown | qlonglong(7)";
        QTest::newRow("sheet's end first") << textFormula(0, 0) << "range 1,1:1,1\nQString(=) unknown";
        QTest::newRow("another record between") << textFormula(0, 0) + record(0x023E, QByteArray(18, '\0')) + budi
                                                << "range 1,1:1,1\nQString(=) unknown";
        QTest::newRow("text cut short") << textFormula(0, 0) + string("abc", 4) << "range 1,1:1,1\nQString(=) unknown";
        QTest::newRow("continued text cut short") << textFormula(0, 0) + string("abc", 5) + record(0x003C, '\x01' + wide("d"))
                                                  << "range 1,1:1,1\nQString(=) unknown";
    }
    void legacyRecords()
    {
        QFETCH(QByteArray, records);
        QFETCH(QString, expected);
        reader::Document document(write("crafted.xls", legacyWorkbook(records)), {});
        QVERIFY(document.selectSheet("Sheet"));
        QCOMPARE(grid(document), expected);
    }

    // Workbooks as report tools and older programs write them, which spreadsheet programs open: the
    // stream named as Excel 5 named it, in any letter case; a file that ends where its stream does,
    // inside the last sector; a shared-string table announcing more strings than it holds; a
    // FORMULA record under the numbers it had before.
    void olderLayouts_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        const QByteArray amount = number(0, 0, 1500);
        const QString oneAmount = "range 1,1:1,1\nqlonglong(1500)";
        QTest::newRow("stream named Book") << legacyWorkbook(amount, {}, "Book") << oneAmount;
        QTest::newRow("stream named BOOK") << legacyWorkbook(amount, {}, "BOOK") << oneAmount;
        QTest::newRow("stream named wORKbook") << legacyWorkbook(amount, {}, "wORKbook") << oneAmount;
        // Past 4 KiB, so that the stream is not kept among the small ones; 4,522 bytes end inside its ninth sector.
        QByteArray rows;
        QString column = "range 1,1:240,1";
        for (int row = 0; row < 240; ++row) {
            rows += number(row, 0, row + 1);
            column += QString("\nqlonglong(%1)").arg(row + 1);
        }
        const QByteArray cut = legacyWorkbook(rows, {}, "Workbook", TestPackage::FileEnd::InsideLastSector);
        QVERIFY(cut.size() % 512 != 0);
        QTest::newRow("file ends inside its last sector") << cut << column;
        const QByteArray budiAndSiti = sharedString(0, 0, 1) + sharedString(0, 1, 0);
        QTest::newRow("strings fewer than announced") << legacyWorkbook(budiAndSiti, sharedStrings(5, {"Budi", "Siti"}))
                                                      << "range 1,1:1,2\nQString(Siti) | QString(Budi)";
        QTest::newRow("four billion strings announced") << legacyWorkbook(budiAndSiti, sharedStrings(0xFFFFFFFF, {"Budi", "Siti"}))
                                                        << "range 1,1:1,2\nQString(Siti) | QString(Budi)";
        QTest::newRow("FORMULA of BIFF3") << legacyWorkbook(numberFormula(0x0206, 0, 0, 1500)) << oneAmount;
        QTest::newRow("FORMULA of BIFF4") << legacyWorkbook(numberFormula(0x0406, 0, 0, 1500)) << oneAmount;
    }
    void olderLayouts()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        reader::Document document(write("older.xls", file), {});
        QCOMPARE(document.sheetNames(), QStringList{"Sheet"});
        QVERIFY(document.selectSheet("Sheet"));
        QCOMPARE(grid(document), expected);
    }

    // What the reader cannot vouch for is refused, and the problem says why where more is known:
    // a stream longer than the file holds, a cell naming a shared string past the table's end,
    // a workbook saved by Excel 5 or 95 (under either stream name).
    void refusedOlderLayouts_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("sheets");
        QTest::addColumn<QString>("problem");
        QByteArray rows;
        for (int row = 0; row < 240; ++row)
            rows += number(row, 0, row + 1);
        QTest::newRow("stream past the file's end")
            << legacyWorkbook(rows, {}, "Workbook", TestPackage::FileEnd::InsideLastSector).chopped(1) << QStringList() << QString();
        QTest::newRow("string past the table")
            << legacyWorkbook(sharedString(0, 0, 2), sharedStrings(5, {"Budi", "Siti"})) << QStringList{"Sheet"}
            << "a shared string its table does not hold";
        const QString excel95 = "Excel 95 workbook: save it as .xlsx and choose it again";
        const QByteArray biff5 = record(0x0809, le(0x0500, 2) + le(0x0005, 2) + QByteArray(4, '\0')) + kEof;
        QTest::newRow("Excel 95, Book") << TestPackage::compoundFile({"Book"}, biff5) << QStringList() << excel95;
        QTest::newRow("Excel 95, Workbook") << TestPackage::compoundFile({"Workbook"}, biff5) << QStringList() << excel95;
    }
    void refusedOlderLayouts()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, sheets);
        QFETCH(QString, problem);
        reader::Document document(write("refused.xls", file), {});
        QCOMPARE(document.sheetNames(), sheets);
        // kova-export asks for the sheet all the same: the problem stays what it was.
        QVERIFY(!document.selectSheet("Sheet"));
        QCOMPARE(document.problem(), problem);
        QVERIFY(!document.dimension().isValid());
    }

    // An encrypted package is a compound file whose directory holds both an "EncryptionInfo" and an
    // "EncryptedPackage" stream; the same names anywhere else in the file do not count.
    void sourceKinds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        const QByteArray infoEntry = TestPackage::compoundFile({"EncryptionInfo"}).mid(1024 + 128, 128);
        QTest::newRow("zip") << QByteArray("PK\x03\x04rest") << int(reader::SourceKind::Package);
        QTest::newRow("empty zip") << QByteArray("PK\x05\x06rest") << int(reader::SourceKind::Package);
        QTest::newRow("compound file") << TestPackage::compoundFile({"Workbook"}) << int(reader::SourceKind::LegacyWorkbook);
        QTest::newRow("encrypted package") << TestPackage::compoundFile({"EncryptionInfo", "EncryptedPackage"})
                                           << int(reader::SourceKind::Package);
        QTest::newRow("one of the two streams") << TestPackage::compoundFile({"Workbook", "EncryptionInfo"})
                                                << int(reader::SourceKind::LegacyWorkbook);
        QTest::newRow("entries outside the directory")
            << TestPackage::compoundFile({"Workbook"}) + infoEntry + TestPackage::compoundFile({"EncryptedPackage"}).mid(1024 + 128, 128)
            << int(reader::SourceKind::LegacyWorkbook);
        QTest::newRow("text") << QByteArray("PK;a\n") << int(reader::SourceKind::DelimitedText);
    }
    void sourceKinds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        QCOMPARE(int(reader::sourceKind(bytes.constData(), std::size_t(bytes.size()))), kind);
    }

    // An .xls that is encrypted or of another BIFF version has no sheets.
    void refusedLegacyWorkbook_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        // The code page record turned into the one that says the rest is encrypted.
        QTest::newRow("encrypted") << QByteArray("\x42\x00\x02\x00", 4) << QByteArray("\x2F\x00\x02\x00", 4);
        QTest::newRow("Excel 95") << QByteArray("\x09\x08\x10\x00\x00\x06\x05\x00", 8)
                                  << QByteArray("\x09\x08\x10\x00\x00\x05\x05\x00", 8);
    }
    void refusedLegacyWorkbook()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFile fixture(kFixtures + "/kinds.xls");
        QVERIFY(fixture.open(QIODevice::ReadOnly));
        QByteArray bytes = fixture.readAll();
        QCOMPARE(bytes.count(from), 1);
        bytes.replace(from, to);
        QCOMPARE(reader::Document(write("patched.xls", bytes), {}).sheetNames(), QStringList());
    }

    // Told by content, not name: an .xls named .csv is a workbook, text named .xlsx is text.
    // A compound file that is not a workbook, or the same bytes from memory, open alike.
    void formatByContent()
    {
        const QString renamed = m_dir.filePath("kinds.csv");
        QVERIFY(QFile::copy(kFixtures + "/kinds.xls", renamed));
        QCOMPARE(reader::Document(renamed, {}).sheetNames().size(), 7);
        QVERIFY(!reader::Document(renamed, {}).isDelimitedText());
        QCOMPARE(reader::Document(write("text.xlsx", "a;b\n"), {}).sheetNames(), QStringList{"text"});

        QFile fixture(kFixtures + "/kinds.xls");
        QVERIFY(fixture.open(QIODevice::ReadOnly));
        QByteArray bytes = fixture.readAll();
        reader::Document fromMemory(reader::InMemory{bytes});
        QVERIFY(fromMemory.selectSheet("Errors"));
        QCOMPARE(fromMemory.text(1, 1), QString("#DIV/0!"));
        // The workbook stream's directory entry claiming a name longer than its 64 bytes: no sheets.
        QByteArray longName = bytes;
        const int entry = longName.indexOf(QByteArray("W\0o\0r\0k\0b\0o\0o\0k\0", 16));
        QVERIFY(entry > 0);
        longName[entry + 65] = char(0xFF);
        QCOMPARE(reader::Document(write("long name.xls", longName), {}).sheetNames(), QStringList());
        bytes.truncate(bytes.size() / 2);
        QCOMPARE(reader::Document(write("cut.xls", bytes), {}).sheetNames(), QStringList());
        reader::Document text(reader::InMemory{"a;b\n"});
        QVERIFY(text.selectSheet("Sheet1"));
        QCOMPARE(text.text(1, 2), QString("b"));
    }
};

QTEST_GUILESS_MAIN(TestSourceFormats)
#include "test_source_formats.moc"
