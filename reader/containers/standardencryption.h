#pragma once

#include "reader/containers/encryptionscheme.h"

#include <memory>

namespace reader {

// Standard encryption (EncryptionInfo 2.2, 3.2 or 4.2): AES in ECB mode
// under a key from SHA-1, spun 50,000 times.
class StandardEncryption final : public EncryptionScheme
{
public:
    // Null with the problem noted when the header is not one this reads;
    // info is the EncryptionInfo stream after its version.
    static std::unique_ptr<StandardEncryption> parse(std::string_view info, std::string& problem);

    std::optional<std::string> key(std::string_view password) const override;
    std::optional<std::string> decrypt(std::string_view key, std::string_view encrypted,
                                       std::string& problem) const override;

private:
    StandardEncryption() = default;

    std::size_t m_keyBytes = 16;
    std::string m_salt;
    std::string m_verifier;
    std::string m_verifierHash;
};

} // namespace reader
