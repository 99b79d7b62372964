// The reader's building blocks where the public reader cannot reach a branch:
// date-format tokens, the zip guards and the cell store's bound.
#include "xlsx/cellstore.h"
#include "xlsx/numberformat.h"
#include "xlsx/ziparchive.h"

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

class TestXlsxParts final : public QObject
{
    Q_OBJECT

private slots:
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
        QTemporaryDir dir;
        const QString file = dir.filePath("part.zip");
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
        QTemporaryDir dir;
        const QString file = dir.filePath("part.zip");
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

QTEST_GUILESS_MAIN(TestXlsxParts)
#include "test_xlsx_parts.moc"
