#include "odsbook.h"

#include "reader/cells/serialdate.h"
#include "reader/ods/spreadsheetcontent.h"
#include "reader/xml/xmlpart.h"

#include <QDateTime>

#include <cmath>
#include <cstring>

namespace reader {

namespace {

const char* const kContentPart = "content.xml";
const char* const kManifestPart = "META-INF/manifest.xml";

// Whole numbers below this read as integers, as an .xlsx's do, so that an
// account number reads "1000000000".
constexpr double kLargestInteger = 1e15;

bool isInteger(double value)
{
    return std::floor(value) == value && std::fabs(value) < kLargestInteger;
}

QVariant number(double value)
{
    return isInteger(value) ? QVariant(qlonglong(value)) : QVariant(value);
}

// Finds whether the manifest encrypts the content: the package then holds
// no readable XML, and the user is to save it without a password.
class ManifestEncryption final : public OdfHandler
{
public:
    bool contentEncrypted = false;

    void startElement(const OdfName& name, const char** attributes) override
    {
        if (name.is(OdfNamespace::Manifest, "file-entry")) {
            const char* path = odfAttribute(attributes, OdfNamespace::Manifest, "full-path");
            m_inContent = path && std::strcmp(path, kContentPart) == 0;
        } else if (m_inContent && name.is(OdfNamespace::Manifest, "encryption-data")) {
            contentEncrypted = true;
        }
    }
    void endElement(const OdfName& name) override
    {
        if (name.is(OdfNamespace::Manifest, "file-entry"))
            m_inContent = false;
    }
    void characters(const char*, std::size_t) override {}

private:
    bool m_inContent = false;
};

} // namespace

OdsBook::OdsBook(const QString& path)
    : m_archive(path)
{
    open();
}

OdsBook::OdsBook(const QByteArray& package)
    : m_package(package)
    , m_archive(m_package.constData(), std::size_t(m_package.size()))
{
    open();
}

OdsBook::~OdsBook() = default;

void OdsBook::open()
{
    try {
        if (m_archive.isOpen()) {
            if (contentIsEncrypted()) {
                m_passwordProtected = true;
                return;
            }
            SpreadsheetContent content;
            if (parseOdfPart(m_archive, kContentPart, content)) {
                m_sheets = content.sheetNames();
                if (m_sheets.isEmpty())
                    m_problem = QStringLiteral("content.xml: lists no sheets");
                return;
            }
        }
    } catch (...) {
        // Out of memory: the archive may have noted no more.
    }
    m_sheets.clear();
    m_problem = QString::fromStdString(m_archive.problem());
}

bool OdsBook::contentIsEncrypted() const
{
    ManifestEncryption manifest;
    return m_archive.contains(kManifestPart) && parseOdfPart(m_archive, kManifestPart, manifest, kMaxMetadataPartSize)
           && manifest.contentEncrypted;
}

bool OdsBook::selectSheet(const QString& name)
{
    m_sheet.reset();
    const int index = m_sheets.indexOf(name);
    if (index < 0)
        return false;
    m_problem.clear();
    m_archive.clearProblem();
    try {
        auto sheet = std::make_unique<SpreadsheetContent>(index);
        if (parseOdfPart(m_archive, kContentPart, *sheet)) {
            m_sheet = std::move(sheet);
            return true;
        }
    } catch (...) {
        // Out of memory: the sheet cannot be read.
    }
    m_problem = QString::fromStdString(m_archive.problem());
    return false;
}

CellRange OdsBook::dimension() const
{
    return m_sheet ? m_sheet->cells().usedRange() : CellRange();
}

QVariant OdsBook::read(int row, int column) const
{
    const Cell* cell = m_sheet ? m_sheet->cells().find(row, column) : nullptr;
    if (!cell)
        return {};
    switch (cell->kind) {
    case CellKind::Number:
        return number(cell->number);
    case CellKind::Date: {
        const QVariant date = serialToDate(cell->number, DateSystem::From1900);
        return date.isValid() ? date : number(cell->number);
    }
    case CellKind::IsoDate: {
        const QDateTime dateTime = QDateTime::fromMSecsSinceEpoch(qint64(cell->number), Qt::UTC);
        return dateTime.time() == QTime(0, 0) ? QVariant(dateTime.date()) : QVariant(dateTime);
    }
    case CellKind::Boolean:
        return cell->number != 0.0;
    case CellKind::Text:
    case CellKind::Formula:
    case CellKind::SharedString:
        return m_sheet->texts().text(cell->index);
    }
    return {};
}

QString OdsBook::text(int row, int column) const
{
    const Cell* cell = m_sheet ? m_sheet->cells().find(row, column) : nullptr;
    if (cell && cell->kind == CellKind::Number && isInteger(cell->number))
        return QString::number(qlonglong(cell->number));
    if (cell && (cell->kind == CellKind::Text || cell->kind == CellKind::Formula))
        return m_sheet->texts().text(cell->index);
    return read(row, column).toString();
}

bool OdsBook::isUnknown(int row, int column) const
{
    if (!mayHoldUnknown(row))
        return false;
    const Cell* cell = m_sheet->cells().find(row, column);
    return cell && cell->kind == CellKind::Formula;
}

bool OdsBook::mayHoldUnknown(int) const
{
    return m_sheet && m_sheet->formulas() > 0;
}

} // namespace reader
