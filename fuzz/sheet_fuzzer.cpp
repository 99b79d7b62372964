// The XML of a worksheet and of the shared strings, separated by a NUL byte
// (which no XML holds), packed into a valid workbook so that mutations reach
// the XML parser and the sheet reader instead of dying in the zip layer; the
// sheet is read again by expat alone, to compare.
#include "packagebytes.h"
#include "readcells.h"

#include "reader/document.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 24))
        return 0;
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    const int split = input.indexOf('\0');
    const QByteArray worksheet = split < 0 ? input : input.left(split);
    const QByteArray sharedStrings = split < 0 ? QByteArray() : input.mid(split + 1);
    const QByteArray package = fuzz::workbookAround(worksheet, sharedStrings);
    fuzz::readEverySheet(reader::InMemory{package});
    // A comment before the end of the sheet data leaves the sheet to expat
    // alone: what expat reads, the markup scanner and the plain cells it
    // hands on read alike. (Not where CDATA could hold the end, and the
    // comment change a text.)
    const int end = worksheet.indexOf("</sheetData>");
    if (end >= 0 && !worksheet.contains("<![CDATA[")) {
        const QByteArray byExpat = QByteArray(worksheet).insert(end, "<!---->");
        fuzz::expectSameCells(reader::InMemory{fuzz::workbookAround(byExpat, sharedStrings)}, reader::InMemory{package});
    }
    return 0;
}
