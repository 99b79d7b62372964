#include "plainmarkup.h"

#include "reader/xml/markupbytes.h"
#include "reader/cells/textlimit.h"

#include <cstring>

namespace reader {

using namespace markup;

namespace {

// Takes the tag made of open, the prefix and rest ("<" "x:" "v>") at p.
inline bool take(const char*& p, const char* end, std::string_view open, std::string_view prefix, std::string_view rest)
{
    if (std::size_t(end - p) < open.size() + prefix.size() + rest.size()
        || std::memcmp(p, open.data(), open.size()) != 0
        || (!prefix.empty() && std::memcmp(p + open.size(), prefix.data(), prefix.size()) != 0)
        || std::memcmp(p + open.size() + prefix.size(), rest.data(), rest.size()) != 0)
        return false;
    p += open.size() + prefix.size() + rest.size();
    return true;
}

// Views are returned, not written through a reference: a view stored in two
// halves and loaded whole stalls the load.
constexpr std::string_view kNone;

// The quoted attribute value after an attribute's name at p, as the scanner
// takes one; kNone (no data at all) when there is none.
inline std::string_view takeValue(const char* p, const char* end)
{
    while (p < end && isSpace(*p))
        ++p;
    if (p >= end || *p != '=')
        return kNone;
    ++p;
    while (p < end && isSpace(*p))
        ++p;
    if (p >= end || (*p != '"' && *p != '\''))
        return kNone;
    const char quote = *p++;
    const char* const begin = p;
    // Up to the first byte that is the quote or breaks the value.
    for (;;) {
        if (end - p >= kWideBytes) {
            const unsigned plain = widePlainValueBytes(p, quote);
            p += plain;
            if (plain == kWideBytes)
                continue;
        } else if (end - p >= 8) {
            const unsigned plain = plainValueBytes(p, quote);
            p += plain;
            if (plain == 8)
                continue;
        } else {
            while (p < end && *p != quote && !has(*p, ValueStop))
                ++p;
            if (p == end)
                return kNone;
        }
        break;
    }
    if (*p != quote)
        return kNone;
    return std::string_view(begin, std::size_t(p - begin));
}

// Past the value and its closing quote.
inline const char* after(std::string_view value)
{
    return value.data() + value.size() + 1;
}

enum class TagEnd { No, Yes, Malformed };

// The end of a start tag at p ('>', or "/>" for an empty element): past it.
inline TagEnd takeTagEnd(const char*& p, const char* end, bool& empty)
{
    if (*p == '>') {
        ++p;
        empty = false;
        return TagEnd::Yes;
    }
    if (*p != '/')
        return TagEnd::No;
    if (end - p < 2 || p[1] != '>')
        return TagEnd::Malformed;
    p += 2;
    empty = true;
    return TagEnd::Yes;
}

// Past the white space at p (spaced: there was some), then past the end of
// the start tag where it stands there.
inline TagEnd nextAttribute(const char*& p, const char* end, bool& empty, bool& spaced)
{
    const char* const before = p;
    while (p < end && isSpace(*p))
        ++p;
    spaced = p != before;
    return p < end ? takeTagEnd(p, end, empty) : TagEnd::Malformed;
}

// The attributes of <c> and the end of its start tag, from p after its name.
inline bool takeAttributes(const char*& p, const char* end, PlainCell& cell, bool& empty)
{
    for (;;) {
        bool spaced = false;
        const TagEnd ended = nextAttribute(p, end, empty, spaced);
        if (ended != TagEnd::No)
            return ended == TagEnd::Yes;
        std::optional<std::string_view>* value;
        switch (*p) {
        case 'r': value = &cell.reference; break;
        case 's': value = &cell.style; break;
        case 't': value = &cell.type; break;
        default: return false;
        }
        // An attribute twice makes the tag malformed.
        if (!spaced || *value)
            return false;
        const std::string_view text = takeValue(p + 1, end);
        if (text.data() == nullptr)
            return false;
        *value = text;
        p = after(text);
    }
}

// The text from p up to the next '<', or kNone.
inline std::string_view takeText(const char* p, const char* end)
{
    const char* const begin = p;
    for (;;) {
        // Up to the next byte that is not plain text. The end tags after a
        // text take eight bytes at least: nearer the end it is cut off.
        if (end - p < 8)
            return kNone;
        const std::ptrdiff_t width = end - p >= kWideBytes ? kWideBytes : 8;
        const unsigned plain = width == 8 ? plainTextBytes(p) : widePlainTextBytes(p);
        p += plain;
        if (plain == width)
            continue;
        const char c = *p;
        if (c == '<')
            return std::size_t(p - begin) <= kMaxTextBytes ? std::string_view(begin, std::size_t(p - begin)) : kNone;
        if (c == '\t' || c == '\n') {
            ++p;
        } else if (c == '>') {
            // "]]>" may not appear in text.
            if (p - begin >= 2 && p[-1] == ']' && p[-2] == ']')
                return kNone;
            ++p;
        } else if (static_cast<unsigned char>(c) < 0x80) {
            // References and control characters.
            return kNone;
        } else {
            const std::size_t length = utf8Length(reinterpret_cast<const unsigned char*>(p),
                                                  reinterpret_cast<const unsigned char*>(end));
            if (length == 0)
                return kNone;
            p += length;
        }
    }
}

// The attributes of <row> and the end of its start tag, from p after its
// name; r is its number.
inline bool takeRowAttributes(const char*& p, const char* end, PlainRow& row, bool& empty)
{
    constexpr int kMaxAttributes = 16;
    // Left uninitialized: a row has a few attributes, mostly one.
    struct Name { const char* begin; std::size_t size; };
    Name names[kMaxAttributes];
    int count = 0;
    for (;;) {
        bool spaced = false;
        const TagEnd ended = nextAttribute(p, end, empty, spaced);
        if (ended != TagEnd::No)
            return ended == TagEnd::Yes;
        if (!spaced || !isNameStart(*p) || count == kMaxAttributes)
            return false;
        const char* const nameBegin = p;
        const char* colon = nullptr;
        while (p < end && isNameChar(*p)) {
            if (*p == ':' && !colon)
                colon = p;
            ++p;
        }
        const std::string_view name(nameBegin, std::size_t(p - nameBegin));
        if (name.substr(0, 5) == "xmlns")
            return false;
        if (colon)
            row.attributePrefixes.emplace_back(nameBegin, std::size_t(colon - nameBegin));
        for (int i = 0; i < count; ++i)
            if (std::string_view(names[i].begin, names[i].size) == name)
                return false;
        names[count++] = {name.data(), name.size()};
        const std::string_view value = takeValue(p, end);
        if (value.data() == nullptr)
            return false;
        if (name == "r")
            row.number = value;
        p = after(value);
    }
}

} // namespace

std::size_t readPlainCell(const char* data, std::size_t size, std::string_view prefix, PlainCell& cell)
{
    const char* p = data;
    const char* const end = data + size;
    // Field by field: a whole new cell copied in stalls on its stores.
    cell.reference.reset();
    cell.style.reset();
    cell.type.reset();
    cell.content = PlainCell::Content::None;
    cell.text = {};
    cell.preserved = false;
    bool empty = false;
    if (!take(p, end, "<", prefix, "c") || !takeAttributes(p, end, cell, empty))
        return 0;
    if (empty)
        return std::size_t(p - data);
    if (take(p, end, "<", prefix, "v>")) {
        cell.content = PlainCell::Content::Value;
        cell.text = takeText(p, end);
        if (cell.text.data() == nullptr)
            return 0;
        p += cell.text.size();
        if (!take(p, end, "</", prefix, "v>"))
            return 0;
    } else if (take(p, end, "<", prefix, "is>")) {
        cell.content = PlainCell::Content::InlineText;
        if (!take(p, end, "<", prefix, "t>")) {
            if (!take(p, end, "<", prefix, "t xml:space=\"preserve\">"))
                return 0;
            cell.preserved = true;
        }
        cell.text = takeText(p, end);
        if (cell.text.data() == nullptr)
            return 0;
        p += cell.text.size();
        if (!take(p, end, "</", prefix, "t>") || !take(p, end, "</", prefix, "is>"))
            return 0;
    }
    if (!take(p, end, "</", prefix, "c>"))
        return 0;
    return std::size_t(p - data);
}

std::size_t readPlainRow(const char* data, std::size_t size, std::string_view prefix, PlainRow& row)
{
    const char* p = data;
    const char* const end = data + size;
    row.number.reset();
    row.cells.clear();
    row.attributePrefixes.clear();
    bool empty = false;
    if (!take(p, end, "<", prefix, "row") || !takeRowAttributes(p, end, row, empty))
        return 0;
    if (empty)
        return std::size_t(p - data);
    while (!take(p, end, "</", prefix, "row>")) {
        row.cells.emplace_back();
        const std::size_t used = readPlainCell(p, std::size_t(end - p), prefix, row.cells.back());
        if (used == 0)
            return 0;
        p += used;
    }
    return std::size_t(p - data);
}

} // namespace reader
