#include "encryptpackage.h"

#include "reader/containers/cipher.h"
#include "testpackage.h"

#include <openssl/evp.h>

#include <memory>

namespace {

using reader::cipher::digest;

std::string bytesOf(const QByteArray& bytes) { return bytes.toStdString(); }
QByteArray bytesOf(const std::string& bytes) { return QByteArray(bytes.data(), int(bytes.size())); }

std::string utf16le(const QString& text)
{
    std::string bytes;
    for (const QChar c : text)
        bytes += std::string{char(c.unicode() & 0xFF), char(c.unicode() >> 8)};
    return bytes;
}

std::string le64(quint64 value)
{
    return reader::cipher::le32Bytes(quint32(value)) + reader::cipher::le32Bytes(quint32(value >> 32));
}

// AES without padding over data made up to whole blocks with zeros.
std::string aes(std::string_view key, std::string_view iv, std::string data)
{
    data.resize((data.size() + 15) / 16 * 16, '\0');
    const EVP_CIPHER* type = key.size() == 32 ? (iv.empty() ? EVP_aes_256_ecb() : EVP_aes_256_cbc())
                                              : (iv.empty() ? EVP_aes_128_ecb() : EVP_aes_128_cbc());
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    std::string out(data.size(), '\0');
    int written = 0;
    EVP_EncryptInit_ex(context.get(), type, nullptr, reinterpret_cast<const unsigned char*>(key.data()),
                       iv.empty() ? nullptr : reinterpret_cast<const unsigned char*>(iv.data()));
    EVP_CIPHER_CTX_set_padding(context.get(), 0);
    EVP_EncryptUpdate(context.get(), reinterpret_cast<unsigned char*>(out.data()), &written,
                      reinterpret_cast<const unsigned char*>(data.data()), int(data.size()));
    return out;
}

QByteArray base64(const std::string& bytes) { return bytesOf(bytes).toBase64(); }

EncryptedStreams agile(const std::string& package, const std::string& password)
{
    const EVP_MD* md = EVP_sha512();
    const std::string keySalt(16, '\x11'), passwordSalt(16, '\x22'), secret(32, '\x33'), hmacKey(64, '\x44');
    const std::string verifier(16, '\x55');
    const std::uint32_t spinCount = 100000;
    std::string h = digest(md, {passwordSalt, password});
    for (std::uint32_t i = 0; i < spinCount; ++i)
        h = digest(md, {reader::cipher::le32Bytes(i), h});
    const auto keyFor = [&](const char* block) { return digest(md, {h, std::string_view(block, 8)}).substr(0, 32); };

    EncryptedStreams streams;
    std::string encrypted = le64(package.size());
    for (std::size_t at = 0, segment = 0; at < package.size(); at += 4096, ++segment)
        encrypted += aes(secret, digest(md, {keySalt, reader::cipher::le32Bytes(std::uint32_t(segment))}).substr(0, 16),
                         package.substr(at, 4096));
    const std::string hmacValue = reader::cipher::hmac(md, hmacKey, encrypted);
    const auto integrityIv = [&](const char* block) { return digest(md, {keySalt, std::string_view(block, 8)}).substr(0, 16); };
    const QByteArray cipherAttributes = "blockSize=\"16\" keyBits=\"256\" hashSize=\"64\" cipherAlgorithm=\"AES\" "
                                        "cipherChaining=\"ChainingModeCBC\" hashAlgorithm=\"SHA512\" saltSize=\"16\" ";
    streams.info = QByteArray("\x04\x00\x04\x00\x40\x00\x00\x00", 8)
        + "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
          "<encryption xmlns=\"http://schemas.microsoft.com/office/2006/encryption\" "
          "xmlns:p=\"http://schemas.microsoft.com/office/2006/keyEncryptor/password\">"
          "<keyData " + cipherAttributes + "saltValue=\"" + base64(keySalt) + "\"/>"
          "<dataIntegrity encryptedHmacKey=\"" + base64(aes(secret, integrityIv("\x5F\xB2\xAD\x01\x0C\xB9\xE1\xF6"), hmacKey))
        + "\" encryptedHmacValue=\"" + base64(aes(secret, integrityIv("\xA0\x67\x7F\x02\xB2\x2C\x84\x33"), hmacValue))
        + "\"/><keyEncryptors><keyEncryptor uri=\"http://schemas.microsoft.com/office/2006/keyEncryptor/password\">"
          "<p:encryptedKey spinCount=\"" + QByteArray::number(spinCount) + "\" " + cipherAttributes
        + "saltValue=\"" + base64(passwordSalt) + "\" encryptedVerifierHashInput=\""
        + base64(aes(keyFor("\xFE\xA7\xD2\x76\x3B\x4B\x9E\x79"), passwordSalt, verifier))
        + "\" encryptedVerifierHashValue=\""
        + base64(aes(keyFor("\xD7\xAA\x0F\x6D\x30\x61\x34\x4E"), passwordSalt, digest(md, {verifier})))
        + "\" encryptedKeyValue=\"" + base64(aes(keyFor("\x14\x6E\x0B\xE7\xAB\xAC\xD0\xD6"), passwordSalt, secret))
        + "\"/></keyEncryptor></keyEncryptors></encryption>";
    streams.package = bytesOf(encrypted);
    return streams;
}

EncryptedStreams standard(const std::string& package, const std::string& password)
{
    const EVP_MD* md = EVP_sha1();
    const std::string salt(16, '\x66'), verifier(16, '\x77');
    std::string h = digest(md, {salt, password});
    for (std::uint32_t i = 0; i < 50000; ++i)
        h = digest(md, {reader::cipher::le32Bytes(i), h});
    h = digest(md, {h, reader::cipher::le32Bytes(0)});
    std::string inner(64, '\x36');
    for (std::size_t i = 0; i < h.size(); ++i)
        inner[i] = char(inner[i] ^ h[i]);
    const std::string key = digest(md, {inner}).substr(0, 16);

    const QString provider = QStringLiteral("Microsoft Enhanced RSA and AES Cryptographic Provider");
    const QByteArray name = bytesOf(utf16le(provider)) + QByteArray(2, '\0');
    const auto le32 = [](quint32 value) { return bytesOf(reader::cipher::le32Bytes(value)); };
    const QByteArray header = le32(0x24) + le32(0) + le32(0x660E) + le32(0x8004) + le32(128) + le32(0x18) + le32(0)
                              + le32(0) + name;
    EncryptedStreams streams;
    streams.info = QByteArray("\x03\x00\x02\x00", 4) + le32(0x24) + le32(quint32(header.size())) + header + le32(16)
                   + bytesOf(salt) + bytesOf(aes(key, {}, verifier)) + le32(20)
                   + bytesOf(aes(key, {}, digest(md, {verifier})));
    streams.package = bytesOf(le64(package.size()) + aes(key, {}, package));
    return streams;
}

} // namespace

EncryptedStreams EncryptedStreams::of(const QByteArray& package, const QString& password, Kind kind)
{
    return kind == Kind::Agile ? agile(bytesOf(package), utf16le(password))
                               : standard(bytesOf(package), utf16le(password));
}

QByteArray EncryptedStreams::file() const
{
    return TestPackage::compoundFileOf({{"EncryptionInfo", info}, {"EncryptedPackage", package}});
}
