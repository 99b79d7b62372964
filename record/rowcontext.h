#pragma once

#include "money.h"
#include "rowreport.h"

#include <QString>
#include <QStringList>

namespace kova {

// The row being converted. A job appends the record text and the log values,
// and reports each failed check through error() or warning().
class RowContext final
{
public:
    explicit RowContext(int index) : m_index(index) {}

    int index() const { return m_index; }      // row in the log table
    int line() const { return m_index + 1; }   // "LINE n"

    QString record;                            // detail record, without line feed
    QStringList values;                        // log values

    // column: the log column to mark, or -1 for none. A bare text names no field.
    void error(const MessageWords& words, int column = -1);
    void error(const QString& text, int column = -1) { error(MessageWords{text, {}, {}}, column); }
    // column: the log column whose text was cut, or -1 for none.
    void warning(const MessageWords& words, int column = -1);
    void addToTotal(Cents amount) { m_amount += amount; }

    int errors() const { return m_errors; }
    int warnings() const { return m_warnings; }
    Cents amount() const { return m_amount; }
    const RowMessages& messages() const { return m_messages; }
    const QVector<MarkedCell>& cells() const { return m_cells; }
    const QVector<MarkedCell>& warningCells() const { return m_warningCells; }

private:
    int m_index;
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
