#include "batchfingerprint.h"

#include "detailmask.h"

#include <openssl/sha.h>

#include <algorithm>

namespace kova {

void BatchFingerprint::addDetail(const QString& record)
{
    // One digest per record keeps memory at 32 bytes a row, whatever the
    // record's width, and lets hex() order them. OpenSSL's digest runs on the
    // processor's SHA instructions where it has them: a full-size batch
    // hashes every record once, so this is a good part of an export's time.
    const QByteArray bytes = paymentPart(m_type, record).toUtf8();
    Digest d;
    SHA256(reinterpret_cast<const unsigned char*>(bytes.constData()), size_t(bytes.size()),
           reinterpret_cast<unsigned char*>(d.data()));
    m_digests.push_back(d);
}

static_assert(sizeof(std::array<char, 32>) == 32, "digests lie end to end in the vector");

QString BatchFingerprint::hex() const
{
    std::vector<Digest> sorted = m_digests;
    std::sort(sorted.begin(), sorted.end());
    Digest whole;
    SHA256(reinterpret_cast<const unsigned char*>(sorted.data()), sorted.size() * sizeof(Digest),
           reinterpret_cast<unsigned char*>(whole.data()));
    return QString::fromLatin1(QByteArray(whole.data(), int(whole.size())).toHex());
}

} // namespace kova
