#include "fieldrules.h"

#include <QDate>
#include <QRegularExpression>

namespace kova {

QString rightTrimmed(const QString& text)
{
    int end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}

QString named(const QString& name, const QString& value)
{
    if (value.isEmpty())
        return name + QStringLiteral(" (empty)");
    const QString shown = rightTrimmed(value);
    return name + (shown.isEmpty() ? QStringLiteral(" (blank)") : QLatin1Char(' ') + shown);
}

bool isDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

bool checkDigits(const QString& name, const QString& text, int width, UploadProblems& problems)
{
    if (text.size() == width && isDigits(text))
        return true;
    problems.add(named(name, text) + QStringLiteral(" is not %1 digits").arg(width));
    return false;
}

bool checkCode(const QString& name, const QString& text, const QStringList& codes, UploadProblems& problems)
{
    if (codes.contains(text))
        return true;
    const QString choices = codes.size() == 1
        ? codes.first()
        : codes.mid(0, codes.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") + codes.last();
    problems.add(named(name, text) + QStringLiteral(" is not ") + choices);
    return false;
}

void checkLength(const QString& name, const QString& text, int width, UploadProblems& problems)
{
    if (text.size() > width)
        problems.add(QStringLiteral("%1 is %2 characters, more than %3").arg(name).arg(text.size()).arg(width));
}

std::optional<Cents> twoDecimalAmount(const QString& name, const QString& text, bool zeroPadded,
                                      UploadProblems& problems)
{
    static const QRegularExpression twoDecimals(QStringLiteral("\\A[0-9]+\\.[0-9]{2}\\z"));
    static const QRegularExpression decimal(QStringLiteral("\\A[0-9]*\\.?[0-9]*\\z"));
    if (!twoDecimals.match(text).hasMatch()) {
        const bool number = decimal.match(text).hasMatch() && text != QLatin1String(".") && !text.isEmpty();
        problems.add(named(name, text) + (number ? QStringLiteral(" is not two decimals") : QStringLiteral(" is not a number")));
        return std::nullopt;
    }
    // Written by fixedText(), a whole part of more than one digit never starts with 0.
    if (!zeroPadded && text.size() > 4 && text.startsWith(QLatin1Char('0'))) {
        problems.add(named(name, text) + QStringLiteral(" has a leading zero"));
        return std::nullopt;
    }
    return parseCents(text);
}

bool checkPaid(const QString& text, Cents amount, Cents largest, UploadProblems& problems)
{
    if (amount == 0)
        problems.add(named(QStringLiteral("amount"), text) + QStringLiteral(" is zero"));
    else if (amount > largest)
        problems.add(named(QStringLiteral("amount"), text) + QStringLiteral(" is above ") + fixedText(largest));
    else
        return true;
    return false;
}

std::optional<Cents> paidAmount(const QString& text, bool zeroPadded, Cents largest, UploadProblems& problems)
{
    const std::optional<Cents> amount = twoDecimalAmount(QStringLiteral("amount"), text, zeroPadded, problems);
    return amount && checkPaid(text, *amount, largest, problems) ? amount : std::nullopt;
}

QString effectiveDate(const QString& text, UploadProblems& problems)
{
    static const QRegularExpression eightDigits(QStringLiteral("\\A[0-9]{8}\\z"));
    const QDate date = eightDigits.match(text).hasMatch() ? QDate::fromString(text, QStringLiteral("yyyyMMdd")) : QDate();
    if (date.isValid())
        return date.toString(Qt::ISODate);
    problems.add(named(QStringLiteral("effective date"), text) + QStringLiteral(" is not a date"));
    return text;
}

QString effectiveDateOrNone(const QString& text, UploadProblems& problems)
{
    return text == QString(8, QLatin1Char(' ')) ? QStringLiteral("on authorization") : effectiveDate(text, problems);
}

std::optional<qint64> fiveDigitCount(const QString& text, UploadProblems& problems)
{
    return checkDigits(QStringLiteral("record count"), text, 5, problems) ? std::optional<qint64>(text.toLongLong())
                                                                          : std::nullopt;
}

} // namespace kova
