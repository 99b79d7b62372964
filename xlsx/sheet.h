#pragma once

#include "cellstore.h"
#include "serialdate.h"
#include "stringpool.h"

#include <QVariant>

#include <string>

namespace xlsx {

class SharedStrings;
class Styles;
class ZipArchive;

// One worksheet, parsed once into its compact store; answers reads.
class Sheet final
{
public:
    // With formulasAsText, formula cells read as their formulas (see SheetReader).
    Sheet(const SharedStrings& sharedStrings, DateSystem dateSystem, bool formulasAsText);

    // False when the part is missing, breaks a limit or is not a readable sheet.
    bool load(const ZipArchive& archive, const std::string& part, const Styles& styles);
    CellRange usedRange() const { return m_cells.usedRange(); }
    QVariant read(int row, int column) const;
    QString text(int row, int column) const;

private:
    QVariant value(const Cell& cell) const;
    QVariant number(double value) const;

    const SharedStrings& m_sharedStrings;
    const DateSystem m_dateSystem;
    const bool m_formulasAsText;
    CellStore m_cells;
    StringPool m_texts;
};

} // namespace xlsx
