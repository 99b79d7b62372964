#pragma once

#include "record/cellreading.h"
#include "record/exportsink.h"
#include "record/rowcontext.h"
#include "types/batchkey.h"
#include "types/columnmap.h"
#include "types/typedescriptor.h"

#include <QString>

#include <optional>

namespace reader { class Document; }

namespace kova {

// What one transaction type adds to the shared export road.
class ExportJob
{
public:
    virtual ~ExportJob() = default;

    // The type: its log columns, and what the register files the upload under.
    const TypeDescriptor& descriptor() const { return m_descriptor; }
    // The first sheet row that may hold data: the one below the column
    // titles when the sheet has them.
    int firstRow() const { return m_firstRow; }
    // A saved title the sheet lacks or holds twice: no row may be read from a
    // guess. Empty when every mapped column is where the titles say.
    const QString& headerRefusal() const { return m_headerRefusal; }
    // The sheet column of each of the type's fields, in field order; 0: not mapped.
    const QVector<int>& columns() const { return m_columns; }
    // How the source's text reads as dates and amounts: learned from its
    // columns before the first row, and the same for every row.
    const CellReading& reading() const { return m_reading; }
    void setReading(const CellReading& reading) { m_reading = reading; }

    // The type's batch checks, made before anything is read: the first
    // failure's text, or empty.
    virtual QString refusal() const = 0;
    // The effective date and account its header record names, which with
    // its payments make the batch the register compares.
    virtual BatchKey batchKey() const = 0;
    // Characters of every record (header and detail) without its line feed;
    // 0 when records are delimited and vary in length.
    virtual int recordWidth() const = 0;
    // Date and clearing filters: -1 takes the row into the batch; any other
    // number is why it is left out (0, 1, ...), for leftOutNote(). A row left
    // out takes no line number and no place in the log.
    virtual int leftOutBy(const reader::Document& sheet, int row) const = 0;
    // What the closing note says of count rows left out for reason:
    // "4 rows outside 07 Dec 2026 - 07 Dec 2026 left out".
    virtual QString leftOutNote(int reason, int count) const = 0;
    virtual void convert(const reader::Document& sheet, int row, RowContext& out) const = 0;
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
    // The Header ID the form shows once the export ended: the next one
    // stored, or the next free one after a typed one was refused; none for
    // types without one or when the export did not get that far.
    virtual std::optional<qint64> nextHeaderId() const { return std::nullopt; }

protected:
    ExportJob(const TypeDescriptor& descriptor, const QVector<int>& columns, bool hasColumnHeader,
              const ColumnHeader& header)
        : m_descriptor(descriptor)
        , m_columns(columns)
        , m_firstRow(hasColumnHeader ? qMax(1, header.row) + 1 : 1)
        , m_headerRefusal(header.refusal)
    {
    }

private:
    const TypeDescriptor& m_descriptor;
    QVector<int> m_columns;
    int m_firstRow;
    QString m_headerRefusal;
    CellReading m_reading;
};

} // namespace kova
