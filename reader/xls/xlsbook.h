#pragma once

#include "reader/xls/biffworkbook.h"
#include "reader/cells/book.h"

#include <QByteArray>

#include <vector>

namespace reader {

// An Excel 97-2003 workbook read as Document::read() describes: text,
// numbers, date-formatted numbers as dates, booleans, a formula's cached
// result and error cells as their text. A formula said to give text whose
// text the file does not hold reads as "=" and isUnknown(). One encrypted
// with RC4 or obfuscated with XOR opens with Excel's default key or the
// password; one encrypted
// otherwise or with another password, of an older version (Excel 5 or 95)
// or unreadable has no sheets; problem() names the older version, and a
// sheet naming a shared string the workbook does not hold, and why an
// encrypted one did not open.
class XlsBook final : public Book
{
public:
    // Larger files are refused: the largest sheet the format holds (65,536
    // rows of 256 columns) of numbers is about 240 MB; the workbook stream
    // and the selected sheet's cells are held in memory.
    static constexpr qint64 kMaxBytes = qint64(256) * 1024 * 1024;

    explicit XlsBook(const QString& path, const QString& password = {});
    explicit XlsBook(const QByteArray& bytes, const QString& password = {});

    QStringList sheetNames() const override;
    bool selectSheet(const QString& name) override;
    CellRange dimension() const override;
    QVariant read(int row, int column) const override;
    QString text(int row, int column) const override;
    bool isUnknown(int row, int column) const override;
    bool isPasswordProtected() const override;
    bool opensWithPassword() const override { return isPasswordProtected(); }
    QString problem() const override;

private:
    void load(const char* data, std::size_t size, const QString& password);
    const BiffCell* find(int row, int column) const;

    BiffWorkbook m_workbook;
    QStringList m_sheets;
    std::vector<BiffCell> m_cells;   // of the selected sheet, by position
    // Most sheets hold none: their cells need not be looked up to tell.
    std::size_t m_unknowns = 0;
    CellRange m_range;
    QString m_problem;
    bool m_passwordGiven = false;
};

} // namespace reader
