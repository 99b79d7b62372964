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

void TextEdges::trim(std::string& text) const
{
    if (m_runs == 0)
        return;
    std::size_t end = text.size();
    if (!m_lastPreserves)
        while (end > 0 && isSpace(text[end - 1]))
            --end;
    std::size_t begin = 0;
    if (!m_firstPreserves)
        while (begin < end && isSpace(text[begin]))
            ++begin;
    if (end < text.size())
        text.erase(end);
    if (begin > 0)
        text.erase(0, begin);
}

} // namespace reader
