#include "sharedstrings.h"

#include "reader/xml/textedges.h"
#include "reader/xml/textescape.h"
#include "reader/cells/textlimit.h"
#include "reader/xml/xmlparser.h"
#include "reader/xml/xmlpart.h"

#include <cstring>

namespace reader {

namespace {

class SharedStringsHandler final : public XmlHandler
{
public:
    explicit SharedStringsHandler(StringPool& pool) : m_pool(pool) {}

    void startElement(const char* name, const char** attributes) override
    {
        if (std::strcmp(name, "si") == 0) {
            m_inItem = true;
            m_phonetic = 0;
            m_text.clear();
            m_edges.clear();
        } else if (std::strcmp(name, "rPh") == 0) {
            ++m_phonetic;
        } else if (std::strcmp(name, "t") == 0 && m_inItem && m_phonetic == 0) {
            m_edges.run(attributes);
            collectText(true);
        }
    }

    void endElement(const char* name) override
    {
        if (std::strcmp(name, "t") == 0) {
            collectText(false);
        } else if (std::strcmp(name, "rPh") == 0) {
            if (m_phonetic > 0)
                --m_phonetic;
        } else if (std::strcmp(name, "si") == 0 && m_inItem) {
            m_pool.add(decodeEscapes(m_edges.trimmed(m_text), m_decoded));
            m_inItem = false;
        }
    }

    void characters(const char* text, int length) override
    {
        if (m_text.size() + std::size_t(length) > kMaxTextBytes)
            return fail(kLongTextProblem);
        m_text.append(text, std::size_t(length));
    }

private:
    StringPool& m_pool;
    std::string m_text;
    std::string m_decoded;
    TextEdges m_edges;
    bool m_inItem = false;
    int m_phonetic = 0;
};

} // namespace

bool SharedStrings::load(const ZipArchive& archive, const std::string& part)
{
    m_pool = StringPool();
    SharedStringsHandler handler(m_pool);
    return parseXmlPart(archive, part, handler);
}

} // namespace reader
