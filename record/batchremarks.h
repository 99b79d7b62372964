#pragma once

#include <QString>

namespace kova {

// The two batch remarks of a fixed-width header record, checked before
// anything is read: remarks 1 first, each "Trx Remarks n is exceeding 18
// chars" before "Trx Remarks n contains invalid chars" (a character beyond
// printable ASCII, a line break included, would split or shift the header
// record). The first refusal, or empty.
QString batchRemarksRefusal(const QString& remarks1, const QString& remarks2);

} // namespace kova
