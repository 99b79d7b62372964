#pragma once

#include "reader/csv/csvrows.h"

#include <QString>

#include <cstddef>
#include <memory>

struct csv_parser;

namespace reader {

// Line breaks as rows end on them: LF, CR LF and CR alone.
std::size_t lineBreaks(const char* text, std::size_t size);

// libcsv splitting text, whose quoted fields all close as RFC 4180 writes them
// (csvquotes.h), into fields and rows, under the limits of a sheet: its rows,
// columns and fields, and one field's length. Text may come in pieces that
// end where a line does; a record is never split between two pieces.
class CsvSplitter final
{
public:
    static constexpr int kMaxRows = 1048576;
    static constexpr int kMaxColumns = 16384;

    // Throws std::bad_alloc where libcsv cannot start.
    explicit CsvSplitter(char delimiter);
    ~CsvSplitter();
    CsvSplitter(const CsvSplitter&) = delete;
    CsvSplitter& operator=(const CsvSplitter&) = delete;

    // Appends the rows of the next piece of text to rows. lineBreaksInFields:
    // a quoted field of it holds a line break, so lines are counted inside
    // fields too. False once a limit is broken: failure() says which, and on
    // which line. Throws std::bad_alloc where libcsv's buffer cannot grow.
    bool split(const char* text, std::size_t size, bool lineBreaksInFields, CsvRows& rows);
    // The text has ended: its last record, if no line break ends it, goes to rows.
    bool finish(CsvRows& rows);
    QString failure() const { return m_failure; }

private:
    static void onField(void* text, std::size_t length, void* splitter);
    static void onRecordEnd(int terminator, void* splitter);
    void field(const char* text, std::size_t length);
    void recordEnd(int terminator);
    bool failed() const { return !m_failure.isEmpty(); }
    void fail(const QString& what);

    std::unique_ptr<csv_parser> m_parser;
    CsvRows* m_rows = nullptr;
    bool m_lineBreaksInFields = false;
    std::size_t m_fieldsInRecord = 0;
    std::size_t m_cells = 0;
    std::size_t m_records = 0;
    int m_lastTerminator = 0;
    // The line the next field starts on.
    std::size_t m_line = 1;
    QString m_failure;
};

} // namespace reader
