#include "csvsplitter.h"

#include "reader/cells/cellstore.h"
#include "reader/cells/textlimit.h"

#include <QLocale>

#include <csv.h>

#include <algorithm>
#include <new>

namespace reader {

namespace {

// Fed to libcsv in pieces, so that a runaway field or a broken limit stops
// the reading within one piece.
constexpr std::size_t kPieceBytes = 1024 * 1024;
constexpr std::size_t kFieldBlockBytes = 64 * 1024;
constexpr qint64 kMiB = 1024 * 1024;

// Fields are kept exactly as written, spaces and all: the export's text
// rules decide what a space means in each field.
int noSpaces(unsigned char) { return 0; }

// A limit as the reader limits table writes it: 1,048,576.
QString counted(qint64 limit)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(limit);
}

QString tooLong()
{
    return QStringLiteral("a field longer than %1 MiB").arg(qint64(kMaxTextBytes) / kMiB);
}

} // namespace

std::size_t lineBreaks(const char* text, std::size_t size)
{
    std::size_t breaks = 0;
    for (std::size_t i = 0; i < size; ++i)
        breaks += text[i] == '\n' || (text[i] == '\r' && (i + 1 == size || text[i + 1] != '\n'));
    return breaks;
}

CsvSplitter::CsvSplitter(char delimiter) : m_parser(std::make_unique<csv_parser>())
{
    if (csv_init(m_parser.get(), CSV_REPALL_NL) != 0)
        throw std::bad_alloc();
    csv_set_delim(m_parser.get(), static_cast<unsigned char>(delimiter));
    csv_set_space_func(m_parser.get(), noSpaces);
    // libcsv grows a field's buffer by this much at a time; its default of
    // 128 bytes makes a long quoted cell cost one copy of itself per block.
    csv_set_blk_size(m_parser.get(), kFieldBlockBytes);
}

CsvSplitter::~CsvSplitter()
{
    csv_free(m_parser.get());
}

bool CsvSplitter::split(const char* text, std::size_t size, bool lineBreaksInFields, CsvRows& rows)
{
    m_rows = &rows;
    m_lineBreaksInFields = lineBreaksInFields;
    for (std::size_t at = 0; at < size && !failed(); at += kPieceBytes) {
        const std::size_t piece = std::min(kPieceBytes, size - at);
        // Outside its strict mode libcsv fails only when its buffer cannot grow.
        if (csv_parse(m_parser.get(), text + at, piece, onField, onRecordEnd, this) != piece)
            throw std::bad_alloc();
        // A field is handed over only once it ends: one that runs on is stopped here.
        if (m_parser->entry_pos > kMaxTextBytes)
            fail(tooLong());
    }
    return !failed();
}

bool CsvSplitter::finish(CsvRows& rows)
{
    m_rows = &rows;
    if (!failed() && csv_fini(m_parser.get(), onField, onRecordEnd, this) != 0)
        throw std::bad_alloc();
    return !failed();
}

void CsvSplitter::fail(const QString& what)
{
    if (!failed())
        m_failure = QStringLiteral("line %1: %2").arg(m_line).arg(what);
}

void CsvSplitter::field(const char* text, std::size_t length)
{
    if (failed())
        return;
    if (length > kMaxTextBytes)
        return fail(tooLong());
    if (m_fieldsInRecord >= std::size_t(kMaxColumns))
        return fail(QStringLiteral("more than %1 columns").arg(counted(kMaxColumns)));
    if (m_cells >= CellStore::kMaxCells)
        return fail(QStringLiteral("more than %1 cells").arg(counted(CellStore::kMaxCells)));
    m_rows->cells.push_back({std::uint32_t(m_rows->texts.size()), std::uint32_t(length)});
    m_rows->texts.append(text, length);
    ++m_cells;
    ++m_fieldsInRecord;
    if (m_lineBreaksInFields)
        m_line += lineBreaks(text, length);
}

void CsvSplitter::recordEnd(int terminator)
{
    if (failed())
        return;
    // Every line break ends a record, so a blank line is an empty row as
    // spreadsheet programs show it; the LF of a CRLF ends nothing more.
    const bool lineFeedOfCrLf = m_fieldsInRecord == 0 && terminator == '\n' && m_lastTerminator == '\r';
    m_lastTerminator = terminator;
    if (lineFeedOfCrLf)
        return;
    if (m_records >= std::size_t(kMaxRows))
        return fail(QStringLiteral("more than %1 rows").arg(counted(kMaxRows)));
    m_rows->rowEnds.push_back(std::uint32_t(m_rows->cells.size()));
    ++m_records;
    m_fieldsInRecord = 0;
    ++m_line;
}

void CsvSplitter::onField(void* text, std::size_t length, void* splitter)
{
    static_cast<CsvSplitter*>(splitter)->field(static_cast<const char*>(text), length);
}

void CsvSplitter::onRecordEnd(int terminator, void* splitter)
{
    static_cast<CsvSplitter*>(splitter)->recordEnd(terminator);
}

} // namespace reader
