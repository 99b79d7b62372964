#include "cipher.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/provider.h>

#include <climits>
#include <memory>

namespace reader::cipher {

namespace {

struct ContextFree
{
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};

std::optional<std::string> aesDecrypt(bool cbc, std::string_view key, std::string_view iv, std::string_view data)
{
    const EVP_CIPHER* type = nullptr;
    switch (key.size()) {
    case 16: type = cbc ? EVP_aes_128_cbc() : EVP_aes_128_ecb(); break;
    case 24: type = cbc ? EVP_aes_192_cbc() : EVP_aes_192_ecb(); break;
    case 32: type = cbc ? EVP_aes_256_cbc() : EVP_aes_256_ecb(); break;
    default: return std::nullopt;
    }
    if (data.size() % 16 != 0 || (cbc && iv.size() != 16) || data.size() > std::size_t(INT_MAX))
        return std::nullopt;
    std::unique_ptr<EVP_CIPHER_CTX, ContextFree> context(EVP_CIPHER_CTX_new());
    std::string out(data.size(), '\0');
    int written = 0;
    if (!context
        || EVP_DecryptInit_ex(context.get(), type, nullptr, reinterpret_cast<const unsigned char*>(key.data()),
                              cbc ? reinterpret_cast<const unsigned char*>(iv.data()) : nullptr) != 1
        || EVP_CIPHER_CTX_set_padding(context.get(), 0) != 1
        || EVP_DecryptUpdate(context.get(), reinterpret_cast<unsigned char*>(out.data()), &written,
                             reinterpret_cast<const unsigned char*>(data.data()), int(data.size())) != 1
        || std::size_t(written) != data.size())
        return std::nullopt;
    return out;
}

// RC4 lives in OpenSSL's legacy provider, loaded here into a context of its
// own so that nothing else in the process sees legacy algorithms.
EVP_CIPHER* legacyRc4()
{
    static EVP_CIPHER* const rc4 = [] {
        OSSL_LIB_CTX* context = OSSL_LIB_CTX_new();
        return context && OSSL_PROVIDER_load(context, "legacy") ? EVP_CIPHER_fetch(context, "RC4", nullptr) : nullptr;
    }();
    return rc4;
}

} // namespace

std::optional<std::string> rc4Keystream(std::string_view key, std::size_t length)
{
    EVP_CIPHER* rc4 = legacyRc4();
    std::unique_ptr<EVP_CIPHER_CTX, ContextFree> context(EVP_CIPHER_CTX_new());
    const std::string zeros(length, '\0');
    std::string out(length, '\0');
    int written = 0;
    if (!rc4 || !context || length > std::size_t(INT_MAX) || key.empty()
        || EVP_DecryptInit_ex2(context.get(), rc4, nullptr, nullptr, nullptr) != 1
        || EVP_CIPHER_CTX_set_key_length(context.get(), int(key.size())) != 1
        || EVP_DecryptInit_ex2(context.get(), nullptr, reinterpret_cast<const unsigned char*>(key.data()), nullptr,
                               nullptr) != 1
        || EVP_DecryptUpdate(context.get(), reinterpret_cast<unsigned char*>(out.data()), &written,
                             reinterpret_cast<const unsigned char*>(zeros.data()), int(length)) != 1
        || std::size_t(written) != length)
        return std::nullopt;
    return out;
}

const EVP_MD* digestNamed(std::string_view name)
{
    if (name == "SHA1")
        return EVP_sha1();
    if (name == "SHA256")
        return EVP_sha256();
    if (name == "SHA384")
        return EVP_sha384();
    if (name == "SHA512")
        return EVP_sha512();
    return nullptr;
}

std::string digest(const EVP_MD* md, std::initializer_list<std::string_view> parts)
{
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!context || EVP_DigestInit_ex(context.get(), md, nullptr) != 1)
        throw std::bad_alloc();
    for (std::string_view part : parts)
        EVP_DigestUpdate(context.get(), part.data(), part.size());
    if (EVP_DigestFinal_ex(context.get(), out, &length) != 1)
        throw std::bad_alloc();
    return std::string(reinterpret_cast<const char*>(out), length);
}

std::string hmac(const EVP_MD* md, std::string_view key, std::string_view data)
{
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!HMAC(md, key.data(), int(key.size()), reinterpret_cast<const unsigned char*>(data.data()), data.size(), out,
              &length))
        throw std::bad_alloc();
    return std::string(reinterpret_cast<const char*>(out), length);
}

std::optional<std::string> aesCbcDecrypt(std::string_view key, std::string_view iv, std::string_view data)
{
    return aesDecrypt(true, key, iv, data);
}

std::optional<std::string> aesEcbDecrypt(std::string_view key, std::string_view data)
{
    return aesDecrypt(false, key, {}, data);
}

std::string fitted(std::string bytes, std::size_t size)
{
    bytes.resize(size, '\x36');
    return bytes;
}

bool same(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

std::uint32_t le32(std::string_view bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | std::uint8_t(bytes[at + std::size_t(i)]);
    return value;
}

std::string le32Bytes(std::uint32_t value)
{
    return std::string{char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
}

} // namespace reader::cipher
