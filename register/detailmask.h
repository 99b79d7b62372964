#pragma once

#include "types/batchtype.h"

#include <QVector>

#include <cstring>

namespace kova {

// A detail record with what differs between two exports of the same rows
// left out: the parts that number the record or repeat the batch's header
// data. What remains is the payment itself (accounts, amount, names,
// references, routing), so two records are the same payment exactly when
// their payment parts are equal. Its bytes are the record's UTF-8 with the
// text of the type's batch fields taken out and every "|" kept.
class PaymentPart final
{
public:
    explicit PaymentPart(BatchType type);

    // Calls add(data, size) with each run of the record's bytes that belongs
    // to the payment, in order; their concatenation is the payment part. Read
    // straight from the record's bytes: every record of a full-size batch
    // passes here, and no field is copied on the way.
    template <typename Add>
    void forEachRun(const char* record, int size, Add&& add) const
    {
        const char* const end = record + size;
        const char* run = record;
        const char* field = record;
        int index = 0;
        for (int masked : m_batchFields) {
            // A sound "|"-separated record never holds "|" inside a field
            // (that is a row error), so the bars find the fields as the bank does.
            for (; index < masked; ++index) {
                const void* bar = std::memchr(field, '|', std::size_t(end - field));
                if (!bar) {
                    if (run != end)
                        add(run, int(end - run));
                    return;
                }
                field = static_cast<const char*>(bar) + 1;
            }
            const void* bar = std::memchr(field, '|', std::size_t(end - field));
            if (field != run)
                add(run, int(field - run));
            run = bar ? static_cast<const char*>(bar) : end;
        }
        if (run != end)
            add(run, int(end - run));
    }

private:
    // Ascending, each once.
    QVector<int> m_batchFields;
};

} // namespace kova
