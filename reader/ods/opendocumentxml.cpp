#include "opendocumentxml.h"

#include "reader/containers/ziparchive.h"
#include "reader/xml/xmlparser.h"

#include <expat.h>

#include <climits>
#include <cstring>
#include <new>

namespace reader {

namespace {

// Expat joins a namespace and a local name with this byte; it is never part
// of UTF-8, so it cannot stand in a name or a namespace.
constexpr char kSeparator = '\xFF';

struct KnownNamespace
{
    const char* uri;
    OdfNamespace ns;
};

const KnownNamespace kNamespaces[] = {
    {"urn:oasis:names:tc:opendocument:xmlns:office:1.0", OdfNamespace::Office},
    {"urn:oasis:names:tc:opendocument:xmlns:table:1.0", OdfNamespace::Table},
    {"urn:oasis:names:tc:opendocument:xmlns:text:1.0", OdfNamespace::Text},
    {"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0", OdfNamespace::CalcExt},
    {"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0", OdfNamespace::Manifest},
};

// The parse under way: expat's callbacks find the handler and the depth here.
struct Parse
{
    XML_Parser parser;
    OdfHandler& handler;
    int depth = 0;
    const char* refused = nullptr;

    void stop(const char* why)
    {
        if (!refused)
            refused = why;
        XML_StopParser(parser, XML_FALSE);
    }
    // Exceptions must not unwind through the C parser.
    template <typename Event> void deliver(Event event)
    {
        try {
            event();
        } catch (...) {
            return stop("more cells than a sheet may hold, or not enough memory to read it");
        }
        if (handler.failure())
            stop(handler.failure());
    }
};

void onStart(void* data, const char* name, const char** attributes)
{
    auto* parse = static_cast<Parse*>(data);
    if (++parse->depth > kMaxDepth) {
        static const std::string tooDeep = "nests elements more than " + std::to_string(kMaxDepth) + " deep";
        return parse->stop(tooDeep.c_str());
    }
    parse->deliver([&] { parse->handler.startElement(odfName(name), attributes); });
}

void onEnd(void* data, const char* name)
{
    auto* parse = static_cast<Parse*>(data);
    --parse->depth;
    parse->deliver([&] { parse->handler.endElement(odfName(name)); });
}

void onText(void* data, const char* text, int length)
{
    auto* parse = static_cast<Parse*>(data);
    parse->deliver([&] { parse->handler.characters(text, std::size_t(length)); });
}

void onDoctype(void* data, const char*, const char*, const char*, int)
{
    static_cast<Parse*>(data)->stop("holds a document type declaration");
}

bool feed(Parse& parse, const char* data, std::size_t size, bool last)
{
    while (size > 0 || last) {
        const int piece = size > std::size_t(INT_MAX) ? INT_MAX : int(size);
        const bool final = last && std::size_t(piece) == size;
        if (XML_Parse(parse.parser, data, piece, final) != XML_STATUS_OK)
            return false;
        if (final)
            break;
        data += piece;
        size -= std::size_t(piece);
    }
    return !parse.refused;
}

} // namespace

bool OdfName::is(OdfNamespace n, const char* name) const
{
    return ns == n && std::strcmp(local, name) == 0;
}

OdfName odfName(const char* expatName)
{
    const char* separator = std::strrchr(expatName, kSeparator);
    if (!separator)
        return {OdfNamespace::Other, expatName};
    const std::size_t length = std::size_t(separator - expatName);
    for (const KnownNamespace& known : kNamespaces)
        if (std::strlen(known.uri) == length && std::memcmp(known.uri, expatName, length) == 0)
            return {known.ns, separator + 1};
    return {OdfNamespace::Other, separator + 1};
}

const char* odfAttribute(const char** attributes, OdfNamespace ns, const char* local)
{
    for (const char** a = attributes; *a; a += 2)
        if (odfName(a[0]).is(ns, local))
            return a[1];
    return nullptr;
}

bool parseOdfPart(const ZipArchive& archive, const std::string& part, OdfHandler& handler, std::uint64_t maxSize)
{
    XML_Parser parser = XML_ParserCreateNS(nullptr, kSeparator);
    if (!parser)
        throw std::bad_alloc();
    Parse parse{parser, handler};
    XML_SetUserData(parser, &parse);
    XML_SetElementHandler(parser, &onStart, &onEnd);
    XML_SetCharacterDataHandler(parser, &onText);
    XML_SetStartDoctypeDeclHandler(parser, &onDoctype);

    const char* fault = nullptr;
    const bool streamed = archive.stream(part, [&parse](const char* data, std::size_t size) {
        return feed(parse, data, size, false);
    }, maxSize, &fault);
    const bool parsed = streamed && feed(parse, nullptr, 0, true);
    if (!parsed) {
        std::string why;
        if (fault)
            why = fault;
        else if (parse.refused)
            why = parse.refused;
        else if (XML_GetErrorCode(parser) != XML_ERROR_NONE)
            why = "not well-formed XML (line " + std::to_string(XML_GetCurrentLineNumber(parser)) + ")";
        if (!why.empty())
            archive.noteProblem(part, why);
    }
    XML_ParserFree(parser);
    return parsed;
}

} // namespace reader
