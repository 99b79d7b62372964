#include "relationships.h"

#include "reader/containers/partpath.h"
#include "reader/xml/xmlparser.h"
#include "reader/xml/xmlpart.h"

#include <cstring>

namespace reader {

namespace {

class RelationshipsHandler final : public XmlHandler
{
public:
    RelationshipsHandler(const std::string& sourceFolder, std::vector<Relationships::Relationship>& out)
        : m_folder(sourceFolder), m_out(out) {}

    void startElement(const char* name, const char** attributes) override
    {
        if (std::strcmp(name, "Relationship") != 0)
            return;
        const char* mode = attribute(attributes, "TargetMode");
        if (mode && std::strcmp(mode, "External") == 0)
            return;
        const char* id = attribute(attributes, "Id");
        const char* type = attribute(attributes, "Type");
        const char* target = attribute(attributes, "Target");
        if (!id || !target)
            return;
        m_out.push_back({id, type ? type : "", partpath::resolve(m_folder, target)});
    }
    void endElement(const char*) override {}

private:
    const std::string m_folder;
    std::vector<Relationships::Relationship>& m_out;
};

} // namespace

bool Relationships::load(const ZipArchive& archive, const std::string& sourcePart)
{
    m_relationships.clear();
    const std::string part = sourcePart.empty() ? "_rels/.rels" : partpath::relationshipsOf(sourcePart);
    RelationshipsHandler handler(partpath::folder(sourcePart), m_relationships);
    if (!parseXmlPart(archive, part, handler, kMaxMetadataPartSize)) {
        m_relationships.clear();
        return false;
    }
    return true;
}

std::string Relationships::targetOf(const std::string& id) const
{
    for (const Relationship& r : m_relationships)
        if (r.id == id)
            return r.target;
    return {};
}

std::string Relationships::targetOfType(const std::string& typeName) const
{
    const std::string suffix = "/" + typeName;
    for (const Relationship& r : m_relationships)
        if (r.type.size() >= suffix.size()
            && r.type.compare(r.type.size() - suffix.size(), suffix.size(), suffix) == 0)
            return r.target;
    return {};
}

} // namespace reader
