#pragma once

#include "reader/cells/cellsink.h"
#include "reader/cells/sheetaccess.h"

#include <cstdint>
#include <string>
#include <vector>

namespace reader {

class SharedStrings;
class Styles;
class ZipArchive;

// What a first pass over a sheet learns without keeping its cells: whether it
// reads at all (every limit and check of a full read), its used range, and
// the cells that arrive after a cell of a later row. With that, a second pass
// can tell when a row is whole, and hold rows only while they arrive out of
// order.
class SheetOutline final : private CellSink
{
public:
    // False where a full read of the sheet fails.
    bool survey(const ZipArchive& archive, const std::string& part, const SharedStrings& sharedStrings,
                const Styles& styles, bool formulasAsText);

    CellRange usedRange() const;
    // The markup scanner gave up on the sheet: it is read by expat alone.
    bool readByExpat() const { return m_readByExpat; }
    // The cells holding a value, each counted as often as it is listed.
    std::uint32_t cells() const { return m_cells; }
    // Once the first cellsRead cells are read, highestRow the highest row
    // among them, every row before the returned one is whole.
    std::uint32_t wholeBelow(std::uint32_t cellsRead, std::uint32_t highestRow) const;

    // Counts the next cell as survey() does, for a pass that learns the outline
    // while it reads: throws std::length_error past the most cells a sheet may hold.
    void count(Cell cell);
    // No cell so far came after a cell of a later row.
    bool rowsInOrder() const { return m_late.empty(); }

private:
    // A cell listed after a cell of a later row: its place in the list and its
    // row, then (once surveyed) the lowest row of it and every later one.
    struct Late
    {
        std::uint32_t cell;
        std::uint32_t row;
    };

    bool keepsValues() const override { return false; }
    std::uint32_t addText(std::string_view) override { return 0; }
    void add(Cell cell) override;
    void clear();

    std::uint32_t m_cells = 0;
    std::uint32_t m_firstRow = 0;
    std::uint32_t m_lastRow = 0;
    int m_firstColumn = 0;
    int m_lastColumn = 0;
    std::vector<Late> m_late;
    bool m_readByExpat = false;
};

} // namespace reader
