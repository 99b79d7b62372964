#pragma once

#include "app/blocklist.h"
#include "forms/base/logbatch.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QVector>

// The log table: one row per processed sheet row, its cells as the export
// shows them, error cells and their rows tinted, cut cells shaded (each also
// marked by an icon, error text bold, and telling its message as its
// tooltip, for those who cannot tell the tints apart), the amount
// column right-aligned, and the sheet row as the row's number. A full sheet
// is a million rows, so a row is held as where its values' UTF-8 starts in
// blocks of text, the rest of it as runs of rows alike (their number of
// values, their amount column, their sheet rows counting up), and the marked
// cells as runs too, per column: a column cut on every row, each cell telling
// its row's "LINE n" and one text, is one entry, and one entry and string per
// cell would hold more than the rows themselves and free slowly at the next
// export. Values a column repeats (an account, a name, the padding of an
// empty field) are held once per column and named by their number. The rows
// arrive packed so (LogBatch): appending them is copying.
class LogTableModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    void clear();
    void setTitles(const QStringList& titles);
    // The batches of one export, in the order sent, after clear().
    void append(const LogBatch& batch);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    // Rows from row on hold values values each, the amount in amountColumn.
    struct Shape
    {
        int row = 0;
        qint16 values = 0;
        qint16 amountColumn = 0;   // right-aligned when in 1..values-1
    };
    // Rows from row on lie on the sheet's rows from sheetRow on, one after the other.
    struct SheetRows
    {
        int row = 0;
        int sheetRow = 0;
    };
    enum Mark : quint8 { ErrorCell = 1, CutCell = 2 };
    enum Tip : quint8 { NoTip, TextTip, LineTip };
    // The cells of one column on rows row to row + count - 1, marked alike:
    // each tells (LineTip) the plain words of the message line numbered line
    // plus its offset in the run, saying the text numbered text; or (TextTip,
    // a run of one) text bytes of UTF-8 from line on in m_tipText's block
    // tipBlock.
    struct Cells
    {
        int row = 0;
        int count = 1;
        int line = 0;
        int text = 0;
        qint16 tipBlock = 0;
        quint8 marks = 0;
        Tip tip = NoTip;
    };

    int shapeOf(int row) const;
    QString value(int row, int column) const;
    int sheetRow(int row) const;
    bool hasError(int row) const { return m_errorRows.at(row >> 6) >> (row & 63) & 1; }
    void mark(int row, int column, quint8 kind, const LogBatch::Message* tip);
    // The cell at row and column alone, its run's marks and tip.
    Cells single(int row, int column) const;
    Cells combined(Cells cell, quint8 kind, const LogBatch::Message* tip);
    QString lineTip(int line, int text) const;
    QString tip(const Cells& cell, int row) const;
    // The run holding the cell, or null.
    const Cells* cells(int row, int column) const;
    quint8 marksOf(int row, int column) const;
    static qint64 key(int row, int column) { return (qint64(row) << 32) | quint32(column); }

    QStringList m_titles;
    int m_columns = 0;
    int m_rowCount = 0;
    static constexpr int textPerBlock = 1 << 22;
    static constexpr int tipTextPerBlock = 1 << 22;

    // The rows' values, as LogBatch::text holds them, in blocks that never
    // move; a row's in one block, the block's first row in m_textFirstRows.
    QVector<QByteArray> m_text;
    QVector<int> m_textFirstRows;
    BlockList<quint32> m_starts;          // of each row in its block
    BlockList<Shape> m_shapes;
    BlockList<SheetRows> m_sheetRows;
    QVector<quint64> m_errorRows;         // a bit a row: a cell of it has an error
    QVector<QStringList> m_numbered;      // per column

    // The texts of the export's message lines, by their numbers.
    QVector<LogBatch::Text> m_texts;
    // The marked cells, per column in the order of their rows. Marks come
    // in that order but may name an earlier row (a duplicate's first) or
    // mark a cell again: such a cell is held apart, alone, and found first.
    QVector<BlockList<Cells>> m_cells;
    QHash<qint64, Cells> m_apart;
    // Tips of more than one line, as UTF-8.
    QVector<QByteArray> m_tipText;
};
