#include "textescape.h"

namespace reader {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The code unit of an escape starting at pos, or -1 when there is none.
long escapeAt(std::string_view text, std::size_t pos)
{
    if (pos + 7 > text.size() || text[pos] != '_' || text[pos + 1] != 'x' || text[pos + 6] != '_')
        return -1;
    long unit = 0;
    for (std::size_t i = pos + 2; i < pos + 6; ++i) {
        const int d = hexDigit(text[i]);
        if (d < 0)
            return -1;
        unit = unit * 16 + d;
    }
    return unit;
}

void appendUtf8(std::string& out, unsigned long cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

} // namespace

std::string_view decodeEscapes(std::string_view text, std::string& decoded)
{
    std::size_t pos = text.find("_x");
    if (pos == std::string_view::npos)
        return text;
    std::string& out = decoded;
    out.assign(text.data(), pos);
    while (pos < text.size()) {
        const long unit = escapeAt(text, pos);
        if (unit < 0) {
            out += text[pos++];
            continue;
        }
        pos += 7;
        unsigned long cp = static_cast<unsigned long>(unit);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            const long low = escapeAt(text, pos);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((static_cast<unsigned long>(unit) - 0xD800) << 10)
                     + (static_cast<unsigned long>(low) - 0xDC00);
                pos += 7;
            } else {
                cp = 0xFFFD;
            }
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            cp = 0xFFFD;
        }
        appendUtf8(out, cp);
    }
    return out;
}

} // namespace reader
