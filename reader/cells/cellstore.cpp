#include "cellstore.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace reader {

namespace {

bool before(const Cell& a, const Cell& b)
{
    return a.row != b.row ? a.row < b.row : a.column < b.column;
}

} // namespace

void CellStore::append(const Cell& cell)
{
    if (m_count >= m_maxCells)
        throw std::length_error("too many cells");
    if (m_count == m_blocks.size() * kBlockSize)
        m_blocks.emplace_back(new Cell[kBlockSize]);
    if (m_count > 0 && m_ordered && !before(at(m_count - 1), cell))
        m_ordered = false;
    at(m_count++) = cell;
}

void CellStore::sortAndDeduplicate()
{
    std::vector<Cell> cells;
    cells.reserve(m_count);
    for (std::size_t i = 0; i < m_count; ++i)
        cells.push_back(at(i));
    std::stable_sort(cells.begin(), cells.end(), before);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (kept > 0 && !before(at(kept - 1), cells[i]))
            at(kept - 1) = cells[i];
        else
            at(kept++) = cells[i];
    }
    m_count = kept;
    m_blocks.resize((m_count + kBlockSize - 1) / kBlockSize);
    m_ordered = true;
}

void CellStore::finish()
{
    if (!m_ordered)
        sortAndDeduplicate();
    m_rowStart.clear();
    m_range = CellRange();
    if (m_count == 0)
        return;
    const std::uint32_t lastRow = at(m_count - 1).row;
    int firstColumn = std::numeric_limits<int>::max();
    int lastColumn = 0;
    m_rowStart.assign(std::size_t(lastRow) + 2, 0);
    std::uint32_t row = 0;
    for (std::size_t i = 0; i < m_count; ++i) {
        const Cell& cell = at(i);
        while (row < cell.row)
            m_rowStart[++row] = std::uint32_t(i);
        firstColumn = std::min(firstColumn, int(cell.column));
        lastColumn = std::max(lastColumn, int(cell.column));
    }
    m_rowStart[lastRow + 1] = std::uint32_t(m_count);
    m_range = CellRange(int(at(0).row), firstColumn, int(lastRow), lastColumn);
}

const Cell* CellStore::find(int row, int column) const
{
    if (row < 1 || column < 1 || std::size_t(row) + 1 >= m_rowStart.size())
        return nullptr;
    std::size_t low = m_rowStart[std::size_t(row)];
    std::size_t high = m_rowStart[std::size_t(row) + 1];
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        const Cell& cell = at(mid);
        if (cell.column == column)
            return &cell;
        if (cell.column < column)
            low = mid + 1;
        else
            high = mid;
    }
    return nullptr;
}

} // namespace reader
