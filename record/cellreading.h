#pragma once

#include "reader/cells/textoptions.h"

namespace kova {

// How a cell's text is read as a date or an amount. A workbook's cells carry
// their own types and are read as they are; delimited text is text, read by
// the conventions its columns show, learned before any row (columnreading.h)
// and the same for every row.
struct CellReading
{
    bool fromText = false;
    reader::DateOrder dateOrder = reader::DateOrder::DayMonthYear;
    reader::DecimalMark decimalMark = reader::DecimalMark::Dot;
};

} // namespace kova
