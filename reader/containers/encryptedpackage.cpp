#include "encryptedpackage.h"

#include "reader/containers/agileencryption.h"
#include "reader/containers/cipher.h"
#include "reader/containers/compoundfile.h"
#include "reader/containers/standardencryption.h"

#include <climits>

namespace reader {

namespace {

// The XML of agile encryption is a few kilobytes.
constexpr std::size_t kMaxInfoBytes = 64 * 1024;
const char kDefaultPassword[] = "VelvetSweatshop";

std::string utf16le(const QString& text)
{
    std::string bytes;
    bytes.reserve(std::size_t(text.size()) * 2);
    for (const QChar c : text) {
        bytes.push_back(char(c.unicode() & 0xFF));
        bytes.push_back(char(c.unicode() >> 8));
    }
    return bytes;
}

std::unique_ptr<EncryptionScheme> schemeOf(std::string_view info, std::string& problem)
{
    if (info.size() < 8) {
        problem = "the encryption header is damaged";
        return nullptr;
    }
    const std::uint32_t version = cipher::le32(info, 0);
    if (version == 0x00040004)
        return AgileEncryption::parse(info.substr(8), problem);
    if ((version & 0xFFFF0000) == 0x00020000 && (version & 0xFFFF) >= 2 && (version & 0xFFFF) <= 4)
        return StandardEncryption::parse(info.substr(4), problem);
    problem = "encrypted in a way this version does not read";
    return nullptr;
}

} // namespace

std::optional<std::size_t> declaredPackageSize(std::string_view encrypted, std::string& problem)
{
    if (encrypted.size() < 8) {
        problem = "the encrypted package is cut off";
        return std::nullopt;
    }
    const std::uint64_t declared = std::uint64_t(cipher::le32(encrypted, 4)) << 32 | cipher::le32(encrypted, 0);
    if (declared > encrypted.size() - 8) {
        problem = "the encrypted package is cut off";
        return std::nullopt;
    }
    return std::size_t(declared);
}

bool isEncryptedPackage(const char* data, std::size_t size)
{
    return holdsCompoundStream(data, size, "EncryptionInfo") && holdsCompoundStream(data, size, "EncryptedPackage");
}

UnlockedPackage unlockPackage(const char* data, std::size_t size, const QString& password)
{
    UnlockedPackage unlocked;
    std::string info;
    std::string encrypted;
    if (!readCompoundStream(data, size, "EncryptionInfo", info) || info.size() > kMaxInfoBytes
        || !readCompoundStream(data, size, "EncryptedPackage", encrypted)) {
        unlocked.problem = "the encrypted package is damaged";
        return unlocked;
    }
    const std::unique_ptr<EncryptionScheme> scheme = schemeOf(info, unlocked.problem);
    if (!scheme)
        return unlocked;
    std::optional<std::string> key = scheme->key(utf16le(QLatin1String(kDefaultPassword)));
    if (!key && !password.isEmpty())
        key = scheme->key(utf16le(password));
    if (!key) {
        unlocked.outcome = password.isEmpty() ? UnlockedPackage::Outcome::PasswordNeeded
                                              : UnlockedPackage::Outcome::WrongPassword;
        return unlocked;
    }
    std::optional<std::string> package = scheme->decrypt(*key, encrypted, unlocked.problem);
    if (!package)
        return unlocked;
    if (package->size() > std::size_t(INT_MAX)) {
        unlocked.problem = "the package is larger than 2 GiB";
        return unlocked;
    }
    encrypted = std::string();
    unlocked.package = QByteArray(package->data(), int(package->size()));
    unlocked.outcome = UnlockedPackage::Outcome::Opened;
    return unlocked;
}

} // namespace reader
