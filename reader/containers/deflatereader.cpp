#include "deflatereader.h"

#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <climits>

namespace reader {

namespace {

constexpr std::size_t kInputSize = 256 * 1024;

} // namespace

DeflateReader::DeflateReader(ChunkReader compressed, std::uint64_t declaredSize, std::uint32_t declaredCrc)
    : m_compressed(std::move(compressed))
    , m_state(std::make_unique<inflate_state>())
    , m_input(kInputSize)
    , m_declaredSize(declaredSize)
    , m_declaredCrc(declaredCrc)
{
    isal_inflate_init(m_state.get());
    // Raw deflate, with the CRC-32 of the output kept as it goes.
    m_state->crc_flag = ISAL_GZIP_NO_HDR;
}

DeflateReader::~DeflateReader() = default;

bool DeflateReader::refill()
{
    const std::int64_t n = m_compressed(reinterpret_cast<char*>(m_input.data()), m_input.size());
    if (n < 0)
        return false;
    m_inputEnded = n == 0;
    m_state->next_in = m_input.data();
    m_state->avail_in = std::uint32_t(n);
    return true;
}

std::int64_t DeflateReader::read(char* buffer, std::size_t size)
{
    if (m_fault)
        return -1;
    inflate_state& state = *m_state;
    state.next_out = reinterpret_cast<std::uint8_t*>(buffer);
    state.avail_out = std::uint32_t(std::min<std::size_t>(size, UINT_MAX));
    const std::uint32_t room = state.avail_out;
    while (state.avail_out > 0 && state.block_state != ISAL_BLOCK_FINISH) {
        if (state.avail_in == 0 && !m_inputEnded && !refill()) {
            m_fault = "damaged (cannot be read)";
            return -1;
        }
        const std::uint32_t outBefore = state.avail_out;
        const std::uint32_t inBefore = state.avail_in;
        if (isal_inflate(&state) != ISAL_DECOMP_OK) {
            m_fault = "damaged (not valid deflate data)";
            return -1;
        }
        const bool progressed = state.avail_out != outBefore || state.avail_in != inBefore;
        // The data ended before its last block did: nothing more will come.
        if (!progressed && m_inputEnded)
            break;
    }
    const std::uint32_t produced = room - state.avail_out;
    m_inflated += produced;
    if (produced > 0)
        return std::int64_t(produced);
    if (state.block_state != ISAL_BLOCK_FINISH)
        m_fault = "damaged (cut short)";
    else if (m_inflated != m_declaredSize)
        m_fault = "damaged (not the size it declares)";
    else if (state.crc != m_declaredCrc)
        m_fault = "damaged (CRC-32 mismatch)";
    return m_fault ? -1 : 0;
}

} // namespace reader
