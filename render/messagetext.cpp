#include "messagetext.h"

#include <QStringBuilder>

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

namespace {

// Writes text at out, one byte a character, and tells whether that was its
// UTF-8: whether it is all ASCII. Without a branch a character; with SSE2,
// eight characters a step.
bool asciiAt(char*& out, const QString& text)
{
    const ushort* const utf16 = reinterpret_cast<const ushort*>(text.constData());
    const int size = text.size();
    int i = 0;
    bool ascii = true;
#ifdef __SSE2__
    __m128i seen = _mm_setzero_si128();
    for (; i + 8 <= size; i += 8) {
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(utf16 + i));
        seen = _mm_or_si128(seen, eight);
        // Characters beyond Latin-1 pack to other bytes; the text is then
        // written again its own way.
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(eight, eight));
    }
    const __m128i beyond = _mm_and_si128(seen, _mm_set1_epi16(short(0xFF80)));
    ascii = _mm_movemask_epi8(_mm_cmpeq_epi16(beyond, _mm_setzero_si128())) == 0xFFFF;
#endif
    ushort rest = 0;
    for (; i < size; ++i) {
        rest |= utf16[i];
        out[i] = char(utf16[i]);
    }
    out += size;
    return ascii && rest < 0x80;
}

} // namespace

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
