#pragma once

#include "reader/containers/prefetch.h"

#include <cstdint>
#include <memory>
#include <vector>

struct inflate_state;

namespace reader {

// Inflates the raw deflate data of a zip entry with ISA-L, several times
// faster than zlib on a large sheet. The entry's own checks are made here:
// the data must end its last block, inflate to the size the entry declares
// and hash to its CRC-32, or the last read fails as damaged.
class DeflateReader final
{
public:
    // compressed gives the entry's compressed bytes.
    DeflateReader(ChunkReader compressed, std::uint64_t declaredSize, std::uint32_t declaredCrc);
    ~DeflateReader();
    DeflateReader(const DeflateReader&) = delete;
    DeflateReader& operator=(const DeflateReader&) = delete;

    // As a ChunkReader: the bytes written, 0 at the end, -1 for damaged data.
    std::int64_t read(char* buffer, std::size_t size);
    // How the data is damaged once read() failed, for the user; null before.
    const char* fault() const { return m_fault; }

private:
    bool refill();

    ChunkReader m_compressed;
    std::unique_ptr<inflate_state> m_state;
    std::vector<unsigned char> m_input;
    const std::uint64_t m_declaredSize;
    const std::uint32_t m_declaredCrc;
    std::uint64_t m_inflated = 0;
    bool m_inputEnded = false;
    const char* m_fault = nullptr;
};

} // namespace reader
