// Placeholder until the reader lands: every file opens as a workbook without sheets.
#include "document.h"

namespace xlsx {
class Workbook {};
Document::Document(const QString&) {}
Document::~Document() = default;
QStringList Document::sheetNames() const { return {}; }
bool Document::selectSheet(const QString&) { return false; }
CellRange Document::dimension() const { return {}; }
QVariant Document::read(int, int) const { return {}; }
} // namespace xlsx
