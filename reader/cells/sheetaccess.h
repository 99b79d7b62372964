#pragma once

#include <QByteArray>

namespace reader {

// The used range of a sheet: the smallest rectangle holding every cell that
// has a value. An empty sheet has no used range; all four bounds are 0.
class CellRange final
{
public:
    CellRange() = default;
    CellRange(int firstRow, int firstColumn, int lastRow, int lastColumn)
        : m_firstRow(firstRow), m_firstColumn(firstColumn), m_lastRow(lastRow), m_lastColumn(lastColumn) {}

    int firstRow() const { return m_firstRow; }
    int firstColumn() const { return m_firstColumn; }
    int lastRow() const { return m_lastRow; }
    int lastColumn() const { return m_lastColumn; }
    bool isValid() const { return m_lastRow > 0 && m_lastColumn > 0; }

private:
    int m_firstRow = 0;
    int m_firstColumn = 0;
    int m_lastRow = 0;
    int m_lastColumn = 0;
};

// How the selected sheet is to be read.
enum class SheetAccess
{
    // Held whole once selected: any cell, any number of times, at once.
    Random,
    // For one pass through the rows in order, as an export makes: an .xlsx
    // sheet is surveyed once for its used range and then read as its rows
    // arrive, holding only the rows not yet passed, so memory does not grow
    // with its length. Any read still answers as Random does; one behind the
    // rows held reads the sheet again from its start. An .xls workbook, an
    // .ods spreadsheet and delimited text are held whole.
    Forward,
    // As Forward, in a single reading of the sheet with no survey before it,
    // on the assumption that the sheet lists its rows in order and that its
    // top rows are as wide as any: the used range's columns are those of the
    // rows read when dimension() is first asked for, and its last row is not
    // known (the last row a sheet may have) until rowsReach() finds the end.
    // A sheet that does not keep to that, or does not read, reads as far as
    // the breach and then ends, and readIntact() is false: what was read is
    // not the sheet, and it is to be read again with Forward. Delimited text
    // is read so too, and also breaks off where a later part of it does not
    // read as its start said (bytes that are not UTF-8 after a start that is)
    // or a row is asked for again after rowsReach() passed it by thousands.
    InOrder,
};

// The bytes of a whole package, to be read without a file.
struct InMemory final
{
    QByteArray package;
};

} // namespace reader
