#include "messagetext.h"

#include "record/utf8block.h"

#include <QStringBuilder>

#include <algorithm>
#include <cstring>

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

void appendPlainLine(QByteArray& lines, const RowMessage& message)
{
    // Every line of a full-size batch goes through here: the usual all-ASCII
    // line is written straight into the block, without a string in between.
    const MessageWords& w = message.words;
    char number[16];
    char* const numberEnd = number + sizeof number;
    char* first = numberEnd;
    // A line number is never negative.
    for (unsigned rest = unsigned(message.line); first == numberEnd || rest > 0; rest /= 10)
        *--first = char('0' + rest % 10);
    const int digits = int(numberEnd - first);
    const char* const severity = message.severity == Severity::Error ? ": Error. " : ": Warning. ";
    const int severityLength = int(std::strlen(severity));
    const int at = lines.size();
    lines.resize(at + 5 + digits + severityLength + w.before.size() + w.title.size() + w.after.size() + 1);
    char* out = lines.data() + at;
    out = std::copy_n("LINE ", 5, out);
    out = std::copy_n(first, digits, out);
    out = std::copy_n(severity, severityLength, out);
    if (!asciiAt(out, w.before) || !asciiAt(out, w.title) || !asciiAt(out, w.after)) {
        lines.resize(at);
        lines += plainLine(message).toUtf8();
        lines += '\n';
        return;
    }
    *out = '\n';
}

} // namespace kova
