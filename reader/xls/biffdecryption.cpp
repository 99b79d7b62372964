#include "biffdecryption.h"

#include "xorobfuscation.h"

#include "reader/containers/cipher.h"

#include <openssl/evp.h>

#include <array>
#include <functional>
#include <optional>

namespace reader {

namespace {

constexpr std::size_t kBlockBytes = 1024;
const char kDefaultPassword[] = "VelvetSweatshop";

std::uint16_t le16(std::string_view bytes, std::size_t at)
{
    return std::uint16_t(std::uint8_t(bytes[at]) | std::uint8_t(bytes[at + 1]) << 8);
}

std::string utf16le(const QString& text)
{
    std::string bytes;
    // Excel takes the first 255 characters of a longer password.
    for (const QChar c : text.left(255))
        bytes += std::string{char(c.unicode() & 0xFF), char(c.unicode() >> 8)};
    return bytes;
}

// The RC4 key of each 1024-byte block for one password, and whether the
// password is the one the verifier was made with.
struct Rc4Scheme
{
    std::function<std::string(std::uint32_t block)> keyOf;
    const EVP_MD* md = nullptr;
};

// FILEPASS of RC4 1.1: MD5, a 40-bit hash spread to the key of each block.
Rc4Scheme plainRc4(std::string_view salt, const std::string& password)
{
    const std::string truncated = cipher::digest(EVP_md5(), {password}).substr(0, 5);
    std::string spread;
    for (int i = 0; i < 16; ++i)
        spread += truncated + std::string(salt);
    const std::string base = cipher::digest(EVP_md5(), {spread}).substr(0, 5);
    return {[base](std::uint32_t block) { return cipher::digest(EVP_md5(), {base, cipher::le32Bytes(block)}); },
            EVP_md5()};
}

// FILEPASS of RC4 CryptoAPI: SHA-1, a key of keyBits (40 of them padded to 128).
Rc4Scheme cryptoApiRc4(std::string_view salt, const std::string& password, std::size_t keyBits)
{
    const std::string base = cipher::digest(EVP_sha1(), {salt, password});
    return {[base, keyBits](std::uint32_t block) {
                std::string key = cipher::digest(EVP_sha1(), {base, cipher::le32Bytes(block)}).substr(0, keyBits / 8);
                if (keyBits == 40)
                    key.resize(16, '\0');
                return key;
            },
            EVP_sha1()};
}

// The records Excel writes in the clear in an encrypted stream.
bool inTheClear(std::uint16_t type)
{
    switch (type) {
    case 0x0809:   // BOF
    case 0x002F:   // FILEPASS
    case 0x0194:   // USREXCL
    case 0x0195:   // FILELOCK
    case 0x00E1:   // INTERFACEHDR
    case 0x0196:   // RRDINFO
    case 0x0138:   // RRDHEAD
        return true;
    default:
        return false;
    }
}

// Calls decode(p, length) for each byte p the encryption covers: the
// bodies of the records after from, length each, but for the records and
// the field left in the clear. False when decode fails.
template <typename Decode>
bool decodeRecords(const std::string& stream, std::size_t from, Decode decode)
{
    for (std::size_t at = from; at + 4 <= stream.size();) {
        const std::uint16_t type = le16(stream, at);
        const std::size_t length = le16(stream, at + 2);
        const std::size_t end = std::min(stream.size(), at + 4 + length);
        // The sheet's offset in BOUNDSHEET is left in the clear for the reader to seek by.
        const std::size_t first = at + 4 + (type == 0x0085 ? 4 : 0);
        if (!inTheClear(type))
            for (std::size_t p = first; p < end; ++p)
                if (!decode(p, length))
                    return false;
        at = end;
    }
    return true;
}

bool decryptRecords(std::string& stream, std::size_t from, const Rc4Scheme& scheme)
{
    std::uint32_t block = UINT32_MAX;
    std::string keystream;
    return decodeRecords(stream, from, [&](std::size_t p, std::size_t) {
        if (p / kBlockBytes != block) {
            block = std::uint32_t(p / kBlockBytes);
            const std::optional<std::string> next = cipher::rc4Keystream(scheme.keyOf(block), kBlockBytes);
            if (!next)
                return false;
            keystream = *next;
        }
        stream[p] = char(stream[p] ^ keystream[p % kBlockBytes]);
        return true;
    });
}

// FILEPASS type 0: the key and the verifier of the password, each checked;
// every byte XORed with the array at (its offset + its record's length) % 16,
// then rotated right by five bits.
BiffUnlock unobfuscate(std::string& stream, std::size_t from, std::string_view filePass, const QString& password)
{
    if (filePass.size() < 6)
        return BiffUnlock::Damaged;
    const auto fits = [&](const std::string& bytes) {
        return xorobfuscation::key(bytes) == le16(filePass, 2) && xorobfuscation::verifier(bytes) == le16(filePass, 4);
    };
    std::string bytes = xorobfuscation::passwordBytes(QLatin1String(kDefaultPassword));
    if (!fits(bytes)) {
        if (password.isEmpty())
            return BiffUnlock::PasswordNeeded;
        bytes = xorobfuscation::passwordBytes(password);
        if (!fits(bytes))
            return BiffUnlock::WrongPassword;
    }
    const std::array<std::uint8_t, 16> array = xorobfuscation::xorArray(bytes);
    decodeRecords(stream, from, [&](std::size_t p, std::size_t length) {
        const std::uint8_t mixed = std::uint8_t(stream[p]) ^ array[(p + length) % 16];
        stream[p] = char(mixed >> 5 | mixed << 3);
        return true;
    });
    return BiffUnlock::Opened;
}

// The scheme when password is the one FILEPASS was saved with; nullopt
// with failure noted when it is not, or FILEPASS cannot be read.
std::optional<Rc4Scheme> verified(std::string_view filePass, const std::string& password, BiffUnlock& failure)
{
    const std::uint16_t major = le16(filePass, 2);
    const std::uint16_t minor = le16(filePass, 4);
    std::optional<Rc4Scheme> scheme;
    // The verifier and its hash, one run of RC4 under the key of block 0.
    std::string sealed;
    failure = BiffUnlock::Damaged;
    if (major == 1 && minor == 1) {
        if (filePass.size() < 6 + 48)
            return std::nullopt;
        scheme = plainRc4(filePass.substr(6, 16), password);
        sealed = std::string(filePass.substr(22, 32));
    } else if (major >= 2 && major <= 4 && minor == 2) {
        // Flags, the header's size, the header (key bits at 16), then salt
        // size, salt, verifier, hash size, hash.
        if (filePass.size() < 14)
            return std::nullopt;
        const std::size_t headerSize = cipher::le32(filePass, 10);
        if (headerSize < 32 || headerSize > filePass.size() - 14 || filePass.size() - 14 - headerSize < 60)
            return std::nullopt;
        const std::size_t v = 14 + headerSize;
        if (cipher::le32(filePass, v) != 16 || cipher::le32(filePass, v + 36) != 20)
            return std::nullopt;
        std::size_t keyBits = cipher::le32(filePass, 14 + 16);
        keyBits = keyBits == 0 ? 40 : keyBits;
        if (keyBits < 40 || keyBits > 128 || keyBits % 8 != 0) {
            failure = BiffUnlock::Unsupported;
            return std::nullopt;
        }
        scheme = cryptoApiRc4(filePass.substr(v + 4, 16), password, keyBits);
        sealed = std::string(filePass.substr(v + 20, 16)) + std::string(filePass.substr(v + 40, 20));
    } else {
        failure = BiffUnlock::Unsupported;
        return std::nullopt;
    }
    const std::optional<std::string> keystream = cipher::rc4Keystream(scheme->keyOf(0), sealed.size());
    if (!keystream) {
        failure = BiffUnlock::Unsupported;
        return std::nullopt;
    }
    for (std::size_t i = 0; i < sealed.size(); ++i)
        sealed[i] = char(sealed[i] ^ (*keystream)[i]);
    failure = BiffUnlock::WrongPassword;
    if (!cipher::same(cipher::digest(scheme->md, {std::string_view(sealed).substr(0, 16)}), sealed.substr(16)))
        return std::nullopt;
    return scheme;
}

} // namespace

BiffUnlock decryptBiff(std::string& stream, std::size_t from, std::string_view filePass, const QString& password)
{
    if (filePass.size() < 2)
        return BiffUnlock::Damaged;
    if (le16(filePass, 0) == 0)
        return unobfuscate(stream, from, filePass, password);
    if (le16(filePass, 0) != 1)
        return BiffUnlock::Unsupported;
    if (filePass.size() < 6)
        return BiffUnlock::Damaged;
    BiffUnlock failure = BiffUnlock::WrongPassword;
    std::optional<Rc4Scheme> scheme = verified(filePass, utf16le(QLatin1String(kDefaultPassword)), failure);
    if (!scheme && failure == BiffUnlock::WrongPassword && !password.isEmpty())
        scheme = verified(filePass, utf16le(password), failure);
    if (!scheme)
        return failure == BiffUnlock::WrongPassword && password.isEmpty() ? BiffUnlock::PasswordNeeded : failure;
    return decryptRecords(stream, from, *scheme) ? BiffUnlock::Opened : BiffUnlock::Unsupported;
}

} // namespace reader
