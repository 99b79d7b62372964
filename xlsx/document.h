#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "textoptions.h"

#include <memory>
#include <optional>

namespace xlsx {

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

class Book;

// How the selected sheet is to be read.
enum class SheetAccess
{
    // Held whole once selected: any cell, any number of times, at once.
    Random,
    // For one pass through the rows in order, as an export makes: an .xlsx
    // sheet is surveyed once for its used range and then read as its rows
    // arrive, holding only the rows not yet passed, so memory does not grow
    // with its length. Any read still answers as Random does; one behind the
    // rows held reads the sheet again from its start. An .xls workbook and
    // delimited text are held whole either way.
    Forward,
    // As Forward, in a single reading of the sheet with no survey before it,
    // on the assumption that the sheet lists its rows in order and that its
    // top rows are as wide as any: the used range's columns are those of the
    // rows read when dimension() is first asked for, and its last row is not
    // known (the last row a sheet may have) until rowsReach() finds the end.
    // A sheet that does not keep to that, or does not read, reads as far as
    // the breach and then ends, and readIntact() is false: what was read is
    // not the sheet, and it is to be read again with Forward.
    InOrder,
};

// The bytes of a whole package, to be read without a file.
struct InMemory final
{
    QByteArray package;
};

// Read-only access to a workbook: an .xlsx (or .xlsm) package, an Excel
// 97-2003 .xls workbook, or delimited text (a CSV file) as a workbook of one
// sheet named after the file. The format is told by the content, not the name.
//
// Constructing a Document opens the file and reads the workbook's sheet list;
// a file that is not a readable workbook opens as a workbook without sheets,
// and isPasswordProtected() tells an encrypted one from the others.
// selectSheet() parses the chosen sheet in one streaming pass into a compact
// in-memory store, and read() answers from that store; or, with
// SheetAccess::Forward, surveys it and reads its rows as they are asked for.
//
// read() returns (rows and columns 1-based):
//   - an invalid QVariant for a cell without a value;
//   - QString for text (shared or inline strings, without the white space at
//     their ends that no <t> there preserves; error cells such as "#N/A"; and
//     "=" + formula for a formula cell that carries no cached result, or any
//     formula cell of a workbook that asks to be recalculated when opened);
//     a formula whose result is the empty string has no value;
//   - qlonglong for a whole number below 10^15 in magnitude, double otherwise;
//   - bool for booleans;
//   - QDate for a date-formatted number that is a whole day, QDateTime (UTC,
//     no time-zone shift) otherwise.
class Document final
{
public:
    // Delimited text is read with the options chosen for the path (textoptions.h).
    explicit Document(const QString& path);
    Document(const QString& path, const TextOptions& text, SheetAccess access = SheetAccess::Random);
    // Delimited text from memory is a sheet named "Sheet1".
    explicit Document(const InMemory& bytes, const TextOptions& text = {}, SheetAccess access = SheetAccess::Random);
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    QStringList sheetNames() const;
    // The file is a workbook saved with a password: it has no sheets to read.
    bool isPasswordProtected() const;
    // Exact name match; false for an unknown name or a sheet that cannot be read.
    bool selectSheet(const QString& name);
    // Used range of the selected sheet (computed from the cells themselves).
    CellRange dimension() const;
    QVariant read(int row, int column) const;
    // read(row, column).toString(), without the variant in between: a sheet's
    // cells are mostly read as text, millions of them.
    QString text(int row, int column) const;
    // The cell holds a formula whose result the workbook does not vouch for
    // (none is stored, or the workbook asks to be recalculated when opened):
    // it reads as "=" and its formula, but its value is not known, and no
    // payment may be made of it.
    bool isUnknown(int row, int column) const;
    // False when no cell of the row is unknown: a sheet without such cells
    // need not be asked cell by cell.
    bool mayHoldUnknown(int row) const;
    // Why the file, or the sheet last selected, cannot be read, and where
    // ("line 12: ..."), for the user; empty when it reads or no more is known.
    QString problem() const;
    // Delimited text refused for bytes that are not valid in its encoding
    // (the problem says which): another encoding the whole text reads in, the
    // one for the user to try; nullopt otherwise.
    std::optional<TextEncoding> encodingToTry() const;
    // The used range reaches down to row (dimension().lastRow() >= row); a
    // sheet read with SheetAccess::InOrder is read until a later row or its end.
    bool rowsReach(int row) const;
    // False when a sheet read as its rows arrive (SheetAccess::Forward) no
    // longer reads as it did when selected (the file was changed in place
    // meanwhile), or one read with SheetAccess::InOrder broke its assumption:
    // the rows read from it are not the sheet that was chosen.
    // Waits for the rest of the sheet; a sheet held whole is always intact.
    bool readIntact() const;
    // Whether the file is read as delimited text, where the delimiter and the encoding may be chosen.
    bool isDelimitedText() const { return m_delimitedText; }
    // What delimited text was read with: the delimiter and encoding found,
    // the date order and decimal mark chosen. Defaults for a workbook.
    TextOptions textOptions() const;

private:
    std::unique_ptr<Book> m_book;
    bool m_delimitedText = false;
};

} // namespace xlsx
