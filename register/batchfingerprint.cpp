#include "batchfingerprint.h"

#include "detailmask.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cstring>

namespace kova {

void BatchFingerprint::addDetail(const QString& record)
{
    // One digest per record keeps memory at 32 bytes a row, whatever the
    // record's width, and lets hex() order them.
    const QByteArray digest =
        QCryptographicHash::hash(paymentPart(m_type, record).toUtf8(), QCryptographicHash::Sha256);
    Digest d;
    std::memcpy(d.data(), digest.constData(), d.size());
    m_digests.push_back(d);
}

QString BatchFingerprint::hex() const
{
    std::vector<Digest> sorted = m_digests;
    std::sort(sorted.begin(), sorted.end());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const Digest& d : sorted)
        hash.addData(d.data(), int(d.size()));
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace kova
