#include "rowcontext.h"

#include "reader/document.h"

namespace kova {

namespace {

template <typename List>
void empty(List& list)
{
    if (list.isDetached())
        list.clear();   // a QVector keeps its capacity
    else
        list = List();
}

void empty(QString& text)
{
    if (text.isDetached())
        text.resize(0);   // keeps its memory
    else
        text = QString();
}

} // namespace

RowContext::RowContext(const TypeDescriptor& type)
    : m_type(type)
    , m_columns(type.logColumnByField.constData())
    , m_columnCount(type.logColumnByField.size())
{
}

void RowContext::start(int index)
{
    m_index = index;
    empty(record);
    m_errors = 0;
    m_warnings = 0;
    m_amount = 0;
    // A list from the start: the report takes it as it is, without a copy.
    const int columns = m_type.logColumns.size();
    if (m_values.size() == columns && m_values.isDetached()) {
        for (QString& value : m_values)
            empty(value);
    } else {
        m_values = QStringList();
        m_values.reserve(columns);
        for (int i = 0; i < columns; ++i)
            m_values.append(QString());
    }
    empty(m_messages);
    empty(m_cells);
    empty(m_warningCells);
}

void RowContext::showAt(int column, const QString& text)
{
    // A field its type keeps out of the log shows nowhere.
    if (column >= 0)
        m_values[column] = text;
}

const QString& RowContext::cellText(const reader::Document& sheet, int row, int column)
{
    if (column > 0)
        sheet.textInto(row, column, m_cell);
    else
        m_cell = QString();
    return m_cell;
}

QString& RowContext::placeAt(int column)
{
    if (column >= 0)
        return m_values[column];
    empty(m_unshown);
    return m_unshown;
}

void RowContext::error(MessageWords words, int column)
{
    m_messages.append({Severity::Error, line(), std::move(words)});
    ++m_errors;
    if (column >= 0)
        m_cells.append({m_index, column, m_messages.size() - 1});
}

void RowContext::warning(MessageWords words, int column)
{
    m_messages.append({Severity::Warning, line(), std::move(words)});
    ++m_warnings;
    if (column >= 0)
        m_warningCells.append({m_index, column, m_messages.size() - 1});
}

} // namespace kova
