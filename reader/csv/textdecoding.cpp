#include "textdecoding.h"

#include <cstdint>

namespace reader {

namespace {

// Windows-1252 at 0x80-0x9F; 0 where it defines no character.
const char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

bool startsWith(const char* data, std::size_t size, const char* prefix, std::size_t length)
{
    return size >= length && std::char_traits<char>::compare(data, prefix, length) == 0;
}

void appendCodePoint(char32_t c, std::string& out)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

bool appendUtf16(const unsigned char* data, std::size_t size, bool bigEndian, std::string& out)
{
    const auto unit = [&](std::size_t i) -> char16_t {
        return bigEndian ? char16_t(data[i] << 8 | data[i + 1]) : char16_t(data[i + 1] << 8 | data[i]);
    };
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const char16_t u = unit(i);
        if (u == 0)
            return false;
        if (u >= 0xDC00 && u <= 0xDFFF)
            return false;
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 3 >= size)
                return false;
            const char16_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF)
                return false;
            appendCodePoint(0x10000 + ((char32_t(u) - 0xD800) << 10) + (low - 0xDC00), out);
            i += 2;
        } else {
            appendCodePoint(u, out);
        }
    }
    // An odd byte at the end is half a character.
    return size % 2 == 0;
}

bool appendWindows1252(const unsigned char* data, std::size_t size, std::string& out)
{
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char b = data[i];
        if (b == 0)
            return false;
        if (b >= 0x80 && b < 0xA0) {
            if (kWindows1252High[b - 0x80] == 0)
                return false;
            appendCodePoint(kWindows1252High[b - 0x80], out);
        } else {
            appendCodePoint(b, out);
        }
    }
    return true;
}

} // namespace

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf16LE:
        return QStringLiteral("UTF-16LE");
    case TextEncoding::Utf16BE:
        return QStringLiteral("UTF-16BE");
    case TextEncoding::Windows1252:
        return QStringLiteral("Windows-1252");
    case TextEncoding::Detect:
        break;
    }
    return {};
}

std::size_t byteOrderMarkLength(const char* data, std::size_t size, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return startsWith(data, size, "\xEF\xBB\xBF", 3) ? 3 : 0;
    case TextEncoding::Utf16LE:
        return startsWith(data, size, "\xFF\xFE", 2) ? 2 : 0;
    case TextEncoding::Utf16BE:
        return startsWith(data, size, "\xFE\xFF", 2) ? 2 : 0;
    case TextEncoding::Detect:
    case TextEncoding::Windows1252:
        break;
    }
    return 0;
}

TextEncoding detectEncoding(const char* data, std::size_t size)
{
    for (TextEncoding marked : {TextEncoding::Utf8, TextEncoding::Utf16LE, TextEncoding::Utf16BE})
        if (byteOrderMarkLength(data, size, marked) > 0)
            return marked;
    return isValidUtf8(data, size) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

bool isValidUtf8(const char* text, std::size_t size)
{
    return validUtf8Length(text, size) == size;
}

std::size_t validUtf8Length(const char* text, std::size_t size)
{
    const auto* data = reinterpret_cast<const unsigned char*>(text);
    std::size_t i = 0;
    while (i < size) {
        const unsigned char b = data[i];
        if (b >= 0x01 && b < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        char32_t c;
        char32_t least;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2, c = b & 0x1F, least = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3, c = b & 0x0F, least = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4, c = b & 0x07, least = 0x10000;
        } else {
            return i;   // NUL, a continuation byte out of place, or a lead byte UTF-8 never uses
        }
        if (size - i < length)
            return i;
        for (std::size_t k = 1; k < length; ++k) {
            if ((data[i + k] & 0xC0) != 0x80)
                return i;
            c = c << 6 | (data[i + k] & 0x3F);
        }
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return i;
        i += length;
    }
    return size;
}

std::size_t wholeCharacters(const char* text, std::size_t size, TextEncoding encoding)
{
    const auto* data = reinterpret_cast<const unsigned char*>(text);
    switch (encoding) {
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const std::size_t even = size - size % 2;
        if (even < 2)
            return even;
        const unsigned char high = encoding == TextEncoding::Utf16LE ? data[even - 1] : data[even - 2];
        return high >= 0xD8 && high <= 0xDB ? even - 2 : even;
    }
    case TextEncoding::Windows1252:
        return size;
    case TextEncoding::Detect:
    case TextEncoding::Utf8:
        break;
    }
    // The last lead byte, if the bytes after it are fewer than it announces.
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const unsigned char b = data[size - back];
        if ((b & 0xC0) == 0x80)
            continue;
        const std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return length > back ? size - back : size;
    }
    return size;
}

bool appendAsUtf8(const char* text, std::size_t size, TextEncoding encoding, std::string& utf8)
{
    const auto* data = reinterpret_cast<const unsigned char*>(text);
    switch (encoding) {
    case TextEncoding::Utf16LE:
        return appendUtf16(data, size, false, utf8);
    case TextEncoding::Utf16BE:
        return appendUtf16(data, size, true, utf8);
    case TextEncoding::Windows1252:
        return appendWindows1252(data, size, utf8);
    case TextEncoding::Detect:
    case TextEncoding::Utf8:
        break;
    }
    const std::size_t valid = validUtf8Length(text, size);
    utf8.append(text, valid);
    return valid == size;
}

} // namespace reader
