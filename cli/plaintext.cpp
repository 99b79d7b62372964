#include "plaintext.h"

namespace {

// The value of an ASCII digit in base 10 or 16, or -1.
int digitValue(QChar d, int base)
{
    const ushort c = d.unicode();
    if (c >= '0' && c <= '9')
        return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "#65", "#x41": the code point, or 0 when the reference is not a valid one.
char32_t numericReference(const QStringRef& name)
{
    const bool hex = name.size() > 1 && (name.at(1) == QLatin1Char('x') || name.at(1) == QLatin1Char('X'));
    const int base = hex ? 16 : 10;
    const QStringRef digits = name.mid(hex ? 2 : 1);
    if (digits.isEmpty() || digits.size() > 8)
        return 0;
    char32_t value = 0;
    for (const QChar d : digits) {
        const int v = digitValue(d, base);
        if (v < 0)
            return 0;
        value = value * base + char32_t(v);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return value <= 0x10FFFF && !surrogate ? value : 0;
}

// The character a reference stands for, or 0 when it is none we decode.
char32_t referenceValue(const QStringRef& name)
{
    if (name == QLatin1String("amp"))
        return U'&';
    if (name == QLatin1String("lt"))
        return U'<';
    if (name == QLatin1String("gt"))
        return U'>';
    if (name == QLatin1String("quot"))
        return U'"';
    if (name.startsWith(QLatin1Char('#')))
        return numericReference(name);
    return 0;
}

} // namespace

QString plainText(const QString& html)
{
    QString out;
    out.reserve(html.size());
    int i = 0;
    while (i < html.size()) {
        const QChar c = html.at(i);
        if (c == QLatin1Char('<')) {
            const int close = html.indexOf(QLatin1Char('>'), i);
            if (close < 0) {
                out += html.midRef(i);
                break;
            }
            i = close + 1;
            continue;
        }
        if (c == QLatin1Char('&')) {
            const int semicolon = html.indexOf(QLatin1Char(';'), i);
            const char32_t value =
                semicolon > i + 1 ? referenceValue(html.midRef(i + 1, semicolon - i - 1)) : 0;
            if (value != 0) {
                out += QString::fromUcs4(&value, 1);
                i = semicolon + 1;
                continue;
            }
        }
        out += c;
        ++i;
    }
    return out;
}
