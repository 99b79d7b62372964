#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace reader {

// Fills a buffer and returns the bytes written, 0 at the end, or -1 on failure.
using ChunkReader = std::function<std::int64_t(char* buffer, std::size_t size)>;
// Takes the next chunk; false stops the stream early.
using ChunkConsumer = std::function<bool(const char* data, std::size_t size)>;

// Reads and consumes chunk after chunk on the calling thread. True when
// everything was read and consumed. expectedSize (what the part claims to
// inflate to) only sizes the buffer: most parts are a few kilobytes, and
// clearing a full chunk for each would cost more than reading them.
bool pump(const ChunkReader& read, const ChunkConsumer& consume, std::uint64_t expectedSize = UINT64_MAX);

// The same, with the reading (inflating a part) on a worker thread while the
// calling thread consumes (parses), so that the two costs of a large sheet
// overlap instead of adding up. An exception from consume stops the worker and
// propagates. Without a thread to be had it falls back to pump().
bool prefetch(const ChunkReader& read, const ChunkConsumer& consume);

} // namespace reader
