#include "csvrows.h"

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

} // namespace reader
