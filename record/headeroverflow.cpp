#include "headeroverflow.h"

#include "rowcontext.h"
#include "money.h"

namespace kova {

QString headerOverflow(const ExportTotals& totals, int totalWidth)
{
    if (fixedText(totals.total).size() > totalWidth)
        return QStringLiteral("Total amount does not fit the header record");
    if (totals.count > 99999)
        return QStringLiteral("Record count exceeds 99999");
    return {};
}

} // namespace kova
