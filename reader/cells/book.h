#pragma once

#include "reader/cells/sheetaccess.h"
#include "reader/cells/textoptions.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace reader {

// What Document asks of the reader of each format it opens: the .xlsx
// package, the legacy .xls workbook and delimited text answer alike, so
// everything after the reader is the same code for every format.
class Book
{
public:
    virtual ~Book() = default;

    virtual QStringList sheetNames() const = 0;
    virtual bool selectSheet(const QString& name) = 0;
    virtual CellRange dimension() const = 0;
    virtual QVariant read(int row, int column) const = 0;
    virtual QString text(int row, int column) const = 0;
    // text() written over into, which a format that reads many cells keeps
    // the memory of.
    virtual void textInto(int row, int column, QString& into) const { into = text(row, column); }
    virtual bool rowsReach(int row) const { return row <= dimension().lastRow(); }
    // The cell holds a formula whose result the workbook does not vouch for.
    virtual bool isUnknown(int /*row*/, int /*column*/) const { return false; }
    // False when no cell of the row is unknown, so that its cells need not be
    // asked one by one; true when one may be.
    virtual bool mayHoldUnknown(int /*row*/) const { return false; }
    // Why the file or the selected sheet cannot be read, and where, for the
    // user; empty when it reads or no more is known.
    virtual QString problem() const { return {}; }
    // Delimited text refused for bytes its encoding does not allow: an
    // encoding the whole text reads in, to suggest.
    virtual std::optional<TextEncoding> encodingToTry() const { return std::nullopt; }
    // A workbook saved with a password opens without sheets; this tells it
    // from one that cannot be read at all.
    virtual bool isPasswordProtected() const { return false; }
    // Password-protected in a way the reader undoes: another password may open it.
    virtual bool opensWithPassword() const { return false; }
    virtual bool readIntact() const { return true; }
    // Delimited text: what the selected sheet was read with.
    virtual TextOptions textOptions() const { return {}; }
};

} // namespace reader
