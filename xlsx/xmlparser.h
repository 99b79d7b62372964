#pragma once

#include <cstddef>
#include <string>

struct XML_ParserStruct;

namespace xlsx {

class XmlParser;

// Receives the events of one XML part. Names come without their namespace
// prefix (see localName); character data arrives only while collectText(true)
// is in force, which keeps the parser from calling back for the whitespace
// and markup-only text that makes up most of a sheet.
class XmlHandler
{
public:
    virtual ~XmlHandler() = default;
    virtual void startElement(const char* name, const char** attributes) = 0;
    virtual void endElement(const char* name) = 0;
    virtual void characters(const char* text, int length);
    // False stops the parse and fails it (for example a broken limit).
    bool ok() const { return m_ok; }

protected:
    void collectText(bool on);
    void fail();

private:
    friend class XmlParser;
    XmlParser* m_parser = nullptr;
    bool m_ok = true;
};

// The part of a (possibly prefixed) XML name after its colon.
const char* localName(const char* name);
// The value of the attribute with that local name, or nullptr.
const char* attribute(const char** attributes, const char* name);

// Streaming expat parser without namespace processing. Any document type
// declaration stops it: package parts never carry one, and refusing them is
// what keeps entity expansion ("billion laughs") out. So does nesting deeper
// than kMaxDepth: expat keeps every open element, and a part of nothing but
// start tags would grow that stack with every byte.
constexpr int kMaxDepth = 256;

class XmlParser final
{
public:
    explicit XmlParser(XmlHandler& handler);
    ~XmlParser();
    XmlParser(const XmlParser&) = delete;
    XmlParser& operator=(const XmlParser&) = delete;

    // Feeds the next chunk; last marks the end of the document. False once the
    // document is malformed, refused, or the handler failed.
    bool feed(const char* data, std::size_t size, bool last);

private:
    friend class XmlHandler;
    void setCollectingText(bool on);
    void stop();

    static void onStart(void* self, const char* name, const char** attributes);
    static void onEnd(void* self, const char* name);
    static void onText(void* self, const char* text, int length);
    static void onDoctype(void* self, const char*, const char*, const char*, int);

    XML_ParserStruct* m_parser;
    XmlHandler& m_handler;
    bool m_refused = false;
    int m_depth = 0;
};

} // namespace xlsx
