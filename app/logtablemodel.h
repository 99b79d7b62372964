#pragma once

#include "forms/common/logbatch.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QVector>

// The log table: one row per processed sheet row, its cells as the export
// shows them, error cells and their rows tinted, cut cells shaded (each also
// marked by an icon, error text bold, and telling its message as its
// tooltip, for those who cannot tell the tints apart), the amount
// column right-aligned, and the sheet row as the row's number. A full sheet
// is a million rows, so a row is held as its values' UTF-8 in one shared
// buffer, and only the few marked cells are held apart. Values a column
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
    };
    enum Mark : quint8 { ErrorCell = 1, CutCell = 2 };

    const Row& row(int index) const { return m_rows.at(index / rowsPerBlock).at(index % rowsPerBlock); }
    QString value(const Row& row, int column) const;
    void addTip(int row, int column, const LogBatch& batch, int tip);
    static qint64 key(int row, int column) { return (qint64(row) << 32) | quint32(column); }

    QStringList m_titles;
    int m_columns = 0;
    static constexpr int rowsPerBlock = 1 << 16;
    static constexpr int textPerBlock = 1 << 22;

    // The rows' values, as LogBatch::text holds them; a row's in one block.
    QVector<QByteArray> m_text;
    QVector<QStringList> m_numbered;   // per column
    QVector<QVector<Row>> m_rows;
    int m_rowCount = 0;
    QSet<int> m_markedRows;
    QHash<qint64, quint8> m_marks;
    QHash<qint64, QString> m_tips;   // the messages of marked cells, a line each
};
