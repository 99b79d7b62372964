#pragma once

#include "reader/cells/sheetaccess.h"
#include "reader/cells/textoptions.h"
#include "reader/csv/csvrows.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace reader {

class CsvSplitter;

// Delimited text read once, as it arrives, for SheetAccess::InOrder: memory
// holds a piece of the text and the rows not yet passed, whatever the length
// of the file. The encoding and the delimiter are found from a first look at
// the start; where a later part of the text would have told otherwise (bytes
// that are not UTF-8 after a start that is), or does not read (quotes, bytes,
// limits), or holds a cell outside the columns given out, the rows end there
// and readIntact() is false: the text is to be read whole, which says why.
//
// A worker reads, decodes and splits the text a few pieces ahead of the rows
// asked for. Every quoted field is read as the whole text's reading reads it:
// the text goes to the quote reading in pieces of about a chunk that end at a
// line break, and a piece in which a quoted field runs on past its end (the
// line break was inside quotes) waits for more text.
class CsvStream final
{
public:
    static constexpr std::size_t kChunkBytes = 1024 * 1024;

    // The file at path is read, or bytes when path is empty, chunkBytes at a time.
    CsvStream(const QString& path, const QByteArray& bytes, const TextOptions& options,
              std::size_t chunkBytes = kChunkBytes);
    ~CsvStream();
    CsvStream(const CsvStream&) = delete;
    CsvStream& operator=(const CsvStream&) = delete;

    // The first look: the encoding, the delimiter and the first rows. False
    // where the start does not read.
    bool open();
    // The delimiter and the encoding found, once open.
    TextOptions options() const { return m_options; }

    // As SheetAccess::InOrder gives it: the columns of the top rows, the last
    // row the most a sheet may have until the end is read.
    CellRange usedRange();
    QString text(int row, int column);
    void textInto(int row, int column, QString& into);
    bool rowsReach(int row);
    bool readIntact() const { return !m_broken; }

private:
    struct Block
    {
        int firstRow = 1;
        CsvRows rows;
        CellRange seen;        // of the cells of these rows that hold text
        bool end = false;      // the text ends with these rows
        bool failed = false;   // the text does not read on from here
    };

    // The reading side, on a thread of its own once the first look is made.
    std::size_t readRaw(char* into, std::size_t most);
    bool readChunk();
    bool decode();
    bool split(Block& block);
    void work();
    void stopWorker();

    // The side that answers.
    void receive();
    // The block that holds row, once read; none past the end or for a row let go.
    const Block* blockOf(int row, int column);
    void take(Block block);
    void breakOff();
    void dropBefore(int row);

    QFile m_file;
    const QByteArray m_bytes;
    std::size_t m_bytesRead = 0;
    TextOptions m_options;
    const std::size_t m_chunkBytes;
    bool m_eof = false;        // every byte of the source is read
    bool m_unread = false;     // the source or its bytes could not be read
    bool m_started = false;    // the byte order mark is behind
    std::string m_raw;         // bytes not yet decoded: a character cut by the end of a chunk
    std::string m_text;        // UTF-8 not yet split into rows
    std::size_t m_textWanted = 0;
    int m_rowsSplit = 0;
    std::unique_ptr<CsvSplitter> m_splitter;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Block> m_ready;
    bool m_stopping = false;
    std::thread m_worker;

    bool m_ended = false;      // every row is read, or the rows broke off
    bool m_broken = false;
    std::deque<Block> m_blocks;
    int m_rowsRead = 0;
    int m_firstRow = 0, m_firstColumn = 0, m_lastRow = 0, m_lastColumn = 0;   // of the cells read
    std::optional<std::pair<int, int>> m_columnsGiven;
};

} // namespace reader
