#include "csvrows.h"

#include "reader/cells/utf8text.h"

#include <algorithm>

namespace reader {

const CsvRows::Span* CsvRows::find(std::size_t row, int column) const
{
    if (row >= rowEnds.size() || column < 1)
        return nullptr;
    const std::uint32_t begin = row == 0 ? 0 : rowEnds[row - 1];
    const std::uint32_t end = rowEnds[row];
    if (std::uint32_t(column) > end - begin)
        return nullptr;
    const Span& span = cells[begin + std::uint32_t(column) - 1];
    return span.length > 0 ? &span : nullptr;
}

QString CsvRows::text(std::size_t row, int column) const
{
    const Span* span = find(row, column);
    return span ? QString::fromUtf8(texts.data() + span->offset, int(span->length)) : QString();
}

void CsvRows::textInto(std::size_t row, int column, QString& into) const
{
    if (const Span* span = find(row, column))
        assignUtf8(into, {texts.data() + span->offset, span->length});
    else
        into = QString();
}

CellRange CsvRows::usedRange(int firstRow) const
{
    int first = 0, firstColumn = 0, last = 0, lastColumn = 0;
    std::uint32_t begin = 0;
    for (std::size_t r = 0; r < rowEnds.size(); ++r) {
        for (std::uint32_t i = begin; i < rowEnds[r]; ++i) {
            if (cells[i].length == 0)
                continue;
            const int row = firstRow + int(r);
            const int column = int(i - begin) + 1;
            if (first == 0)
                first = row;
            last = row;
            firstColumn = firstColumn == 0 ? column : std::min(firstColumn, column);
            lastColumn = std::max(lastColumn, column);
        }
        begin = rowEnds[r];
    }
    return CellRange(first, firstColumn, last, lastColumn);
}

} // namespace reader
