#include "batchfingerprint.h"

#include <openssl/evp.h>

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace kova {
namespace {

static_assert(sizeof(std::array<char, 32>) == 32, "digests lie end to end in the vector");

// Byte-wise signed comparison, eight bytes at a time: with each byte's sign
// bit flipped, big-endian words order as the signed bytes do.
bool signedBytesBefore(const std::array<char, 32>& a, const std::array<char, 32>& b)
{
    constexpr quint64 signBits = 0x8080808080808080ULL;
    for (std::size_t i = 0; i < a.size(); i += 8) {
        const quint64 x = qFromBigEndian<quint64>(a.data() + i) ^ signBits;
        const quint64 y = qFromBigEndian<quint64>(b.data() + i) ^ signBits;
        if (x != y)
            return x < y;
    }
    return false;
}

} // namespace

void BatchFingerprint::DigestFree::operator()(evp_md_st* digest) const
{
    EVP_MD_free(digest);
}

void BatchFingerprint::DigestFree::operator()(evp_md_ctx_st* context) const
{
    EVP_MD_CTX_free(context);
}

BatchFingerprint::BatchFingerprint(BatchType type)
    : m_paymentPart(type), m_sha256(EVP_MD_fetch(nullptr, "SHA256", nullptr)), m_context(EVP_MD_CTX_new())
{
}

BatchFingerprint::~BatchFingerprint() = default;

void BatchFingerprint::addDetail(const char* record, int size)
{
    // One digest per record keeps memory at 32 bytes a row, whatever the
    // record's width, and lets hex() order them.
    Digest d;
    bool hashed = m_sha256 && m_context && EVP_DigestInit_ex(m_context.get(), m_sha256.get(), nullptr) == 1;
    m_paymentPart.forEachRun(record, size, [&](const char* run, int length) {
        hashed = hashed && EVP_DigestUpdate(m_context.get(), run, std::size_t(length)) == 1;
    });
    if (!hashed || EVP_DigestFinal_ex(m_context.get(), reinterpret_cast<unsigned char*>(d.data()), nullptr) != 1)
        qFatal("SHA-256 is not available");
    m_digests.push_back(d);
    m_hex.clear();
}

QString BatchFingerprint::hex() const
{
    if (!m_hex.isEmpty())
        return m_hex;
    // A lambda, so that the comparison is inlined into the sort.
    std::sort(m_digests.begin(), m_digests.end(), [](const Digest& a, const Digest& b) { return signedBytesBefore(a, b); });
    Digest whole;
    if (EVP_Digest(m_digests.data(), m_digests.size() * sizeof(Digest), reinterpret_cast<unsigned char*>(whole.data()),
                   nullptr, m_sha256.get(), nullptr) != 1)
        qFatal("SHA-256 is not available");
    m_hex = QString::fromLatin1(QByteArray(whole.data(), int(whole.size())).toHex());
    return m_hex;
}

} // namespace kova
