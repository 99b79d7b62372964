#pragma once

#include "reader/cells/stringpool.h"

#include <string>

namespace reader {

class ZipArchive;

// The workbook's shared string table. An item's text is all its runs joined;
// phonetic guides (rPh) are reading aids, not part of the text.
class SharedStrings final
{
public:
    // False when the part exists but cannot be read.
    bool load(const ZipArchive& archive, const std::string& part);
    std::size_t count() const { return m_pool.count(); }
    QString text(std::uint32_t index) const { return m_pool.text(index); }

private:
    StringPool m_pool;
};

} // namespace reader
