#pragma once

#include <cstddef>
#include <string>

namespace reader {

// Copies the stream of a compound file (the container of Excel 97-2003
// workbooks) whose name equals name, ASCII case ignored, into out. False
// when there is no such stream or the file's sector chains are malformed;
// every chain is bounded by the file's own size. A file may end inside its
// last sector (some writers leave it short): what the stream holds there is
// read, nothing past the file.
bool readCompoundStream(const char* data, std::size_t size, const char* name, std::string& out);

// True when the compound file holds a stream of that name, found as
// readCompoundStream finds it, without reading the stream.
bool holdsCompoundStream(const char* data, std::size_t size, const char* name);

} // namespace reader
