#pragma once

#include <cstddef>

namespace reader {

enum class SourceKind
{
    Package,         // an .xlsx package, or one encrypted inside a compound file
    OpenDocument,    // an OpenDocument spreadsheet package (.ods)
    LegacyWorkbook,  // an Excel 97-2003 compound file
    DelimitedText,   // anything else
};

// What a file is, told by its content rather than its name: a zip package
// (an OpenDocument one names its kind in a first entry "mimetype", stored),
// a compound file (an encrypted package is a compound file holding an
// "EncryptionInfo" stream; the package reader tells that one apart), or text.
SourceKind sourceKind(const char* data, std::size_t size);

} // namespace reader
