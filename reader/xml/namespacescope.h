#pragma once

#include <string>
#include <vector>

namespace reader {

// What a namespace is to the reader. Only the spreadsheet's own vocabulary
// and the relationships are workbook content; a producer may add elements
// of any other namespace (extensions, markup other programs ignore), and
// reading those as cells would show other values than a spreadsheet program.
enum class Namespace : unsigned char {
    Content,        // spreadsheet main, relationships (transitional or strict)
    Relationship,   // the namespace of r:id and its kin, for attributes
    Xml,            // the reserved "xml" prefix (xml:space)
    Excel,          // Excel's own, of a macro sheet's root element (xm:macrosheet)
    Foreign,        // anything else, no namespace included
    Unbound,        // a prefix nothing declares: the part is malformed
};

// The namespace declarations in force at each depth of an XML part, as its
// start tags declare them (xmlns and xmlns:p attributes).
class NamespaceScope final
{
public:
    // Takes the declarations among an element's attributes; false when one is
    // malformed (a prefix undeclared with an empty name).
    bool open(const char** attributes, int depth);
    // Drops the declarations made at depth or deeper.
    void close(int depth)
    {
        if (!m_bindings.empty() && m_bindings.back().depth >= depth)
            drop(depth);
    }
    // The namespace of names without a prefix (attributes without one belong
    // to their element instead), and of names with one.
    Namespace unprefixed() const { return m_default; }
    Namespace ofPrefix(const char* name, std::size_t prefixLength) const;

private:
    void drop(int depth);

    struct Binding
    {
        std::string prefix;   // empty for the default namespace
        Namespace ns;
        int depth;
    };

    std::vector<Binding> m_bindings;
    Namespace m_default = Namespace::Foreign;
};

// True for "xmlns" and "xmlns:p": declarations, not content.
bool isNamespaceDeclaration(const char* attributeName);

} // namespace reader
