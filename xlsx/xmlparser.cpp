#include "xmlparser.h"

#include <expat.h>

#include <climits>
#include <cstring>
#include <new>

namespace xlsx {

void XmlHandler::characters(const char*, int) {}

void XmlHandler::collectText(bool on)
{
    if (m_parser)
        m_parser->setCollectingText(on);
}

void XmlHandler::fail()
{
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

const char* attribute(const char** attributes, const char* name)
{
    for (const char** a = attributes; *a; a += 2)
        if (std::strcmp(localName(a[0]), name) == 0)
            return a[1];
    return nullptr;
}

XmlParser::XmlParser(XmlHandler& handler)
    : m_parser(XML_ParserCreate(nullptr))
    , m_handler(handler)
{
    if (!m_parser)
        throw std::bad_alloc();
    m_handler.m_parser = this;
    XML_SetUserData(m_parser, this);
    XML_SetElementHandler(m_parser, &XmlParser::onStart, &XmlParser::onEnd);
    XML_SetStartDoctypeDeclHandler(m_parser, &XmlParser::onDoctype);
}

XmlParser::~XmlParser()
{
    m_handler.m_parser = nullptr;
    XML_ParserFree(m_parser);
}

bool XmlParser::feed(const char* data, std::size_t size, bool last)
{
    if (!m_parser || m_refused || !m_handler.ok())
        return false;
    while (size > 0 || last) {
        const int piece = size > std::size_t(INT_MAX) ? INT_MAX : int(size);
        const bool final = last && std::size_t(piece) == size;
        if (XML_Parse(m_parser, data, piece, final) != XML_STATUS_OK)
            return false;
        if (final)
            break;
        data += piece;
        size -= std::size_t(piece);
    }
    return !m_refused && m_handler.ok();
}

void XmlParser::setCollectingText(bool on)
{
    XML_SetCharacterDataHandler(m_parser, on ? &XmlParser::onText : nullptr);
}

void XmlParser::stop()
{
    XML_StopParser(m_parser, XML_FALSE);
}

void XmlParser::onStart(void* self, const char* name, const char** attributes)
{
    auto* parser = static_cast<XmlParser*>(self);
    if (++parser->m_depth > kMaxDepth) {
        parser->m_refused = true;
        return parser->stop();
    }
    XmlHandler& handler = parser->m_handler;
    try {
        handler.startElement(localName(name), attributes);
    } catch (...) {
        // Exceptions must not unwind through the C parser.
        handler.fail();
    }
}

void XmlParser::onEnd(void* self, const char* name)
{
    auto* parser = static_cast<XmlParser*>(self);
    --parser->m_depth;
    XmlHandler& handler = parser->m_handler;
    try {
        handler.endElement(localName(name));
    } catch (...) {
        // Exceptions must not unwind through the C parser.
        handler.fail();
    }
}

void XmlParser::onText(void* self, const char* text, int length)
{
    XmlHandler& handler = static_cast<XmlParser*>(self)->m_handler;
    try {
        handler.characters(text, length);
    } catch (...) {
        // Exceptions must not unwind through the C parser.
        handler.fail();
    }
}

void XmlParser::onDoctype(void* self, const char*, const char*, const char*, int)
{
    auto* parser = static_cast<XmlParser*>(self);
    parser->m_refused = true;
    parser->stop();
}

} // namespace xlsx
