// A whole package as it might arrive from a customer: opened from memory,
// every sheet selected and read.
#include "readcells.h"

#include "reader/document.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > (1u << 24))
        return 0;
    fuzz::readEverySheet(reader::InMemory{QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size))});
    return 0;
}
