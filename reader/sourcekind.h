#pragma once

#include <cstddef>

namespace reader {

enum class SourceKind
{
    Package,         // an .xlsx package, or one encrypted inside a compound file
    LegacyWorkbook,  // an Excel 97-2003 compound file
    DelimitedText,   // anything else
};

// What a file is, told by its content rather than its name: a zip package,
// a compound file (an encrypted package is a compound file holding an
// "EncryptionInfo" stream; the package reader tells that one apart), or text.
SourceKind sourceKind(const char* data, std::size_t size);

} // namespace reader
