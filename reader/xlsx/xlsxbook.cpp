#include "reader/xlsx/xlsxbook.h"

#include "reader/xlsx/relationships.h"
#include "reader/xlsx/rowstream.h"
#include "reader/xlsx/sheet.h"
#include "reader/xlsx/sheetoutline.h"
#include "reader/xlsx/workbookpart.h"

namespace reader {

namespace {

const char* const kDefaultWorkbookPart = "xl/workbook.xml";
const char* const kDefaultSharedStringsPart = "xl/sharedStrings.xml";
const char* const kDefaultStylesPart = "xl/styles.xml";

} // namespace

XlsxBook::XlsxBook(const QString& path, SheetAccess access)
    : m_archive(path)
    , m_access(access)
{
    openOrClear();
}

XlsxBook::XlsxBook(const QByteArray& package, SheetAccess access)
    : m_package(package)
    , m_archive(m_package.constData(), std::size_t(m_package.size()))
    , m_access(access)
{
    openOrClear();
}

void XlsxBook::openOrClear()
{
    try {
        if (open())
            return;
    } catch (...) {
        // Out of memory: the archive may have noted no more.
    }
    m_sheets.clear();
    m_problem = QString::fromStdString(m_archive.problem());
}

XlsxBook::~XlsxBook() = default;

bool XlsxBook::open()
{
    if (!m_archive.isOpen())
        return false;
    Relationships package;
    std::string workbookPart;
    if (package.load(m_archive, ""))
        workbookPart = package.targetOfType("officeDocument");
    if (workbookPart.empty() || !m_archive.contains(workbookPart))
        workbookPart = kDefaultWorkbookPart;

    WorkbookPart workbook;
    Relationships relationships;
    if (!workbook.load(m_archive, workbookPart) || !relationships.load(m_archive, workbookPart))
        return false;
    m_dateSystem = workbook.dateSystem();
    m_formulasAsText = workbook.recalculatesOnLoad();
    for (const WorkbookPart::SheetReference& sheet : workbook.sheets())
        m_sheets.push_back({sheet.name, relationships.targetOf(sheet.relationshipId)});
    if (m_sheets.empty())
        m_problem = QString::fromStdString(workbookPart) + QStringLiteral(": lists no sheets");

    m_sharedStringsPart = relationships.targetOfType("sharedStrings");
    if (m_sharedStringsPart.empty())
        m_sharedStringsPart = kDefaultSharedStringsPart;
    m_stylesPart = relationships.targetOfType("styles");
    if (m_stylesPart.empty())
        m_stylesPart = kDefaultStylesPart;
    return true;
}

bool XlsxBook::loadSharedParts()
{
    if (m_sharedPartsLoaded)
        return true;
    // Both parts are optional: a workbook without texts has no shared strings,
    // one without formats no styles. Present but unreadable is another matter.
    if (m_archive.contains(m_sharedStringsPart) && !m_sharedStrings.load(m_archive, m_sharedStringsPart))
        return false;
    if (m_archive.contains(m_stylesPart) && !m_styles.load(m_archive, m_stylesPart))
        return false;
    m_sharedPartsLoaded = true;
    return true;
}

QStringList XlsxBook::sheetNames() const
{
    QStringList names;
    for (const SheetEntry& sheet : m_sheets)
        names.append(sheet.name);
    return names;
}

bool XlsxBook::selectSheet(const QString& name)
{
    m_sheet.reset();
    // A workbook without sheets keeps saying why it has none.
    if (!m_sheets.empty())
        m_problem.clear();
    for (const SheetEntry& entry : m_sheets) {
        if (entry.name != name)
            continue;
        m_archive.clearProblem();
        bool selected = false;
        try {
            selected = select(entry);
        } catch (...) {
            // Out of memory or past a count limit: the sheet cannot be read.
        }
        if (!selected)
            m_problem = entry.part.empty() ? QStringLiteral("the workbook names no part for the sheet")
                                           : QString::fromStdString(m_archive.problem());
        return selected;
    }
    return false;
}

bool XlsxBook::select(const SheetEntry& entry)
{
    if (entry.part.empty() || !loadSharedParts())
        return false;
    if (m_access != SheetAccess::Random) {
        std::optional<SheetOutline> outline;
        if (m_access == SheetAccess::Forward
            && !outline.emplace().survey(m_archive, entry.part, m_sharedStrings, m_styles, m_formulasAsText))
            return false;
        m_sheet = std::make_unique<RowStream>(m_archive, entry.part, m_sharedStrings, m_styles, m_dateSystem,
                                              m_formulasAsText, std::move(outline));
        return true;
    }
    auto sheet = std::make_unique<Sheet>(m_sharedStrings, m_dateSystem, m_formulasAsText);
    if (!sheet->load(m_archive, entry.part, m_styles))
        return false;
    m_sheet = std::move(sheet);
    return true;
}

CellRange XlsxBook::dimension() const
{
    return m_sheet ? m_sheet->usedRange() : CellRange();
}

QVariant XlsxBook::read(int row, int column) const
{
    return m_sheet ? m_sheet->read(row, column) : QVariant();
}

QString XlsxBook::text(int row, int column) const
{
    return m_sheet ? m_sheet->text(row, column) : QString();
}

void XlsxBook::textInto(int row, int column, QString& into) const
{
    if (m_sheet)
        m_sheet->textInto(row, column, into);
    else
        into = QString();
}

bool XlsxBook::isUnknown(int row, int column) const
{
    return m_sheet && m_sheet->isUnknown(row, column);
}

bool XlsxBook::mayHoldUnknown(int row) const
{
    return m_sheet && m_sheet->mayHoldUnknown(row);
}

bool XlsxBook::rowsReach(int row) const
{
    return m_sheet && m_sheet->rowsReach(row);
}

bool XlsxBook::readIntact() const
{
    return !m_sheet || m_sheet->readIntact();
}

} // namespace reader
