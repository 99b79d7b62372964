#include "headeroverflow.h"

#include "rowcontext.h"
#include "money.h"

namespace kova {

namespace {

// fixedText(total).size(), without the text: the check runs after every row
// of a batch that may still be written.
int fixedTextSize(Cents total)
{
    const unsigned __int128 magnitude =
        total < 0 ? static_cast<unsigned __int128>(-(total + 1)) + 1 : static_cast<unsigned __int128>(total);
    // Powers of ten rather than divisions: no 128-bit division a row. The
    // largest magnitude has 39 digits, and the power past it wraps unused.
    int digits = 0;
    for (unsigned __int128 power = 1; digits < 39 && power <= magnitude; power *= 10)
        ++digits;
    return (total < 0 ? 1 : 0) + qMax(digits, 3) + 1;
}

} // namespace

QString headerOverflow(const ExportTotals& totals, int totalWidth)
{
    if (fixedTextSize(totals.total) > totalWidth)
        return QStringLiteral("Total amount does not fit the header record");
    if (totals.count > 99999)
        return QStringLiteral("Record count exceeds 99999");
    return {};
}

} // namespace kova
