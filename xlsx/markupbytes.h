#pragma once

#include <array>
#include <cstddef>

namespace xlsx::markup {

// Byte classes, looked up once per byte: a full-size sheet's markup is
// hundreds of megabytes.
enum ByteClass : unsigned char {
    NameStart = 1,
    NameChar = 2,
    Space = 4,
    // Not in an attribute value the scanner takes: references, markup,
    // bytes that normalize and non-ASCII text are left to expat.
    ValueStop = 8,
    // Text that stands for itself: ASCII without markup, references, or
    // control characters other than tab and line feed (carriage returns
    // would need expat's line-end handling).
    PlainText = 16,
};

constexpr std::array<unsigned char, 256> byteClasses()
{
    std::array<unsigned char, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        const bool nameStart = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        const bool nameChar = nameStart || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':';
        const bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r';
        const bool valueStop = c == '&' || c == '<' || c < 0x20 || c >= 0x80;
        const bool plainText = (c >= 0x20 && c < 0x80 && c != '<' && c != '&' && c != '>') || c == '\t' || c == '\n';
        classes[std::size_t(c)] = (nameStart ? NameStart : 0) | (nameChar ? NameChar : 0) | (space ? Space : 0)
            | (valueStop ? ValueStop : 0) | (plainText ? PlainText : 0);
    }
    return classes;
}

inline constexpr std::array<unsigned char, 256> kByteClasses = byteClasses();

inline bool has(char c, ByteClass byteClass)
{
    return (kByteClasses[static_cast<unsigned char>(c)] & byteClass) != 0;
}

inline bool isSpace(char c)
{
    return has(c, Space);
}

inline bool isNameStart(char c)
{
    return has(c, NameStart);
}

inline bool isNameChar(char c)
{
    return has(c, NameChar);
}

// Length of the well-formed UTF-8 sequence at p (before end) of a character
// expat accepts, or 0.
inline std::size_t utf8Length(const unsigned char* p, const unsigned char* end)
{
    const auto continuation = [&](std::size_t i, unsigned char low, unsigned char high) {
        return p + i < end && p[i] >= low && p[i] <= high;
    };
    const unsigned char c = p[0];
    if (c >= 0xC2 && c <= 0xDF)
        return continuation(1, 0x80, 0xBF) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned char low = c == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = c == 0xED ? 0x9F : 0xBF;
        if (!continuation(1, low, high) || !continuation(2, 0x80, 0xBF))
            return 0;
        // U+FFFE and U+FFFF are no characters.
        if (c == 0xEF && p[1] == 0xBF && p[2] >= 0xBE)
            return 0;
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned char low = c == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = c == 0xF4 ? 0x8F : 0xBF;
        return continuation(1, low, high) && continuation(2, 0x80, 0xBF) && continuation(3, 0x80, 0xBF) ? 4 : 0;
    }
    return 0;
}

} // namespace xlsx::markup
