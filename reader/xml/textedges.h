#pragma once

#include <string_view>

namespace reader {

// A cell's text as a spreadsheet program shows it: the XML white space
// (space, tab, CR, LF) at each end of the text is dropped unless the <t>
// element at that end is marked xml:space="preserve". Runs are joined first,
// so white space between runs stays.
class TextEdges final
{
public:
    // A new text begins.
    void clear() { m_runs = 0; }
    // A <t> element of the text opens, with these attributes.
    void run(const char** attributes);
    // The same, marked xml:space="preserve" or not.
    void run(bool preserves);
    // The text without the edges the runs seen since clear() do not preserve.
    std::string_view trimmed(std::string_view text) const;

private:
    int m_runs = 0;
    bool m_firstPreserves = false;
    bool m_lastPreserves = false;
};

} // namespace reader
