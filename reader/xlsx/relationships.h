#pragma once

#include <string>
#include <vector>

namespace reader {

class ZipArchive;

// The internal relationships of one package part, targets already resolved to
// part names.
class Relationships final
{
public:
    struct Relationship
    {
        std::string id;
        std::string type;
        std::string target;
    };

    // Reads the relationships of sourcePart ("" for the package itself). False
    // when the relationships part is missing or unreadable.
    bool load(const ZipArchive& archive, const std::string& sourcePart);

    // The target of the relationship with that id, or "".
    std::string targetOf(const std::string& id) const;
    // The target of the first relationship whose type ends in "/" + typeName
    // (the type URIs differ between transitional and strict packages), or "".
    std::string targetOfType(const std::string& typeName) const;

private:
    std::vector<Relationship> m_relationships;
};

} // namespace reader
