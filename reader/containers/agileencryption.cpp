#include "agileencryption.h"

#include "reader/containers/cipher.h"

#include <QXmlStreamReader>

#include <openssl/evp.h>

namespace reader {

namespace {

constexpr std::size_t kBlockBytes = 16;
constexpr std::size_t kSegmentBytes = 4096;
// Office itself stays far below; a larger count would keep the reader busy for minutes.
constexpr std::uint32_t kMaxSpinCount = 10000000;
constexpr std::size_t kMaxSaltBytes = 64;
constexpr std::size_t kMaxValueBytes = 1024;

const char kPasswordEncryptor[] = "http://schemas.microsoft.com/office/2006/keyEncryptor/password";
const char kVerifierInputBlock[] = "\xFE\xA7\xD2\x76\x3B\x4B\x9E\x79";
const char kVerifierHashBlock[] = "\xD7\xAA\x0F\x6D\x30\x61\x34\x4E";
const char kKeyValueBlock[] = "\x14\x6E\x0B\xE7\xAB\xAC\xD0\xD6";
const char kHmacKeyBlock[] = "\x5F\xB2\xAD\x01\x0C\xB9\xE1\xF6";
const char kHmacValueBlock[] = "\xA0\x67\x7F\x02\xB2\x2C\x84\x33";

std::string_view block(const char (&bytes)[9]) { return std::string_view(bytes, 8); }

std::optional<std::string> base64(const QXmlStreamAttributes& attributes, const char* name)
{
    const QByteArray::FromBase64Result decoded = QByteArray::fromBase64Encoding(
        attributes.value(QLatin1String(name)).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty() || std::size_t(decoded.decoded.size()) > kMaxValueBytes)
        return std::nullopt;
    return decoded.decoded.toStdString();
}

// The attributes every cipher description carries, checked against each other.
std::optional<AgileEncryption::Cipher> cipherOf(const QXmlStreamAttributes& attributes, std::string& problem)
{
    const auto number = [&](const char* name) { return attributes.value(QLatin1String(name)).toUInt(); };
    AgileEncryption::Cipher cipher;
    cipher.md = cipher::digestNamed(attributes.value(QLatin1String("hashAlgorithm")).toString().toStdString());
    const unsigned keyBits = number("keyBits");
    if (attributes.value(QLatin1String("cipherAlgorithm")) != QLatin1String("AES")
        || attributes.value(QLatin1String("cipherChaining")) != QLatin1String("ChainingModeCBC")
        || number("blockSize") != kBlockBytes || (keyBits != 128 && keyBits != 192 && keyBits != 256) || !cipher.md) {
        problem = "encrypted other than with AES in CBC mode and an SHA hash";
        return std::nullopt;
    }
    cipher.hashBytes = std::size_t(EVP_MD_get_size(cipher.md));
    cipher.keyBytes = keyBits / 8;
    const std::optional<std::string> salt = base64(attributes, "saltValue");
    if (number("hashSize") != cipher.hashBytes || !salt || salt->size() != number("saltSize")
        || salt->size() > kMaxSaltBytes) {
        problem = "the encryption header is damaged";
        return std::nullopt;
    }
    cipher.salt = *salt;
    return cipher;
}

std::optional<std::string> decrypted(std::string_view key, std::string_view iv, const std::string& data,
                                     std::size_t bytes)
{
    std::optional<std::string> plain = cipher::aesCbcDecrypt(key, cipher::fitted(std::string(iv), kBlockBytes), data);
    if (!plain || plain->size() < bytes)
        return std::nullopt;
    plain->resize(bytes);
    return plain;
}

} // namespace

std::unique_ptr<AgileEncryption> AgileEncryption::parse(std::string_view info, std::string& problem)
{
    std::unique_ptr<AgileEncryption> scheme(new AgileEncryption);
    bool keyData = false;
    bool integrity = false;
    bool passwordKey = false;
    QXmlStreamReader xml(QByteArray::fromRawData(info.data(), int(info.size())));
    while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::Invalid) {
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        const QStringRef name = xml.name();
        if (name == QLatin1String("keyData") && !keyData) {
            const std::optional<Cipher> cipher = cipherOf(attributes, problem);
            if (!cipher)
                return nullptr;
            scheme->m_data = *cipher;
            keyData = true;
        } else if (name == QLatin1String("dataIntegrity") && !integrity) {
            const std::optional<std::string> key = base64(attributes, "encryptedHmacKey");
            const std::optional<std::string> value = base64(attributes, "encryptedHmacValue");
            if (!key || !value)
                break;
            scheme->m_hmacKey = *key;
            scheme->m_hmacValue = *value;
            integrity = true;
        } else if (name == QLatin1String("encryptedKey") && xml.namespaceUri() == QLatin1String(kPasswordEncryptor)
                   && !passwordKey) {
            const std::optional<Cipher> cipher = cipherOf(attributes, problem);
            if (!cipher)
                return nullptr;
            scheme->m_password = *cipher;
            bool counted = false;
            scheme->m_spinCount = attributes.value(QLatin1String("spinCount")).toUInt(&counted);
            const std::optional<std::string> input = base64(attributes, "encryptedVerifierHashInput");
            const std::optional<std::string> hash = base64(attributes, "encryptedVerifierHashValue");
            const std::optional<std::string> key = base64(attributes, "encryptedKeyValue");
            if (!counted || scheme->m_spinCount > kMaxSpinCount || !input || !hash || !key)
                break;
            scheme->m_verifierInput = *input;
            scheme->m_verifierHash = *hash;
            scheme->m_encryptedKey = *key;
            passwordKey = true;
        }
    }
    if (!keyData || !integrity || !passwordKey || xml.hasError()) {
        problem = "the encryption header is damaged";
        return nullptr;
    }
    problem.clear();
    return scheme;
}

