#pragma once

#include <cstdint>
#include <string>

namespace reader {

class XmlHandler;
class ZipArchive;

// The most that a part describing the package (relationships, workbook,
// styles) may inflate to; only sheets and shared strings grow with the data.
constexpr std::uint64_t kMaxMetadataPartSize = 64 * 1024 * 1024;

// Streams one part of the package through the handler. False when the part is
// missing, breaks a size limit (or inflates past maxSize), is not well-formed
// XML, or the handler failed; the archive then notes which part and why
// (ZipArchive::problem()).
bool parseXmlPart(const ZipArchive& archive, const std::string& part, XmlHandler& handler,
                  std::uint64_t maxSize = UINT64_MAX);

// The same, with the content of the first element of that local name read by
// the markup scanner. False as well when the scanner gave up on the part: then
// scannerGaveUp is set, nothing is noted, and the part is to be read again by
// parseXmlPart().
bool scanXmlPart(const ZipArchive& archive, const std::string& part, XmlHandler& handler,
                 const char* scannedElement, bool& scannerGaveUp);

} // namespace reader
