#include "textfield.h"

#include <algorithm>
#include <array>

namespace kova {

bool isDigitsOnly(const QString& text)
{
    // ASCII digits only: other scripts' digits are digits to Unicode, but not
    // to the bank's batch system.
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

bool hasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

bool isPrintableAscii(const QString& text)
{
    for (const QChar c : text)
        if (c < QLatin1Char(' ') || c > QLatin1Char('~'))
            return false;
    return true;
}

bool hasControlCharacter(const QString& text)
{
    for (const QChar c : text)
        if (isControlCharacter(c))
            return true;
    return false;
}

bool hasDirectionControl(const QString& text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == 0x200E || u == 0x200F || u == 0x061C || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069))
            return true;
    }
    return false;
}

QString spaces(int width)
{
    thread_local std::array<QString, 256> made;
    if (width < 0 || width >= int(made.size()))
        return QString(width, QLatin1Char(' '));
    QString& text = made[std::size_t(width)];
    if (text.isNull())
        text = QString(width, QLatin1Char(' '));
    return text;
}

QString cutTrimmed(const QString& text, int width)
{
    return text.left(width).trimmed();
}

QString leftField(const QString& text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '), true);
}

QString leftPadded(const QString& text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '), false);
}

namespace {

void putLeft(QString& to, const QString& text, int length)
{
    const int copied = qMin(text.size(), length);
    to.resize(length);
    QChar* const out = to.data();
    std::copy_n(text.constData(), copied, out);
    std::fill(out + copied, out + length, QLatin1Char(' '));
}

} // namespace

void putLeftField(QString& to, const QString& text, int width)
{
    putLeft(to, text, width);
}

void putLeftPadded(QString& to, const QString& text, int width)
{
    putLeft(to, text, qMax(text.size(), width));
}

QString rightField(const QString& text, int width, QChar fill)
{
    return text.rightJustified(width, fill, true);
}

QString rightPadded(const QString& text, int width, QChar fill)
{
    return text.rightJustified(width, fill, false);
}

} // namespace kova
