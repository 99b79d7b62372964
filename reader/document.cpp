#include "document.h"

#include "reader/cells/passwordproblem.h"
#include "reader/containers/encryptedpackage.h"
#include "reader/csv/csvbook.h"
#include "reader/lockedbook.h"
#include "reader/ods/odsbook.h"
#include "reader/sourcekind.h"
#include "reader/xlsx/xlsxbook.h"
#include "reader/xls/xlsbook.h"

#include <QFile>
#include <QFileInfo>

namespace reader {

namespace {

// The package inside an encrypted one, decrypted in memory: it reads as one
// from disk, under the same limits.
std::unique_ptr<Book> openEncrypted(const char* data, std::size_t size, SheetAccess access, const QString& password)
{
    const UnlockedPackage unlocked = unlockPackage(data, size, password);
    switch (unlocked.outcome) {
    case UnlockedPackage::Outcome::Opened:
        return std::make_unique<XlsxBook>(unlocked.package, access);
    case UnlockedPackage::Outcome::PasswordNeeded:
        return std::make_unique<LockedBook>(LockedBook::Lock::PasswordNeeded, passwordProblem(false));
    case UnlockedPackage::Outcome::WrongPassword:
        return std::make_unique<LockedBook>(LockedBook::Lock::WrongPassword, passwordProblem(true));
    case UnlockedPackage::Outcome::Unreadable:
        break;
    }
    return std::make_unique<LockedBook>(LockedBook::Lock::Damaged, QString::fromStdString(unlocked.problem));
}

// The workbook the bytes of the file at path make; null when the file cannot be read.
std::unique_ptr<Book> openFile(const QString& path, const TextOptions& text, SheetAccess access, const QString& password,
                               bool& delimitedText)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const qint64 size = file.size();
    const uchar* mapped = size > 0 ? file.map(0, size) : nullptr;
    if (size > 0 && !mapped)
        return nullptr;
    const char* data = reinterpret_cast<const char*>(mapped);
    switch (sourceKind(data, std::size_t(size))) {
    case SourceKind::Package:
        if (isEncryptedPackage(data, std::size_t(size)))
            return openEncrypted(data, std::size_t(size), access, password);
        return std::make_unique<XlsxBook>(path, access);
    case SourceKind::OpenDocument:
        return std::make_unique<OdsBook>(path);
    case SourceKind::LegacyWorkbook:
        return std::make_unique<XlsBook>(path, password);
    case SourceKind::DelimitedText:
        break;
    }
    delimitedText = true;
    return std::make_unique<CsvBook>(path, QFileInfo(path).completeBaseName(), text, access);
}

std::unique_ptr<Book> openBytes(const QByteArray& bytes, const TextOptions& text, SheetAccess access,
                                const QString& password, bool& delimitedText)
{
    const std::size_t size = std::size_t(bytes.size());
    switch (sourceKind(bytes.constData(), size)) {
    case SourceKind::Package:
        if (isEncryptedPackage(bytes.constData(), size))
            return openEncrypted(bytes.constData(), size, access, password);
        return std::make_unique<XlsxBook>(bytes, access);
    case SourceKind::OpenDocument:
        return std::make_unique<OdsBook>(bytes);
    case SourceKind::LegacyWorkbook:
        return std::make_unique<XlsBook>(bytes, password);
    case SourceKind::DelimitedText:
        break;
    }
    delimitedText = true;
    return std::make_unique<CsvBook>(bytes, QStringLiteral("Sheet1"), text, access);
}

} // namespace

Document::Document(const QString& path, const TextOptions& text, SheetAccess access, const QString& password)
    : m_access(access)
{
    try {
        m_book = openFile(path, text, access, password, m_delimitedText);
    } catch (...) {
        // Not even the package could be opened: a workbook without sheets.
    }
}

Document::Document(const InMemory& bytes, const TextOptions& text, SheetAccess access, const QString& password)
    : m_access(access)
{
    try {
        m_book = openBytes(bytes.package, text, access, password, m_delimitedText);
    } catch (...) {
        // Not even the package could be opened: a workbook without sheets.
    }
}

Document::~Document() = default;

QStringList Document::sheetNames() const
{
    return m_book ? m_book->sheetNames() : QStringList();
}

bool Document::isPasswordProtected() const
{
    return m_book && m_book->isPasswordProtected();
}

bool Document::opensWithPassword() const
{
    return m_book && m_book->opensWithPassword();
}

bool Document::selectSheet(const QString& name)
{
    return m_book && m_book->selectSheet(name);
}

CellRange Document::dimension() const
{
    return m_book ? m_book->dimension() : CellRange();
}

QVariant Document::read(int row, int column) const
{
    return m_book ? m_book->read(row, column) : QVariant();
}

QString Document::text(int row, int column) const
{
    return m_book ? m_book->text(row, column) : QString();
}

void Document::textInto(int row, int column, QString& into) const
{
    if (m_book)
        m_book->textInto(row, column, into);
    else
        into = QString();
}

TextOptions Document::textOptions() const
{
    return m_book ? m_book->textOptions() : TextOptions();
}

bool Document::isUnknown(int row, int column) const
{
    return m_book && m_book->isUnknown(row, column);
}

bool Document::mayHoldUnknown(int row) const
{
    return m_book && m_book->mayHoldUnknown(row);
}

QString Document::problem() const
{
    return m_book ? m_book->problem() : QString();
}

std::optional<TextEncoding> Document::encodingToTry() const
{
    return m_book ? m_book->encodingToTry() : std::nullopt;
}

bool Document::rowsReach(int row) const
{
    return m_book && m_book->rowsReach(row);
}

bool Document::readIntact() const
{
    return !m_book || m_book->readIntact();
}

} // namespace reader
