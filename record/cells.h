#pragma once

#include "cellreading.h"
#include "money.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>

namespace reader { class Document; }

namespace kova {

class RowContext;

// Cell access by mapped column: column 0 (or below) means "not mapped" and
// reads as an empty cell.
QVariant cellValue(const reader::Document& sheet, int row, int column);
QString cellText(const reader::Document& sheet, int row, int column);
// The cell as a whole number: an empty cell reads as 0; a number without
// fraction, a boolean, or a text of an optional sign and digits (spaces around
// it ignored) reads as that number. Anything else (other text such as "R" or
// "1.0", a fraction, a date) is no whole number: empty. Values beyond int are
// held at its bounds, so they stay outside every valid range instead of
// wrapping into one.
std::optional<int> cellInt(const reader::Document& sheet, int row, int column);

// An amount cell under the amount rule every export shares: cents is
// validAmount(cellText(...), maxCents); text is the cell's text when that is
// no valid amount, for the log to show, and empty otherwise. A number cell is
// read without writing it out as text first; the text of delimited text is
// read with the decimal mark its column shows, thousands grouped by the other.
struct AmountCell
{
    std::optional<Cents> cents;
    QString text;
};
AmountCell cellAmount(const reader::Document& sheet, int row, int column, Cents maxCents,
                      const CellReading& reading);
// The same, the text read into the row's own string (RowContext::cellText()).
AmountCell cellAmount(const reader::Document& sheet, int row, int column, Cents maxCents,
                      const CellReading& reading, RowContext& out);

// The date a cell holds: a workbook's date cell, or the text of delimited
// text read in the order its column shows. Invalid for anything else.
QDate cellDate(const reader::Document& sheet, int row, int column, const CellReading& reading);

// The date filter: on when its column is mapped; a row passes when its cell
// is a date from `from` to `to`, both inclusive. A cell that is no date never
// passes (delimited text that is no date is an error on its row before the
// filter is asked).
struct DateFilter
{
    int column = 0;
    QDate from;
    QDate to;

    bool accepts(const reader::Document& sheet, int row, const CellReading& reading) const;
    // "4 rows outside 07 Dec 2026 - 07 Dec 2026 left out".
    QString leftOutNote(int count) const;
};

// The column's name as the spreadsheet shows it: "A".."Z", "AA"...
QString columnLetters(int column);

// "1 row" or "4 rows", the words of a count of rows.
QString rowCount(int count);

} // namespace kova
