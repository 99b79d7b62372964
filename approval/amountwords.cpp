#include "amountwords.h"

#include <QStringList>

namespace kova {

namespace {

const char* const ones[] = {"zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine",
                            "ten", "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen",
                            "seventeen", "eighteen", "nineteen"};
const char* const tens[] = {"", "", "twenty", "thirty", "forty", "fifty", "sixty", "seventy", "eighty", "ninety"};
// Short scale, up to what 128 bits hold (about 1.7 x 10^38 hundredths).
const char* const groups[] = {"", "thousand", "million", "billion", "trillion", "quadrillion", "quintillion",
                              "sextillion", "septillion", "octillion", "nonillion", "decillion", "undecillion"};

QString belowHundred(int n)
{
    if (n < 20)
        return QLatin1String(ones[n]);
    return QLatin1String(tens[n / 10]) + (n % 10 ? QLatin1Char('-') + QLatin1String(ones[n % 10]) : QString());
}

QString belowThousand(int n)
{
    QStringList words;
    if (n >= 100)
        words << QLatin1String(ones[n / 100]) << QStringLiteral("hundred");
    if (n % 100 || n == 0)
        words << belowHundred(n % 100);
    return words.join(QLatin1Char(' '));
}

// A whole number of zero or more, in words.
QString wholeInWords(unsigned __int128 n)
{
    if (n == 0)
        return QLatin1String(ones[0]);
    QStringList words;
    for (int group = 0; n > 0; ++group, n /= 1000) {
        const int part = int(n % 1000);
        if (part == 0)
            continue;
        QString text = belowThousand(part);
        if (group > 0)
            text += QLatin1Char(' ') + QLatin1String(groups[group]);
        words.prepend(text);
    }
    return words.join(QLatin1Char(' '));
}

} // namespace

QString amountInWords(Cents amount)
{
    const bool negative = amount < 0;
    const unsigned __int128 magnitude = negative ? -static_cast<unsigned __int128>(amount)
                                                 : static_cast<unsigned __int128>(amount);
    const int sen = int(magnitude % 100);
    QString text = (negative ? QStringLiteral("minus ") : QString()) + wholeInWords(magnitude / 100)
                   + QStringLiteral(" rupiah");
    if (sen != 0)
        text += QStringLiteral(" and ") + belowHundred(sen) + QStringLiteral(" sen");
    text[0] = text.at(0).toUpper();
    return text;
}

} // namespace kova
