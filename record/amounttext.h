#pragma once

#include "money.h"
#include "reader/cells/textoptions.h"

#include <QString>

#include <optional>

namespace kova {

using DecimalMark = reader::DecimalMark;

// What one amount text says of the decimal mark it was written with (white space around it ignored; an
// optional leading sign):
//   None:      no mark or separator at all ("750000"), or the text is no amount in either reading;
//   Dot/Comma: only that mark can be the decimal mark: "750,5" and "1.250.000,00" and "1.234.567" say Comma;
//              "1,234.56", "750.50", "1,234,567" say Dot;
//   Ambiguous: one separator followed by exactly three digits, read either way ("750.000", "1,250").
// A grouped whole part never begins with 0, so "0.500" says Dot; a number with an exponent is never grouped,
// so "1,5E+06" says Comma.
enum class MarkEvidence { None, Dot, Comma, Ambiguous };
MarkEvidence markEvidence(const QString& text);

// The text as a plain decimal number for validAmount()/parseCents(): mark is the decimal mark, the other
// character a thousands separator, which must group the whole part in threes from the mark leftwards
// ("1.250.000,00" with Comma gives "1250000.00"; "12.50.000,00" is no amount); a text without any separator
// is itself. nullopt when the text is no amount written with that mark (e.g. "1,234.56" with Comma).
// An amount is an optional leading sign, then digits with at most one mark and the separators, then
// optionally an exponent as parseCents() reads it ("1,5E+06" with Comma gives "1.5E+06"); the white space
// around it is dropped, none may stand inside it.
std::optional<QString> plainAmountText(const QString& text, DecimalMark mark);

} // namespace kova
