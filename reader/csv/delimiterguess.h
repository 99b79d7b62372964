#pragma once

#include <cstddef>

namespace reader {

// The delimiter of delimited text in UTF-8, found from its first records
// (quoted fields count as one): of comma, semicolon, tab and '|', the one
// that most records hold equally often; more occurrences break a tie, then
// that order. A comma when no record holds any: the text is a single column.
char guessDelimiter(const char* utf8, std::size_t size);

} // namespace reader
