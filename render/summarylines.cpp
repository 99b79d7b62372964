#include "summarylines.h"

namespace kova {

QStringList summaryLines(const Summary& s)
{
    return {
        QStringLiteral("Total rows processed: ") + QString::number(s.processedRows) + QStringLiteral(" of ")
            + QString::number(s.dataRows),
        QStringLiteral("Total amounts: ") + displayAmount(s.total),
        QStringLiteral("Total warnings: ") + QString::number(s.warnings),
        QStringLiteral("Total errors: ") + QString::number(s.errors),
    };
}

} // namespace kova
