#include "csvbook.h"

#include "cellstore.h"
#include "delimiterguess.h"
#include "textdecoding.h"
#include "textlimit.h"

#include <QFile>

#include <csv.h>

#include <algorithm>
#include <memory>

namespace xlsx {

namespace {

// Fed to the parser in pieces, so that a runaway field or a broken limit
// stops the reading within one piece.
constexpr std::size_t kPieceBytes = 1024 * 1024;
constexpr std::size_t kFieldBlockBytes = 64 * 1024;
// libcsv's state within a field it has begun (FIELD_BEGUN in libcsv.c, 3.0):
// inside a quoted one, a closing quote has not been seen.
constexpr int kInsideField = 2;
// Enough of the start to tell text from a binary file chosen by mistake.
constexpr std::size_t kSniffBytes = 64 * 1024;

// Fields are kept exactly as written, spaces and all: the export's text
// rules decide what a space means in each field.
int noSpaces(unsigned char) { return 0; }

} // namespace

// What the parser's callbacks fill in while one text is read.
struct CsvBook::Parse
{
    CsvBook& book;
    std::size_t fieldsInRecord = 0;
    int lastTerminator = 0;
    bool failed = false;

    void field(const char* text, std::size_t length)
    {
        if (failed)
            return;
        if (length > kMaxTextBytes || fieldsInRecord >= std::size_t(kMaxColumns)
            || book.m_cells.size() >= CellStore::kMaxCells) {
            failed = true;
            return;
        }
        book.m_cells.push_back({std::uint32_t(book.m_texts.size()), std::uint32_t(length)});
        book.m_texts.append(text, length);
        ++fieldsInRecord;
    }

    void recordEnd(int terminator)
    {
        if (failed)
            return;
        // Every line break ends a record, so a blank line is an empty row as
        // spreadsheet programs show it; the LF of a CRLF ends nothing more.
        const bool lineFeedOfCrLf = fieldsInRecord == 0 && terminator == '\n' && lastTerminator == '\r';
        lastTerminator = terminator;
        if (lineFeedOfCrLf)
            return;
        if (book.m_rowEnds.size() >= std::size_t(kMaxRows)) {
            failed = true;
            return;
        }
        book.m_rowEnds.push_back(std::uint32_t(book.m_cells.size()));
        fieldsInRecord = 0;
    }

    static void onField(void* text, std::size_t length, void* parse)
    {
        static_cast<Parse*>(parse)->field(static_cast<const char*>(text), length);
    }
    static void onRecordEnd(int terminator, void* parse) { static_cast<Parse*>(parse)->recordEnd(terminator); }
};

CsvBook::CsvBook(const QString& path, const QString& sheetName, const TextOptions& options)
    : m_path(path), m_sheetName(sheetName), m_options(options)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxBytes)
        return;
    const QByteArray head = file.read(kSniffBytes);
    m_openable = looksLikeText(head.constData(), std::size_t(head.size()), options.encoding);
}

CsvBook::CsvBook(const QByteArray& bytes, const QString& sheetName, const TextOptions& options)
    : m_bytes(bytes), m_sheetName(sheetName), m_options(options)
{
    m_openable = bytes.size() <= kMaxBytes
                 && looksLikeText(bytes.constData(), std::size_t(std::min<qint64>(bytes.size(), kSniffBytes)),
                                  options.encoding);
}

bool CsvBook::looksLikeText(const char* data, std::size_t size, TextEncoding encoding)
{
    // Text never holds a NUL byte, except as half of a UTF-16 character;
    // binary files nearly always do.
    if (encoding == TextEncoding::Detect)
        encoding = detectEncoding(data, std::min<std::size_t>(size, 3));
    if (encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE)
        return true;
    return std::find(data, data + size, '\0') == data + size;
}

QStringList CsvBook::sheetNames() const
{
    return m_openable ? QStringList{m_sheetName} : QStringList();
}

bool CsvBook::selectSheet(const QString& name)
{
    m_selected = false;
    if (!m_openable || name != m_sheetName)
        return false;
    if (!m_loaded) {
        try {
            if (m_path.isEmpty()) {
                m_loaded = load(m_bytes.constData(), std::size_t(m_bytes.size()));
            } else {
                QFile file(m_path);
                if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxBytes)
                    return false;
                if (file.size() == 0) {
                    m_loaded = load("", 0);
                } else {
                    const uchar* mapped = file.map(0, file.size());
                    m_loaded = mapped && load(reinterpret_cast<const char*>(mapped), std::size_t(file.size()));
                }
            }
        } catch (...) {
            // Out of memory: the sheet cannot be read.
            m_loaded = false;
        }
        if (!m_loaded) {
            m_texts = std::string();
            m_cells = std::vector<Span>();
            m_rowEnds = std::vector<std::uint32_t>();
            m_range = CellRange();
            // Once refused, always refused: the text is not read again.
            m_openable = false;
            return false;
        }
    }
    m_selected = true;
    return true;
}

