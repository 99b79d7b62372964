#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace reader {

// A cell in one of the few shapes that make up nearly all of a sheet, read
// straight from its bytes in one go instead of element by element:
//
//   <c r="A1" s="1" t="s"/>                  <c ...></c>
//   <c ...><v>12</v></c>                     <c ...><is><t>text</t></is></c>
//
// with no attributes but r, s and t (each at most once), the text's <t>
// bare or marked xml:space="preserve", and text without references, markup
// or control characters other than tab and line feed, within the most one
// text may hold. Tags are written tight, as producers write them: white
// space only between the attributes of <c>.
struct PlainCell
{
    enum class Content : unsigned char { None, Value, InlineText };
    // The most elements a plain cell nests, itself included.
    static constexpr int kDepth = 3;

    std::optional<std::string_view> reference;
    std::optional<std::string_view> style;
    std::optional<std::string_view> type;
    Content content = Content::None;
    // The text of <v> or <t>, as written (it holds no references).
    std::string_view text;
    // Its <t> is marked xml:space="preserve".
    bool preserved = false;
};

// A whole row of plain cells, <row r="1" ...>cells</row> or <row .../>, its
// cells one after another with nothing between them. Its attributes are
// any but namespace declarations (at most 16, each once).
struct PlainRow
{
    static constexpr int kDepth = PlainCell::kDepth + 1;

    std::optional<std::string_view> number;
    std::vector<PlainCell> cells;
    // Of its prefixed attributes (x14ac:dyDescent): the namespaces in force
    // must bind them.
    std::vector<std::string_view> attributePrefixes;
};

// Each reads what begins at data, every element of it named with that
// prefix (empty, or "x:" with its colon), and returns the bytes it takes,
// or 0 when they are not a whole plain cell or row: any other shape, and one
// cut off before size, is the general parse's.
std::size_t readPlainCell(const char* data, std::size_t size, std::string_view prefix, PlainCell& cell);
std::size_t readPlainRow(const char* data, std::size_t size, std::string_view prefix, PlainRow& row);

} // namespace reader
