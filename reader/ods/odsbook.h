#pragma once

#include "reader/cells/book.h"
#include "reader/containers/ziparchive.h"

#include <QByteArray>

#include <memory>

namespace reader {

class SpreadsheetContent;

// An OpenDocument spreadsheet (.ods, as LibreOffice saves it) read as
// Document::read() describes: numbers, currencies and percentages as
// numbers, dates and times as dates, booleans, texts, a formula's stored
// result (an error as its text), and a formula without one as "=" and the
// formula, isUnknown(). Every sheet lives in the one content.xml: listing
// the sheets reads it once, selecting one reads it again and holds that
// sheet whole, whatever the access asked for. A package whose content is
// encrypted opens without sheets and says it is password-protected.
class OdsBook final : public Book
{
public:
    explicit OdsBook(const QString& path);
    // The bytes are shared, not copied, and kept for the archive's life.
    explicit OdsBook(const QByteArray& package);
    ~OdsBook() override;

    QStringList sheetNames() const override { return m_sheets; }
    bool selectSheet(const QString& name) override;
    CellRange dimension() const override;
    QVariant read(int row, int column) const override;
    QString text(int row, int column) const override;
    bool isUnknown(int row, int column) const override;
    bool mayHoldUnknown(int row) const override;
    QString problem() const override { return m_problem; }
    bool isPasswordProtected() const override { return m_passwordProtected; }

private:
    void open();
    bool contentIsEncrypted() const;

    QByteArray m_package;
    ZipArchive m_archive;
    QStringList m_sheets;
    std::unique_ptr<SpreadsheetContent> m_sheet;
    bool m_passwordProtected = false;
    QString m_problem;
};

} // namespace reader
