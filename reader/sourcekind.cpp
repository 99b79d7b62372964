#include "sourcekind.h"

#include "reader/containers/encryptedpackage.h"

#include <cstdint>
#include <cstring>

namespace reader {

namespace {

const char kZipEntry[] = "PK\x03\x04";
const char kEmptyZip[] = "PK\x05\x06";
const char kCompoundFile[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

// An OpenDocument package begins with its media type, stored, in an entry
// named "mimetype": the local header (30 bytes), the name, the extra field, the type.
const char kOdsMediaType[] = "application/vnd.oasis.opendocument.spreadsheet";

bool isOpenDocumentSpreadsheet(const char* data, std::size_t size)
{
    if (size < 30)
        return false;
    const auto at = [data](std::size_t offset) { return std::size_t(std::uint8_t(data[offset])); };
    const std::size_t method = at(8) | at(9) << 8;
    const std::size_t stored = at(18) | at(19) << 8 | at(20) << 16 | at(21) << 24;
    const std::size_t nameLength = at(26) | at(27) << 8;
    const std::size_t extraLength = at(28) | at(29) << 8;
    const std::size_t typeLength = sizeof kOdsMediaType - 1;
    const std::size_t type = 30 + nameLength + extraLength;
    return method == 0 && nameLength == 8 && std::memcmp(data + 30, "mimetype", 8) == 0 && stored == typeLength
           && size >= type + typeLength && std::memcmp(data + type, kOdsMediaType, typeLength) == 0;
}

bool startsWith(const char* data, std::size_t size, const char* prefix, std::size_t length)
{
    return size >= length && std::memcmp(data, prefix, length) == 0;
}

} // namespace

SourceKind sourceKind(const char* data, std::size_t size)
{
    if (startsWith(data, size, kZipEntry, 4))
        return isOpenDocumentSpreadsheet(data, size) ? SourceKind::OpenDocument : SourceKind::Package;
    if (startsWith(data, size, kEmptyZip, 4))
        return SourceKind::Package;
    if (startsWith(data, size, kCompoundFile, 8))
        return isEncryptedPackage(data, size) ? SourceKind::Package : SourceKind::LegacyWorkbook;
    return SourceKind::DelimitedText;
}

QStringList readableSuffixes()
{
    return {QStringLiteral("xlsx"), QStringLiteral("xlsm"), QStringLiteral("xls"), QStringLiteral("ods"),
            QStringLiteral("csv"), QStringLiteral("txt")};
}

} // namespace reader
