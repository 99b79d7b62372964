#pragma once

#include "book.h"
#include "serialdate.h"
#include "sharedstrings.h"
#include "styles.h"
#include "ziparchive.h"

#include <memory>
#include <string>
#include <vector>

namespace xlsx {

class Sheet;

// An open package: the sheet list is read at once, the shared strings and
// styles when the first sheet is selected (listing the sheets of a large
// workbook must stay cheap).
class Workbook final : public Book
{
public:
    explicit Workbook(const QString& path);
    // The bytes are shared, not copied, and kept for the archive's life.
    explicit Workbook(const QByteArray& package);
    ~Workbook() override;

    QStringList sheetNames() const override;
    bool selectSheet(const QString& name) override;
    CellRange dimension() const override;
    QVariant read(int row, int column) const override;
    QString text(int row, int column) const override;
    bool isPasswordProtected() const override { return m_passwordProtected; }

private:
    struct SheetEntry
    {
        QString name;
        std::string part;
    };

    void openOrClear();
    bool open();
    bool loadSharedParts();

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
    std::unique_ptr<Sheet> m_sheet;
    bool m_passwordProtected = false;
};

} // namespace xlsx
