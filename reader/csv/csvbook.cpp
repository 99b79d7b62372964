#include "csvbook.h"

#include "reader/cells/cellstore.h"
#include "reader/csv/csvquotes.h"
#include "reader/csv/delimiterguess.h"
#include "reader/csv/textdecoding.h"
#include "reader/cells/textlimit.h"

#include <QFile>
#include <QLocale>

#include <csv.h>

#include <algorithm>
#include <memory>
#include <new>

namespace reader {

namespace {

// Fed to the parser in pieces, so that a runaway field or a broken limit
// stops the reading within one piece.
constexpr std::size_t kPieceBytes = 1024 * 1024;
constexpr std::size_t kFieldBlockBytes = 64 * 1024;
// Enough of the start to tell text from a binary file chosen by mistake.
constexpr std::size_t kSniffBytes = 64 * 1024;
constexpr qint64 kMiB = 1024 * 1024;

// Fields are kept exactly as written, spaces and all: the export's text
// rules decide what a space means in each field.
int noSpaces(unsigned char) { return 0; }

// Line breaks as rows end on them: LF, CR LF and CR alone.
std::size_t lineBreaks(const char* text, std::size_t size)
{
    std::size_t breaks = 0;
    for (std::size_t i = 0; i < size; ++i)
        breaks += text[i] == '\n' || (text[i] == '\r' && (i + 1 == size || text[i + 1] != '\n'));
    return breaks;
}

// The line of the text at offset, as an editor numbers it.
std::size_t lineAt(const char* text, std::size_t offset)
{
    return 1 + lineBreaks(text, offset);
}

QString onLine(std::size_t line, const QString& what)
{
    return QStringLiteral("line %1: %2").arg(line).arg(what);
}

QString tooLarge()
{
    return QStringLiteral("the file is larger than %1 MiB").arg(CsvBook::kMaxBytes / kMiB);
}

// A limit as the reader limits table writes it: 1,048,576.
QString counted(qint64 limit)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(limit);
}

// The whole text reads in that encoding, without its byte order mark.
bool readsIn(const char* data, std::size_t size, TextEncoding encoding)
{
    const std::size_t mark = byteOrderMarkLength(data, size, encoding);
    if (encoding == TextEncoding::Utf8)
        return isValidUtf8(data + mark, size - mark);
    std::string utf8;
    return appendAsUtf8(data + mark, size - mark, encoding, utf8);
}

} // namespace

// What the parser's callbacks fill in while one text is read.
struct CsvBook::Parse
{
    Parse(CsvBook& reading, bool breaksInFields) : book(reading), lineBreaksInFields(breaksInFields) {}

    CsvBook& book;
    const bool lineBreaksInFields;
    std::size_t fieldsInRecord = 0;
    int lastTerminator = 0;
    // The line the next field starts on.
    std::size_t line = 1;
    QString failure;

    bool failed() const { return !failure.isEmpty(); }

    void fail(const QString& what)
    {
        if (!failed())
            failure = onLine(line, what);
    }

    void field(const char* text, std::size_t length)
    {
        if (failed())
            return;
        if (length > kMaxTextBytes)
            return fail(QStringLiteral("a field longer than %1 MiB").arg(qint64(kMaxTextBytes) / kMiB));
        if (fieldsInRecord >= std::size_t(kMaxColumns))
            return fail(QStringLiteral("more than %1 columns").arg(counted(kMaxColumns)));
        if (book.m_cells.size() >= CellStore::kMaxCells)
            return fail(QStringLiteral("more than %1 cells").arg(counted(CellStore::kMaxCells)));
        book.m_cells.push_back({std::uint32_t(book.m_texts.size()), std::uint32_t(length)});
        book.m_texts.append(text, length);
        ++fieldsInRecord;
        if (lineBreaksInFields)
            line += lineBreaks(text, length);
    }

