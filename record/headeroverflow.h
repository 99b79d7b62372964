#pragma once

#include <QString>

namespace kova {

struct ExportTotals;

// The refusal when a batch does not fit its fixed-width header record, or
// empty: "Total amount does not fit the header record" when the total's text
// (two decimals with its point) is longer than totalWidth, looked at first as
// it is what the bank pays out; then "Record count exceeds 99999", the most
// the count field holds.
QString headerOverflow(const ExportTotals& totals, int totalWidth);

} // namespace kova
