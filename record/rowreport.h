#pragma once

#include "money.h"
#include "rowmessage.h"

#include <QStringList>
#include <QVector>

namespace kova {

// A cell of the log table to highlight: row is the processed row's index in
// this export (its line number minus 1), column the index in values.
struct MarkedCell
{
    int row = 0;
    int column = 0;
    int message = -1;   // the row's message that marked it, for the cell to tell; -1 for none
    bool operator==(const MarkedCell& o) const { return row == o.row && column == o.column; }
};

// What an export reports for each processed row.
struct RowReport
{
    QStringList values;          // one per log column, as shown
    QVector<MarkedCell> cells;   // errors only, in the order found
    RowMessages messages;        // in the order found
    int amountColumn = 0;        // log column to right-align
    int sheetRow = 0;            // the row in the workbook, so the log can point at it
    QVector<MarkedCell> warningCells;   // cells cut with a warning, in the order found
    Cents amount = 0;            // the row's amount in the batch total
};

} // namespace kova
