#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace xlsx {

// Many texts in one UTF-8 buffer, addressed by index. A sheet holds millions
// of texts: one allocation for all of them instead of one per text, and the
// conversion to QString only when a text is read.
class StringPool final
{
public:
    // Index of the added text. Throws std::length_error past 2^32 - 1 texts.
    std::uint32_t add(const std::string& utf8);
    std::size_t count() const { return m_ends.size(); }
    QString text(std::uint32_t index) const;

private:
    std::string m_bytes;
    std::vector<std::size_t> m_ends;
};

} // namespace xlsx
