#pragma once

#include <string_view>

namespace reader {

// The largest sheet spreadsheet programs make. Positions past it are refused:
// the row index is sized by the last row, so a crafted r="2000000000" must not
// reach it.
constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;

// Parses an A1-style cell reference ("AB12") into 1-based row and column.
// False for anything else, including positions outside the sheet.
bool parseCellReference(std::string_view text, int& row, int& column);
// Parses a row number ("12"); false outside 1..kMaxRows.
bool parseRowNumber(std::string_view text, int& row);

} // namespace reader
