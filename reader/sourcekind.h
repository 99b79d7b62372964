#pragma once

#include <QStringList>

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

// The file name suffixes, without the dot, of the files offered as sources
// and taken when dropped: workbooks first, then delimited text. The name only
// offers a file; what it holds is told by sourceKind().
QStringList readableSuffixes();

} // namespace reader
