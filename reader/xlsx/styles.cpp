#include "styles.h"

#include "reader/cells/numberformat.h"
#include "reader/xml/xmlparser.h"
#include "reader/xml/xmlpart.h"

#include <charconv>
#include <cstring>
#include <map>

namespace reader {

namespace {

int toInt(const char* text)
{
    int value = -1;
    if (text)
        std::from_chars(text, text + std::strlen(text), value);
    return value;
}

class StylesHandler final : public XmlHandler
{
public:
    void startElement(const char* name, const char** attributes) override
    {
        if (std::strcmp(name, "numFmt") == 0) {
            const char* code = attribute(attributes, "formatCode");
            const int id = toInt(attribute(attributes, "numFmtId"));
            if (code && id >= 0)
                m_codes[id] = code;
        } else if (std::strcmp(name, "cellXfs") == 0) {
            m_inCellFormats = true;
        } else if (std::strcmp(name, "xf") == 0 && m_inCellFormats) {
            m_formatIds.push_back(toInt(attribute(attributes, "numFmtId")));
        }
    }

    void endElement(const char* name) override
    {
        if (std::strcmp(name, "cellXfs") == 0)
            m_inCellFormats = false;
    }

    // Formats are declared before the cell formats use them, but nothing in
    // the parse depends on that order: resolve once everything is read.
    std::vector<bool> dateStyles() const
    {
        std::vector<bool> dates;
        dates.reserve(m_formatIds.size());
        for (int id : m_formatIds) {
            const auto code = m_codes.find(id);
            dates.push_back(code != m_codes.end() ? isDateFormatCode(code->second) : isBuiltInDateFormat(id));
        }
        return dates;
    }

private:
    std::map<int, std::string> m_codes;
    std::vector<int> m_formatIds;
    bool m_inCellFormats = false;
};

} // namespace

bool Styles::load(const ZipArchive& archive, const std::string& part)
{
    m_dateStyles.clear();
    StylesHandler handler;
    if (!parseXmlPart(archive, part, handler, kMaxMetadataPartSize))
        return false;
    m_dateStyles = handler.dateStyles();
    return true;
}

} // namespace reader
