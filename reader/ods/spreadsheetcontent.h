#pragma once

#include "reader/cells/cellstore.h"
#include "reader/cells/stringpool.h"
#include "reader/ods/opendocumentxml.h"

#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

namespace reader {

// The tables of an OpenDocument spreadsheet's content.xml: every sheet's
// name, and the cells of one of them. Repeated rows and cells are not
// expanded into empty cells: a run of empty ones only moves the position on,
// so LibreOffice's trailing million empty rows cost nothing; a repeated cell
// with a value becomes as many cells, bounded as any sheet's.
//
// Kinds of the cells kept (CellStore):
//   Number   a float, currency or percentage value
//   Date     a time value, as a date serial of the 1900 system
//   IsoDate  a date value, in milliseconds since 1970-01-01 UTC
//   Boolean  0 or 1
//   Text     a string, or an error's text, in texts()
//   Formula  "=" and the formula of a formula cell without a result, in texts()
class SpreadsheetContent final : public OdfHandler
{
public:
    // Reads the cells of the sheet of this index (0-based); -1 for none.
    explicit SpreadsheetContent(int sheet = -1) : m_wanted(sheet) {}

    const QStringList& sheetNames() const { return m_names; }
    // The wanted sheet's cells; finished once the part is parsed.
    const CellStore& cells() const { return m_cells; }
    const StringPool& texts() const { return m_texts; }
    std::size_t formulas() const { return m_formulas; }

    void startElement(const OdfName& name, const char** attributes) override;
    void endElement(const OdfName& name) override;
    void characters(const char* text, std::size_t length) override;

private:
    struct Value
    {
        CellKind kind;
        double number = 0.0;
    };

    void beginRow(const char** attributes);
    void endRow();
    void beginCell(const char** attributes, bool covered);
    void endCell();
    void beginParagraphElement(const OdfName& name, const char** attributes);
    // The value the cell's attributes give, false when they give none and the
    // paragraphs are the value (or there is none).
    bool valueOfAttributes(Value& value);
    void append(const char* text, std::size_t length);

    const int m_wanted;
    QStringList m_names;
    int m_depth = 0;
    int m_spreadsheetDepth = 0;   // depth of office:spreadsheet, 0 outside it
    int m_tableDepth = 0;         // depth of the wanted sheet's table:table, 0 outside it
    int m_rowDepth = 0;
    int m_cellDepth = 0;
    int m_paragraphDepth = 0;
    int m_skipDepth = 0;          // an element inside a paragraph whose text is not the cell's

    std::int64_t m_row = 1;       // 1-based, the row the next table:table-row is
    std::int64_t m_rowRepeat = 1;
    std::int64_t m_column = 1;    // the column the next cell is
    std::int64_t m_cellRepeat = 1;
    bool m_covered = false;
    // The cell's attributes that say its value.
    std::string m_valueType, m_calcType, m_value, m_dateValue, m_timeValue, m_booleanValue, m_formula;
    bool m_hasStringValue = false, m_hasValue = false;
    std::string m_text;
    int m_paragraphs = 0;
    bool m_swallowSpace = false;

    // The current row's cells, kept until its repeat is known to fit.
    std::vector<Cell> m_rowCells;
    CellStore m_cells;
    std::size_t m_cellCount = 0;
    StringPool m_texts;
    std::size_t m_formulas = 0;
};

} // namespace reader
