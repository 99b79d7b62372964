#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

namespace xlsx { class Document; }

namespace kova {

// Cell access by mapped column: column 0 (or below) means "not mapped" and
// reads as an empty cell.
QVariant cellValue(const xlsx::Document& sheet, int row, int column);
QString cellText(const xlsx::Document& sheet, int row, int column);
// The cell as a whole number; anything else (empty, text that is no whole
// number, a number with a fraction) reads as 0. Values beyond int are held at
// its bounds, so they stay outside every valid range instead of wrapping into one.
int cellInt(const xlsx::Document& sheet, int row, int column);

// The date filter: on when its column is mapped; a row passes when its cell
// is a date from `from` to `to`, both inclusive. A cell that is no date never
// passes.
struct DateFilter
{
    int column = 0;
    QDate from;
    QDate to;

    bool accepts(const xlsx::Document& sheet, int row) const;
};

} // namespace kova
