#pragma once

#include "money.h"
#include "rowreport.h"
#include "types/typedescriptor.h"

#include <QString>
#include <QStringList>

#include <type_traits>
#include <utility>

namespace reader { class Document; }

namespace kova {

// The row being converted. A job appends the record text, shows each field's
// value in the log column its type declares for it, and reports each failed
// check through error() or warning(), marking that field's column.
class RowContext final
{
public:
    explicit RowContext(const TypeDescriptor& type);
    RowContext(int index, const TypeDescriptor& type) : RowContext(type) { start(index); }
    RowContext(const RowContext&) = delete;
    RowContext& operator=(const RowContext&) = delete;

    // Begins row index with nothing shown or said. An export converts all its
    // rows in one context: a list no report still holds (kova-export keeps
    // none) keeps its memory for the next row, so a full-size batch does not
    // allocate its lists row by row; a list a sink kept (the window's) is
    // left to it and the row gets a new one.
    void start(int index);

    int index() const { return m_index; }      // row in the log table
    int line() const { return m_index + 1; }   // "LINE n"

    QString record;                            // detail record, without line feed

    // Field is the type's field enum.
    template <typename Field>
    void show(Field field, const QString& text) { showAt(column(field), text); }
    template <typename Field>
    const QString& shown(Field field) const { return m_values.at(column(field)); }
    // What show() sets, to be written in place (putLeftField()), empty at the
    // row's start: where nobody keeps the rows, it keeps its memory from row
    // to row. A field its type keeps out of the log gets a string of its own.
    template <typename Field>
    QString& place(Field field) { return placeAt(column(field)); }
    // The log column of field, -1 for none; its title names it in messages.
    template <typename Field>
    int column(Field field) const { return columnOf(int(field)); }
    template <typename Field>
    const QString& title(Field field) const { return m_type.logColumns.at(column(field)).title; }
    // One per log column, as shown.
    const QStringList& values() const { return m_values; }

    // cellText() read into the context's own string, which keeps its memory
    // from row to row: valid until the next call.
    const QString& cellText(const reader::Document& sheet, int row, int column);

    // column: the log column to mark, or -1 for none. A bare text names no field.
    // Taken by value: a message made for the call moves into the row's list.
    void error(MessageWords words, int column = -1);
    void error(const QString& text, int column = -1) { error(MessageWords{text, {}, {}}, column); }
    // column: the log column whose text was cut, or -1 for none.
    void warning(MessageWords words, int column = -1);
    template <typename Field, typename = std::enable_if_t<std::is_enum<Field>::value>>
    void error(MessageWords words, Field field) { error(std::move(words), column(field)); }
    template <typename Field, typename = std::enable_if_t<std::is_enum<Field>::value>>
    void error(const QString& text, Field field) { error(text, column(field)); }
    template <typename Field, typename = std::enable_if_t<std::is_enum<Field>::value>>
    void warning(MessageWords words, Field field) { warning(std::move(words), column(field)); }
    void addToTotal(Cents amount) { m_amount += amount; }

    int errors() const { return m_errors; }
    int warnings() const { return m_warnings; }
    Cents amount() const { return m_amount; }
    const RowMessages& messages() const { return m_messages; }
    const QVector<MarkedCell>& cells() const { return m_cells; }
    const QVector<MarkedCell>& warningCells() const { return m_warningCells; }

private:
    void showAt(int column, const QString& text);
    QString& placeAt(int column);
    int columnOf(int field) const
    {
        return field >= 0 && field < m_columnCount ? m_columns[field] : m_type.logColumnOf(field);
    }

    int m_index = 0;
    const TypeDescriptor& m_type;
    // The type's log column of each field, asked for several times a field a row.
    const int* m_columns;
    int m_columnCount;
    QStringList m_values;
    QString m_unshown;
    QString m_cell;
    int m_errors = 0;
    int m_warnings = 0;
    Cents m_amount = 0;
    RowMessages m_messages;
    QVector<MarkedCell> m_cells;
    QVector<MarkedCell> m_warningCells;
};

struct ExportTotals
{
    Cents total = 0;
    int count = 0;   // processed rows = detail records
};

} // namespace kova
