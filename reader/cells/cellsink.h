#pragma once

#include "reader/cells/cellstore.h"

#include <cstdint>
#include <string_view>

namespace reader {

// Where the sheet reader puts the cells that hold a value, in the order the
// sheet lists them.
class CellSink
{
public:
    virtual ~CellSink() = default;
    // False for a pass that only learns where the cells lie: their numbers and
    // texts are then neither converted nor kept.
    virtual bool keepsValues() const = 0;
    // Keeps a cell's own text (inline, formula, error); the index goes into the cell.
    virtual std::uint32_t addText(std::string_view utf8) = 0;
    // Throws std::length_error past the most cells a sheet may hold. By
    // value, in two registers: a cell written to memory field by field and
    // read back whole stalls the read, millions of times a sheet.
    virtual void add(Cell cell) = 0;
};

} // namespace reader
