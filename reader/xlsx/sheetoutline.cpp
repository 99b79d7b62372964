#include "sheetoutline.h"

#include "reader/xlsx/sheetreader.h"
#include "reader/xml/xmlpart.h"

#include <algorithm>
#include <stdexcept>

namespace reader {

bool SheetOutline::survey(const ZipArchive& archive, const std::string& part, const SharedStrings& sharedStrings,
                          const Styles& styles, bool formulasAsText)
{
    // The same two tries as a full read: the markup scanner, then expat.
    try {
        bool scannerGaveUp = false;
        clear();
        {
            SheetReader reader(sharedStrings, styles, *this, formulasAsText);
            if (!scanXmlPart(archive, part, reader, "sheetData", scannerGaveUp) && !scannerGaveUp)
                return false;
        }
        if (scannerGaveUp) {
            clear();
            m_readByExpat = true;
            SheetReader reader(sharedStrings, styles, *this, formulasAsText);
            if (!parseXmlPart(archive, part, reader))
                return false;
        }
    } catch (...) {
        // Past the cell limit, or out of memory.
        return false;
    }
    for (std::size_t i = m_late.size(); i-- > 1;)
        m_late[i - 1].row = std::min(m_late[i - 1].row, m_late[i].row);
    return true;
}

void SheetOutline::clear()
{
    *this = SheetOutline();
}

void SheetOutline::add(Cell cell)
{
    count(cell);
}

void SheetOutline::count(Cell cell)
{
    if (m_cells >= CellStore::kMaxCells)
        throw std::length_error("too many cells");
    if (m_cells == 0) {
        m_firstRow = m_lastRow = cell.row;
        m_firstColumn = m_lastColumn = cell.column;
    } else if (cell.row < m_lastRow) {
        m_late.push_back({m_cells, cell.row});
    }
    m_firstRow = std::min(m_firstRow, cell.row);
    m_lastRow = std::max(m_lastRow, cell.row);
    m_firstColumn = std::min(m_firstColumn, int(cell.column));
    m_lastColumn = std::max(m_lastColumn, int(cell.column));
    ++m_cells;
}

CellRange SheetOutline::usedRange() const
{
    if (m_cells == 0)
        return {};
    return CellRange(int(m_firstRow), m_firstColumn, int(m_lastRow), m_lastColumn);
}

std::uint32_t SheetOutline::wholeBelow(std::uint32_t cellsRead, std::uint32_t highestRow) const
{
    // Every cell still to come is either late, or of highestRow or after it.
    const auto next = std::lower_bound(m_late.begin(), m_late.end(), cellsRead,
                                       [](const Late& late, std::uint32_t cell) { return late.cell < cell; });
    return next == m_late.end() ? highestRow : std::min(highestRow, next->row);
}

} // namespace reader
