#pragma once

#include <string>

namespace reader {

// Spreadsheet programs write characters that XML cannot carry (control
// characters, lone surrogates' halves) as "_xHHHH_", a UTF-16 code unit in hex,
// and a literal "_x" sequence as "_x005F_x". Decodes them in place in UTF-8
// text; a surrogate that does not pair up becomes U+FFFD.
void decodeEscapes(std::string& text);

} // namespace reader
