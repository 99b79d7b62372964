#pragma once

#include "reader/cells/book.h"
#include "reader/cells/serialdate.h"
#include "reader/xlsx/sharedstrings.h"
#include "reader/xlsx/styles.h"
#include "reader/containers/ziparchive.h"

#include <memory>
#include <string>
#include <vector>

namespace reader {

class SheetCells;

// An open package: the sheet list is read at once, the shared strings and
// styles when the first sheet is selected (listing the sheets of a large
// workbook must stay cheap). A sheet is held whole, or, for SheetAccess::Forward,
// surveyed and then read as its rows arrive (for SheetAccess::InOrder, read as
// they arrive without a survey).
class XlsxBook final : public Book
{
public:
    XlsxBook(const QString& path, SheetAccess access);
    // The bytes are shared, not copied, and kept for the archive's life.
    XlsxBook(const QByteArray& package, SheetAccess access);
    ~XlsxBook() override;

    QStringList sheetNames() const override;
    bool selectSheet(const QString& name) override;
    CellRange dimension() const override;
    QVariant read(int row, int column) const override;
    QString text(int row, int column) const override;
    void textInto(int row, int column, QString& into) const override;
    bool rowsReach(int row) const override;
    bool isUnknown(int row, int column) const override;
    bool mayHoldUnknown(int row) const override;
    bool readIntact() const override;
    QString problem() const override { return m_problem; }

private:
    struct SheetEntry
    {
        QString name;
        std::string part;
    };

    void openOrClear();
    bool open();
    bool loadSharedParts();
    bool select(const SheetEntry& entry);

    QByteArray m_package;
    ZipArchive m_archive;
    std::vector<SheetEntry> m_sheets;
    DateSystem m_dateSystem = DateSystem::From1900;
    bool m_formulasAsText = false;
    std::string m_sharedStringsPart;
    std::string m_stylesPart;
    bool m_sharedPartsLoaded = false;
    SharedStrings m_sharedStrings;
    Styles m_styles;
    const SheetAccess m_access;
    std::unique_ptr<SheetCells> m_sheet;
    QString m_problem;
};

} // namespace reader
