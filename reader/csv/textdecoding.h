#pragma once

#include "reader/cells/textoptions.h"

#include <cstddef>
#include <string>

namespace reader {

// The encoding's name as the window lists it: "UTF-8", "UTF-16LE", "UTF-16BE",
// "Windows-1252"; empty for Detect.
QString encodingName(TextEncoding encoding);

// The encoding delimited text is read in when none is chosen: the one its
// byte order mark names, else UTF-8 when every byte sequence is valid UTF-8
// (plain ASCII is), else Windows-1252, what accounting programs on Windows write.
TextEncoding detectEncoding(const char* data, std::size_t size);

// Length of the byte order mark of that encoding at the start of data, 0 when there is none.
std::size_t byteOrderMarkLength(const char* data, std::size_t size, TextEncoding encoding);

// How many bytes from the start of data are valid UTF-8 without a NUL: no
// stray or missing continuation bytes, overlong forms, surrogates or code
// points past U+10FFFF. size when all of them are.
std::size_t validUtf8Length(const char* data, std::size_t size);
bool isValidUtf8(const char* data, std::size_t size);

// How many bytes from the start of data hold whole characters of that
// encoding: size, less a character the end of data cuts short (the start of
// a UTF-8 sequence, an odd byte or a high surrogate of UTF-16), which text
// read in pieces decodes with the piece after it.
std::size_t wholeCharacters(const char* data, std::size_t size, TextEncoding encoding);

// Appends data, read in encoding, to utf8. False at the first sequence that
// encoding does not allow (an unpaired surrogate, an odd trailing byte, a
// byte Windows-1252 leaves undefined) or a NUL: text is refused rather than
// read with characters the file does not hold. utf8 then ends with the text
// before that sequence.
bool appendAsUtf8(const char* data, std::size_t size, TextEncoding encoding, std::string& utf8);

} // namespace reader
