// Delimited text as an accounting program might export it, or not: the first
// byte chooses how it is read (delimiter found or given, encoding found or
// given, date order, the chunks it is read once in), the rest is the text.
// Every cell is read every way.
#include "readcells.h"

#include "reader/document.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > (1u << 24))
        return 0;
    const char delimiters[] = {0, ',', ';', '\t', '|'};
    const reader::TextEncoding encodings[] = {reader::TextEncoding::Detect, reader::TextEncoding::Utf8,
                                            reader::TextEncoding::Utf16LE, reader::TextEncoding::Utf16BE,
                                            reader::TextEncoding::Windows1252};
    reader::TextOptions options;
    options.delimiter = delimiters[data[0] % 5];
    options.encoding = encodings[data[0] / 5 % 5];
    options.dateOrder = data[0] / 25 % 2 ? reader::DateOrder::MonthDayYear : reader::DateOrder::DayMonthYear;
    const QByteArray text = QByteArray::fromRawData(reinterpret_cast<const char*>(data + 1), int(size - 1));
    reader::Document document(reader::InMemory{text}, options);
    if (!text.isEmpty() && !text.startsWith("PK") && !text.startsWith("\xD0\xCF") && !document.isDelimitedText())
        std::abort();
    fuzz::readEverySheet(reader::InMemory{text}, options);
    fuzz::readInPieces(text, options, data[0] / 50 % 5);
    for (const QString& name : document.sheetNames())
        document.selectSheet(name);
    const reader::CellRange range = document.dimension();
    for (int r = range.firstRow(); r <= range.lastRow() && r < range.firstRow() + 64; ++r)
        for (int c = range.firstColumn(); c <= range.lastColumn() && c < range.firstColumn() + 64; ++c)
            if (document.text(r, c) != document.read(r, c).toString())
                std::abort();
    return 0;
}
