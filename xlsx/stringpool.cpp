#include "stringpool.h"

#include <limits>
#include <stdexcept>

namespace xlsx {

std::uint32_t StringPool::add(const std::string& utf8)
{
    if (m_ends.size() >= std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("too many texts");
    m_bytes += utf8;
    m_ends.push_back(m_bytes.size());
    return std::uint32_t(m_ends.size() - 1);
}

QString StringPool::text(std::uint32_t index) const
{
    const std::size_t begin = index == 0 ? 0 : m_ends[index - 1];
    const std::size_t size = m_ends[index] - begin;
    if (size > std::size_t(std::numeric_limits<int>::max()))
        return {};
    return QString::fromUtf8(m_bytes.data() + begin, int(size));
}

} // namespace xlsx
