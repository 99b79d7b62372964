#include "rowcontext.h"

namespace kova {

namespace {

// The lists of the last row converted on this thread, kept for the next one
// when nothing else holds them (kova-export keeps no rows): a full-size
// batch then converts its rows without allocating them row by row. A sink
// that keeps the rows, as the window does, holds them and the next row
// allocates its own.
struct SpareLists
{
    QStringList values;
    RowMessages messages;
    QVector<MarkedCell> cells;
    QVector<MarkedCell> warningCells;
};

thread_local SpareLists spare;

// Takes kept's memory into list, emptied, unless something else still holds it.
template <typename List>
void reuse(List& list, List& kept)
{
    if (kept.isDetached() && kept.capacity() > 0) {
        list.swap(kept);
        list.clear();
    }
}

} // namespace

RowContext::RowContext(int index, const TypeDescriptor& type)
    : m_index(index)
    , m_type(type)
    , m_columns(type.logColumnByField.constData())
    , m_columnCount(type.logColumnByField.size())
{
    // A list from the start: the report takes it as it is, without a copy.
    const int columns = type.logColumns.size();
    if (spare.values.size() == columns && spare.values.isDetached()) {
        m_values.swap(spare.values);
        for (QString& value : m_values)
            value = QString();
    } else {
        m_values.reserve(columns);
        for (int i = 0; i < columns; ++i)
            m_values.append(QString());
    }
    reuse(m_messages, spare.messages);
    reuse(m_cells, spare.cells);
    reuse(m_warningCells, spare.warningCells);
}

RowContext::~RowContext()
{
    spare.values.swap(m_values);
    spare.messages.swap(m_messages);
    spare.cells.swap(m_cells);
    spare.warningCells.swap(m_warningCells);
}

void RowContext::showAt(int column, const QString& text)
{
    // A field its type keeps out of the log shows nowhere.
    if (column >= 0)
        m_values[column] = text;
}

void RowContext::error(const MessageWords& words, int column)
{
    m_messages.append({Severity::Error, line(), words});
    ++m_errors;
    if (column >= 0)
        m_cells.append({m_index, column, m_messages.size() - 1});
}

void RowContext::warning(const MessageWords& words, int column)
{
    m_messages.append({Severity::Warning, line(), words});
    ++m_warnings;
    if (column >= 0)
        m_warningCells.append({m_index, column, m_messages.size() - 1});
}

} // namespace kova
