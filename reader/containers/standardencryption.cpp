#include "standardencryption.h"

#include "reader/containers/cipher.h"

#include <openssl/evp.h>

namespace reader {

namespace {

constexpr std::uint32_t kCryptoApi = 0x04;
constexpr std::uint32_t kAes = 0x20;
constexpr std::size_t kSha1Bytes = 20;
constexpr int kSpinCount = 50000;

} // namespace

std::unique_ptr<StandardEncryption> StandardEncryption::parse(std::string_view info, std::string& problem)
{
    using cipher::le32;
    problem = "the encryption header is damaged";
    // Flags, then the header's size, the header, and the verifier after it.
    if (info.size() < 8)
        return nullptr;
    const std::uint32_t flags = le32(info, 0);
    const std::uint32_t headerSize = le32(info, 4);
    if (headerSize < 32 || headerSize > info.size() - 8)
        return nullptr;
    const std::string_view header = info.substr(8, headerSize);
    const std::string_view verifier = info.substr(8 + headerSize);
    const std::uint32_t algorithm = le32(header, 8);
    const std::uint32_t hash = le32(header, 12);
    const std::uint32_t keyBits = le32(header, 16);
    const bool aes = (flags & kCryptoApi) && (flags & kAes)
                     && ((algorithm == 0x660E && keyBits == 128) || (algorithm == 0x660F && keyBits == 192)
                         || (algorithm == 0x6610 && keyBits == 256) || (algorithm == 0 && keyBits == 128));
    if (!aes || (hash != 0x8004 && hash != 0)) {
        problem = "encrypted other than with AES and SHA-1";
        return nullptr;
    }
    // Salt size, salt, encrypted verifier, hash size, encrypted hash (two AES blocks).
    if (verifier.size() < 4 + 16 + 16 + 4 + 32 || le32(verifier, 0) != 16 || le32(verifier, 36) != kSha1Bytes)
        return nullptr;
    std::unique_ptr<StandardEncryption> scheme(new StandardEncryption);
    scheme->m_keyBytes = keyBits / 8;
    scheme->m_salt = std::string(verifier.substr(4, 16));
    scheme->m_verifier = std::string(verifier.substr(20, 16));
    scheme->m_verifierHash = std::string(verifier.substr(40, 32));
    problem.clear();
    return scheme;
}

std::optional<std::string> StandardEncryption::key(std::string_view password) const
{
    std::string h = cipher::digest(EVP_sha1(), {m_salt, password});
    for (int i = 0; i < kSpinCount; ++i)
        h = cipher::digest(EVP_sha1(), {cipher::le32Bytes(std::uint32_t(i)), h});
    h = cipher::digest(EVP_sha1(), {h, cipher::le32Bytes(0)});
    // The hash made up to a key the way CryptDeriveKey does it.
    std::string inner(64, '\x36');
    std::string outer(64, '\x5C');
    for (std::size_t i = 0; i < h.size(); ++i) {
        inner[i] = char(inner[i] ^ h[i]);
        outer[i] = char(outer[i] ^ h[i]);
    }
    const std::string key = (cipher::digest(EVP_sha1(), {inner}) + cipher::digest(EVP_sha1(), {outer})).substr(0, m_keyBytes);
    const std::optional<std::string> verifier = cipher::aesEcbDecrypt(key, m_verifier);
    const std::optional<std::string> verifierHash = cipher::aesEcbDecrypt(key, m_verifierHash);
    if (!verifier || !verifierHash
        || !cipher::same(cipher::digest(EVP_sha1(), {*verifier}), std::string_view(*verifierHash).substr(0, kSha1Bytes)))
        return std::nullopt;
    return key;
}

std::optional<std::string> StandardEncryption::decrypt(std::string_view key, std::string_view encrypted,
                                                       std::string& problem) const
{
    const std::optional<std::size_t> size = declaredPackageSize(encrypted, problem);
    if (!size)
        return std::nullopt;
    std::optional<std::string> package = cipher::aesEcbDecrypt(key, encrypted.substr(8));
    if (!package) {
        problem = "the encrypted package is not whole blocks of AES";
        return std::nullopt;
    }
    package->resize(*size);
    return package;
}

} // namespace reader
