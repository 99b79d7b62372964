#include "xlsbook.h"

#include "reader/cells/passwordproblem.h"

#include <QFile>

#include <algorithm>

namespace reader {

XlsBook::XlsBook(const QString& path, const QString& password)
    : m_passwordGiven(!password.isEmpty())
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxBytes || file.size() == 0)
        return;
    const uchar* bytes = file.map(0, file.size());
    if (bytes)
        load(reinterpret_cast<const char*>(bytes), std::size_t(file.size()), password);
}

XlsBook::XlsBook(const QByteArray& bytes, const QString& password)
    : m_passwordGiven(!password.isEmpty())
{
    if (bytes.size() <= kMaxBytes)
        load(bytes.constData(), std::size_t(bytes.size()), password);
}

void XlsBook::load(const char* data, std::size_t size, const QString& password)
{
    try {
        if (!m_workbook.load(data, size, password)) {
            m_problem = m_workbook.problem();
            return;
        }
    } catch (...) {
        // Out of memory: a workbook without sheets.
        return;
    }
    for (const QString& name : m_workbook.sheetNames())
        m_sheets.append(name);
}

bool XlsBook::isPasswordProtected() const
{
    return m_workbook.unlock() == BiffUnlock::PasswordNeeded || m_workbook.unlock() == BiffUnlock::WrongPassword;
}

QString XlsBook::problem() const
{
    switch (m_workbook.unlock()) {
    case BiffUnlock::PasswordNeeded:
    case BiffUnlock::WrongPassword:
        return passwordProblem(m_passwordGiven);
    case BiffUnlock::Unsupported:
        return QStringLiteral("encrypted in a way this version does not read");
    case BiffUnlock::Damaged:
        return QStringLiteral("the encryption header is damaged");
    case BiffUnlock::Opened:
        break;
    }
    return m_problem;
}

QStringList XlsBook::sheetNames() const
{
    return m_sheets;
}

bool XlsBook::selectSheet(const QString& name)
{
    m_cells.clear();
    m_unknowns = 0;
    m_range = CellRange();
    // A workbook without sheets keeps saying why it has none.
    if (!m_sheets.isEmpty())
        m_problem.clear();
    const int index = m_sheets.indexOf(name);
    try {
        if (index < 0 || !m_workbook.readSheet(std::size_t(index), m_cells, m_problem)) {
            m_cells.clear();
            return false;
        }
    } catch (...) {
        m_cells.clear();
        return false;
    }
    if (m_cells.empty())
        return true;
    int firstColumn = 256, lastColumn = 0;
    for (const BiffCell& cell : m_cells) {
        m_unknowns += cell.unknown;
        firstColumn = std::min(firstColumn, int(cell.position & 0xFF) + 1);
        lastColumn = std::max(lastColumn, int(cell.position & 0xFF) + 1);
    }
    m_range = CellRange(int(m_cells.front().position >> 8) + 1, firstColumn, int(m_cells.back().position >> 8) + 1,
                        lastColumn);
    return true;
}

CellRange XlsBook::dimension() const
{
    return m_range;
}

const BiffCell* XlsBook::find(int row, int column) const
{
    if (row < 1 || row > 65536 || column < 1 || column > 256)
        return nullptr;
    const std::uint32_t position = std::uint32_t(row - 1) << 8 | std::uint32_t(column - 1);
    const auto at = std::lower_bound(m_cells.begin(), m_cells.end(), position,
                                     [](const BiffCell& cell, std::uint32_t p) { return cell.position < p; });
    return at != m_cells.end() && at->position == position ? &*at : nullptr;
}

QVariant XlsBook::read(int row, int column) const
{
    const BiffCell* cell = find(row, column);
    return cell ? cell->value : QVariant();
}

QString XlsBook::text(int row, int column) const
{
    return read(row, column).toString();
}

bool XlsBook::isUnknown(int row, int column) const
{
    if (m_unknowns == 0)
        return false;
    const BiffCell* cell = find(row, column);
    return cell && cell->unknown;
}

} // namespace reader
