// The reader's building blocks on their own: date-format detection, serial
// dates, text escapes, part paths, cell references, the cell store's bound and the zip guards.
#include "xlsx/cellreference.h"
#include "xlsx/cellstore.h"
#include "xlsx/numberformat.h"
#include "xlsx/partpath.h"
#include "xlsx/serialdate.h"
#include "xlsx/textescape.h"
#include "xlsx/ziparchive.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <zip.h>

#include <stdexcept>
#include <string>

Q_DECLARE_METATYPE(std::string)

namespace {

// A zip with one part "data" holding the bytes.
bool writeSinglePartZip(const QString& path, const QByteArray& bytes)
{
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    zip_source_t* source = zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
    if (!source || zip_file_add(archive, "data", source, 0) < 0) {
        zip_discard(archive);
        return false;
    }
    zip_set_file_compression(archive, 0, ZIP_CM_DEFLATE, 9);
    return zip_close(archive) == 0;
}

// Makes the zip of writeSinglePartZip claim another inflated size, in both
// the local header and the central directory, as a crafted file would.
bool patchDeclaredSize(const QString& path, quint32 size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    const int central = bytes.lastIndexOf(QByteArray("PK\x01\x02", 4));
    if (!bytes.startsWith(QByteArray("PK\x03\x04", 4)) || central < 0)
        return false;
    for (int offset : {22, central + 24})
        for (int i = 0; i < 4; ++i)
            bytes[offset + i] = char((size >> (8 * i)) & 0xFF);
    file.seek(0);
    return file.write(bytes) == bytes.size();
}

} // namespace

