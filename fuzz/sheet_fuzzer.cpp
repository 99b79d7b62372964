// The XML of a worksheet and of the shared strings, separated by a NUL byte
// (which no XML holds), packed into a valid workbook so that mutations reach
// the XML parser and the sheet reader instead of dying in the zip layer.
#include "packagebytes.h"
#include "readcells.h"

#include "xlsx/document.h"

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
    fuzz::readEverySheet(xlsx::InMemory{fuzz::workbookAround(worksheet, sharedStrings)});
    return 0;
}
