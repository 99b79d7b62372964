#include "plaincell.h"

#include "markupbytes.h"

#include <cstring>

namespace xlsx {

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

// The attributes of <c> and the end of its start tag, from p after its name.
inline bool takeAttributes(const char*& p, const char* end, PlainCell& cell, bool& empty)
{
    for (;;) {
        const char* const beforeSpace = p;
        while (p < end && isSpace(*p))
            ++p;
        if (p >= end)
            return false;
        if (*p == '>') {
            ++p;
            empty = false;
            return true;
        }
        if (*p == '/') {
            if (end - p < 2 || p[1] != '>')
                return false;
            p += 2;
            empty = true;
            return true;
        }
        std::optional<std::string_view>* value;
        switch (*p) {
        case 'r': value = &cell.reference; break;
        case 's': value = &cell.style; break;
        case 't': value = &cell.type; break;
        default: return false;
        }
        // An attribute twice makes the tag malformed.
        if (p == beforeSpace || *value)
            return false;
        ++p;
        while (p < end && isSpace(*p))
            ++p;
        if (p >= end || *p != '=')
            return false;
        ++p;
        while (p < end && isSpace(*p))
            ++p;
        if (p >= end || (*p != '"' && *p != '\''))
            return false;
        const char quote = *p++;
        const char* const begin = p;
        while (p < end && *p != quote) {
            if (has(*p, ValueStop))
                return false;
            ++p;
        }
        if (p >= end)
            return false;
        *value = std::string_view(begin, std::size_t(p - begin));
        ++p;
    }
}

// The text from p up to the next '<'.
inline bool takeText(const char*& p, const char* end, std::string_view& text)
{
    const char* const begin = p;
    for (; p < end; ++p) {
        if (has(*p, PlainText))
            continue;
        if (*p == '<') {
            text = std::string_view(begin, std::size_t(p - begin));
            return true;
        }
        if (*p == '>') {
            // "]]>" may not appear in text.
            if (p - begin >= 2 && p[-1] == ']' && p[-2] == ']')
                return false;
            continue;
        }
        const std::size_t length = utf8Length(reinterpret_cast<const unsigned char*>(p),
                                              reinterpret_cast<const unsigned char*>(end));
        if (length == 0)
            return false;
        p += length - 1;
    }
    return false;
}

} // namespace

std::size_t readPlainCell(const char* data, std::size_t size, std::string_view prefix, PlainCell& cell)
{
    const char* p = data;
    const char* const end = data + size;
    cell = PlainCell();
    bool empty = false;
    if (!take(p, end, "<", prefix, "c") || !takeAttributes(p, end, cell, empty))
        return 0;
    if (empty)
        return std::size_t(p - data);
    if (take(p, end, "<", prefix, "v>")) {
        cell.content = PlainCell::Content::Value;
        if (!takeText(p, end, cell.text) || !take(p, end, "</", prefix, "v>"))
            return 0;
    } else if (take(p, end, "<", prefix, "is>")) {
        cell.content = PlainCell::Content::InlineText;
        if (!take(p, end, "<", prefix, "t>")) {
            if (!take(p, end, "<", prefix, "t xml:space=\"preserve\">"))
                return 0;
            cell.preserved = true;
        }
        if (!takeText(p, end, cell.text) || !take(p, end, "</", prefix, "t>") || !take(p, end, "</", prefix, "is>"))
            return 0;
    }
    if (!take(p, end, "</", prefix, "c>"))
        return 0;
    return std::size_t(p - data);
}

} // namespace xlsx
