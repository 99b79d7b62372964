#include "messagetext.h"

#include <QStringBuilder>

namespace kova {

namespace {

QString lead(const RowMessage& message)
{
    const bool error = message.severity == Severity::Error;
    return QStringLiteral("LINE ") + QString::number(message.line)
        + (error ? QStringLiteral(": Error. ") : QStringLiteral(": Warning. "));
}

} // namespace

QString htmlLine(const RowMessage& message)
{
    const MessageWords& w = message.words;
    const QString colour = message.severity == Severity::Error ? QStringLiteral("<span style=\"color:#e73d4a;\">")
                                                               : QStringLiteral("<span style=\"color:#f88021;\">");
    const QString title = w.title.isEmpty()
        ? QString()
        : QStringLiteral("<span style=\"font-weight:bold;\">") + w.title + QStringLiteral("</span>");
    return colour + lead(message) + w.before + title + w.after + QStringLiteral("</span>");
}

QStringList htmlLines(const RowMessages& messages)
{
    QStringList lines;
    lines.reserve(messages.size());
    for (const RowMessage& message : messages)
        lines.append(htmlLine(message));
    return lines;
}

QString plainLine(const RowMessage& message)
{
    // Built in one allocation: kova-export prints a line for every message
    // of a full-size batch.
    const MessageWords& w = message.words;
    return QStringLiteral("LINE ") % QString::number(message.line)
        % (message.severity == Severity::Error ? QLatin1String(": Error. ") : QLatin1String(": Warning. "))
        % w.before % w.title % w.after;
}

} // namespace kova
