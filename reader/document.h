#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "reader/cells/sheetaccess.h"
#include "reader/cells/textoptions.h"

#include <memory>
#include <optional>

namespace reader {

class Book;

// Read-only access to a workbook: an .xlsx (or .xlsm) package, an Excel
// 97-2003 .xls workbook, an OpenDocument .ods spreadsheet, or delimited text
// (a CSV file) as a workbook of one sheet named after the file. The format is
// told by the content, not the name.
//
// Constructing a Document opens the file and reads the workbook's sheet list;
// a file that is not a readable workbook opens as a workbook without sheets,
// and isPasswordProtected() tells an encrypted one the password did not open
// from the others. A workbook saved with Excel's default key opens without
// one; the password is used for the opening and not kept.
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
    // Delimited text is read with text, which every caller states: two
    // readers of one file may well have been told two delimiters.
    Document(const QString& path, const TextOptions& text, SheetAccess access = SheetAccess::Random,
             const QString& password = {});
    // Delimited text from memory is a sheet named "Sheet1".
    explicit Document(const InMemory& bytes, const TextOptions& text = {}, SheetAccess access = SheetAccess::Random,
                      const QString& password = {});
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    QStringList sheetNames() const;
    // The file is a workbook saved with a password that was not given or was
    // wrong (problem() says which): it has no sheets to read.
    bool isPasswordProtected() const;
    // Password-protected, and another password may open it: not one whose
    // encryption the reader does not undo (an .ods saved with a password).
    bool opensWithPassword() const;
    // Exact name match; false for an unknown name or a sheet that cannot be read.
    bool selectSheet(const QString& name);
    // Used range of the selected sheet (computed from the cells themselves).
    CellRange dimension() const;
    QVariant read(int row, int column) const;
    // read(row, column).toString(), without the variant in between: a sheet's
    // cells are mostly read as text, millions of them.
    QString text(int row, int column) const;
    // text() written over into: where the format allows, a string that holds
    // its memory alone keeps it, so a million cells read into one string are
    // not a million allocations.
    void textInto(int row, int column, QString& into) const;
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
    // Opened with SheetAccess::InOrder: its rows are read once as they are
    // asked for, so what they show is learnt as they pass.
    bool isReadOnce() const { return m_access == SheetAccess::InOrder; }
    // What delimited text was read with: the delimiter and encoding found,
    // the date order and decimal mark chosen. Defaults for a workbook.
    TextOptions textOptions() const;

private:
    std::unique_ptr<Book> m_book;
    bool m_delimitedText = false;
    SheetAccess m_access = SheetAccess::Random;
};

} // namespace reader