class TestXlsxParts final : public QObject
{
    Q_OBJECT

private slots:
    void builtInDateFormats_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("date");
        const QList<int> dates = {14, 15, 16, 17, 18, 19, 20, 21, 22, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36,
                                  45, 46, 47, 50, 51, 52, 53, 54, 55, 56, 57, 58};
        for (int id = 0; id <= 60; ++id)
            QTest::addRow("%d", id) << id << dates.contains(id);
        QTest::addRow("164") << 164 << false;
    }
    void builtInDateFormats()
    {
        QFETCH(int, id);
        QFETCH(bool, date);
        QCOMPARE(xlsx::isBuiltInDateFormat(id), date);
    }

    void dateFormatCodes_data()
    {
        QTest::addColumn<std::string>("code");
        QTest::addColumn<bool>("date");
        // Tokens that make a date; quoted, escaped, bracketed or padding text does not.
        for (const char* code : {"yyyy-mm-dd", "dd/mm/yyyy", "d-mmm-yy", "DD.MM.YYYY", "hh:mm:ss", "h:mm AM/PM", "mm:ss.0",
                                 "yyyy\\-mm\\-dd\\ hh:mm", "[h]:mm", "[hh]:mm:ss", "[mm]:ss", "[s]", "[H]", "[$-409]d-mmm-yyyy"})
            QTest::newRow(code) << std::string(code) << true;
        for (const char* code : {"General", "0", "0.00", "#,##0.00", "0.00E+00", "@", "\"Day \"0", "\"days\" 0", "0 \"hrs\"",
                                 "[Red]0.00", "[Red]#,##0;[Blue]-#,##0", "[$-409]0.00", "[>100]0;0", "[hm]0", "\\d0", "0\\h",
                                 "_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)", "_d0", "*s0", "0;yyyy-mm-dd", "0;[h]",
                                 "\"unterminated", "[unterminated", ""})
            QTest::newRow(code) << std::string(code) << false;
    }
    void dateFormatCodes()
    {
        QFETCH(std::string, code);
        QFETCH(bool, date);
        QCOMPARE(xlsx::isDateFormatCode(code), date);
    }

    void serialDates_data()
    {
        QTest::addColumn<double>("serial");
        QTest::addColumn<bool>("from1904");
        QTest::addColumn<QVariant>("expected");
        const auto utc = [](const QDate& d, const QTime& t) { return QVariant(QDateTime(d, t, Qt::UTC)); };

        QTest::newRow("1900 serial 1") << 1.0 << false << QVariant(QDate(1900, 1, 1));
        QTest::newRow("1900 serial 59") << 59.0 << false << QVariant(QDate(1900, 2, 28));
        QTest::newRow("1900 serial 60, the fictitious Feb 29") << 60.0 << false << QVariant(QDate(1900, 2, 28));
        QTest::newRow("1900 serial 60.5") << 60.5 << false << utc(QDate(1900, 2, 28), QTime(12, 0));
        QTest::newRow("1900 serial 61") << 61.0 << false << QVariant(QDate(1900, 3, 1));
        QTest::newRow("1900 serial 0") << 0.0 << false << QVariant(QDate(1899, 12, 31));
        QTest::newRow("1900 time of day") << 0.75 << false << utc(QDate(1899, 12, 31), QTime(18, 0));
        QTest::newRow("1900 negative") << -1.0 << false << QVariant();
        QTest::newRow("1900 tiny negative") << -0.0001 << false << QVariant();
        QTest::newRow("1900 2023") << 45000.0 << false << QVariant(QDate(2023, 3, 15));
        QTest::newRow("1900 with seconds") << 45000.000011574 << false << utc(QDate(2023, 3, 15), QTime(0, 0, 1));
        QTest::newRow("1900 with milliseconds") << 45000.5000057870 << false << utc(QDate(2023, 3, 15), QTime(12, 0, 0, 500));
        QTest::newRow("1900 rounds up to the next day") << 44999.9999999999 << false << QVariant(QDate(2023, 3, 15));
        QTest::newRow("1900 last day") << 2958465.0 << false << QVariant(QDate(9999, 12, 31));
        QTest::newRow("1900 past the last day") << 2958466.0 << false << QVariant();
        QTest::newRow("1904 serial 0") << 0.0 << true << QVariant(QDate(1904, 1, 1));
        QTest::newRow("1904 serial 1") << 1.0 << true << QVariant(QDate(1904, 1, 2));
        QTest::newRow("1904 2023") << 43538.0 << true << QVariant(QDate(2023, 3, 15));
        QTest::newRow("1904 time") << 43538.25 << true << utc(QDate(2023, 3, 15), QTime(6, 0));
        QTest::newRow("1904 negative") << -1.0 << true << QVariant();
        QTest::newRow("1904 last day") << 2957003.0 << true << QVariant(QDate(9999, 12, 31));
        QTest::newRow("1904 past the last day") << 2957004.0 << true << QVariant();
        QTest::newRow("not a number") << std::nan("") << false << QVariant();
    }
    void serialDates()
    {
        QFETCH(double, serial);
        QFETCH(bool, from1904);
        QFETCH(QVariant, expected);
        const QVariant actual = xlsx::serialToDate(serial, from1904 ? xlsx::DateSystem::From1904 : xlsx::DateSystem::From1900);
        QCOMPARE(actual.userType(), expected.userType());
        QCOMPARE(actual, expected);
        if (expected.userType() == QMetaType::QDateTime)
            QCOMPARE(actual.toDateTime().timeSpec(), Qt::UTC);
    }

    void escapes_data()
    {
        QTest::addColumn<std::string>("text");
        QTest::addColumn<std::string>("decoded");
        const auto row = [](const char* name, const char* text, const char* decoded) {
            QTest::newRow(name) << std::string(text) << std::string(decoded);
        };
        row("none", "plain_text_x", "plain_text_x");
        row("lower-case hex", "_x00e9_", "\xC3\xA9");
        row("underscore alone", "_x005F_", "_");
        row("lone high surrogate", "_xD83D_x", "\xEF\xBF\xBD" "x");
        row("lone low surrogate", "_xDE00_", "\xEF\xBF\xBD");
        row("too short", "_x41_", "_x41_");
        row("not hex", "_x00G1_", "_x00G1_");
        row("no closing underscore", "_x0041", "_x0041");
        row("upper-case X is no escape", "_X0041_", "_X0041_");
        row("three-byte character", "_x20AC_ 5", "\xE2\x82\xAC 5");
        row("between multibyte text", "\xC3\xA9_x0009_\xC3\xA9", "\xC3\xA9\t\xC3\xA9");
    }
    void escapes()
    {
        QFETCH(std::string, text);
        QFETCH(std::string, decoded);
        xlsx::decodeEscapes(text);
        QCOMPARE(QByteArray::fromStdString(text), QByteArray::fromStdString(decoded));
    }

    void resolvePartPaths_data()
    {
        QTest::addColumn<std::string>("folder");
        QTest::addColumn<std::string>("target");
        QTest::addColumn<std::string>("part");
        const auto row = [](const char* name, const char* folder, const char* target, const char* part) {
            QTest::newRow(name) << std::string(folder) << std::string(target) << std::string(part);
        };
        row("relative", "xl/", "worksheets/sheet1.xml", "xl/worksheets/sheet1.xml");
        row("absolute", "xl/", "/xl/worksheets/sheet1.xml", "xl/worksheets/sheet1.xml");
        row("parent", "xl/worksheets/", "../sharedStrings.xml", "xl/sharedStrings.xml");
        row("dot", "xl/", "./styles.xml", "xl/styles.xml");
        row("from the root", "", "xl/workbook.xml", "xl/workbook.xml");
        row("above the root", "", "../../x.xml", "x.xml");
    }
    void resolvePartPaths()
    {
        QFETCH(std::string, folder);
        QFETCH(std::string, target);
        QFETCH(std::string, part);
        QCOMPARE(QString::fromStdString(xlsx::partpath::resolve(folder, target)), QString::fromStdString(part));
    }

    void cellReferences_data()
    {
        QTest::addColumn<QByteArray>("reference");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::newRow("A1") << QByteArray("A1") << true << 1 << 1;
        QTest::newRow("AA10") << QByteArray("AA10") << true << 10 << 27;
        QTest::newRow("lower case") << QByteArray("ab12") << true << 12 << 28;
        QTest::newRow("last cell") << QByteArray("XFD1048576") << true << 1048576 << 16384;
        // Past the last column or row, row 0, a part missing, absolute, trailing text, overflowing, empty.
        for (const char* bad : {"XFE1", "A1048577", "A0", "A", "12", "$A$1", "A1x", "A99999999999999999999", ""})
            QTest::newRow(bad) << QByteArray(bad) << false << 0 << 0;
    }
    void cellReferences()
    {
        QFETCH(QByteArray, reference);
        QFETCH(bool, ok);
        QFETCH(int, row);
        QFETCH(int, column);
        int r = 0;
        int c = 0;
        QCOMPARE(xlsx::parseCellReference(reference.constData(), r, c), ok);
        if (ok) {
            QCOMPARE(r, row);
            QCOMPARE(c, column);
        }
    }

    void zipLimits_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qulonglong>("maxEntrySize");
        QTest::addColumn<quint32>("declaredSize");
        QTest::addColumn<qulonglong>("partLimit");
        QTest::addColumn<bool>("accepted");

        QByteArray varied;
        for (int i = 0; i < 300000; ++i)
            varied += "<row r=\"" + QByteArray::number(i) + "\"><c><v>" + QByteArray::number(qint64(i) * 7919 % 100003) + "</v></c></row>";
        const qulonglong noLimit = 4ull << 30;
        const quint32 truthful = 0;

        QTest::newRow("sheet-like data") << varied << noLimit << truthful << noLimit << true;
        QTest::newRow("exactly the size limit") << varied << qulonglong(varied.size()) << truthful << noLimit << true;
        QTest::newRow("one byte past the size limit") << varied << qulonglong(varied.size() - 1) << truthful << noLimit << false;
        QTest::newRow("declares less than it inflates to") << varied << qulonglong(1024 * 1024) << quint32(1000) << noLimit << false;
        QTest::newRow("small part may compress strongly") << QByteArray(512 * 1024, 'a') << noLimit << truthful << noLimit << true;
        QTest::newRow("inflates past 1:100") << QByteArray(8 * 1024 * 1024, 'a') << noLimit << truthful << noLimit << false;
        QTest::newRow("large part inflates past 1:100") << QByteArray(64 * 1024 * 1024, 'a') << noLimit << truthful << noLimit << false;
        QTest::newRow("at a part's own limit") << varied << noLimit << truthful << qulonglong(varied.size()) << true;
        QTest::newRow("past a part's own limit") << varied << noLimit << truthful << qulonglong(varied.size() - 1) << false;
        QTest::newRow("large part within the ratio") << varied.repeated(2) << noLimit << truthful << noLimit << true;
    }
    void zipLimits()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qulonglong, maxEntrySize);
        QFETCH(quint32, declaredSize);
        QFETCH(qulonglong, partLimit);
        QFETCH(bool, accepted);
        QTemporaryDir dir;
        const QString file = dir.filePath("part.zip");
        QVERIFY(writeSinglePartZip(file, bytes));
        if (declaredSize)
            QVERIFY(patchDeclaredSize(file, declaredSize));

        xlsx::ZipLimits limits;
        limits.maxEntrySize = maxEntrySize;
        xlsx::ZipArchive archive(file, limits);
        QVERIFY(archive.isOpen());
        QVERIFY(archive.contains("DATA"));
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
        QVERIFY(!archive.stream("missing", [](const char*, std::size_t) { return true; }));
    }

    void cellStoreLimit()
    {
        xlsx::CellStore store(3);
        xlsx::Cell cell{};
        for (std::uint32_t row = 1; row <= 3; ++row) {
            cell.row = row;
            store.append(cell);
        }
        cell.row = 4;
        QVERIFY_EXCEPTION_THROWN(store.append(cell), std::length_error);
    }

    void sinkStopsStream()
    {
        QByteArray varied;
        for (int i = 0; i < 2000000; ++i)
            varied += QByteArray::number(qint64(i) * 7919 % 100003) + ",";
        QTemporaryDir dir;
        const QString file = dir.filePath("part.zip");
        QVERIFY(writeSinglePartZip(file, varied));
        xlsx::ZipArchive archive(file);
        for (int stopAfter : {1, 3}) {
            int calls = 0;
            QVERIFY(!archive.stream("data", [&calls, stopAfter](const char*, std::size_t) { return ++calls < stopAfter; }));
            QCOMPARE(calls, stopAfter);
        }
        int calls = 0;
        QVERIFY_EXCEPTION_THROWN(archive.stream("data", [&calls](const char*, std::size_t) -> bool {
            if (++calls == 2)
                throw std::runtime_error("consumer failed");
            return true;
        }), std::runtime_error);
        qint64 total = 0;
        QVERIFY(archive.stream("data", [&total](const char*, std::size_t size) { total += qint64(size); return true; }));
        QCOMPARE(total, qint64(varied.size()));
    }
};

QTEST_GUILESS_MAIN(TestXlsxParts)
#include "test_xlsx_parts.moc"
