#pragma once

#include <string>
#include <vector>

namespace reader {

class ZipArchive;

// Which cell formats (the s attribute of a cell, an index into cellXfs) show
// their number as a date or time.
class Styles final
{
public:
    // False when the part exists but cannot be read.
    bool load(const ZipArchive& archive, const std::string& part);
    bool isDate(unsigned style) const { return style < m_dateStyles.size() && m_dateStyles[style]; }

private:
    std::vector<bool> m_dateStyles;
};

} // namespace reader
