#pragma once

#include "detailmask.h"

#include "types/batchtype.h"

#include <QString>

#include <array>
#include <memory>
#include <vector>

struct evp_md_ctx_st;
struct evp_md_st;

namespace kova {

// What a batch pays, as one hash: SHA-256 over the payment parts of its
// detail records (see PaymentPart), taken as a set with repeats. The same
// payments in any order give the same fingerprint, because the bank pays each
// record whatever its place and re-sorting a sheet must not make a batch new;
// one payment more, less or different in any field gives another. Feed the
// detail records only, never the header record.
class BatchFingerprint final
{
public:
    explicit BatchFingerprint(BatchType type);
    ~BatchFingerprint();

    // One detail record as UTF-8, without its line feed.
    void addDetail(const char* record, int size);

    int records() const { return int(m_digests.size()); }
    // 64 lower-case hex digits.
    QString hex() const;

private:
    // Ordered as signed chars compare, the order the stored fingerprints were
    // taken in.
    using Digest = std::array<char, 32>;
    struct DigestFree
    {
        void operator()(evp_md_st* digest) const;
        void operator()(evp_md_ctx_st* context) const;
    };

    PaymentPart m_paymentPart;
    // SHA-256 looked up once and one digest context for every record: either
    // costs more than hashing a record.
    std::unique_ptr<evp_md_st, DigestFree> m_sha256;
    std::unique_ptr<evp_md_ctx_st, DigestFree> m_context;
    // Their order is no part of the fingerprint: hex() sorts them in place
    // rather than holding a sorted copy of a full-size batch's digests.
    mutable std::vector<Digest> m_digests;
    // Asked for before and after the settings lock and when recorded: a
    // full-size batch's digests are sorted and hashed once.
    mutable QString m_hex;
};

} // namespace kova
