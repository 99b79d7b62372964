#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace reader {

// One way Office encrypts a package, as its EncryptionInfo stream describes
// it: the key a password gives, checked against the stored verifier, and the
// EncryptedPackage stream decrypted with it.
class EncryptionScheme
{
public:
    virtual ~EncryptionScheme() = default;
    // The key the password (UTF-16LE) unlocks; nullopt when it is not the password.
    virtual std::optional<std::string> key(std::string_view password) const = 0;
    // The package, or nullopt with why in problem; encrypted is the whole
    // EncryptedPackage stream, its size field first.
    virtual std::optional<std::string> decrypt(std::string_view key, std::string_view encrypted,
                                               std::string& problem) const = 0;
};

// The size the EncryptedPackage stream declares, checked against what the
// stream holds; nullopt with the problem noted when it claims more.
std::optional<std::size_t> declaredPackageSize(std::string_view encrypted, std::string& problem);

} // namespace reader
