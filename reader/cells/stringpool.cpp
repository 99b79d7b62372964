#include "stringpool.h"

#include "utf8text.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace reader {

namespace {

constexpr std::size_t kBlockSize = 1024 * 1024;

} // namespace

std::uint32_t StringPool::add(std::string_view utf8)
{
    if (m_ends.size() >= std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("too many texts");
    if (m_blocks.empty() || m_blocks.back().capacity - m_blocks.back().used < utf8.size()) {
        // A text longer than a block gets a block of its own size.
        Block block;
        block.capacity = std::max(kBlockSize, utf8.size());
        block.bytes.reset(new char[block.capacity]);
        block.firstText = std::uint32_t(m_ends.size());
        m_blocks.push_back(std::move(block));
    }
    Block& block = m_blocks.back();
    if (!utf8.empty())
        std::memcpy(block.bytes.get() + block.used, utf8.data(), utf8.size());
    block.used += utf8.size();
    m_ends.push_back(std::uint32_t(block.used));
    return std::uint32_t(m_ends.size() - 1);
}

std::string_view StringPool::bytes(std::uint32_t index) const
{
    const auto after = std::upper_bound(m_blocks.begin(), m_blocks.end(), index,
                                        [](std::uint32_t i, const Block& block) { return i < block.firstText; });
    const Block& block = *(after - 1);
    const std::size_t begin = index == block.firstText ? 0 : m_ends[index - 1];
    return {block.bytes.get() + begin, m_ends[index] - begin};
}

QString StringPool::text(std::uint32_t index) const
{
    const std::string_view utf8 = bytes(index);
    return QString::fromUtf8(utf8.data(), int(utf8.size()));
}

void StringPool::textInto(std::uint32_t index, QString& into) const
{
    assignUtf8(into, bytes(index));
}

} // namespace reader
