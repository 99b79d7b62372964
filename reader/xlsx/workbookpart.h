#pragma once

#include "reader/cells/serialdate.h"

#include <QString>

#include <string>
#include <vector>

namespace reader {

class ZipArchive;

// What the workbook part says: its sheets in workbook order, each with the
// relationship id of its part, the date system, and whether the results
// cached in formula cells are to be recalculated on opening.
class WorkbookPart final
{
public:
    struct SheetReference
    {
        QString name;
        std::string relationshipId;
    };

    // False when the part is missing or unreadable.
    bool load(const ZipArchive& archive, const std::string& part);

    const std::vector<SheetReference>& sheets() const { return m_sheets; }
    DateSystem dateSystem() const { return m_dateSystem; }
    bool recalculatesOnLoad() const { return m_recalculatesOnLoad; }

private:
    std::vector<SheetReference> m_sheets;
    DateSystem m_dateSystem = DateSystem::From1900;
    bool m_recalculatesOnLoad = false;
};

} // namespace reader
