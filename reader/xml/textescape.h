#pragma once

#include <string>
#include <string_view>

namespace reader {

// Spreadsheet programs write characters that XML cannot carry (control
// characters, lone surrogates' halves) as "_xHHHH_", a UTF-16 code unit in hex,
// and a literal "_x" sequence as "_x005F_x". Decodes them in UTF-8 text; a
// surrogate that does not pair up becomes U+FFFD. Nearly every text has none
// and comes back as it is; one that has is decoded into decoded.
std::string_view decodeEscapes(std::string_view text, std::string& decoded);

} // namespace reader
