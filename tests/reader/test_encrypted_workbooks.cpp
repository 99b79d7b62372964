#include "encryptpackage.h"
#include "testpackage.h"

#include "reader/containers/cipher.h"
#include "reader/containers/compoundfile.h"
#include "reader/document.h"
#include "reader/xls/xorobfuscation.h"

#include <openssl/evp.h>

#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

const QString kFixtures = QStringLiteral(KOVA_FIXTURES);
const QString kPassword = QStringLiteral("kova-secret");
using Kind = EncryptedStreams::Kind;

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every sheet of the two, cell by cell over the plain one's used range.
void compareWorkbooks(reader::Document& read, reader::Document& plain)
{
    QCOMPARE(read.sheetNames(), plain.sheetNames());
    QVERIFY(!plain.sheetNames().isEmpty());
    for (const QString& sheet : plain.sheetNames()) {
        QVERIFY(read.selectSheet(sheet) && plain.selectSheet(sheet));
        const reader::CellRange range = read.dimension();
        const reader::CellRange expected = plain.dimension();
        QCOMPARE(QList<int>({range.firstRow(), range.firstColumn(), range.lastRow(), range.lastColumn()}),
                 QList<int>({expected.firstRow(), expected.firstColumn(), expected.lastRow(), expected.lastColumn()}));
        for (int row = 1; row <= plain.dimension().lastRow(); ++row)
            for (int column = 1; column <= plain.dimension().lastColumn(); ++column)
                QCOMPARE(read.read(row, column), plain.read(row, column));
    }
}

std::uint16_t le16(const std::string& bytes, std::size_t at)
{
    return std::uint16_t(std::uint8_t(bytes[at]) | std::uint8_t(bytes[at + 1]) << 8);
}

std::string le16Bytes(std::uint16_t value)
{
    return std::string{char(value & 0xFF), char(value >> 8)};
}

// kinds.xls as Excel saves it with a password: a FILEPASS of filePassBody
// after the first BOF, the sheets' offsets moved past it, and every byte of
// the records after it sealed by its offset in the stream and its record's
// length, but for the records Excel leaves in the clear and the offset in
// BOUNDSHEET.
QByteArray sealedXls(const std::string& filePassBody, const std::function<char(char, std::size_t, std::size_t)>& seal)
{
    const QByteArray plain = fileBytes(kFixtures + "/kinds.xls");
    std::string stream;
    if (!reader::readCompoundStream(plain.constData(), std::size_t(plain.size()), "Workbook", stream))
        qFatal("kinds.xls has no workbook stream");
    const std::string filePass = "\x2F" + std::string(1, '\0') + le16Bytes(std::uint16_t(filePassBody.size())) + filePassBody;
    const std::size_t from = 4 + le16(stream, 2);
    stream.insert(from, filePass);
    for (std::size_t at = from + filePass.size(); at + 4 <= stream.size(); at += 4 + le16(stream, at + 2)) {
        const std::uint16_t type = le16(stream, at);
        const std::size_t length = le16(stream, at + 2);
        if (type == 0x0085) {
            const std::uint32_t offset = reader::cipher::le32(stream, at + 4) + std::uint32_t(filePass.size());
            stream.replace(at + 4, 4, reader::cipher::le32Bytes(offset));
        }
        if (type == 0x0809 || type == 0x00E1 || type == 0x0194 || type == 0x0195 || type == 0x0196 || type == 0x0138)
            continue;
        for (std::size_t p = at + 4 + (type == 0x0085 ? 4 : 0); p < at + 4 + length; ++p)
            stream[p] = seal(stream[p], p, length);
    }
    return TestPackage::compoundFile({"Workbook"}, QByteArray(stream.data(), int(stream.size())));
}

