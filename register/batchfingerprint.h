#pragma once

#include "batchtype.h"

#include <QString>

#include <array>
#include <vector>

namespace kova {

// What a batch pays, as one hash: SHA-256 over the payment parts of its
// detail records (see paymentPart), taken as a set with repeats. The same
// payments in any order give the same fingerprint, because the bank pays each
// record whatever its place and re-sorting a sheet must not make a batch new;
// one payment more, less or different in any field gives another. Feed the
// detail records only, never the header record.
class BatchFingerprint final
{
public:
    explicit BatchFingerprint(BatchType type) : m_type(type) {}

    // One detail record, without its line feed.
    void addDetail(const QString& record);

    int records() const { return int(m_digests.size()); }
    // 64 lower-case hex digits.
    QString hex() const;

private:
    using Digest = std::array<char, 32>;

    BatchType m_type;
    std::vector<Digest> m_digests;
};

} // namespace kova
