#pragma once

#include "reader/cells/cellsink.h"
#include "reader/xml/plainmarkup.h"
#include "reader/xml/textedges.h"
#include "reader/xml/xmlparser.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace reader {

class SharedStrings;
class Styles;

// Turns the events of a worksheet part into cells, in one pass: every cell
// that holds a value goes to the sink, with its text if it has its own.
// Cells and rows without an r attribute take the next position; a position
// outside the sheet, or a shared string the table does not hold, fails the
// parse.
class SheetReader final : public XmlHandler
{
public:
    // With formulasAsText, a formula cell reads as its formula whatever result
    // it caches.
    SheetReader(const SharedStrings& sharedStrings, const Styles& styles, CellSink& sink, bool formulasAsText);

    void startElement(const char* name, const char** attributes) override;
    void endElement(const char* name) override;
    void characters(const char* text, int length) override;
    // Plain cells (see PlainCell) read whole, as their events would read them.
    std::size_t plainMarkup(const char* data, std::size_t size, std::string_view prefix,
                            const NamespaceScope& namespaces, int depthLeft) override;

private:
    enum class Type : unsigned char { Number, Shared, FormulaString, Inline, Boolean, Error, IsoDate };

    void beginRow(const char** attributes);
    void beginRow(std::optional<std::string_view> number);
    void beginCell(const char** attributes);
    void beginCell(std::optional<std::string_view> reference, std::optional<std::string_view> type,
                   std::optional<std::string_view> style);
    void addPlain(const PlainCell& cell);
    void collectInto(std::string& target);
    // The texts of <v> and of <is>: collected from the events, or viewed in
    // the bytes of a plain cell, which are not copied.
    void finishCell(std::string_view value, std::string_view inlineText);
    // Each adds the current cell.
    void addNumber(std::string_view text);
    // The cell's own text, kept with the sheet (inline, error, formula).
    void addText(std::string_view text, CellKind kind = CellKind::Text);
    // The cell's formula, as its text, for a cell without a result to trust.
    void addFormula();
    void addNumber(CellKind kind, double number);
    void addIndexed(CellKind kind, std::uint32_t index);

    const SharedStrings& m_sharedStrings;
    const Styles& m_styles;
    CellSink& m_sink;
    const bool m_keepsValues;
    const bool m_formulasAsText;

    bool m_inSheetData = false;
    int m_row = 0;
    int m_column = 0;

    bool m_inCell = false;
    int m_cellRow = 0;
    int m_cellColumn = 0;
    Type m_type = Type::Number;
    unsigned m_style = 0;
    bool m_hasValue = false;
    bool m_hasFormula = false;
    bool m_hasInline = false;
    bool m_inInline = false;
    int m_phonetic = 0;
    std::string* m_target = nullptr;
    std::string m_value;
    std::string m_formula;
    std::string m_inline;
    std::string m_decoded;
    TextEdges m_inlineEdges;
    PlainRow m_plainRow;
};

} // namespace reader
