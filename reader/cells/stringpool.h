#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace reader {

// Many texts in UTF-8, addressed by index. A sheet holds millions of texts:
// they go into large blocks (a text never spans two) instead of one
// allocation each, and the blocks never move, so the pool grows without ever
// holding its texts twice; the conversion to QString waits until a text is read.
class StringPool final
{
public:
    // Index of the added text. Throws std::length_error past 2^32 - 1 texts.
    std::uint32_t add(std::string_view utf8);
    std::size_t count() const { return m_ends.size(); }
    QString text(std::uint32_t index) const;
    // text() written over into (see assignUtf8()).
    void textInto(std::uint32_t index, QString& into) const;

private:
    std::string_view bytes(std::uint32_t index) const;

    struct Block
    {
        std::unique_ptr<char[]> bytes;
        std::size_t capacity = 0;
        std::size_t used = 0;
        std::uint32_t firstText = 0;
    };

    std::vector<Block> m_blocks;
    // Where each text ends in its block.
    std::vector<std::uint32_t> m_ends;
};

} // namespace reader