// RC4 CryptoAPI with a 128-bit key, each byte by the key of its 1024-byte block.
QByteArray cryptoApiXls(const QString& password)
{
    const auto le32 = [](std::uint32_t v) { return reader::cipher::le32Bytes(v); };
    std::string pw;
    for (const QChar c : password)
        pw += le16Bytes(c.unicode());
    const std::string salt(16, '\x5A'), verifier(16, '\x3C');
    const std::string base = reader::cipher::digest(EVP_sha1(), {salt, pw});
    const auto keyOf = [&](std::uint32_t block) { return reader::cipher::digest(EVP_sha1(), {base, le32(block)}).substr(0, 16); };
    std::string sealed = verifier + reader::cipher::digest(EVP_sha1(), {verifier});
    const std::string first = *reader::cipher::rc4Keystream(keyOf(0), sealed.size());
    for (std::size_t i = 0; i < sealed.size(); ++i)
        sealed[i] = char(sealed[i] ^ first[i]);
    std::string provider;
    for (const char c : std::string("Microsoft Enhanced Cryptographic Provider v1.0"))
        provider += std::string{c, '\0'};
    provider += std::string(2, '\0');
    const std::string header = le32(4) + le32(0) + le32(0x6801) + le32(0x8004) + le32(128) + le32(1) + le32(0) + le32(0)
                               + provider;
    const std::string body = std::string("\x01\x00\x04\x00\x02\x00", 6) + le32(4) + le32(std::uint32_t(header.size()))
                             + header + le32(16) + salt + sealed.substr(0, 16) + le32(20) + sealed.substr(16);
    std::uint32_t block = UINT32_MAX;
    std::string keystream;
    return sealedXls(body, [&](char byte, std::size_t p, std::size_t) {
        if (p / 1024 != block) {
            block = std::uint32_t(p / 1024);
            keystream = *reader::cipher::rc4Keystream(keyOf(block), 1024);
        }
        return char(byte ^ keystream[p % 1024]);
    });
}

// XOR obfuscation: FILEPASS type 0 with the password's key and verifier,
// each byte rotated left by five bits, then XORed with the array's byte at
// (its offset + its record's length) % 16.
QByteArray xorXls(const QString& password)
{
    namespace xo = reader::xorobfuscation;
    const std::string bytes = xo::passwordBytes(password);
    const std::array<std::uint8_t, 16> array = xo::xorArray(bytes);
    const std::string body = std::string(2, '\0') + le16Bytes(xo::key(bytes)) + le16Bytes(xo::verifier(bytes));
    return sealedXls(body, [&](char byte, std::size_t p, std::size_t length) {
        const std::uint8_t rotated = std::uint8_t(std::uint8_t(byte) << 5 | std::uint8_t(byte) >> 3);
        return char(rotated ^ array[(p + length) % 16]);
    });
}

} // namespace

class TestEncryptedWorkbooks final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString written(const QByteArray& bytes, const QString& name = QStringLiteral("encrypted.xlsx"))
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the test file");
        return file.fileName();
    }

