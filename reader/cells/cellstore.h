#pragma once

#include "reader/cells/sheetaccess.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace reader {

enum class CellKind : std::uint8_t
{
    Number,       // number: a double
    Date,         // number in a date or time format: a date serial
    SharedString, // index into the shared strings
    Text,         // index into the sheet's own texts (inline, formula, error)
    Boolean,      // number 0 or 1
    IsoDate,      // index into the sheet's own texts: an ISO 8601 date (t="d")
    // index into the sheet's own texts: "=" and the formula of a formula cell
    // whose result the workbook does not vouch for. It reads as that text, so
    // that the user sees what the cell holds, but no value is known.
    Formula,
};

// One cell that holds a value, 16 bytes: a full-size sheet has millions.
struct Cell
{
    std::uint32_t row;
    std::uint16_t column;
    CellKind kind;
    std::uint8_t unused;
    union {
        double number;
        std::uint32_t index;
    };
};
static_assert(sizeof(Cell) == 16, "cells must stay compact");

// The cells of one sheet in row-major order, kept in fixed-size blocks (no
// copy of the whole store as it grows) with a per-row index for lookup.
class CellStore final
{
public:
    // Every row of the largest sheet with 32 columns of values: a payment
    // sheet uses fewer than 20. The store then takes 512 MiB, and as much
    // again while out-of-order cells are sorted; a crafted sheet of a few
    // hundred kilobytes of deflate could otherwise claim gigabytes.
    static constexpr std::size_t kMaxCells = std::size_t(1) << 25;

    explicit CellStore(std::size_t maxCells = kMaxCells) : m_maxCells(maxCells) {}

    // Throws std::length_error past the most cells a store may hold.
    // Cells normally arrive in order; any that do not are sorted by finish().
    void append(const Cell& cell);
    // Call once all cells are in: orders them (a later cell at the same
    // position replaces an earlier one) and builds the row index.
    void finish();

    const Cell* find(int row, int column) const;
    CellRange usedRange() const { return m_range; }

private:
    static constexpr unsigned kBlockBits = 16;
    static constexpr std::size_t kBlockSize = std::size_t(1) << kBlockBits;

    Cell& at(std::size_t i) { return m_blocks[i >> kBlockBits][i & (kBlockSize - 1)]; }
    const Cell& at(std::size_t i) const { return m_blocks[i >> kBlockBits][i & (kBlockSize - 1)]; }
    void sortAndDeduplicate();

    std::vector<std::unique_ptr<Cell[]>> m_blocks;
    std::size_t m_maxCells;
    std::size_t m_count = 0;
    bool m_ordered = true;
    // m_rowStart[r] is the index of the first cell in row r or after it.
    std::vector<std::uint32_t> m_rowStart;
    CellRange m_range;
};

} // namespace reader
