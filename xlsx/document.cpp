#include "document.h"

#include "workbook.h"

namespace xlsx {

Document::Document(const QString& path)
{
    try {
        m_workbook = std::make_unique<Workbook>(path);
    } catch (...) {
        // Not even the package could be opened: a workbook without sheets.
    }
}

Document::Document(const InMemory& bytes)
{
    try {
        m_workbook = std::make_unique<Workbook>(bytes.package);
    } catch (...) {
        // Not even the package could be opened: a workbook without sheets.
    }
}

Document::~Document() = default;

QStringList Document::sheetNames() const
{
    return m_workbook ? m_workbook->sheetNames() : QStringList();
}

bool Document::isPasswordProtected() const
{
    return m_workbook && m_workbook->isPasswordProtected();
}

bool Document::selectSheet(const QString& name)
{
    return m_workbook && m_workbook->selectSheet(name);
}

CellRange Document::dimension() const
{
    return m_workbook ? m_workbook->dimension() : CellRange();
}

QVariant Document::read(int row, int column) const
{
    return m_workbook ? m_workbook->read(row, column) : QVariant();
}

QString Document::text(int row, int column) const
{
    return m_workbook ? m_workbook->text(row, column) : QString();
}

} // namespace xlsx