    void recordEnd(int terminator)
    {
        if (failed())
            return;
        // Every line break ends a record, so a blank line is an empty row as
        // spreadsheet programs show it; the LF of a CRLF ends nothing more.
        const bool lineFeedOfCrLf = fieldsInRecord == 0 && terminator == '\n' && lastTerminator == '\r';
        lastTerminator = terminator;
        if (lineFeedOfCrLf)
            return;
        if (book.m_rowEnds.size() >= std::size_t(kMaxRows))
            return fail(QStringLiteral("more than %1 rows").arg(counted(kMaxRows)));
        book.m_rowEnds.push_back(std::uint32_t(book.m_cells.size()));
        fieldsInRecord = 0;
        ++line;
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
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray head = file.read(kSniffBytes);
    open(file.size(), head.constData(), std::size_t(head.size()));
}

CsvBook::CsvBook(const QByteArray& bytes, const QString& sheetName, const TextOptions& options)
    : m_bytes(bytes), m_sheetName(sheetName), m_options(options)
{
    open(bytes.size(), bytes.constData(), std::size_t(std::min<qint64>(bytes.size(), kSniffBytes)));
}

void CsvBook::open(qint64 size, const char* head, std::size_t headSize)
{
    if (size > kMaxBytes) {
        m_problem = tooLarge();
        return;
    }
    m_openable = looksLikeText(head, headSize, m_options.encoding);
    if (m_openable)
        return;
    m_problem = QStringLiteral("the file is neither a workbook nor text");
    // UTF-16 holds NUL bytes: text whose byte order mark says so was read in another encoding chosen for it.
    const TextEncoding marked = detectEncoding(head, std::min<std::size_t>(headSize, 3));
    if (marked == TextEncoding::Utf16LE || marked == TextEncoding::Utf16BE)
        m_encodingToTry = marked;
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
                const bool opened = file.open(QIODevice::ReadOnly);
                if (opened && file.size() > kMaxBytes) {
                    m_problem = tooLarge();
                } else if (opened && file.size() == 0) {
                    m_loaded = load("", 0);
                } else {
                    const uchar* mapped = opened ? file.map(0, file.size()) : nullptr;
                    if (mapped)
                        m_loaded = load(reinterpret_cast<const char*>(mapped), std::size_t(file.size()));
                    else
                        m_problem = QStringLiteral("the file cannot be read");
                }
            }
        } catch (...) {
            m_loaded = false;
            m_problem = QStringLiteral("not enough memory to read it");
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
    const bool chosen = m_options.encoding != TextEncoding::Detect;
    TextEncoding encoding = m_options.encoding;
    if (!chosen)
        encoding = detectEncoding(data, size);
    m_options.encoding = encoding;
    const std::size_t mark = byteOrderMarkLength(data, size, encoding);
    if (encoding == TextEncoding::Utf8) {
        const std::size_t valid = validUtf8Length(data + mark, size - mark);
        if (valid == size - mark)
            return parse(data + mark, size - mark);
        refuseBytes(data, size, lineAt(data + mark, valid), chosen);
        return false;
    }
    std::string utf8;
    utf8.reserve(size);
    if (appendAsUtf8(data + mark, size - mark, encoding, utf8))
        return parse(utf8.data(), utf8.size());
    refuseBytes(data, size, lineAt(utf8.data(), utf8.size()), chosen);
    return false;
}

void CsvBook::refuseBytes(const char* data, std::size_t size, std::size_t line, bool chosen)
{
    const TextEncoding encoding = m_options.encoding;
    // Found, not chosen: the text was not UTF-8, so it was read as Windows-1252.
    if (!chosen && encoding == TextEncoding::Windows1252) {
        m_problem = onLine(line, QStringLiteral("bytes that are neither UTF-8 nor Windows-1252"));
        return;
    }
    m_problem = onLine(line, QStringLiteral("bytes that are not ") + encodingName(encoding));
    // A byte order mark names the encoding; another would read the mark as characters.
    if (byteOrderMarkLength(data, size, encoding) > 0)
        return;
    for (TextEncoding other : {TextEncoding::Utf8, TextEncoding::Windows1252}) {
        if (other != encoding && readsIn(data, size, other)) {
            m_encodingToTry = other;
            return;
        }
    }
}

bool CsvBook::parse(const char* utf8, std::size_t size)
{
    if (m_options.delimiter == 0)
        m_options.delimiter = guessDelimiter(utf8, size);
    const QuoteReading quotes = readQuotes(utf8, size, m_options.delimiter);
    switch (quotes.fault) {
    case QuoteReading::Fault::None:
        break;
    case QuoteReading::Fault::NeverClosed:
        m_problem = onLine(lineAt(utf8, quotes.at), QStringLiteral("a quoted field is never closed"));
        return false;
    case QuoteReading::Fault::LoneQuote:
        m_problem = onLine(lineAt(utf8, quotes.at), QStringLiteral("a quoted field holds a quote that is not doubled"));
        return false;
    }
    // From here on every quoted field closes, as RFC 4180 writes it: libcsv
    // reads it so, and never ends inside one.
    if (!quotes.requoted.empty()) {
        utf8 = quotes.requoted.data();
        size = quotes.requoted.size();
    }
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

    Parse state(*this, quotes.lineBreaksInFields);
    for (std::size_t at = 0; at < size && !state.failed(); at += kPieceBytes) {
        const std::size_t piece = std::min(kPieceBytes, size - at);
        // Outside its strict mode libcsv fails only when its buffer cannot grow.
        if (csv_parse(&parser, utf8 + at, piece, Parse::onField, Parse::onRecordEnd, &state) != piece)
            throw std::bad_alloc();
        // A field is handed over only once it ends: one that runs on is stopped here.
        if (parser.entry_pos > kMaxTextBytes)
            state.fail(QStringLiteral("a field longer than %1 MiB").arg(qint64(kMaxTextBytes) / kMiB));
    }
    if (!state.failed() && csv_fini(&parser, Parse::onField, Parse::onRecordEnd, &state) != 0)
        throw std::bad_alloc();
    if (state.failed()) {
        m_problem = state.failure;
        return false;
    }

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

} // namespace reader
