#pragma once

#include <QString>

#include <optional>

namespace kova {

// An amount of money in hundredths. 128 bits: the largest credit amount
// (just below 10^17) is above 10^19 hundredths, and totals add up further.
using Cents = __int128;

constexpr Cents wholeUnits(long long units) { return Cents(units) * 100; }

// Reads a plain decimal number ("." the only decimal point, no grouping, an
// optional sign and exponent, white space around it ignored) and rounds it to
// hundredths, half away from zero: "1.005" gives 101. Anything else, "nan" and
// "inf" included, is not a number. Magnitudes beyond what 128 bits hold are
// clamped to the largest representable value of their sign.
std::optional<Cents> parseCents(const QString& text);

// The amount rule shared by every export: a number that rounds to more than
// 0.00 and not more than maxCents. Returns the rounded amount when valid.
std::optional<Cents> validAmount(const QString& text, Cents maxCents);

// Fixed-point text with two decimals and "." as decimal point, no grouping:
// 150000050 gives "1500000.50".
QString fixedText(Cents amount);

// The amount as shown to the user: Indonesian digit grouping, "," and two
// decimals: 150000050 gives "1.500.000,50".
QString displayAmount(Cents amount);
// displayAmount() written over to, which keeps its memory when it holds it alone.
void putDisplayAmount(QString& to, Cents amount);

// A whole number with Indonesian digit grouping: 500000000 gives "500.000.000".
QString groupedNumber(quint64 value);

// Decimal text of a 128-bit integer (no grouping).
QString decimalText(Cents value);

// rightField(decimalText(amount), width, '0') and rightField(fixedText(amount),
// width, '0') appended to record: every detail record holds an amount, and
// this writes it without two texts in between.
void appendDecimalField(QString& record, Cents amount, int width);
void appendFixedField(QString& record, Cents amount, int width);

} // namespace kova
