#include "sourcekind.h"

#include <cstring>

namespace xlsx {

namespace {

const char kZipEntry[] = "PK\x03\x04";
const char kEmptyZip[] = "PK\x05\x06";
const char kCompoundFile[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

bool startsWith(const char* data, std::size_t size, const char* prefix, std::size_t length)
{
    return size >= length && std::memcmp(data, prefix, length) == 0;
}

// A compound file's directory entries are 128 bytes, aligned to 128 in the
// file: the entry's name in UTF-16LE, its length in bytes with the
// terminating NUL at 64, its type at 66 (2: a stream). Matching the whole
// entry keeps a cell that happens to hold the text from counting.
bool holdsEncryptionInfo(const char* data, std::size_t size)
{
    static const char entry[] = "E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0\0";
    constexpr std::size_t nameBytes = 30;
    constexpr std::size_t entryBytes = 128;
    for (std::size_t at = 512; at + entryBytes <= size; at += entryBytes) {
        if (std::memcmp(data + at, entry, nameBytes) == 0 && data[at + 64] == char(nameBytes)
            && data[at + 65] == 0 && data[at + 66] == 2)
            return true;
    }
    return false;
}

} // namespace

SourceKind sourceKind(const char* data, std::size_t size)
{
    if (startsWith(data, size, kZipEntry, 4) || startsWith(data, size, kEmptyZip, 4))
        return SourceKind::Package;
    if (startsWith(data, size, kCompoundFile, 8))
        return holdsEncryptionInfo(data, size) ? SourceKind::Package : SourceKind::LegacyWorkbook;
    return SourceKind::DelimitedText;
}

} // namespace xlsx
