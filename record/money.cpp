#include "money.h"

#include <QVarLengthArray>

#include <algorithm>

#include <limits>

namespace kova {
namespace {

constexpr Cents maxCents()
{
    return Cents(~static_cast<unsigned __int128>(0) >> 1);
}

// Far beyond any amount the bank accepts, yet small enough that the
// arithmetic below cannot overflow: values past it are clamped.
constexpr int maxIntegerDigits = 30;

unsigned __int128 magnitude(Cents value)
{
    return value < 0 ? static_cast<unsigned __int128>(-(value + 1)) + 1 : static_cast<unsigned __int128>(value);
}

// Writes the decimal digits of value (none for 0) to end backwards and
// returns where they begin. Every amount a sheet holds fits in 64 bits, where
// a division is many times cheaper than in 128: a full-size batch writes two
// amounts a row.
char* digitsBefore(char* end, unsigned __int128 value)
{
    while (value > std::numeric_limits<quint64>::max()) {
        *--end = char('0' + int(value % 10));
        value /= 10;
    }
    for (quint64 rest = quint64(value); rest > 0; rest /= 10)
        *--end = char('0' + int(rest % 10));
    return end;
}

} // namespace

std::optional<Cents> parseCents(const QString& input)
{
    const QString text = input.trimmed();
    int i = 0;
    const int n = text.size();
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }

    // Mantissa digits without the point, and where the point stood; on the
    // stack for any amount, as every row of a batch parses one.
    QVarLengthArray<char, 64> digits;
    int pointPosition = -1;
    bool sawDigit = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits.append(char(c.unicode()));
            sawDigit = true;
        } else if (c == QLatin1Char('.') && pointPosition < 0) {
            pointPosition = digits.size();
        } else {
            break;
        }
    }
    if (!sawDigit)
        return std::nullopt;
    if (pointPosition < 0)
        pointPosition = digits.size();

    long long exponent = 0;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            expNegative = text[i] == QLatin1Char('-');
            ++i;
        }
        bool sawExpDigit = false;
        for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
            sawExpDigit = true;
            if (exponent < 100000)
                exponent = exponent * 10 + (text[i].unicode() - '0');
        }
        if (!sawExpDigit)
            return std::nullopt;
        if (expNegative)
            exponent = -exponent;
    }
    if (i != n)
        return std::nullopt;

    // Value = 0.digits * 10^(pointPosition + exponent); in hundredths the
    // point moves two places further right.
    const long long integerDigits = pointPosition + exponent + 2;
    int firstNonZero = 0;
    while (firstNonZero < digits.size() && digits[firstNonZero] == '0')
        ++firstNonZero;
    if (firstNonZero == digits.size())
        return Cents(0);
    if (integerDigits - firstNonZero > maxIntegerDigits)
        return negative ? -maxCents() : maxCents();

    Cents value = 0;
    for (long long k = 0; k < integerDigits; ++k) {
        const int digit = k < digits.size() ? digits[int(k)] - '0' : 0;
        value = value * 10 + digit;
    }
    // Half away from zero: the first dropped digit decides.
    if (integerDigits >= 0 && integerDigits < digits.size() && digits[int(integerDigits)] >= '5')
        value += 1;
    return negative ? -value : value;
}

std::optional<Cents> validAmount(const QString& text, Cents maxCentsAllowed)
{
    const std::optional<Cents> cents = parseCents(text);
    if (!cents || *cents <= 0 || *cents > maxCentsAllowed)
        return std::nullopt;
    return cents;
}

namespace {

// The characters of decimalText(value), ending at end; returns where they begin.
char* decimalBefore(char* end, Cents value)
{
    if (value == 0) {
        *--end = '0';
        return end;
    }
    char* begin = digitsBefore(end, magnitude(value));
    if (value < 0)
        *--begin = '-';
    return begin;
}

// The characters of fixedText(amount), ending at end; returns where they begin.
char* fixedBefore(char* end, Cents amount)
{
    unsigned __int128 rest = magnitude(amount);
    for (int decimal = 0; decimal < 2; ++decimal) {
        *--end = char('0' + int(rest % 10));
        rest /= 10;
    }
    *--end = '.';
    char* begin = rest > 0 ? digitsBefore(end, rest) : end;
    if (begin == end)
        *--begin = '0';
    if (amount < 0)
        *--begin = '-';
    return begin;
}

// rightField() of the text from begin to end, appended to record.
void appendRightField(QString& record, const char* begin, const char* end, int width)
{
    const int size = int(end - begin);
    const int padding = qMax(0, width - size);
    const int kept = padding > 0 ? size : qMin(size, width);
    const int at = record.size();
    record.resize(at + padding + kept);
    QChar* out = record.data() + at;
    for (int i = 0; i < padding; ++i)
        *out++ = QLatin1Char('0');
    for (int i = 0; i < kept; ++i)
        *out++ = QLatin1Char(begin[i]);
}

// Room for any 128-bit amount in text, sign and point included.
constexpr int textRoom = 48;

} // namespace

QString decimalText(Cents value)
{
    char buffer[textRoom];
    char* const end = buffer + sizeof buffer;
    const char* const begin = decimalBefore(end, value);
    return QString::fromLatin1(begin, int(end - begin));
}

QString fixedText(Cents amount)
{
    char buffer[textRoom];
    char* const end = buffer + sizeof buffer;
    const char* const begin = fixedBefore(end, amount);
    return QString::fromLatin1(begin, int(end - begin));
}

void appendDecimalField(QString& record, Cents amount, int width)
{
    char buffer[textRoom];
    char* const end = buffer + sizeof buffer;
    appendRightField(record, decimalBefore(end, amount), end, width);
}

void appendFixedField(QString& record, Cents amount, int width)
{
    char buffer[textRoom];
    char* const end = buffer + sizeof buffer;
    appendRightField(record, fixedBefore(end, amount), end, width);
}

static QString grouped(const QString& digits)
{
    QString out;
    out.reserve(digits.size() + digits.size() / 3);
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out.append(QLatin1Char('.'));
        out.append(digits[i]);
    }
    return out;
}

QString displayAmount(Cents amount)
{
    QString text;
    putDisplayAmount(text, amount);
    return text;
}

void putDisplayAmount(QString& to, Cents amount)
{
    char digits[48];
    char* const end = digits + sizeof digits;
    char* begin = digitsBefore(end, magnitude(amount));
    while (end - begin < 3)
        *--begin = '0';
    const int whole = int(end - begin) - 2;
    char text[80];
    int size = 0;
    if (amount < 0)
        text[size++] = '-';
    for (int i = 0; i < whole; ++i) {
        if (i > 0 && (whole - i) % 3 == 0)
            text[size++] = '.';
        text[size++] = begin[i];
    }
    text[size++] = ',';
    text[size++] = begin[whole];
    text[size++] = begin[whole + 1];
    to.resize(size);
    std::transform(text, text + size, to.data(), [](char c) { return QChar(QLatin1Char(c)); });
}

QString groupedNumber(quint64 value)
{
    return grouped(QString::number(value));
}

} // namespace kova
