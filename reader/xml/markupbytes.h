#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace reader::markup {

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

// Eight bytes at a time: the texts and attribute values of a sheet are a
// few to a few dozen bytes, and a loop byte by byte mispredicts its end.
namespace word {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
constexpr std::uint64_t kHigh = 0x8080808080808080ull;

inline std::uint64_t load(const char* p)
{
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// The high bit set in every byte equal to c, and in no other.
inline std::uint64_t equal(std::uint64_t word, unsigned char c)
{
    const std::uint64_t x = word ^ (kOnes * c);
    return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// ... in every byte below n (at most 0x80).
inline std::uint64_t below(std::uint64_t word, unsigned char n)
{
    return ~(((word & kLow7) + kOnes * (0x80u - n)) | word) & kHigh;
}

// The index of the first byte (in memory order) whose high bit is set.
inline unsigned first(std::uint64_t marks)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return unsigned(__builtin_clzll(marks)) / 8;
#else
    return unsigned(__builtin_ctzll(marks)) / 8;
#endif
}

} // namespace word

// How many of the eight bytes at p come before the first one that is not
// plain text, or that ends or breaks an attribute value in that quote; 8
// when there is none.
inline unsigned plainTextBytes(const char* p)
{
    const std::uint64_t w = word::load(p);
    const std::uint64_t marks = (w & word::kHigh) | word::below(w, 0x20) | word::equal(w, '<')
        | word::equal(w, '&') | word::equal(w, '>');
    return marks ? word::first(marks) : 8;
}

inline unsigned plainValueBytes(const char* p, char quote)
{
    const std::uint64_t w = word::load(p);
    const std::uint64_t marks = (w & word::kHigh) | word::below(w, 0x20) | word::equal(w, '<')
        | word::equal(w, '&') | word::equal(w, static_cast<unsigned char>(quote));
    return marks ? word::first(marks) : 8;
}

// The same for sixteen bytes at p, where the processor compares them at once
// (one signed comparison finds control characters and non-ASCII alike);
// elsewhere eight at a time, as above. kWideBytes is how many it takes.
#if defined(__SSE2__)
constexpr std::ptrdiff_t kWideBytes = 16;

inline unsigned firstOf(__m128i v, char a, char b, char c)
{
    const __m128i marks = _mm_or_si128(
        _mm_or_si128(_mm_cmplt_epi8(v, _mm_set1_epi8(0x20)), _mm_cmpeq_epi8(v, _mm_set1_epi8(a))),
        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(b)), _mm_cmpeq_epi8(v, _mm_set1_epi8(c))));
    const unsigned mask = unsigned(_mm_movemask_epi8(marks));
    return mask ? unsigned(__builtin_ctz(mask)) : 16;
}

inline unsigned widePlainTextBytes(const char* p)
{
    return firstOf(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), '<', '&', '>');
}

inline unsigned widePlainValueBytes(const char* p, char quote)
{
    return firstOf(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), '<', '&', quote);
}
#else
constexpr std::ptrdiff_t kWideBytes = 8;

inline unsigned widePlainTextBytes(const char* p)
{
    return plainTextBytes(p);
}

inline unsigned widePlainValueBytes(const char* p, char quote)
{
    return plainValueBytes(p, quote);
}
#endif

} // namespace reader::markup
