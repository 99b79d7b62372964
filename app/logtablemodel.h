#pragma once

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
// is a million rows, so a row is held as its values' UTF-8 in one shared
// buffer, and its marked cells apart, in the order of their rows and
// columns, with their tips' UTF-8 in buffers of their own: a sheet may mark a
// cell on every row, and one entry and string per cell would hold more than
// the rows themselves and free slowly at the next export. Values a column
// repeats (an account, a name, the padding of an empty field) are held once
// per column and named by their number. The rows arrive packed so (LogBatch):
// appending them is copying. Rows and their values are held in blocks that
// never move once filled, so that a growing log neither pauses the window to
// copy what it holds nor holds it twice meanwhile.
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
    struct Row
    {
        int textBlock = 0;       // its values: where in m_text they start
        int start = 0;
        int sheetRow = 0;
        qint16 values = 0;
        qint16 amountColumn = 0; // right-aligned when in 1..values-1
        bool marked = false;     // a cell of it has an error
    };
    enum Mark : quint8 { ErrorCell = 1, CutCell = 2 };
    enum Tip : quint8 { NoTip, TextTip, LineTip };
    struct Cell
    {
        int row = 0;
        int column = 0;
        // TextTip: its UTF-8 in m_tipText; LineTip: its line's number and
        // the number of the text after it in m_tipRests.
        int tipStart = 0;
        int tipSize = 0;
        qint16 tipBlock = 0;
        quint8 marks = 0;
        Tip tip = NoTip;
    };

    const Row& row(int index) const { return m_rows.at(index / rowsPerBlock).at(index % rowsPerBlock); }
    QString value(const Row& row, int column) const;
    void mark(int row, int column, quint8 kind, const LogBatch& batch, int tip);
    void holdTip(Cell& cell, const QString& tip);
    QString tip(const Cell& cell) const;
    const Cell* cell(int row, int column) const;
    Cell* cell(int row, int column) { return const_cast<Cell*>(qAsConst(*this).cell(row, column)); }
    quint8 marksOf(int row, int column) const;
    static qint64 key(int row, int column) { return (qint64(row) << 32) | quint32(column); }
    static qint64 key(const Cell& cell) { return key(cell.row, cell.column); }

    QStringList m_titles;
    int m_columns = 0;
    static constexpr int rowsPerBlock = 1 << 16;
    static constexpr int textPerBlock = 1 << 22;

    // The rows' values, as LogBatch::text holds them; a row's in one block.
    QVector<QByteArray> m_text;
    QVector<QStringList> m_numbered;   // per column
    QVector<QVector<Row>> m_rows;
    int m_rowCount = 0;
    static constexpr int cellsPerBlock = 1 << 16;
    static constexpr int tipTextPerBlock = 1 << 22;
    static constexpr int tipRestsHeld = 4096;

    // The marked cells by row and column. Marks come in the order of their
    // rows but may name an earlier row (a duplicate's first), and such a cell
    // is held apart if not held already.
    QVector<QVector<Cell>> m_cells;
    QHash<qint64, Cell> m_earlierCells;
    // The messages of marked cells, a line each: as UTF-8, or as the number
    // of a "LINE n" and the text that follows it, held once.
    QVector<QByteArray> m_tipText;
    QStringList m_tipRests;
    QHash<QString, int> m_tipRestNumbers;
};
