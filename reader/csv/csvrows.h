#pragma once

#include "reader/cells/sheetaccess.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace reader {

// Rows of delimited text as they were split: every field, empty ones too, its
// text UTF-8, one after the other. Eight bytes a field beside its text.
struct CsvRows final
{
    struct Span
    {
        std::uint32_t offset;
        std::uint32_t length;
    };

    std::string texts;
    std::vector<Span> cells;
    std::vector<std::uint32_t> rowEnds;   // row r's fields end at cells[rowEnds[r]]

    std::size_t rowCount() const { return rowEnds.size(); }
    // Row index from 0, column from 1; null for a field that is empty or not there.
    const Span* find(std::size_t row, int column) const;
    QString text(std::size_t row, int column) const;
    void textInto(std::size_t row, int column, QString& into) const;
    // The cells that hold text span this range, the first row numbered firstRow.
    CellRange usedRange(int firstRow) const;
};

} // namespace reader
