#include "csvstream.h"

#include "reader/csv/csvquotes.h"
#include "reader/csv/csvsplitter.h"
#include "reader/csv/delimiterguess.h"
#include "reader/csv/textdecoding.h"

#include <algorithm>

namespace reader {

namespace {

// What the first look reads before the encoding is found, and the text it
// decodes before the delimiter is: past the 64 KiB the delimiter is found
// from, so it is found as from the whole text.
constexpr std::size_t kLookBytes = 64 * 1024 + 4;
constexpr std::size_t kDelimiterSample = 64 * 1024;
// The columns given out are those of at least these top rows, as for an
// .xlsx sheet read once.
constexpr int kTopRows = 64;
// Rows behind the furthest one asked whether the rows reach it stay held, so
// that the first rows can be looked at before the export passes them.
constexpr int kRowsHeld = 4096;
constexpr int kLastSheetRow = CsvSplitter::kMaxRows;
// Blocks split ahead of the rows asked for.
constexpr std::size_t kBlocksAhead = 3;

// After the last line break of the text's first bytes; 0 when there is
// none. A CR LF may be cut in two: the LF then ends a blank line, which the
// splitter drops as it drops the LF of a CR LF.
std::size_t afterLastLineBreak(const std::string& text, std::size_t bytes)
{
    if (bytes == 0 || text.empty())
        return 0;
    const std::size_t at = text.find_last_of("\r\n", std::min(bytes, text.size()) - 1);
    return at == std::string::npos ? 0 : at + 1;
}

} // namespace

CsvStream::CsvStream(const QString& path, const QByteArray& bytes, const TextOptions& options, std::size_t chunkBytes)
    : m_file(path), m_bytes(bytes), m_options(options), m_chunkBytes(std::max<std::size_t>(chunkBytes, 1))
{
    m_textWanted = m_chunkBytes;
}

CsvStream::~CsvStream()
{
    stopWorker();
}

std::size_t CsvStream::readRaw(char* into, std::size_t most)
{
    if (m_file.fileName().isEmpty()) {
        const std::size_t left = std::size_t(m_bytes.size()) - m_bytesRead;
        const std::size_t taken = std::min(most, left);
        std::copy_n(m_bytes.constData() + m_bytesRead, taken, into);
        m_bytesRead += taken;
        return taken;
    }
    const qint64 read = m_file.read(into, qint64(most));
    m_unread = m_unread || read < 0;
    return read > 0 ? std::size_t(read) : 0;
}

// Reads the next chunk and decodes what of the bytes held is whole.
bool CsvStream::readChunk()
{
    const std::size_t held = m_raw.size();
    m_raw.resize(held + m_chunkBytes);
    const std::size_t read = readRaw(&m_raw[held], m_chunkBytes);
    m_raw.resize(held + read);
    m_eof = read == 0;
    return !m_unread && decode();
}

bool CsvStream::decode()
{
    if (!m_started) {
        m_raw.erase(0, byteOrderMarkLength(m_raw.data(), m_raw.size(), m_options.encoding));
        m_started = true;
    }
    const std::size_t whole = m_eof ? m_raw.size() : wholeCharacters(m_raw.data(), m_raw.size(), m_options.encoding);
    m_unread = !appendAsUtf8(m_raw.data(), whole, m_options.encoding, m_text);
    m_raw.erase(0, whole);
    return !m_unread;
}

bool CsvStream::open()
{
    if (!m_file.fileName().isEmpty() && !m_file.open(QIODevice::ReadOnly))
        return false;
    while (!m_eof && m_raw.size() < kLookBytes) {
        const std::size_t held = m_raw.size();
        m_raw.resize(held + m_chunkBytes);
        const std::size_t read = readRaw(&m_raw[held], m_chunkBytes);
        m_raw.resize(held + read);
        m_eof = read == 0;
    }
    // The start says what the whole text is in; a later part that is not
    // UTF-8 after a start that is breaks the rows off.
    if (m_options.encoding == TextEncoding::Detect) {
        const std::size_t whole = m_eof ? m_raw.size() : wholeCharacters(m_raw.data(), m_raw.size(), TextEncoding::Utf8);
        m_options.encoding = detectEncoding(m_raw.data(), whole);
    }
    if (m_unread || !decode())
        return false;
    while (!m_eof && m_text.size() <= kDelimiterSample)
        if (!readChunk())
            return false;
    if (m_options.delimiter == 0)
        m_options.delimiter = guessDelimiter(m_text.data(), m_text.size());
    m_splitter = std::make_unique<CsvSplitter>(m_options.delimiter);
    Block first;
    const bool read = split(first);
    take(std::move(first));
    if (read && !m_ended)
        m_worker = std::thread([this] { work(); });
    return read && !m_broken;
}

// Splits about a chunk of text, up to a line break, into a block of rows.
bool CsvStream::split(Block& block)
{
    block.firstRow = m_rowsSplit + 1;
    for (;;) {
        while (!m_eof && m_text.size() < m_textWanted)
            if (!readChunk())
                return false;
        const bool last = m_eof && m_text.size() <= m_textWanted;
        const std::size_t cut = last ? m_text.size() : afterLastLineBreak(m_text, m_textWanted);
        if (cut == 0 && !last) {
            m_textWanted *= 2;
            continue;
        }
        const QuoteReading quotes = readQuotes(m_text.data(), cut, m_options.delimiter);
        // A quoted field that runs on past the piece may well close in the text after it.
        if (quotes.fault == QuoteReading::Fault::NeverClosed && !last) {
            m_textWanted *= 2;
            continue;
        }
        if (quotes.fault != QuoteReading::Fault::None)
            return false;
        const bool split = quotes.requoted.empty()
                               ? m_splitter->split(m_text.data(), cut, quotes.lineBreaksInFields, block.rows)
                               : m_splitter->split(quotes.requoted.data(), quotes.requoted.size(),
                                                   quotes.lineBreaksInFields, block.rows);
        m_text.erase(0, cut);
        m_textWanted = m_chunkBytes;
        if (!split || (last && !m_splitter->finish(block.rows)))
            return false;
        block.end = last;
        block.seen = block.rows.usedRange(block.firstRow);
        m_rowsSplit += int(block.rows.rowCount());
        return true;
    }
}

// A few blocks ahead of the side that answers, until the text ends or does not read.
void CsvStream::work()
{
    for (;;) {
        Block block;
        try {
            block.failed = !split(block);
        } catch (...) {
            block.failed = true;   // out of memory: the text is read whole, which says so
        }
        const bool last = block.end || block.failed;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return m_ready.size() < kBlocksAhead || m_stopping; });
            if (m_stopping)
                return;
            m_ready.push_back(std::move(block));
        }
        m_changed.notify_all();
        if (last)
            return;
    }
}

