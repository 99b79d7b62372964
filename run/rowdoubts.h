#pragma once

#include "record/cellreading.h"
#include "record/rowmessage.h"
#include "types/typedescriptor.h"

#include <QVector>

namespace reader { class Document; }

namespace kova {

class RowContext;

// The mapped cells of a row whose value the source does not vouch for: a
// formula whose result the workbook does not hold or asks to have
// recalculated, or a date of delimited text that reads as no date. Such a
// row is an error, never a payment of what the cell's text happens to say,
// and never left out by a filter that would have read that value.
class RowDoubts final
{
public:
    // columns: the sheet column of each of the type's fields, in field order.
    RowDoubts(const TypeDescriptor& type, const QVector<int>& columns, const CellReading& reading);

    // Finds the doubts of row; true when it has any.
    bool find(const reader::Document& sheet, int row);
    // Reports those found as the row's errors, each marking its field's column.
    void report(RowContext& out) const;

private:
    struct Field
    {
        int column;      // in the sheet
        int logColumn;   // in the log, -1 for none
        MessageWords words;
    };
    const CellReading m_reading;
    QVector<Field> m_fields;
    QVector<Field> m_dates;   // delimited text's date fields
    QVector<const Field*> m_found;
};

} // namespace kova
