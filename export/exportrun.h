#pragma once

#include "exportsink.h"
#include "money.h"
#include "register/batchkey.h"
#include "register/batchtype.h"

#include <QString>
#include <QStringList>

namespace xlsx { class Document; }

namespace kova {

// The row being converted. A job appends the record text and the log values,
// and reports each failed check through error() or warning().
class RowContext final
{
public:
    explicit RowContext(int index) : m_index(index) {}

    int index() const { return m_index; }      // row in the log table
    int line() const { return m_index + 1; }   // "LINE n"

    QString record;                            // detail record, without line feed
    QStringList values;                        // log values

    // column: the log column to mark, or -1 for none. A bare text names no field.
    void error(const MessageWords& words, int column = -1);
    void error(const QString& text, int column = -1) { error(MessageWords{text, {}, {}}, column); }
    // column: the log column whose text was cut, or -1 for none.
    void warning(const MessageWords& words, int column = -1);
    void addToTotal(Cents amount) { m_amount += amount; }

    int errors() const { return m_errors; }
    int warnings() const { return m_warnings; }
    Cents amount() const { return m_amount; }
    const RowMessages& messages() const { return m_messages; }
    const QVector<MarkedCell>& cells() const { return m_cells; }
    const QVector<MarkedCell>& warningCells() const { return m_warningCells; }

private:
    int m_index;
    int m_errors = 0;
    int m_warnings = 0;
    Cents m_amount = 0;
    RowMessages m_messages;
    QVector<MarkedCell> m_cells;
    QVector<MarkedCell> m_warningCells;
};

struct ExportTotals
{
    Cents total = 0;
    int count = 0;   // processed rows = detail records
};

// What one transaction type adds to the shared export road.
class ExportJob
{
public:
    virtual ~ExportJob() = default;

    // The type the register of written batches files the upload under.
    virtual BatchType batchType() const = 0;
    // The effective date and account its header record names, which with
    // its payments make the batch the register compares.
    virtual BatchKey batchKey() const = 0;
    virtual QStringList titles() const = 0;
    virtual int amountColumn() const = 0;
    // Characters of every record (header and detail) without its line feed;
    // 0 when records are delimited and vary in length.
    virtual int recordWidth() const = 0;
    // Date and clearing filters: -1 takes the row into the batch; any other
    // number is why it is left out (0, 1, ...), for leftOutNote(). A row left
    // out takes no line number and no place in the log.
    virtual int leftOutBy(const xlsx::Document& sheet, int row) const = 0;
    // What the closing note says of count rows left out for reason:
    // "4 rows outside 07 Dec 2026 - 07 Dec 2026 left out".
    virtual QString leftOutNote(int reason, int count) const = 0;
    virtual void convert(const xlsx::Document& sheet, int row, RowContext& out) const = 0;
    // The refusal text when the batch does not fit its header record, else empty.
    virtual QString overflow(const ExportTotals&) const { return {}; }
    // Runs once the batch is known to be written, before headerRecord() and
    // before the upload file is committed: whatever must never be used twice
    // is taken here. Shows a failure and returns false to write nothing.
    virtual bool reserve(ExportSink&) { return true; }
    virtual QString headerRecord(const ExportTotals& totals) const = 0;
    // The batch's Header ID as the register keeps it, once reserve() ran;
    // empty for types without one.
    virtual QString headerId() const { return {}; }
};

struct ExportSource
{
    QString workbookPath;
    QString sheetName;
    bool hasColumnHeader = false;
    // Never to be replaced by the upload file. The register of written
    // batches lies beside it; without one, no register is kept.
    QString settingsPath;
    // That workbook already open with that sheet selected, read instead of
    // opening it again (a full-size sheet takes seconds to read); it must
    // outlive the export. Null: the export opens the workbook itself.
    const xlsx::Document* document = nullptr;
    // The row of the column titles when hasColumnHeader: rows down to it are
    // never data.
    int headerRow = 1;
};

enum class ExportOutcome {
    Written,       // upload file written, "Done!" shown
    RowErrors,     // rows had errors, "ERROR!" shown, nothing written
    Refused,       // refused or failed before or while writing; message shown
    Declined,      // the same payments were (or may have been) written before, and not again
    Cancelled,     // the sink asked to stop before the Header ID was reserved
};

// The road every export shares once its batch checks passed: column titles,
// workbook and sheet, details file, row loop, summary, error gate, upload
// file, register of written batches. A batch that pays what an earlier batch
// of its type paid for the same date from the same account, or that the
// register cannot tell about, is asked about before anything is reserved, so
// a "no" leaves every file as it was. From that lookup to the committed upload
// file, one run at a time works on one settings file: of identical runs
// started together one writes and the others are asked. The upload file is
// written atomically: it is replaced only when it is complete, and only when
// it holds every record its header announces.
ExportOutcome runExport(const ExportSource& source, const QString& destinationPath, ExportJob& job,
                        ExportSink& sink);

} // namespace kova
