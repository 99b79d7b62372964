#pragma once

#include "reader/xml/markupscanner.h"
#include "reader/xml/namespacescope.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct XML_ParserStruct;

namespace reader {

class XmlParser;

// Receives the events of one XML part: only elements of the workbook's own
// namespaces (see Namespace), by local name, whatever prefix the part binds
// to them; any other element is skipped with everything inside it. Their
// attributes come without namespace declarations and without prefixed
// attributes other than relationship ones (r:id) and xml:space. Character
// data arrives only while collectText(true) is in force, which keeps the
// parser from calling back for the whitespace and markup-only text that makes
// up most of a sheet.
class XmlHandler
{
public:
    virtual ~XmlHandler() = default;
    virtual void startElement(const char* name, const char** attributes) = 0;
    virtual void endElement(const char* name) = 0;
    virtual void characters(const char* text, int length);
    // Where the markup scanner reads, the handler may take plain elements of
    // the content namespaces straight from the bytes, ahead of their events:
    // data holds the bytes from a start tag on, prefix the element's name's
    // prefix with its colon (or nothing), namespaces are those in force, and
    // depthLeft is how many more elements may open. Returns the bytes of the
    // whole elements taken, 0 to have them parsed.
    virtual std::size_t plainMarkup(const char* data, std::size_t size, std::string_view prefix,
                                    const NamespaceScope& namespaces, int depthLeft);
    // False stops the parse and fails it (for example a broken limit).
    bool ok() const { return m_ok; }
    // Why it failed, for the user ("a text longer than 10 MiB"); null when not said.
    const char* failure() const { return m_failure; }

protected:
    void collectText(bool on);
    void fail(const char* why = nullptr);

private:
    friend class XmlParser;
    XmlParser* m_parser = nullptr;
    bool m_ok = true;
    const char* m_failure = nullptr;
};

// The part of a (possibly prefixed) XML name after its colon.
const char* localName(const char* name);
// The value of the attribute with exactly that name, or nullptr.
const char* attribute(const char** attributes, const char* name);

// Streaming expat parser; it resolves namespaces itself, on expat's events and
// on the scanner's alike, and fails a part that uses a prefix it does not
// declare. Any document type
// declaration stops it: package parts never carry one, and refusing them is
// what keeps entity expansion ("billion laughs") out. So does nesting deeper
// than kMaxDepth: expat keeps every open element, and a part of nothing but
// start tags would grow that stack with every byte.
constexpr int kMaxDepth = 256;

class XmlParser final : private MarkupEvents
{
public:
    // With a scannedElement (a local name), the content of the first element
    // of that name goes through the MarkupScanner instead of expat.
    explicit XmlParser(XmlHandler& handler, const char* scannedElement = nullptr);
    ~XmlParser() override;
    XmlParser(const XmlParser&) = delete;
    XmlParser& operator=(const XmlParser&) = delete;

    // Feeds the next chunk; last marks the end of the document. False once the
    // document is malformed, refused, the handler failed, or the scanner gave up.
    bool feed(const char* data, std::size_t size, bool last);
    // The scanner met what it does not judge: the handler's events so far are
    // incomplete, and the part is to be read again without a scanned element.
    bool scannerGaveUp() const { return m_scannerGaveUp; }
    // Why feed() failed, for the user ("not well-formed XML (line 3)"); empty
    // while it has not, or when the scanner gave up.
    std::string failure() const;

private:
    friend class XmlHandler;
    enum class Stage { Expat, Looking, Found, Scanning };

    XML_ParserStruct* createParser();
    bool parse(const char* data, std::size_t size, bool last);
    bool startScanning(bool last);
    bool scan(const char* data, std::size_t size, bool last);
    void setCollectingText(bool on);
    void found();
    void stop();
    void refuse(const char* why);

    bool start(const char* name, const char** attributes) override;
    bool end(const char* name) override;
    bool text(const char* data, std::size_t size) override;
    bool collectingText() const override { return m_collecting && m_skipFrom == 0; }
    bool plain(const char* data, std::size_t size, int depthLeft, std::size_t& used) override;

    // For the element just opened at m_depth: its local name, with its
    // attributes as the handler takes them, or nullptr when it is skipped (or
    // malformed: then the parse is refused).
    const char* admit(const char* name, const char**& attributes);
    // For the element closing at m_depth: its local name, or nullptr when it
    // was skipped.
    const char* release(const char* name);

    static void onStart(void* self, const char* name, const char** attributes);
    static void onEnd(void* self, const char* name);
    static void onText(void* self, const char* text, int length);
    static void onDoctype(void* self, const char*, const char*, const char*, int);

    XmlHandler& m_handler;
    const char* const m_scannedElement;
    XML_ParserStruct* m_parser;
    // Why the part was refused; null while it is not.
    const char* m_refused = nullptr;
    // Expat went on after the scanned element without counting its lines.
    bool m_linesSkipped = false;
    int m_depth = 0;
    bool m_collecting = false;
    // Expat is fed the bytes before the scanned element twice: once to find
    // it, once more (without events) to stop right after its start tag.
    Stage m_stage;
    bool m_quiet = false;
    std::string m_prefix;
    std::size_t m_scanFrom = 0;
    int m_scanDepth = 0;
    std::optional<MarkupScanner> m_scanner;
    bool m_scannerGaveUp = false;
    NamespaceScope m_namespaces;
    // The depth of the outermost element being skipped, 0 when none is.
    int m_skipFrom = 0;
    std::vector<const char*> m_attributes;
};

} // namespace reader
