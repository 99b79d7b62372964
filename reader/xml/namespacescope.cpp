#include "namespacescope.h"

#include <cstring>

namespace reader {

namespace {

// Elements of these namespaces are read; the strict conformance class
// renames the same vocabulary.
const char* const kContentNamespaces[] = {
    "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
    "http://purl.oclc.org/ooxml/spreadsheetml/main",
    "http://schemas.openxmlformats.org/package/2006/relationships",
};
const char* const kRelationshipNamespaces[] = {
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
    "http://purl.oclc.org/ooxml/officeDocument/relationships",
};

// Excel writes a macro sheet's root element in a namespace of its own,
// everything inside it in the spreadsheet's.
const char kExcelNamespace[] = "http://schemas.microsoft.com/office/excel/2006/main";

Namespace classify(const char* uri)
{
    for (const char* known : kContentNamespaces)
        if (std::strcmp(uri, known) == 0)
            return Namespace::Content;
    for (const char* known : kRelationshipNamespaces)
        if (std::strcmp(uri, known) == 0)
            return Namespace::Relationship;
    if (std::strcmp(uri, kExcelNamespace) == 0)
        return Namespace::Excel;
    return Namespace::Foreign;
}

} // namespace

bool isNamespaceDeclaration(const char* name)
{
    return name[0] == 'x' && std::strncmp(name, "xmlns", 5) == 0 && (name[5] == '\0' || name[5] == ':');
}

bool NamespaceScope::open(const char** attributes, int depth)
{
    for (const char** a = attributes; *a; a += 2) {
        if (!isNamespaceDeclaration(a[0]))
            continue;
        const char* uri = a[1];
        if (a[0][5] == '\0') {
            // xmlns="" puts the element back in no namespace.
            m_default = *uri ? classify(uri) : Namespace::Foreign;
            m_bindings.push_back({std::string(), m_default, depth});
        } else {
            if (!*uri)
                return false;
            m_bindings.push_back({std::string(a[0] + 6), classify(uri), depth});
        }
    }
    return true;
}

void NamespaceScope::drop(int depth)
{
    bool defaultChanged = false;
    while (!m_bindings.empty() && m_bindings.back().depth >= depth) {
        defaultChanged |= m_bindings.back().prefix.empty();
        m_bindings.pop_back();
    }
    if (!defaultChanged)
        return;
    m_default = Namespace::Foreign;
    for (auto b = m_bindings.rbegin(); b != m_bindings.rend(); ++b) {
        if (b->prefix.empty()) {
            m_default = b->ns;
            break;
        }
    }
}

Namespace NamespaceScope::ofPrefix(const char* name, std::size_t prefixLength) const
{
    if (prefixLength == 3 && std::strncmp(name, "xml", 3) == 0)
        return Namespace::Xml;
    for (auto b = m_bindings.rbegin(); b != m_bindings.rend(); ++b)
        if (b->prefix.size() == prefixLength && !b->prefix.empty() && b->prefix.compare(0, prefixLength, name, prefixLength) == 0)
            return b->ns;
    return Namespace::Unbound;
}

} // namespace reader