void CsvStream::stopWorker()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

void CsvStream::receive()
{
    Block block;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_ready.empty(); });
        block = std::move(m_ready.front());
        m_ready.pop_front();
    }
    m_changed.notify_all();
    take(std::move(block));
}

// The used range grows with the rows read; a cell outside the columns given
// out breaks them off.
void CsvStream::take(Block block)
{
    if (block.failed)
        breakOff();
    m_ended = m_ended || block.end;
    m_rowsRead += int(block.rows.rowCount());
    const CellRange& seen = block.seen;
    if (seen.isValid()) {
        if (m_columnsGiven && (seen.firstColumn() < m_columnsGiven->first || seen.lastColumn() > m_columnsGiven->second))
            breakOff();
        if (m_firstRow == 0)
            m_firstRow = seen.firstRow();
        m_lastRow = seen.lastRow();
        m_firstColumn = m_firstColumn == 0 ? seen.firstColumn() : std::min(m_firstColumn, seen.firstColumn());
        m_lastColumn = std::max(m_lastColumn, seen.lastColumn());
    }
    if (block.rows.rowCount() > 0)
        m_blocks.push_back(std::move(block));
}

void CsvStream::breakOff()
{
    m_broken = true;
    m_ended = true;
}

CellRange CsvStream::usedRange()
{
    while (!m_ended && m_rowsRead <= kTopRows)
        receive();
    if (!m_columnsGiven && m_lastColumn > 0)
        m_columnsGiven = std::make_pair(m_firstColumn, m_lastColumn);
    if (m_lastColumn == 0)
        return {};
    return CellRange(m_firstRow, m_firstColumn, m_ended && !m_broken ? m_lastRow : kLastSheetRow, m_lastColumn);
}

bool CsvStream::rowsReach(int row)
{
    while (!m_ended && m_lastRow < row)
        receive();
    dropBefore(row - kRowsHeld);
    // Broken off, the rows end: what would follow is no longer the sheet.
    return !m_broken && row <= m_lastRow;
}

void CsvStream::dropBefore(int row)
{
    while (!m_blocks.empty() && m_blocks.front().firstRow + int(m_blocks.front().rows.rowCount()) <= row)
        m_blocks.pop_front();
}

const CsvStream::Block* CsvStream::blockOf(int row, int column)
{
    if (row < 1 || column < 1)
        return nullptr;
    while (!m_ended && row > m_rowsRead)
        receive();
    for (auto block = m_blocks.rbegin(); block != m_blocks.rend(); ++block)
        if (row >= block->firstRow)
            return &*block;
    // A row let go: what the reading gives from here is no longer the sheet.
    if (row <= m_rowsRead)
        breakOff();
    return nullptr;
}

QString CsvStream::text(int row, int column)
{
    const Block* block = blockOf(row, column);
    return block ? block->rows.text(std::size_t(row - block->firstRow), column) : QString();
}

void CsvStream::textInto(int row, int column, QString& into)
{
    if (const Block* block = blockOf(row, column))
        block->rows.textInto(std::size_t(row - block->firstRow), column, into);
    else
        into = QString();
}

} // namespace reader
