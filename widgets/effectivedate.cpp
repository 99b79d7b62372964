#include "effectivedate.h"

#include <QLocale>

namespace kova {

QString effectiveDateQuestion(const QDate& effective, const QDate& today)
{
    if (!effective.isValid())
        return {};
    const QString shown = QLocale::c().toString(effective, QStringLiteral("dd MMM yyyy"));
    if (effective < today)
        return QStringLiteral("Effective date ") + shown + QStringLiteral(" is in the past. Export anyway?");
    if (effective > today.addYears(1))
        return QStringLiteral("Effective date ") + shown
            + QStringLiteral(" is more than a year ahead. Export anyway?");
    return {};
}

} // namespace kova