private slots:
    void readsAsItsPlainTwin_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("savedWith");
        QTest::addColumn<QString>("given");
        QTest::newRow("agile, password") << Kind::Agile << kPassword << kPassword;
        QTest::newRow("standard, password") << Kind::Standard << kPassword << kPassword;
        QTest::newRow("agile, default key") << Kind::Agile << "VelvetSweatshop" << QString();
        QTest::newRow("standard, default key") << Kind::Standard << "VelvetSweatshop" << QString();
        QTest::newRow("default key, another password given") << Kind::Standard << "VelvetSweatshop" << kPassword;
        QTest::newRow("password beyond ASCII") << Kind::Agile << QString::fromUtf8("s\xC3\xA9same \xE4\xB8\xAD") << QString::fromUtf8("s\xC3\xA9same \xE4\xB8\xAD");
    }
    void readsAsItsPlainTwin()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, savedWith);
        QFETCH(QString, given);
        const QString plainPath = kFixtures + "/kinds.xlsx";
        const QByteArray encrypted = EncryptedStreams::of(fileBytes(plainPath), savedWith, kind).file();
        reader::Document plain(plainPath, {});
        reader::Document fromFile(written(encrypted), {}, reader::SheetAccess::Random, given);
        QVERIFY(!fromFile.isPasswordProtected());
        QCOMPARE(fromFile.problem(), QString());
        compareWorkbooks(fromFile, plain);
        reader::Document fromMemory(reader::InMemory{encrypted}, {}, reader::SheetAccess::Random, given);
        compareWorkbooks(fromMemory, plain);
        // Read as its rows arrive, as the window reads it.
        reader::Document forward(written(encrypted), {}, reader::SheetAccess::Forward, given);
        compareWorkbooks(forward, plain);
    }

    void locked_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("problem");
        for (const Kind kind : {Kind::Agile, Kind::Standard}) {
            const QByteArray name = kind == Kind::Agile ? "agile" : "standard";
            QTest::newRow(name + ", no password") << kind << QString() << "a password is needed to open it";
            QTest::newRow(name + ", wrong password") << kind << "kova-Secret" << "the password is wrong";
        }
    }
    void locked()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, given);
        QFETCH(QString, problem);
        const QByteArray encrypted = EncryptedStreams::of(fileBytes(kFixtures + "/kinds.xlsx"), kPassword, kind).file();
        for (reader::Document* document :
             {new reader::Document(written(encrypted), {}, reader::SheetAccess::Random, given),
              new reader::Document(reader::InMemory{encrypted}, {}, reader::SheetAccess::Random, given)}) {
            const std::unique_ptr<reader::Document> owned(document);
            QVERIFY(document->isPasswordProtected());
            QVERIFY(document->opensWithPassword());
            QCOMPARE(document->sheetNames(), QStringList());
            QCOMPARE(document->problem(), problem);
            QVERIFY(!document->selectSheet("Text"));
        }
    }

    // Saved by LibreOffice with RC4 (FILEPASS type 1, version 1.1).
    void legacyReadsAsItsPlainTwin_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QString>("given");
        QTest::newRow("password") << "kinds-password.xls" << kPassword;
        QTest::newRow("default key") << "kinds-default.xls" << QString();
        QTest::newRow("default key, another password given") << "kinds-default.xls" << kPassword;
    }
    void legacyReadsAsItsPlainTwin()
    {
        QFETCH(QString, fixture);
        QFETCH(QString, given);
        reader::Document plain(kFixtures + "/kinds.xls", {});
        reader::Document fromFile(kFixtures + "/" + fixture, {}, reader::SheetAccess::Random, given);
        QVERIFY(!fromFile.isPasswordProtected());
        QCOMPARE(fromFile.problem(), QString());
        compareWorkbooks(fromFile, plain);
        reader::Document fromMemory(reader::InMemory{fileBytes(kFixtures + "/" + fixture)}, {},
                                    reader::SheetAccess::Random, given);
        compareWorkbooks(fromMemory, plain);
    }

    // RC4 CryptoAPI, the form Excel writes, which LibreOffice does not.
    void legacyCryptoApi_data()
    {
        QTest::addColumn<QString>("savedWith");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("problem");
        QTest::newRow("password") << kPassword << kPassword << QString();
        QTest::newRow("default key") << "VelvetSweatshop" << QString() << QString();
        QTest::newRow("no password") << kPassword << QString() << "a password is needed to open it";
        QTest::newRow("wrong password") << kPassword << "kova" << "the password is wrong";
    }
    void legacyCryptoApi()
    {
        QFETCH(QString, savedWith);
        QFETCH(QString, given);
        QFETCH(QString, problem);
        reader::Document document(reader::InMemory{cryptoApiXls(savedWith)}, {}, reader::SheetAccess::Random, given);
        QCOMPARE(document.problem(), problem);
        QCOMPARE(document.isPasswordProtected(), !problem.isEmpty());
        reader::Document plain(kFixtures + "/kinds.xls", {});
        if (problem.isEmpty())
            compareWorkbooks(document, plain);
    }

    // Excel's figures for a workbook it obfuscated with the password "1950".
    void xorKeyAndVerifier()
    {
        const std::string password = reader::xorobfuscation::passwordBytes(QStringLiteral("1950"));
        QCOMPARE(reader::xorobfuscation::key(password), std::uint16_t(0x499A));
        QCOMPARE(reader::xorobfuscation::verifier(password), std::uint16_t(0xCC61));
    }

    // XOR obfuscation (FILEPASS type 0), which LibreOffice reads but does not write.
    void legacyXor_data()
    {
        QTest::addColumn<QString>("savedWith");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("problem");
        QTest::newRow("password") << kPassword << kPassword << QString();
        QTest::newRow("default key") << "VelvetSweatshop" << QString() << QString();
        QTest::newRow("default key, another password given") << "VelvetSweatshop" << kPassword << QString();
        // Excel keeps a character's low byte, or its high byte where that is 0.
        QTest::newRow("password beyond ASCII") << QString::fromUtf8("s\xC3\xA9same \xC4\x80") << QString::fromUtf8("s\xC3\xA9same \xC4\x80")
                                               << QString();
        QTest::newRow("15 characters of a longer one") << "kova-secret-kov" << "kova-secret-kova" << QString();
        QTest::newRow("no password") << kPassword << QString() << "a password is needed to open it";
        QTest::newRow("wrong password") << kPassword << "kova-Secret" << "the password is wrong";
    }
    void legacyXor()
    {
        QFETCH(QString, savedWith);
        QFETCH(QString, given);
        QFETCH(QString, problem);
        reader::Document document(reader::InMemory{xorXls(savedWith)}, {}, reader::SheetAccess::Random, given);
        QCOMPARE(document.problem(), problem);
        QCOMPARE(document.isPasswordProtected(), !problem.isEmpty());
        QCOMPARE(document.opensWithPassword(), !problem.isEmpty());
        reader::Document plain(kFixtures + "/kinds.xls", {});
        if (problem.isEmpty())
            compareWorkbooks(document, plain);
        else
            QCOMPARE(document.sheetNames(), QStringList());
    }

    // The key is checked as well as the verifier: one of them right is not the password.
    void legacyXorKeyChecked()
    {
        QByteArray bytes = xorXls(kPassword);
        const int filePass = bytes.indexOf(QByteArray("\x2F\x00\x06\x00\x00\x00", 6));
        QVERIFY(filePass > 0);
        bytes[filePass + 6] = char(bytes[filePass + 6] ^ 1);
        reader::Document document(reader::InMemory{bytes}, {}, reader::SheetAccess::Random, kPassword);
        QCOMPARE(document.problem(), QStringLiteral("the password is wrong"));
    }

    // A FILEPASS too short for its type's fields.
    void legacyFilePassCutShort_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("XOR obfuscation") << QByteArray("\x00\x00\x01\x00", 4);
        QTest::newRow("RC4") << QByteArray("\x01\x00\x01\x00", 4);
    }
    void legacyFilePassCutShort()
    {
        QFETCH(QByteArray, body);
        const QByteArray bytes = sealedXls(body.toStdString(), [](char byte, std::size_t, std::size_t) { return byte; });
        reader::Document document(reader::InMemory{bytes}, {}, reader::SheetAccess::Random, kPassword);
        QVERIFY(!document.isPasswordProtected());
        QCOMPARE(document.sheetNames(), QStringList());
        QCOMPARE(document.problem(), QStringLiteral("the encryption header is damaged"));
    }

    void legacyLocked_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("problem");
        QTest::newRow("no password") << QString() << "a password is needed to open it";
        QTest::newRow("wrong password") << "kova-Secret" << "the password is wrong";
    }
    void legacyLocked()
    {
        QFETCH(QString, given);
        QFETCH(QString, problem);
        reader::Document document(kFixtures + "/kinds-password.xls", {}, reader::SheetAccess::Random, given);
        QVERIFY(document.isPasswordProtected());
        QVERIFY(document.opensWithPassword());
        QCOMPARE(document.sheetNames(), QStringList());
        QCOMPARE(document.problem(), problem);
    }

    // FILEPASS of kinds-password.xls rewritten: its start (after the record header) replaced.
    void legacyFilePass_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("problem");
        const QString other = "encrypted in a way this version does not read";
        QTest::newRow("unknown type") << QByteArray("\x02\x00\x01\x00\x01\x00", 6) << other;
        QTest::newRow("unknown RC4 version") << QByteArray("\x01\x00\x09\x00\x09\x00", 6) << other;
        QTest::newRow("CryptoAPI header past the record")
            << QByteArray("\x01\x00\x04\x00\x02\x00\x00\x00\x00\x00\xFF\xFF\xFF\xFF", 14)
            << "the encryption header is damaged";
        QTest::newRow("CryptoAPI header leaving no verifier")
            << QByteArray("\x01\x00\x04\x00\x02\x00\x00\x00\x00\x00\x20\x00\x00\x00", 14)
            << "the encryption header is damaged";
    }
    void legacyFilePass()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, problem);
        QByteArray bytes = fileBytes(kFixtures + "/kinds-password.xls");
        const QByteArray filePass("\x2F\x00\x36\x00\x01\x00\x01\x00\x01\x00", 10);
        QCOMPARE(bytes.count(filePass), 1);
        bytes.replace(bytes.indexOf(filePass) + 4, body.size(), body);
        reader::Document document(reader::InMemory{bytes}, {}, reader::SheetAccess::Random, kPassword);
        QVERIFY(!document.isPasswordProtected());
        QCOMPARE(document.sheetNames(), QStringList());
        QCOMPARE(document.problem(), problem);
    }

    // Sizes and counts in the headers are checked, whatever they claim.
    void damaged_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("infoAt");
        QTest::addColumn<QByteArray>("infoBytes");
        QTest::addColumn<int>("packageCut");
        QTest::addColumn<QString>("problem");
        const QString header = "the encryption header is damaged";
        QTest::newRow("package cut off") << Kind::Standard << -1 << QByteArray() << 4000
                                         << "the encrypted package is cut off";
        QTest::newRow("agile package cut off") << Kind::Agile << -1 << QByteArray() << 4000
                                               << "the encrypted package is cut off";
        QTest::newRow("package without its size") << Kind::Agile << -1 << QByteArray() << 7
                                                  << "the encrypted package is cut off";
        QTest::newRow("unknown version") << Kind::Standard << 0 << QByteArray("\x05\x00", 2) << -1
                                         << "encrypted in a way this version does not read";
        QTest::newRow("header size past the stream") << Kind::Standard << 8 << QByteArray("\xFF\xFF\xFF\xFF", 4) << -1
                                                     << header;
        QTest::newRow("header size too small") << Kind::Standard << 8 << QByteArray("\x04\x00\x00\x00", 4) << -1
                                               << header;
        QTest::newRow("RC4 instead of AES") << Kind::Standard << 20 << QByteArray("\x01\x68\x00\x00", 4) << -1
                                            << "encrypted other than with AES and SHA-1";
        QTest::newRow("verifier hash size absurd") << Kind::Standard << -2 << QByteArray("\xFF\xFF\xFF\x7F", 4) << -1
                                                   << header;
        QTest::newRow("not XML") << Kind::Agile << 60 << QByteArray("<<<<") << -1 << header;
    }
    void damaged()
    {
        QFETCH(Kind, kind);
        QFETCH(int, infoAt);
        QFETCH(QByteArray, infoBytes);
        QFETCH(int, packageCut);
        QFETCH(QString, problem);
        EncryptedStreams streams = EncryptedStreams::of(fileBytes(kFixtures + "/kinds.xlsx"), kPassword, kind);
        // -2: the verifier's hash size, 36 bytes before the stream's end.
        if (infoAt != -1)
            streams.info.replace(infoAt == -2 ? streams.info.size() - 36 : infoAt, infoBytes.size(), infoBytes);
        if (packageCut >= 0)
            streams.package.truncate(packageCut);
        reader::Document document(written(streams.file()), {}, reader::SheetAccess::Random, kPassword);
        QVERIFY(!document.isPasswordProtected());
        QCOMPARE(document.sheetNames(), QStringList());
        QCOMPARE(document.problem(), problem);
    }

    void agileXmlLimits_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("problem");
        const QString header = "the encryption header is damaged";
        QTest::newRow("spin count past ten million") << QByteArray("spinCount=\"100000\"")
                                                     << QByteArray("spinCount=\"4294967295\"") << header;
        QTest::newRow("salt size not the salt's") << QByteArray("saltSize=\"16\" saltValue=\"ERER")
                                                  << QByteArray("saltSize=\"99\" saltValue=\"ERER") << header;
        QTest::newRow("hash size not the hash's") << QByteArray("hashSize=\"64\"") << QByteArray("hashSize=\"9999\"") << header;
        QTest::newRow("key size unknown") << QByteArray("keyBits=\"256\"") << QByteArray("keyBits=\"4096\"")
                                          << "encrypted other than with AES in CBC mode and an SHA hash";
        QTest::newRow("block size absurd") << QByteArray("blockSize=\"16\"") << QByteArray("blockSize=\"65536\"")
                                           << "encrypted other than with AES in CBC mode and an SHA hash";
        QTest::newRow("no integrity") << QByteArray("<dataIntegrity ") << QByteArray("<dataIntegrityX ") << header;
        QTest::newRow("encrypted key not base64") << QByteArray("encryptedKeyValue=\"") << QByteArray("encryptedKeyValue=\"!!")
                                                  << header;
    }
    void agileXmlLimits()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, problem);
        EncryptedStreams streams = EncryptedStreams::of(fileBytes(kFixtures + "/kinds.xlsx"), kPassword, Kind::Agile);
        QVERIFY(streams.info.contains(from));
        streams.info.replace(from, to);
        reader::Document document(reader::InMemory{streams.file()}, {}, reader::SheetAccess::Random, kPassword);
        QVERIFY(!document.isPasswordProtected());
        QCOMPARE(document.problem(), problem);
    }

    // A changed byte of the encrypted package fails the HMAC before it is read.
    void integrity()
    {
        EncryptedStreams streams = EncryptedStreams::of(fileBytes(kFixtures + "/kinds.xlsx"), kPassword, Kind::Agile);
        streams.package[100] = char(streams.package[100] ^ 1);
        reader::Document document(reader::InMemory{streams.file()}, {}, reader::SheetAccess::Random, kPassword);
        QVERIFY(!document.isPasswordProtected());
        QCOMPARE(document.problem(), QStringLiteral("the encrypted package fails its integrity check"));
    }
};

QTEST_GUILESS_MAIN(TestEncryptedWorkbooks)
#include "test_encrypted_workbooks.moc"
