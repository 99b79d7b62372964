#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace xlsx {

// Runs a chunked producer (inflating a part) on a worker thread while the
// calling thread consumes the chunks (parsing them), so that the two costs of
// a large sheet overlap instead of adding up.
//
// read fills a buffer and returns the bytes written, 0 at the end, or -1 on
// failure. consume returns false to stop early. True when everything was read
// and consumed. An exception from consume stops the worker and propagates.
bool prefetch(const std::function<std::int64_t(char* buffer, std::size_t size)>& read,
              const std::function<bool(const char* data, std::size_t size)>& consume);

} // namespace xlsx
