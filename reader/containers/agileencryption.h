#pragma once

#include "reader/containers/encryptionscheme.h"

#include <openssl/types.h>

#include <memory>

namespace reader {

// Agile encryption (EncryptionInfo 4.4): its parameters in XML, AES in CBC
// mode over 4096-byte segments, the key from a salted hash spun as often as
// the file says, and an HMAC over the encrypted package that is checked
// before a byte of it is trusted.
class AgileEncryption final : public EncryptionScheme
{
public:
    // Null with the problem noted when the XML is not one this reads; info is
    // the EncryptionInfo stream after its version and flags.
    static std::unique_ptr<AgileEncryption> parse(std::string_view info, std::string& problem);

    std::optional<std::string> key(std::string_view password) const override;
    std::optional<std::string> decrypt(std::string_view key, std::string_view encrypted,
                                       std::string& problem) const override;

    // The way a key or data is encrypted: a hash, AES of some key size, a salt.
    struct Cipher
    {
        const EVP_MD* md = nullptr;
        std::size_t hashBytes = 0;
        std::size_t keyBytes = 0;
        std::string salt;
    };

private:
    AgileEncryption() = default;

    Cipher m_data;
    std::string m_hmacKey;
    std::string m_hmacValue;
    Cipher m_password;
    std::uint32_t m_spinCount = 0;
    std::string m_verifierInput;
    std::string m_verifierHash;
    std::string m_encryptedKey;
};

} // namespace reader
