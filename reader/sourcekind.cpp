#include "sourcekind.h"

#include "reader/containers/encryptedpackage.h"

#include <cstring>

namespace reader {

namespace {

const char kZipEntry[] = "PK\x03\x04";
const char kEmptyZip[] = "PK\x05\x06";
const char kCompoundFile[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

bool startsWith(const char* data, std::size_t size, const char* prefix, std::size_t length)
{
    return size >= length && std::memcmp(data, prefix, length) == 0;
}

} // namespace

SourceKind sourceKind(const char* data, std::size_t size)
{
    if (startsWith(data, size, kZipEntry, 4) || startsWith(data, size, kEmptyZip, 4))
        return SourceKind::Package;
    if (startsWith(data, size, kCompoundFile, 8))
        return isEncryptedPackage(data, size) ? SourceKind::Package : SourceKind::LegacyWorkbook;
    return SourceKind::DelimitedText;
}

} // namespace reader
