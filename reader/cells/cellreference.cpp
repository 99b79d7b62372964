#include "cellreference.h"

#include <cstdint>
#include <cstring>

namespace reader {

namespace {

constexpr std::uint64_t kZeros = 0x3030303030303030ull;

std::uint64_t load32(const char* p)
{
    std::uint32_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// The number of 4 to 8 digits at once, or -1 when a byte is no digit. Every
// row and every cell of a sheet has its row number read: one digit after
// another, each waits for the one before it.
long eightDigits(std::string_view text)
{
    const std::size_t size = text.size();
    // The bytes in the word's order, the last four loaded over the first.
    const std::uint64_t bytes = load32(text.data()) | load32(text.data() + size - 4) << (8 * (size - 4));
    // The digits at the top, '0's below them: leading zeros change no number.
    const std::uint64_t word = bytes << (8 * (8 - size)) | (size == 8 ? 0 : kZeros >> (8 * size));
    constexpr std::uint64_t kHighNibbles = 0xF0F0F0F0F0F0F0F0ull;
    if (((word & kHighNibbles) | ((word + 0x0606060606060606ull) & kHighNibbles) >> 4) != 0x3333333333333333ull)
        return -1;
    // Pairs of digits, then fours, then all eight, the first digit highest.
    std::uint64_t value = word - kZeros;
    value = value * 10 + (value >> 8);
    constexpr std::uint64_t kPairs = 0x000000FF000000FFull;
    value = ((value & kPairs) * 0x000F424000000064ull + ((value >> 16) & kPairs) * 0x0000271000000001ull) >> 32;
    return long(value);
}

} // namespace

bool parseRowNumber(std::string_view text, int& row)
{
    long value = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    if (text.size() >= 4 && text.size() <= 8) {
        value = eightDigits(text);
        if (value < 1 || value > kMaxRows)
            return false;
        row = int(value);
        return true;
    }
#endif
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
        if (value > kMaxRows)
            return false;
    }
    if (value < 1)
        return false;
    row = int(value);
    return true;
}

bool parseCellReference(std::string_view text, int& row, int& column)
{
    long col = 0;
    std::size_t letters = 0;
    for (; letters < text.size(); ++letters) {
        const char c = text[letters];
        int letter;
        if (c >= 'A' && c <= 'Z')
            letter = c - 'A' + 1;
        else if (c >= 'a' && c <= 'z')
            letter = c - 'a' + 1;
        else
            break;
        col = col * 26 + letter;
        if (col > kMaxColumns)
            return false;
    }
    if (letters == 0 || !parseRowNumber(text.substr(letters), row))
        return false;
    column = int(col);
    return true;
}

} // namespace reader
