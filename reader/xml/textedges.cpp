#include "textedges.h"

#include "reader/xml/xmlparser.h"

#include <cstring>

namespace reader {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

void TextEdges::run(const char** attributes)
{
    const char* space = attribute(attributes, "xml:space");
    run(space && std::strcmp(space, "preserve") == 0);
}

void TextEdges::run(bool preserves)
{
    if (m_runs++ == 0)
        m_firstPreserves = preserves;
    m_lastPreserves = preserves;
}

std::string_view TextEdges::trimmed(std::string_view text) const
{
    if (m_runs == 0)
        return text;
    std::size_t end = text.size();
    if (!m_lastPreserves)
        while (end > 0 && isSpace(text[end - 1]))
            --end;
    std::size_t begin = 0;
    if (!m_firstPreserves)
        while (begin < end && isSpace(text[begin]))
            ++begin;
    return text.substr(begin, end - begin);
}

} // namespace reader
