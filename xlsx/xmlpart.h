#pragma once

#include <string>

namespace xlsx {

class XmlHandler;
class ZipArchive;

// Streams one part of the package through the handler. False when the part is
// missing, breaks a size limit, is not well-formed XML, or the handler failed.
bool parseXmlPart(const ZipArchive& archive, const std::string& part, XmlHandler& handler);

} // namespace xlsx
