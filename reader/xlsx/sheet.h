#pragma once

#include "reader/cells/cellsink.h"
#include "reader/cells/cellstore.h"
#include "reader/xlsx/cellvalues.h"
#include "reader/xlsx/sheetcells.h"
#include "reader/cells/stringpool.h"

#include <string>

namespace reader {

class SharedStrings;
class Styles;
class ZipArchive;

// One worksheet, parsed once into its compact store; answers reads.
class Sheet final : public SheetCells, private CellSink
{
public:
    // With formulasAsText, formula cells read as their formulas (see SheetReader).
    Sheet(const SharedStrings& sharedStrings, DateSystem dateSystem, bool formulasAsText);

    // False when the part is missing, breaks a limit or is not a readable sheet.
    bool load(const ZipArchive& archive, const std::string& part, const Styles& styles);
    CellRange usedRange() const override { return m_cells.usedRange(); }
    QVariant read(int row, int column) const override;
    QString text(int row, int column) const override;
    void textInto(int row, int column, QString& into) const override;
    bool isUnknown(int row, int column) const override;
    bool mayHoldUnknown(int) const override { return m_formulas > 0; }

private:
    bool keepsValues() const override { return true; }
    std::uint32_t addText(std::string_view utf8) override { return m_texts.add(utf8); }
    void add(Cell cell) override
    {
        m_formulas += cell.kind == CellKind::Formula;
        m_cells.append(cell);
    }

    const SharedStrings& m_sharedStrings;
    const CellValues m_values;
    const bool m_formulasAsText;
    CellStore m_cells;
    StringPool m_texts;
    // Most sheets hold none: their cells need not be looked up to tell.
    std::size_t m_formulas = 0;
};

} // namespace reader
