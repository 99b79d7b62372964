#pragma once

#include "reader/cells/sheetaccess.h"

#include <QString>
#include <QVariant>

namespace reader {

// The cells of the selected sheet of a package, as Document answers them:
// held whole, or read as they arrive for one pass through the rows.
class SheetCells
{
public:
    virtual ~SheetCells() = default;
    virtual CellRange usedRange() const = 0;
    virtual QVariant read(int row, int column) const = 0;
    virtual QString text(int row, int column) const = 0;
    // text() written over into, which may keep its memory.
    virtual void textInto(int row, int column, QString& into) const { into = text(row, column); }
    virtual bool rowsReach(int row) const { return row <= usedRange().lastRow(); }
    virtual bool isUnknown(int row, int column) const = 0;
    virtual bool mayHoldUnknown(int row) const = 0;
    virtual bool readIntact() const { return true; }
};

} // namespace reader