bool CsvBook::load(const char* data, std::size_t size)
{
    TextEncoding encoding = m_options.encoding;
    if (encoding == TextEncoding::Detect)
        encoding = detectEncoding(data, size);
    m_options.encoding = encoding;
    const std::size_t mark = byteOrderMarkLength(data, size, encoding);
    data += mark;
    size -= mark;
    if (encoding == TextEncoding::Utf8)
        return isValidUtf8(data, size) && parse(data, size);
    std::string utf8;
    utf8.reserve(size);
    return appendAsUtf8(data, size, encoding, utf8) && parse(utf8.data(), utf8.size());
}

bool CsvBook::parse(const char* utf8, std::size_t size)
{
    if (m_options.delimiter == 0)
        m_options.delimiter = guessDelimiter(utf8, size);
    // No cell holds more text than the whole.
    m_texts.reserve(size);

    csv_parser parser;
    if (csv_init(&parser, CSV_REPALL_NL) != 0)
        return false;
    const std::unique_ptr<csv_parser, void (*)(csv_parser*)> freed(&parser, csv_free);
    csv_set_delim(&parser, static_cast<unsigned char>(m_options.delimiter));
    csv_set_space_func(&parser, noSpaces);
    // libcsv grows a field's buffer by this much at a time; its default of
    // 128 bytes makes a long quoted cell cost one copy of itself per block.
    csv_set_blk_size(&parser, kFieldBlockBytes);

    Parse state{*this};
    for (std::size_t at = 0; at < size && !state.failed; at += kPieceBytes) {
        const std::size_t piece = std::min(kPieceBytes, size - at);
        if (csv_parse(&parser, utf8 + at, piece, Parse::onField, Parse::onRecordEnd, &state) != piece)
            return false;
        // A quote never closed takes the rest of the text into one field.
        if (parser.entry_pos > kMaxTextBytes)
            return false;
    }
    // A quote never closed: the text was cut short, or its quotes are not
    // what they seem. libcsv's own check for it comes only with its strict
    // mode, which would also refuse a stray quote inside an unquoted field.
    if (state.failed || (parser.quoted && parser.pstate == kInsideField))
        return false;
    if (csv_fini(&parser, Parse::onField, Parse::onRecordEnd, &state) != 0 || state.failed)
        return false;

    int firstRow = 0, firstColumn = 0, lastRow = 0, lastColumn = 0;
    std::uint32_t begin = 0;
    for (std::size_t r = 0; r < m_rowEnds.size(); ++r) {
        for (std::uint32_t i = begin; i < m_rowEnds[r]; ++i) {
            if (m_cells[i].length == 0)
                continue;
            const int row = int(r) + 1;
            const int column = int(i - begin) + 1;
            if (firstRow == 0)
                firstRow = row;
            lastRow = row;
            firstColumn = firstColumn == 0 ? column : std::min(firstColumn, column);
            lastColumn = std::max(lastColumn, column);
        }
        begin = m_rowEnds[r];
    }
    m_range = CellRange(firstRow, firstColumn, lastRow, lastColumn);
    return true;
}

const CsvBook::Span* CsvBook::find(int row, int column) const
{
    if (!m_selected || row < 1 || column < 1 || std::size_t(row) > m_rowEnds.size())
        return nullptr;
    const std::uint32_t begin = row == 1 ? 0 : m_rowEnds[std::size_t(row) - 2];
    const std::uint32_t end = m_rowEnds[std::size_t(row) - 1];
    if (std::uint32_t(column) > end - begin)
        return nullptr;
    const Span& span = m_cells[begin + std::uint32_t(column) - 1];
    return span.length > 0 ? &span : nullptr;
}

CellRange CsvBook::dimension() const
{
    return m_selected ? m_range : CellRange();
}

QVariant CsvBook::read(int row, int column) const
{
    const Span* span = find(row, column);
    if (!span)
        return {};
    return QString::fromUtf8(m_texts.data() + span->offset, int(span->length));
}

QString CsvBook::text(int row, int column) const
{
    const Span* span = find(row, column);
    if (!span)
        return {};
    return QString::fromUtf8(m_texts.data() + span->offset, int(span->length));
}

} // namespace xlsx
