#pragma once

#include <QString>
#include <QVariant>

#include <cstddef>
#include <vector>

namespace xlsx {

struct BiffCell
{
    unsigned row;      // 0-based
    unsigned column;   // 0-based
    QVariant value;
};

// The cells of the sheet named sheetName of an Excel 97-2003 workbook, the
// compound file in data, that FreeXL leaves out: a formula's cached result (a number, a date when
// its cell has a date format, text, a boolean or an error such as "#N/A"),
// booleans and error values. Empty for other BIFF versions than Excel 97's
// and for a workbook that cannot be read.
std::vector<BiffCell> biffCells(const char* data, std::size_t size, const QString& sheetName);

// A number as the readers give it: qlonglong when whole and below 10^15 in
// magnitude, so its text has neither an exponent nor a trailing ".0".
QVariant sheetNumber(double value);

} // namespace xlsx
