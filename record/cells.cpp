#include "cells.h"

#include "amounttext.h"
#include "datetext.h"
#include "rowcontext.h"
#include "reader/document.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace kova {

QVariant cellValue(const reader::Document& sheet, int row, int column)
{
    return column > 0 ? sheet.read(row, column) : QVariant();
}

QString cellText(const reader::Document& sheet, int row, int column)
{
    return column > 0 ? sheet.text(row, column) : QString();
}

std::optional<int> cellInt(const reader::Document& sheet, int row, int column)
{
    const QVariant value = cellValue(sheet, row, column);
    const auto bounded = [](qlonglong number) {
        return int(qBound<qlonglong>(std::numeric_limits<int>::min(), number, std::numeric_limits<int>::max()));
    };
    switch (value.userType()) {
    case QMetaType::UnknownType:
        return 0;
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return bounded(value.toLongLong());
    case QMetaType::Double: {
        // Rounding a fraction would write a value the sheet does not show.
        const double number = value.toDouble();
        if (!std::isfinite(number) || std::floor(number) != number)
            return std::nullopt;
        return bounded(qlonglong(qBound(-9.0e18, number, 9.0e18)));
    }
    case QMetaType::QString: {
        static const QRegularExpression whole(QStringLiteral("\\A[+-]?[0-9]+\\z"));
        const QString text = value.toString().trimmed();
        if (text.isEmpty())
            return 0;
        if (!whole.match(text).hasMatch())
            return std::nullopt;
        bool ok = false;
        const qlonglong number = text.toLongLong(&ok, 10);
        if (ok)
            return bounded(number);
        return text.startsWith(QLatin1Char('-')) ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    }
    default:
        return std::nullopt;
    }
}

namespace {

// The cents a number cell's text reads as, found without the text: a
// fraction that is a whole number of hundredths of at most 15 digits, which
// is then the only number of so few digits that reads back as value, so the
// shortest text of value (the cell's text) reads as exactly those cents.
// Empty for any other number, whose text is read instead.
std::optional<Cents> wholeHundredths(double value)
{
    if (!(std::fabs(value) < 1e12))
        return std::nullopt;
    const long long hundredths = std::llround(value * 100);
    if (double(hundredths) / 100 != value)
        return std::nullopt;
    return Cents(hundredths);
}

} // namespace

namespace {

// The text of delimited text, read with the decimal mark its column shows.
AmountCell textAmount(const QString& text, Cents maxCents, DecimalMark mark)
{
    AmountCell amount{std::nullopt, QString()};
    if (const std::optional<QString> plain = plainAmountText(text, mark))
        amount.cents = validAmount(*plain, maxCents);
    if (!amount.cents)
        amount.text = text;
    return amount;
}

AmountCell valueAmount(const reader::Document& sheet, int row, int column, Cents maxCents)
{
    const QVariant value = cellValue(sheet, row, column);
    std::optional<Cents> cents;
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        cents = Cents(value.toLongLong()) * 100;
        break;
    case QMetaType::Double:
        cents = wholeHundredths(value.toDouble());
        break;
    default:
        break;
    }
    if (cents) {
        if (*cents > 0 && *cents <= maxCents)
            return {cents, QString()};
        return {std::nullopt, value.toString()};
    }
    AmountCell amount{std::nullopt, value.toString()};
    amount.cents = validAmount(amount.text, maxCents);
    if (amount.cents)
        amount.text.clear();
    return amount;
}

} // namespace

AmountCell cellAmount(const reader::Document& sheet, int row, int column, Cents maxCents,
                      const CellReading& reading)
{
    if (reading.fromText)
        return textAmount(cellText(sheet, row, column), maxCents, reading.decimalMark);
    return valueAmount(sheet, row, column, maxCents);
}

AmountCell cellAmount(const reader::Document& sheet, int row, int column, Cents maxCents,
                      const CellReading& reading, RowContext& out)
{
    if (reading.fromText)
        return textAmount(out.cellText(sheet, row, column), maxCents, reading.decimalMark);
    return valueAmount(sheet, row, column, maxCents);
}

QDate cellDate(const reader::Document& sheet, int row, int column, const CellReading& reading)
{
    if (!reading.fromText)
        return cellValue(sheet, row, column).toDate();
    const DateTextReadings dates = readDateText(cellText(sheet, row, column));
    return reading.dateOrder == reader::DateOrder::DayMonthYear ? dates.dayFirst : dates.monthFirst;
}

bool DateFilter::accepts(const reader::Document& sheet, int row, const CellReading& reading) const
{
    if (column <= 0)
        return true;
    const QDate date = cellDate(sheet, row, column, reading);
    return date.isValid() && from <= date && date <= to;
}

QString columnLetters(int column)
{
    QString letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(ushort('A' + (c - 1) % 26)));
    return letters;
}

QString rowCount(int count)
{
    return QString::number(count) + (count == 1 ? QStringLiteral(" row") : QStringLiteral(" rows"));
}

QString DateFilter::leftOutNote(int count) const
{
    // The same month names on every machine, as the notes are compared and read in logs.
    const QString format = QStringLiteral("dd MMM yyyy");
    return rowCount(count) + QStringLiteral(" outside ") + QLocale::c().toString(from, format) + QStringLiteral(" - ")
        + QLocale::c().toString(to, format) + QStringLiteral(" left out");
}

} // namespace kova
