#include "xmlpart.h"

#include "reader/xml/xmlparser.h"
#include "reader/containers/ziparchive.h"

namespace reader {

namespace {

// Feeds the part to the parser; false, with the part and why noted on the
// archive, when either fails (but the scanner giving up is no failure of the part).
bool parse(const ZipArchive& archive, const std::string& part, XmlParser& parser, std::uint64_t maxSize)
{
    const char* fault = nullptr;
    const bool streamed = archive.stream(part, [&parser](const char* data, std::size_t size) {
        return parser.feed(data, size, false);
    }, maxSize, &fault);
    if (streamed && parser.feed(nullptr, 0, true))
        return true;
    const std::string why = fault ? fault : parser.failure();
    if (!why.empty())
        archive.noteProblem(part, why);
    return false;
}

} // namespace

bool parseXmlPart(const ZipArchive& archive, const std::string& part, XmlHandler& handler, std::uint64_t maxSize)
{
    XmlParser parser(handler);
    return parse(archive, part, parser, maxSize);
}

bool scanXmlPart(const ZipArchive& archive, const std::string& part, XmlHandler& handler,
                 const char* scannedElement, bool& scannerGaveUp)
{
    XmlParser parser(handler, scannedElement);
    const bool parsed = parse(archive, part, parser, UINT64_MAX);
    scannerGaveUp = parser.scannerGaveUp();
    return parsed;
}

} // namespace reader
