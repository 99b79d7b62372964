#include "workbookpart.h"

#include "reader/xml/xmlparser.h"
#include "reader/xml/xmlpart.h"

#include <cstring>

namespace reader {

namespace {

bool isTrue(const char* value)
{
    return value && (std::strcmp(value, "1") == 0 || std::strcmp(value, "true") == 0);
}

class WorkbookHandler final : public XmlHandler
{
public:
    WorkbookHandler(std::vector<WorkbookPart::SheetReference>& sheets, DateSystem& dateSystem, bool& recalculates)
        : m_sheets(sheets), m_dateSystem(dateSystem), m_recalculates(recalculates) {}

    void startElement(const char* name, const char** attributes) override
    {
        if (std::strcmp(name, "workbookPr") == 0) {
            if (isTrue(attribute(attributes, "date1904")))
                m_dateSystem = DateSystem::From1904;
        } else if (std::strcmp(name, "calcPr") == 0) {
            if (isTrue(attribute(attributes, "fullCalcOnLoad")))
                m_recalculates = true;
        } else if (std::strcmp(name, "sheets") == 0) {
            m_inSheets = true;
        } else if (m_inSheets && std::strcmp(name, "sheet") == 0) {
            const char* sheetName = attribute(attributes, "name");
            // The relationship id is the only prefixed attribute that comes
            // through ("r:id", whatever the prefix).
            const char* id = nullptr;
            for (const char** a = attributes; *a; a += 2)
                if (std::strchr(a[0], ':') && std::strcmp(localName(a[0]), "id") == 0)
                    id = a[1];
            if (sheetName)
                m_sheets.push_back({QString::fromUtf8(sheetName), id ? id : ""});
        }
    }

    void endElement(const char* name) override
    {
        if (std::strcmp(name, "sheets") == 0)
            m_inSheets = false;
    }

private:
    std::vector<WorkbookPart::SheetReference>& m_sheets;
    DateSystem& m_dateSystem;
    bool& m_recalculates;
    bool m_inSheets = false;
};

} // namespace

bool WorkbookPart::load(const ZipArchive& archive, const std::string& part)
{
    m_sheets.clear();
    m_dateSystem = DateSystem::From1900;
    m_recalculatesOnLoad = false;
    WorkbookHandler handler(m_sheets, m_dateSystem, m_recalculatesOnLoad);
    if (!parseXmlPart(archive, part, handler, kMaxMetadataPartSize)) {
        m_sheets.clear();
        return false;
    }
    return true;
}

} // namespace reader