std::optional<std::string> AgileEncryption::key(std::string_view password) const
{
    const Cipher& p = m_password;
    std::string h = cipher::digest(p.md, {p.salt, password});
    for (std::uint32_t i = 0; i < m_spinCount; ++i)
        h = cipher::digest(p.md, {cipher::le32Bytes(i), h});
    const auto keyFor = [&](std::string_view blockKey) {
        return cipher::fitted(cipher::digest(p.md, {h, blockKey}), p.keyBytes);
    };
    const std::optional<std::string> input = decrypted(keyFor(block(kVerifierInputBlock)), p.salt, m_verifierInput,
                                                       p.salt.size());
    const std::optional<std::string> hash = decrypted(keyFor(block(kVerifierHashBlock)), p.salt, m_verifierHash,
                                                      p.hashBytes);
    if (!input || !hash || !cipher::same(cipher::digest(p.md, {*input}), *hash))
        return std::nullopt;
    return decrypted(keyFor(block(kKeyValueBlock)), p.salt, m_encryptedKey, m_data.keyBytes);
}

std::optional<std::string> AgileEncryption::decrypt(std::string_view key, std::string_view encrypted,
                                                    std::string& problem) const
{
    const Cipher& d = m_data;
    const std::optional<std::size_t> size = declaredPackageSize(encrypted, problem);
    if (!size)
        return std::nullopt;
    const std::optional<std::string> hmacKey = decrypted(key, cipher::digest(d.md, {d.salt, block(kHmacKeyBlock)}),
                                                         m_hmacKey, d.hashBytes);
    const std::optional<std::string> hmacValue = decrypted(
        key, cipher::digest(d.md, {d.salt, block(kHmacValueBlock)}), m_hmacValue, d.hashBytes);
    if (!hmacKey || !hmacValue || !cipher::same(cipher::hmac(d.md, *hmacKey, encrypted), *hmacValue)) {
        problem = "the encrypted package fails its integrity check";
        return std::nullopt;
    }
    const std::string_view data = encrypted.substr(8);
    if (data.size() % kBlockBytes != 0) {
        problem = "the encrypted package is not whole blocks of AES";
        return std::nullopt;
    }
    std::string package;
    package.reserve(data.size());
    for (std::size_t at = 0, segment = 0; at < data.size(); at += kSegmentBytes, ++segment) {
        const std::string iv = cipher::digest(d.md, {d.salt, cipher::le32Bytes(std::uint32_t(segment))});
        const std::optional<std::string> plain = cipher::aesCbcDecrypt(
            key, cipher::fitted(iv, kBlockBytes), data.substr(at, kSegmentBytes));
        if (!plain) {
            problem = "the encrypted package cannot be decrypted";
            return std::nullopt;
        }
        package += *plain;
    }
    package.resize(*size);
    return package;
}

} // namespace reader
