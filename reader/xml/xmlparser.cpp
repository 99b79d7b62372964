#include "xmlparser.h"

#include "reader/xml/markupbytes.h"

#include <expat.h>

#include <climits>
#include <cstring>
#include <new>
#include <string>

namespace reader {

void XmlHandler::characters(const char*, int) {}

std::size_t XmlHandler::plainMarkup(const char*, std::size_t, std::string_view, const NamespaceScope&, int)
{
    return 0;
}

void XmlHandler::collectText(bool on)
{
    if (m_parser)
        m_parser->setCollectingText(on);
}

void XmlHandler::fail(const char* why)
{
    if (m_ok)
        m_failure = why;
    m_ok = false;
    if (m_parser)
        m_parser->stop();
}

const char* localName(const char* name)
{
    for (const char* p = name; *p; ++p)
        if (*p == ':')
            return p + 1;
    return name;
}

namespace {

// A namespace declaration or a prefixed name: the attributes that need the
// namespace scope.
bool needsScope(const char* attributeName)
{
    if (attributeName[0] == 'x' && isNamespaceDeclaration(attributeName))
        return true;
    for (const char* p = attributeName; *p; ++p)
        if (*p == ':')
            return true;
    return false;
}

} // namespace

const char* attribute(const char** attributes, const char* name)
{
    for (const char** a = attributes; *a; a += 2)
        if (std::strcmp(a[0], name) == 0)
            return a[1];
    return nullptr;
}

namespace {

// Past this many bytes before the scanned element, expat reads it all.
constexpr std::size_t kMaxPrefix = 16 * 1024 * 1024;

const char* const kUndeclaredPrefix = "uses a namespace prefix it does not declare";

} // namespace

XmlParser::XmlParser(XmlHandler& handler, const char* scannedElement)
    : m_handler(handler)
    , m_scannedElement(scannedElement)
    , m_parser(createParser())
    , m_stage(scannedElement ? Stage::Looking : Stage::Expat)
{
    m_handler.m_parser = this;
}

XmlParser::~XmlParser()
{
    m_handler.m_parser = nullptr;
    XML_ParserFree(m_parser);
}

XML_ParserStruct* XmlParser::createParser()
{
    XML_Parser parser = XML_ParserCreate(nullptr);
    if (!parser)
        throw std::bad_alloc();
    XML_SetUserData(parser, this);
    XML_SetElementHandler(parser, &XmlParser::onStart, &XmlParser::onEnd);
    XML_SetStartDoctypeDeclHandler(parser, &XmlParser::onDoctype);
    return parser;
}

bool XmlParser::feed(const char* data, std::size_t size, bool last)
{
    if (m_refused || m_scannerGaveUp || !m_handler.ok())
        return false;
    if (m_stage == Stage::Scanning)
        return scan(data, size, last);
    if (m_stage == Stage::Looking) {
        if (m_prefix.size() + size > kMaxPrefix) {
            m_stage = Stage::Expat;
            std::string().swap(m_prefix);
        } else {
            m_prefix.append(data, size);
        }
    }
    if (!parse(data, size, last))
        return false;
    return m_stage == Stage::Found ? startScanning(last) : true;
}

bool XmlParser::parse(const char* data, std::size_t size, bool last)
{
    while (size > 0 || last) {
        const int piece = size > std::size_t(INT_MAX) ? INT_MAX : int(size);
        const bool final = last && std::size_t(piece) == size;
        const XML_Status status = XML_Parse(m_parser, data, piece, final);
        if (status == XML_STATUS_SUSPENDED && m_stage == Stage::Found)
            return true;
        if (status != XML_STATUS_OK)
            return false;
        if (final)
            break;
        data += piece;
        size -= std::size_t(piece);
    }
    return !m_refused && m_handler.ok();
}

bool XmlParser::startScanning(bool last)
{
    // A fresh parser, fed up to the end of the element's start tag without
    // events (the handler has had them), is where expat goes on after it.
    XML_Parser fresh = createParser();
    // Its elements are counted again from the root.
    m_depth = 0;
    m_quiet = true;
    const XML_Status status = XML_Parse(fresh, m_prefix.data(), int(m_scanFrom), XML_FALSE);
    m_quiet = false;
    XML_ParserFree(m_parser);
    m_parser = fresh;
    if (status != XML_STATUS_OK) {
        m_scannerGaveUp = true;
        return false;
    }
    m_depth = m_scanDepth;
    setCollectingText(m_collecting);
    m_scanner.emplace(static_cast<MarkupEvents&>(*this), kMaxDepth - m_depth);
    m_stage = Stage::Scanning;
    const std::string rest = m_prefix.substr(m_scanFrom);
    std::string().swap(m_prefix);
    return scan(rest.data(), rest.size(), last);
}

bool XmlParser::scan(const char* data, std::size_t size, bool last)
{
    switch (m_scanner->feed(data, size)) {
    case MarkupScanner::Status::More:
        if (!last)
            return true;
        break;   // the part ends inside the element: expat's verdict
    case MarkupScanner::Status::GiveUp:
        break;
    case MarkupScanner::Status::Stopped:
        return false;
    case MarkupScanner::Status::Done: {
        m_stage = Stage::Expat;
        m_linesSkipped = true;
        const std::string rest = m_scanner->rest();
        m_scanner.reset();
        return parse(rest.data(), rest.size(), last);
    }
    }
    m_scannerGaveUp = true;
    return false;
}

const char* XmlParser::admit(const char* name, const char**& attributes)
{
    if (m_skipFrom != 0)
        return nullptr;
    // A sheet's millions of cells carry neither declarations nor prefixed
    // attributes: theirs pass as they are.
    bool plain = true;
    for (const char** a = attributes; *a && plain; a += 2)
        plain = !needsScope(a[0]);
    if (!plain && !m_namespaces.open(attributes, m_depth)) {
        refuse("binds a namespace prefix to no namespace");
        return nullptr;
    }
    const char* local = localName(name);
    const Namespace ns = local == name ? m_namespaces.unprefixed() : m_namespaces.ofPrefix(name, std::size_t(local - 1 - name));
    if (ns == Namespace::Unbound) {
        refuse(kUndeclaredPrefix);
        return nullptr;
    }
    // Of Excel's namespace only a macro sheet's root is read: its other
    // elements (formulas of extensions) are no cells.
    const bool macroSheet = ns == Namespace::Excel && m_depth == 1 && std::strcmp(local, "macrosheet") == 0;
    if (ns != Namespace::Content && ns != Namespace::Relationship && !macroSheet) {
        m_namespaces.close(m_depth);
        m_skipFrom = m_depth;
        return nullptr;
    }
    if (!plain) {
        m_attributes.clear();
        for (const char** a = attributes; *a; a += 2) {
            if (isNamespaceDeclaration(a[0]))
                continue;
            if (const char* colon = std::strchr(a[0], ':')) {
                const Namespace of = m_namespaces.ofPrefix(a[0], std::size_t(colon - a[0]));
                if (of == Namespace::Unbound) {
                    refuse(kUndeclaredPrefix);
                    return nullptr;
                }
                if (of != Namespace::Relationship && !(of == Namespace::Xml && std::strcmp(colon + 1, "space") == 0))
                    continue;
            }
            m_attributes.push_back(a[0]);
            m_attributes.push_back(a[1]);
        }
        m_attributes.push_back(nullptr);
        attributes = m_attributes.data();
    }
    return local;
}

const char* XmlParser::release(const char* name)
{
    if (m_skipFrom != 0) {
        if (m_depth == m_skipFrom)
            m_skipFrom = 0;
        return nullptr;
    }
    m_namespaces.close(m_depth);
    return localName(name);
}

bool XmlParser::start(const char* name, const char** attributes)
{
    ++m_depth;
    if (const char* local = admit(name, attributes)) {
        try {
            m_handler.startElement(local, attributes);
        } catch (...) {
            m_handler.fail();
        }
    }
    return !m_refused && m_handler.ok();
}

bool XmlParser::end(const char* name)
{
    const char* local = release(name);
    --m_depth;
    if (local) {
        try {
            m_handler.endElement(local);
        } catch (...) {
            m_handler.fail();
        }
    }
    return !m_refused && m_handler.ok();
}

bool XmlParser::text(const char* data, std::size_t size)
{
    if (m_skipFrom != 0)
        return true;
    try {
        m_handler.characters(data, int(size));
    } catch (...) {
        m_handler.fail();
    }
    return !m_refused && m_handler.ok();
}

bool XmlParser::plain(const char* data, std::size_t size, int depthLeft, std::size_t& used)
{
    used = 0;
    if (m_skipFrom != 0)
        return true;
    std::size_t prefix = 0;
    for (std::size_t i = 1; i < size && markup::isNameChar(data[i]); ++i) {
        if (data[i] == ':') {
            prefix = i;
            break;
        }
    }
    // Elements to be skipped, or refused, are left to the events.
    const Namespace ns = prefix == 0 ? m_namespaces.unprefixed() : m_namespaces.ofPrefix(data + 1, prefix - 1);
    if (ns != Namespace::Content)
        return true;
    try {
        used = m_handler.plainMarkup(data, size, std::string_view(data + 1, prefix), m_namespaces, depthLeft);
    } catch (...) {
        m_handler.fail();
    }
    return !m_refused && m_handler.ok();
}

void XmlParser::setCollectingText(bool on)
{
    m_collecting = on;
    XML_SetCharacterDataHandler(m_parser, on ? &XmlParser::onText : nullptr);
}

void XmlParser::found()
{
    // The start tag ends where expat's current event does; an empty element
    // has no content to scan.
    const std::size_t end = std::size_t(XML_GetCurrentByteIndex(m_parser) + XML_GetCurrentByteCount(m_parser));
    if (end < 2 || end > m_prefix.size() || m_prefix[end - 2] == '/') {
        m_stage = Stage::Expat;
        std::string().swap(m_prefix);
        return;
    }
    m_scanFrom = end;
    m_scanDepth = m_depth;
    m_stage = Stage::Found;
    XML_StopParser(m_parser, XML_TRUE);
}

void XmlParser::stop()
{
    XML_StopParser(m_parser, XML_FALSE);
}

void XmlParser::refuse(const char* why)
{
    m_refused = why;
    stop();
}

std::string XmlParser::failure() const
{
    if (m_scannerGaveUp)
        return {};
    if (m_refused)
        return m_refused;
    // A handler fails without saying why only when it throws: past the cells
    // a sheet may hold, or out of memory.
    if (!m_handler.ok())
        return m_handler.failure() ? m_handler.failure()
                                   : "more cells than a sheet may hold, or not enough memory to read it";
    const XML_Error error = XML_GetErrorCode(m_parser);
    if (error == XML_ERROR_NONE || error == XML_ERROR_ABORTED)
        return {};
    if (m_linesSkipped)
        return "not well-formed XML";
    return "not well-formed XML (line " + std::to_string(XML_GetCurrentLineNumber(m_parser)) + ")";
}

void XmlParser::onStart(void* self, const char* name, const char** attributes)
{
    auto* parser = static_cast<XmlParser*>(self);
    if (++parser->m_depth > kMaxDepth) {
        static const std::string tooDeep = "nests elements more than " + std::to_string(kMaxDepth) + " deep";
        return parser->refuse(tooDeep.c_str());
    }
    if (parser->m_quiet)
        return;
    const char* local = parser->admit(name, attributes);
    if (!local)
        return;
    XmlHandler& handler = parser->m_handler;
    try {
        handler.startElement(local, attributes);
    } catch (...) {
        // Exceptions must not unwind through the C parser.
        handler.fail();
    }
    if (parser->m_stage == Stage::Looking && handler.ok() && std::strcmp(local, parser->m_scannedElement) == 0)
        parser->found();
}

void XmlParser::onEnd(void* self, const char* name)
{
    auto* parser = static_cast<XmlParser*>(self);
    if (parser->m_quiet) {
        --parser->m_depth;
        return;
    }
    const char* local = parser->release(name);
    --parser->m_depth;
    if (!local)
        return;
    XmlHandler& handler = parser->m_handler;
    try {
        handler.endElement(local);
    } catch (...) {
        // Exceptions must not unwind through the C parser.
        handler.fail();
    }
}

void XmlParser::onText(void* self, const char* text, int length)
{
    const auto* parser = static_cast<XmlParser*>(self);
    if (parser->m_quiet || parser->m_skipFrom != 0)
        return;
    XmlHandler& handler = parser->m_handler;
    try {
        handler.characters(text, length);
    } catch (...) {
        // Exceptions must not unwind through the C parser.
        handler.fail();
    }
}

void XmlParser::onDoctype(void* self, const char*, const char*, const char*, int)
{
    static_cast<XmlParser*>(self)->refuse("holds a document type declaration");
}

} // namespace reader
