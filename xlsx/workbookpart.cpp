#include "workbookpart.h"

#include "xmlparser.h"
#include "xmlpart.h"

#include <cstring>

namespace xlsx {

namespace {

class WorkbookHandler final : public XmlHandler
{
public:
    WorkbookHandler(std::vector<WorkbookPart::SheetReference>& sheets, DateSystem& dateSystem)
        : m_sheets(sheets), m_dateSystem(dateSystem) {}

    void startElement(const char* name, const char** attributes) override
    {
        if (std::strcmp(name, "workbookPr") == 0) {
            const char* date1904 = attribute(attributes, "date1904");
            if (date1904 && (std::strcmp(date1904, "1") == 0 || std::strcmp(date1904, "true") == 0))
                m_dateSystem = DateSystem::From1904;
        } else if (std::strcmp(name, "sheets") == 0) {
            m_inSheets = true;
        } else if (m_inSheets && std::strcmp(name, "sheet") == 0) {
            const char* sheetName = attribute(attributes, "name");
            // The relationship id is the only namespaced attribute ("r:id").
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
    bool m_inSheets = false;
};

} // namespace

bool WorkbookPart::load(const ZipArchive& archive, const std::string& part)
{
    m_sheets.clear();
    m_dateSystem = DateSystem::From1900;
    WorkbookHandler handler(m_sheets, m_dateSystem);
    if (!parseXmlPart(archive, part, handler, kMaxMetadataPartSize)) {
        m_sheets.clear();
        return false;
    }
    return true;
}

} // namespace xlsx
