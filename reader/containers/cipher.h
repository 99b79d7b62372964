#pragma once

#include <openssl/types.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace reader {

// The few OpenSSL primitives an encrypted workbook is opened with, over
// bytes held in std::string. A wrong length yields nullopt, never a read past
// the bytes given.
namespace cipher {

// The digest Office names "SHA1", "SHA256", "SHA384" or "SHA512"; null for any other.
const EVP_MD* digestNamed(std::string_view name);
std::string digest(const EVP_MD* md, std::initializer_list<std::string_view> parts);
std::string hmac(const EVP_MD* md, std::string_view key, std::string_view data);
// AES without padding: data must be whole blocks, key 16, 24 or 32 bytes, iv
// one block (CBC only).
std::optional<std::string> aesCbcDecrypt(std::string_view key, std::string_view iv, std::string_view data);
std::optional<std::string> aesEcbDecrypt(std::string_view key, std::string_view data);
// The first length bytes RC4 gives under key (what XORs with the text);
// nullopt where OpenSSL's legacy provider, which holds RC4, is not installed.
std::optional<std::string> rc4Keystream(std::string_view key, std::size_t length);
// The bytes cut to size, or made up to it with 0x36, as Office fits a hash
// to a key or an initialization vector.
std::string fitted(std::string bytes, std::size_t size);
// Equal in constant time.
bool same(std::string_view a, std::string_view b);
std::uint32_t le32(std::string_view bytes, std::size_t at);
std::string le32Bytes(std::uint32_t value);

} // namespace cipher

} // namespace reader
