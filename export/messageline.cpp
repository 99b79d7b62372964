#include "messageline.h"

namespace kova {

QString errorLine(int line, const QString& tail)
{
    return QStringLiteral("<span style=\"color:#e73d4a;\">LINE ") + QString::number(line) + tail;
}

QString warningLine(int line, const QString& tail)
{
    return QStringLiteral("<span style=\"color:#f88021;\">LINE ") + QString::number(line) + tail;
}

QString bold(const QString& title)
{
    return QStringLiteral("<span style=\"font-weight:bold;\">") + title + QStringLiteral("</span>");
}

QString truncatedTail(const QString& title, int width)
{
    return QStringLiteral(": Warning. String truncated in ") + bold(title) + QStringLiteral(". Exceeding ")
        + QString::number(width) + QStringLiteral(" characters</span>");
}

QString invalidCharactersTail(const QString& title)
{
    return QStringLiteral(": Error. Invalid characters found in ") + bold(title) + QStringLiteral("</span>");
}

} // namespace kova
