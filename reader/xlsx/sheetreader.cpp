#include "sheetreader.h"

#include "reader/cells/cellreference.h"
#include "reader/xlsx/sharedstrings.h"
#include "reader/xlsx/styles.h"
#include "reader/xml/textescape.h"
#include "reader/cells/textlimit.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace reader {

namespace {

bool is(const char* name, const char* expected)
{
    return std::strcmp(name, expected) == 0;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The text without surrounding XML whitespace.
std::string_view trimmed(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isSpace(text[begin]))
        ++begin;
    while (end > begin && isSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

} // namespace

SheetReader::SheetReader(const SharedStrings& sharedStrings, const Styles& styles, CellSink& sink,
                         bool formulasAsText)
    : m_sharedStrings(sharedStrings)
    , m_styles(styles)
    , m_sink(sink)
    , m_keepsValues(sink.keepsValues())
    , m_formulasAsText(formulasAsText)
{
}

void SheetReader::startElement(const char* name, const char** attributes)
{
    if (!m_inSheetData) {
        if (is(name, "sheetData"))
            m_inSheetData = true;
        return;
    }
    switch (name[0]) {
    case 'c':
        if (name[1] == '\0')
            beginCell(attributes);
        return;
    case 'r':
        if (is(name, "row"))
            beginRow(attributes);
        else if (m_inCell && is(name, "rPh"))
            ++m_phonetic;
        return;
    default:
        break;
    }
    if (!m_inCell)
        return;
    if (name[0] != '\0' && name[1] == '\0') {
        switch (name[0]) {
        case 'v':
            m_hasValue = true;
            collectInto(m_value);
            return;
        case 'f':
            m_hasFormula = true;
            collectInto(m_formula);
            return;
        case 't':
            if (m_inInline && m_phonetic == 0) {
                // Runs of an inline string append to what came before.
                m_target = &m_inline;
                m_inlineEdges.run(attributes);
                collectText(true);
            }
            return;
        default:
            return;
        }
    }
    if (is(name, "is")) {
        m_hasInline = true;
        m_inInline = true;
    }
}

void SheetReader::endElement(const char* name)
{
    if (!m_inSheetData)
        return;
    // Most end tags in a sheet are </v>, </c> and </row>: decide on the
    // first letters before comparing whole names.
    const bool oneLetter = name[0] != '\0' && name[1] == '\0';
    if (oneLetter && (name[0] == 'v' || name[0] == 'f' || name[0] == 't')) {
        if (m_target) {
            m_target = nullptr;
            collectText(false);
        }
    } else if (oneLetter && name[0] == 'c') {
        if (m_inCell)
            finishCell(m_value, m_inline);
    } else if (name[0] == 'r' && name[1] == 'o' && name[2] == 'w' && name[3] == '\0') {
        // A row ends a million times in a full-size sheet, with nothing to do:
        // told by its letters, it is compared with none of the names below.
    } else if (is(name, "is")) {
        m_inInline = false;
    } else if (is(name, "rPh")) {
        if (m_phonetic > 0)
            --m_phonetic;
    } else if (is(name, "sheetData")) {
        m_inSheetData = false;
    }
}

void SheetReader::characters(const char* text, int length)
{
    if (!m_target)
        return;
    if (m_target->size() + std::size_t(length) > kMaxTextBytes)
        return fail(kLongTextProblem);
    m_target->append(text, std::size_t(length));
}

void SheetReader::beginRow(const char** attributes)
{
    std::optional<std::string_view> number;
    for (const char** a = attributes; *a; a += 2)
        if (a[0][0] == 'r' && a[0][1] == '\0')
            number = a[1];
    beginRow(number);
}

void SheetReader::beginRow(std::optional<std::string_view> number)
{
    if (number) {
        if (!parseRowNumber(*number, m_row))
            return fail("a row number outside the sheet");
    } else if (++m_row > kMaxRows) {
        return fail("more rows than a sheet may hold");
    }
    m_column = 0;
}

void SheetReader::beginCell(const char** attributes)
{
    std::optional<std::string_view> reference;
    std::optional<std::string_view> type;
    std::optional<std::string_view> style;
    for (const char** a = attributes; *a; a += 2) {
        const char* attributeName = a[0];
        if (attributeName[0] == '\0' || attributeName[1] != '\0')
            continue;
        switch (attributeName[0]) {
        case 'r': reference = a[1]; break;
        case 't': type = a[1]; break;
        case 's': style = a[1]; break;
        default: break;
        }
    }
    beginCell(reference, type, style);
}

void SheetReader::beginCell(std::optional<std::string_view> reference, std::optional<std::string_view> type,
                            std::optional<std::string_view> style)
{
    if (reference) {
        if (!parseCellReference(*reference, m_cellRow, m_cellColumn))
            return fail("a cell reference outside the sheet");
    } else {
        m_cellRow = m_row > 0 ? m_row : 1;
        m_cellColumn = m_column + 1;
        if (m_cellColumn > kMaxColumns)
            return fail("more columns than a sheet may hold");
    }
    m_column = m_cellColumn;

    m_type = Type::Number;
    if (type) {
        if (*type == "s")
            m_type = Type::Shared;
        else if (*type == "str")
            m_type = Type::FormulaString;
        else if (*type == "inlineStr")
            m_type = Type::Inline;
        else if (*type == "b")
            m_type = Type::Boolean;
        else if (*type == "e")
            m_type = Type::Error;
        else if (*type == "d")
            m_type = Type::IsoDate;
    }
    m_style = 0;
    if (style) {
        // Style indexes are small; a value too large for the table (or not a
        // number) just means no date format.
        for (std::size_t i = 0; i < style->size() && (*style)[i] >= '0' && (*style)[i] <= '9' && m_style < (1u << 24); ++i)
            m_style = m_style * 10 + unsigned((*style)[i] - '0');
    }

    m_inCell = true;
    m_hasValue = m_hasFormula = m_hasInline = m_inInline = false;
    m_phonetic = 0;
    m_value.clear();
    m_formula.clear();
    m_inline.clear();
    m_inlineEdges.clear();
}

std::size_t SheetReader::plainMarkup(const char* data, std::size_t size, std::string_view prefix,
                                     const NamespaceScope& namespaces, int depthLeft)
{
    // Only where the events of a row or a cell would start one: text being
    // collected, or markup nested too deep, goes the general way.
    if (!m_inSheetData || m_target || depthLeft < PlainCell::kDepth)
        return 0;
    // A prefix nothing binds makes the part malformed: the events refuse it.
    const auto unbound = [&namespaces](std::string_view p) {
        return namespaces.ofPrefix(p.data(), p.size()) == Namespace::Unbound;
    };
    // Whole rows, one after another, while they are plain; else one cell.
    std::size_t used = 0;
    if (depthLeft >= PlainRow::kDepth) {
        while (ok()) {
            const std::size_t row = readPlainRow(data + used, size - used, prefix, m_plainRow);
            if (row == 0 || std::any_of(m_plainRow.attributePrefixes.begin(), m_plainRow.attributePrefixes.end(), unbound))
                break;
            beginRow(m_plainRow.number);
            for (const PlainCell& cell : m_plainRow.cells) {
                if (!ok())
                    break;
                addPlain(cell);
            }
            used += row;
        }
    }
    if (used > 0)
        return used;
    PlainCell cell;
    used = readPlainCell(data, size, prefix, cell);
    if (used > 0)
        addPlain(cell);
    return used;
}

void SheetReader::addPlain(const PlainCell& cell)
{
    beginCell(cell.reference, cell.type, cell.style);
    if (!ok())
        return;
    switch (cell.content) {
    case PlainCell::Content::None:
        return finishCell({}, {});
    case PlainCell::Content::Value:
        m_hasValue = true;
        return finishCell(cell.text, {});
    case PlainCell::Content::InlineText:
        m_hasInline = true;
        m_inlineEdges.run(cell.preserved);
        return finishCell({}, cell.text);
    }
}

void SheetReader::collectInto(std::string& target)
{
    target.clear();
    m_target = &target;
    collectText(true);
}

void SheetReader::finishCell(std::string_view value, std::string_view inlineText)
{
    m_inCell = false;
    if (m_hasInline)
        inlineText = m_inlineEdges.trimmed(inlineText);
    if (m_hasFormula && m_formulasAsText) {
        // The workbook asks to be recalculated when opened: what it caches
        // need not be what a spreadsheet program shows.
        return addFormula();
    }
    // Scripts write formulas without calculating them: the cached value is
    // there but empty. Only a text result can rightly be empty; anything
    // else has no result and reads as its formula.
    if (m_hasValue && m_type != Type::FormulaString)
        m_hasValue = !trimmed(value).empty();
    if (m_hasValue) {
        switch (m_type) {
        case Type::Number:
            return addNumber(value);
        case Type::Shared: {
            const std::string_view digits = trimmed(value);
            const char* const end = digits.data() + digits.size();
            std::uint32_t index = 0;
            const auto parsed = std::from_chars(digits.data(), end, index);
            // A text the table does not hold would silently empty the cell.
            if (parsed.ec != std::errc() || parsed.ptr != end || index >= m_sharedStrings.count())
                return fail("a shared string its table does not hold");
            // A formula showing the empty string shows nothing: no value.
            if (m_hasFormula && m_sharedStrings.text(index).isEmpty())
                return;
            return addIndexed(CellKind::SharedString, index);
        }
        case Type::Boolean:
            if (value == "1" || value == "true")
                return addNumber(CellKind::Boolean, 1.0);
            if (value == "0" || value == "false")
                return addNumber(CellKind::Boolean, 0.0);
            return addText(value);
        case Type::Inline: {
            const std::string_view text = m_hasInline ? inlineText : value;
            if (m_hasFormula && text.empty())
                return;
            return addText(text);
        }
        case Type::IsoDate:
            return addIndexed(CellKind::IsoDate, m_keepsValues ? m_sink.addText(value) : 0);
        case Type::FormulaString:
            if (m_hasFormula && value.empty())
                return;
            return addText(value);
        case Type::Error:
            return addText(value);
        }
    }
    if (m_hasInline)
        return addText(inlineText);
    if (m_hasFormula)
        return addFormula();
}

void SheetReader::addNumber(std::string_view text)
{
    std::string_view digits = trimmed(text);
    if (digits.empty())
        return;
    // Number or not, the cell holds a value.
    if (!m_keepsValues)
        return addNumber(CellKind::Number, 0.0);
    if (digits.front() == '+')
        digits.remove_prefix(1);
    const char* const end = digits.data() + digits.size();
    double number = 0.0;
    const auto parsed = std::from_chars(digits.data(), end, number);
    if (parsed.ec != std::errc() || parsed.ptr != end)
        return addText(text);
    addNumber(m_styles.isDate(m_style) ? CellKind::Date : CellKind::Number, number);
}

void SheetReader::addText(std::string_view text, CellKind kind)
{
    if (!m_keepsValues)
        return addIndexed(kind, 0);
    addIndexed(kind, m_sink.addText(decodeEscapes(text, m_decoded)));
}

void SheetReader::addFormula()
{
    m_formula.insert(0, 1, '=');
    addText(m_formula, CellKind::Formula);
}

void SheetReader::addNumber(CellKind kind, double number)
{
    Cell cell{};
    cell.row = std::uint32_t(m_cellRow);
    cell.column = std::uint16_t(m_cellColumn);
    cell.kind = kind;
    cell.number = number;
    m_sink.add(cell);
}

void SheetReader::addIndexed(CellKind kind, std::uint32_t index)
{
    Cell cell{};
    cell.row = std::uint32_t(m_cellRow);
    cell.column = std::uint16_t(m_cellColumn);
    cell.kind = kind;
    cell.index = index;
    m_sink.add(cell);
}

} // namespace reader
