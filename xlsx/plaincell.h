#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace xlsx {

// A cell in one of the few shapes that make up nearly all of a sheet, read
// straight from its bytes in one go instead of element by element:
//
//   <c r="A1" s="1" t="s"/>                  <c ...></c>
//   <c ...><v>12</v></c>                     <c ...><is><t>text</t></is></c>
//
// with no attributes but r, s and t (each at most once), the text's <t>
// bare or marked xml:space="preserve", and text without references, markup
// or control characters other than tab and line feed. Tags are written
// tight, as producers write them: spaces only between the attributes of <c>.
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

// Reads the cell whose start tag begins at data, every element of it named
// with that prefix (empty, or "x:" with its colon). Returns the bytes the
// whole cell takes, or 0 when the bytes are not one whole plain cell: any
// other shape, and a cell cut off before size, is the general parse's.
std::size_t readPlainCell(const char* data, std::size_t size, std::string_view prefix, PlainCell& cell);

} // namespace xlsx
