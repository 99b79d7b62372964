#include "amounttext.h"

namespace kova {
namespace {

// The text without the white space around it, as pointers into it: a full-size
// export reads a million amount cells, and most need no copy at all.
struct Span
{
    const QChar* begin;
    const QChar* end;
};

Span trimmed(const QString& text)
{
    Span span{text.constData(), text.constData() + text.size()};
    while (span.begin != span.end && span.begin->isSpace())
        ++span.begin;
    while (span.end != span.begin && span.end[-1].isSpace())
        --span.end;
    return span;
}

bool isDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }
bool isSeparator(QChar c) { return c.unicode() == '.' || c.unicode() == ','; }

bool hasSeparator(Span span)
{
    for (const QChar* p = span.begin; p != span.end; ++p)
        if (isSeparator(*p))
            return true;
    return false;
}

char16_t markCharacter(DecimalMark mark) { return mark == DecimalMark::Dot ? '.' : ','; }
char16_t groupCharacter(DecimalMark mark) { return mark == DecimalMark::Dot ? ',' : '.'; }

// Whether the span is an amount written with mark as the decimal mark and
// group as the thousands separator.
bool isAmount(Span span, char16_t mark, char16_t group)
{
    const QChar* p = span.begin;
    if (p != span.end && (p->unicode() == '+' || p->unicode() == '-'))
        ++p;

    // The whole part: when grouped, a first group of one to three digits that
    // does not begin with 0 ("0.500" is never five hundred), then groups of three.
    int digits = 0;
    int run = 0;
    bool grouped = false;
    for (; p != span.end; ++p) {
        if (isDigit(*p)) {
            ++run;
            ++digits;
        } else if (p->unicode() == group) {
            const bool fits = grouped ? run == 3 : run >= 1 && run <= 3 && p[-run].unicode() != '0';
            if (!fits)
                return false;
            grouped = true;
            run = 0;
        } else {
            break;
        }
    }
    if (grouped && run != 3)
        return false;

    if (p != span.end && p->unicode() == mark)
        for (++p; p != span.end && isDigit(*p); ++p)
            ++digits;
    if (digits == 0)
        return false;

    // Scientific notation is never grouped: "1.500E+06" is 1.5 million, not 1500 million.
    if (p != span.end && (p->unicode() == 'e' || p->unicode() == 'E')) {
        if (grouped)
            return false;
        ++p;
        if (p != span.end && (p->unicode() == '+' || p->unicode() == '-'))
            ++p;
        const QChar* exponent = p;
        while (p != span.end && isDigit(*p))
            ++p;
        if (p == exponent)
            return false;
    }
    return p == span.end;
}

bool isAmount(Span span, DecimalMark mark) { return isAmount(span, markCharacter(mark), groupCharacter(mark)); }

} // namespace

MarkEvidence markEvidence(const QString& text)
{
    const Span span = trimmed(text);
    if (!hasSeparator(span))
        return MarkEvidence::None;
    const bool dot = isAmount(span, DecimalMark::Dot);
    const bool comma = isAmount(span, DecimalMark::Comma);
    if (dot && comma)
        return MarkEvidence::Ambiguous;
    if (dot)
        return MarkEvidence::Dot;
    return comma ? MarkEvidence::Comma : MarkEvidence::None;
}

std::optional<QString> plainAmountText(const QString& text, DecimalMark mark)
{
    const Span span = trimmed(text);
    const char16_t decimal = markCharacter(mark);
    const char16_t group = groupCharacter(mark);
    if (!isAmount(span, decimal, group))
        return std::nullopt;
    const int size = int(span.end - span.begin);
    if (size == text.size() && !hasSeparator(span))
        return text;

    QString plain(size, Qt::Uninitialized);
    QChar* out = plain.data();
    for (const QChar* p = span.begin; p != span.end; ++p) {
        if (p->unicode() == group)
            continue;
        *out++ = p->unicode() == decimal ? QLatin1Char('.') : *p;
    }
    plain.truncate(int(out - plain.constData()));
    return plain;
}

} // namespace kova
