#include "sheet.h"

#include "reader/xlsx/sheetreader.h"
#include "reader/xml/xmlpart.h"

namespace reader {

Sheet::Sheet(const SharedStrings& sharedStrings, DateSystem dateSystem, bool formulasAsText)
    : m_sharedStrings(sharedStrings), m_values(sharedStrings, dateSystem), m_formulasAsText(formulasAsText)
{
}

bool Sheet::load(const ZipArchive& archive, const std::string& part, const Styles& styles)
{
    // The rows go through the markup scanner; a sheet it gives up on (rare
    // markup, or a malformed part) is read again by expat alone.
    bool scannerGaveUp = false;
    {
        SheetReader reader(m_sharedStrings, styles, *this, m_formulasAsText);
        if (scanXmlPart(archive, part, reader, "sheetData", scannerGaveUp)) {
            m_cells.finish();
            return true;
        }
    }
    if (!scannerGaveUp)
        return false;
    m_cells = CellStore();
    m_texts = StringPool();
    SheetReader reader(m_sharedStrings, styles, *this, m_formulasAsText);
    if (!parseXmlPart(archive, part, reader))
        return false;
    m_cells.finish();
    return true;
}

QVariant Sheet::read(int row, int column) const
{
    const Cell* cell = m_cells.find(row, column);
    return cell ? m_values.value(*cell, m_texts) : QVariant();
}

bool Sheet::isUnknown(int row, int column) const
{
    if (m_formulas == 0)
        return false;
    const Cell* cell = m_cells.find(row, column);
    return cell && cell->kind == CellKind::Formula;
}

QString Sheet::text(int row, int column) const
{
    const Cell* cell = m_cells.find(row, column);
    return cell ? m_values.text(*cell, m_texts) : QString();
}

void Sheet::textInto(int row, int column, QString& into) const
{
    if (const Cell* cell = m_cells.find(row, column))
        m_values.textInto(*cell, m_texts, into);
    else
        into = QString();
}

} // namespace reader
