#include "csvbook.h"

#include "reader/csv/csvquotes.h"
#include "reader/csv/csvsplitter.h"
#include "reader/csv/csvstream.h"
#include "reader/csv/delimiterguess.h"
#include "reader/csv/textdecoding.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <memory>

namespace reader {

namespace {

// Enough of the start to tell text from a binary file chosen by mistake.
constexpr std::size_t kSniffBytes = 64 * 1024;
constexpr qint64 kMiB = 1024 * 1024;

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

CsvBook::CsvBook(const QString& path, const QString& sheetName, const TextOptions& options, SheetAccess access)
    : m_path(path), m_sheetName(sheetName), m_options(options), m_access(access)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray head = file.read(kSniffBytes);
    open(file.size(), head.constData(), std::size_t(head.size()));
}

CsvBook::CsvBook(const QByteArray& bytes, const QString& sheetName, const TextOptions& options, SheetAccess access)
    : m_bytes(bytes), m_sheetName(sheetName), m_options(options), m_access(access)
{
    open(bytes.size(), bytes.constData(), std::size_t(std::min<qint64>(bytes.size(), kSniffBytes)));
}

CsvBook::~CsvBook() = default;

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
    if (m_access == SheetAccess::InOrder)
        return selectStreamed();
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
            m_rows = CsvRows();
            m_range = CellRange();
            // Once refused, always refused: the text is not read again.
            m_openable = false;
            return false;
        }
    }
    m_selected = true;
    return true;
}

// Read once, from the start again on every selection: what a first look
// cannot read is left to the whole reading, which says why.
bool CsvBook::selectStreamed()
{
    m_stream.reset();
    if (!m_path.isEmpty() && QFileInfo(m_path).size() > kMaxBytes)
        return false;
    try {
        auto stream = std::make_unique<CsvStream>(m_path, m_bytes, m_options);
        if (!stream->open())
            return false;
        m_stream = std::move(stream);
    } catch (...) {
        return false;
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
    m_rows.texts.reserve(size);
    CsvSplitter splitter(m_options.delimiter);
    if (!splitter.split(utf8, size, quotes.lineBreaksInFields, m_rows) || !splitter.finish(m_rows)) {
        m_problem = splitter.failure();
        return false;
    }

    m_range = m_rows.usedRange(1);
    return true;
}

CellRange CsvBook::dimension() const
{
    if (m_stream)
        return m_selected ? m_stream->usedRange() : CellRange();
    return m_selected ? m_range : CellRange();
}

QVariant CsvBook::read(int row, int column) const
{
    const QString cell = text(row, column);
    return cell.isNull() ? QVariant() : QVariant(cell);
}

QString CsvBook::text(int row, int column) const
{
    if (!m_selected || row < 1)
        return {};
    if (m_stream)
        return m_stream->text(row, column);
    return m_rows.text(std::size_t(row) - 1, column);
}

void CsvBook::textInto(int row, int column, QString& into) const
{
    if (!m_selected || row < 1)
        into = QString();
    else if (m_stream)
        m_stream->textInto(row, column, into);
    else
        m_rows.textInto(std::size_t(row) - 1, column, into);
}

bool CsvBook::rowsReach(int row) const
{
    if (m_stream)
        return m_selected && m_stream->rowsReach(row);
    return Book::rowsReach(row);
}

bool CsvBook::readIntact() const
{
    return !m_stream || m_stream->readIntact();
}

TextOptions CsvBook::textOptions() const
{
    return m_stream ? m_stream->options() : m_options;
}

} // namespace reader
