#pragma once

#include "book.h"

#include <QByteArray>
#include <QHash>
#include <QTemporaryFile>

#include <memory>

namespace xlsx {

// An Excel 97-2003 workbook (BIFF in a compound file), read by FreeXL: text,
// numbers and date-formatted numbers. FreeXL leaves out formula cells and
// booleans and errors; those are read from the workbook's records here
// (biffcells.h). Cells read as Document::read() describes. A workbook
// FreeXL cannot read, or one protected by a password, has no sheets.
class XlsBook final : public Book
{
public:
    // Larger files are refused: the largest sheet the format holds (65,536
    // rows of 256 columns) of numbers is about 240 MB, and FreeXL holds the
    // whole file and a cell table of the selected sheet in memory.
    static constexpr qint64 kMaxBytes = qint64(256) * 1024 * 1024;
    static constexpr unsigned kMaxRows = 65536;
    static constexpr unsigned kMaxColumns = 256;

    explicit XlsBook(const QString& path);
    // FreeXL reads only from a file: the bytes go to a temporary one first.
    explicit XlsBook(const QByteArray& bytes);
    ~XlsBook() override;

    QStringList sheetNames() const override;
    bool selectSheet(const QString& name) override;
    CellRange dimension() const override;
    QVariant read(int row, int column) const override;
    QString text(int row, int column) const override;

private:
    void open(const QString& path);

    QTemporaryFile m_copy;
    QString m_path;
    const void* m_handle = nullptr;
    QStringList m_sheets;
    bool m_selected = false;
    unsigned m_rows = 0;
    unsigned m_columns = 0;
    CellRange m_range;
    // The selected sheet's cells FreeXL leaves out, by row << 16 | column (0-based).
    QHash<quint64, QVariant> m_extraCells;
};

} // namespace xlsx
