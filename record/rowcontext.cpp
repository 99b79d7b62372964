#include "rowcontext.h"

namespace kova {

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
