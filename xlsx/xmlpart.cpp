#include "xmlpart.h"

#include "xmlparser.h"
#include "ziparchive.h"

namespace xlsx {

bool parseXmlPart(const ZipArchive& archive, const std::string& part, XmlHandler& handler, std::uint64_t maxSize)
{
    XmlParser parser(handler);
    const bool streamed = archive.stream(part, [&parser](const char* data, std::size_t size) {
        return parser.feed(data, size, false);
    }, maxSize);
    return streamed && parser.feed(nullptr, 0, true);
}

bool scanXmlPart(const ZipArchive& archive, const std::string& part, XmlHandler& handler,
                 const char* scannedElement, bool& scannerGaveUp)
{
    XmlParser parser(handler, scannedElement);
    const bool streamed = archive.stream(part, [&parser](const char* data, std::size_t size) {
        return parser.feed(data, size, false);
    });
    const bool parsed = streamed && parser.feed(nullptr, 0, true);
    scannerGaveUp = parser.scannerGaveUp();
    return parsed;
}

} // namespace xlsx
