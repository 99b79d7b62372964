#include "logtablemodel.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QStyle>

#include <algorithm>

namespace {

// Every text colour here keeps a contrast of at least 4.5:1 to its tint:
// this red is 5.4:1 on the offending field's background.
const QColor markedFieldText(0x8f, 0x0f, 0x1a);
const QColor markedRowBackground(0xfb, 0xe1, 0xe3);
// Deeper than the row's, so that an offending cell that is empty still shows.
const QColor markedFieldBackground(0xf5, 0xb5, 0xba);
// The warning lines' #f88021, pale enough to read the text on.
const QColor cutFieldBackground(0xfd, 0xdc, 0xbf);

} // namespace

void LogTableModel::clear()
{
    beginResetModel();
    m_titles.clear();
    m_columns = 0;
    m_text.clear();
    m_rowCount = 0;
    m_numbered.clear();
    m_rows.clear();
    m_cells.clear();
    m_earlierCells.clear();
    m_tipText.clear();
    m_tipRests.clear();
    m_tipRestNumbers.clear();
    endResetModel();
}

void LogTableModel::setTitles(const QStringList& titles)
{
    if (titles.size() > m_columns) {
        beginInsertColumns({}, m_columns, titles.size() - 1);
        m_columns = titles.size();
        endInsertColumns();
    }
    // A shorter list leaves the later titles as they were.
    while (m_titles.size() < titles.size())
        m_titles.append(QString());
    for (int i = 0; i < titles.size(); ++i)
        m_titles[i] = titles.at(i);
    if (!titles.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, titles.size() - 1);
}

void LogTableModel::append(const LogBatch& batch)
{
    if (batch.rows.isEmpty())
        return;
    int columns = m_columns;
    for (const LogBatch::Row& row : batch.rows)
        columns = qMax(columns, int(row.values));
    if (columns > m_columns) {
        beginInsertColumns({}, m_columns, columns - 1);
        m_columns = columns;
        endInsertColumns();
    }
    for (const LogBatch::Numbered& numbered : batch.numbered) {
        if (m_numbered.size() <= numbered.column)
            m_numbered.resize(numbered.column + 1);
        m_numbered[numbered.column].append(numbered.value);
    }

    const int first = m_rowCount;
    beginInsertRows({}, first, first + batch.rows.size() - 1);
    for (int i = 0; i < batch.rows.size(); ++i) {
        const LogBatch::Row& row = batch.rows.at(i);
        const int size = (i + 1 < batch.rows.size() ? batch.rows.at(i + 1).start : batch.text.size()) - row.start;
        if (m_text.isEmpty() || m_text.last().size() + size > textPerBlock) {
            m_text.append(QByteArray());
            m_text.last().reserve(qMax(textPerBlock, size));
        }
        if (m_rows.isEmpty() || m_rows.last().size() == rowsPerBlock) {
            m_rows.append(QVector<Row>());
            m_rows.last().reserve(rowsPerBlock);
        }
        QByteArray& text = m_text.last();
        m_rows.last().append({m_text.size() - 1, text.size(), row.sheetRow, row.values, row.amountColumn, false});
        text.append(batch.text.constData() + row.start, size);
        ++m_rowCount;
    }
    // A marked cell may name any row reported so far; one that names no row is ignored.
    for (const LogBatch::Mark& mark : batch.marks) {
        const int index = first + mark.reportedBy;
        if (mark.row < 0 || mark.row > index)
            continue;
        if (mark.error) {
            m_rows[mark.row / rowsPerBlock][mark.row % rowsPerBlock].marked = true;
            this->mark(mark.row, mark.column, ErrorCell, batch, mark.tip);
        } else if (mark.column >= 0 && mark.column < m_columns) {
            this->mark(mark.row, mark.column, CutCell, batch, mark.tip);
        }
    }
    endInsertRows();
}

void LogTableModel::mark(int row, int column, quint8 kind, const LogBatch& batch, int tip)
{
    Cell* held = cell(row, column);
    if (!held) {
        const Cell added{row, column, 0, 0, 0, 0, NoTip};
        if (m_cells.isEmpty() || key(m_cells.last().last()) < key(added)) {
            if (m_cells.isEmpty() || m_cells.last().size() == cellsPerBlock) {
                m_cells.append(QVector<Cell>());
                m_cells.last().reserve(cellsPerBlock);
            }
            m_cells.last().append(added);
            held = &m_cells.last().last();
        } else {
            held = &m_earlierCells.insert(key(added), added).value();
        }
    }
    held->marks |= kind;
    if (tip < 0 || tip >= batch.tips.size())
        return;
    const QString told = this->tip(*held);
    holdTip(*held, told.isEmpty() ? batch.tips.at(tip) : told + QLatin1Char('\n') + batch.tips.at(tip));
}

void LogTableModel::holdTip(Cell& cell, const QString& tip)
{
    // Most tips are "LINE n" and one of a few texts: held as n and the text's number.
    static const QLatin1String line("LINE ");
    if (tip.startsWith(line)) {
        int digits = line.size();
        while (digits < tip.size() && digits < line.size() + 9 && tip.at(digits).isDigit() && tip.at(digits).unicode() < 0x80)
            ++digits;
        const QStringRef number = tip.midRef(line.size(), digits - line.size());
        const int n = number.toInt();
        if (number == QString::number(n)) {
            const QString rest = tip.mid(digits);
            auto known = m_tipRestNumbers.constFind(rest);
            if (known == m_tipRestNumbers.constEnd() && m_tipRests.size() < tipRestsHeld) {
                known = m_tipRestNumbers.insert(rest, m_tipRests.size());
                m_tipRests.append(rest);
            }
            if (known != m_tipRestNumbers.constEnd()) {
                cell.tip = LineTip;
                cell.tipStart = n;
                cell.tipSize = *known;
                return;
            }
        }
    }
    const QByteArray text = tip.toUtf8();
    if (m_tipText.isEmpty() || m_tipText.last().size() + text.size() > tipTextPerBlock) {
        m_tipText.append(QByteArray());
        m_tipText.last().reserve(qMax(tipTextPerBlock, text.size()));
    }
    cell.tip = TextTip;
    cell.tipBlock = qint16(m_tipText.size() - 1);
    cell.tipStart = m_tipText.last().size();
    cell.tipSize = text.size();
    m_tipText.last().append(text);
}

QString LogTableModel::tip(const Cell& cell) const
{
    switch (cell.tip) {
    case TextTip:
        return QString::fromUtf8(m_tipText.at(cell.tipBlock).constData() + cell.tipStart, cell.tipSize);
    case LineTip:
        return QLatin1String("LINE ") + QString::number(cell.tipStart) + m_tipRests.at(cell.tipSize);
    default:
        return QString();
    }
}

const LogTableModel::Cell* LogTableModel::cell(int row, int column) const
{
    const qint64 wanted = key(row, column);
    // The last block whose first cell is not after the one wanted.
    auto block = std::upper_bound(m_cells.cbegin(), m_cells.cend(), wanted,
                                  [](qint64 k, const QVector<Cell>& cells) { return k < key(cells.first()); });
    if (block != m_cells.cbegin()) {
        --block;
        const auto found = std::lower_bound(block->cbegin(), block->cend(), wanted,
                                            [](const Cell& cell, qint64 k) { return key(cell) < k; });
        if (found != block->cend() && key(*found) == wanted)
            return &*found;
    }
    const auto earlier = m_earlierCells.constFind(wanted);
    return earlier == m_earlierCells.constEnd() ? nullptr : &*earlier;
}

quint8 LogTableModel::marksOf(int row, int column) const
{
    const Cell* held = cell(row, column);
    return held ? held->marks : 0;
}

QString LogTableModel::value(const Row& row, int column) const
{
    const char* at = m_text.at(row.textBlock).constData() + row.start;
    for (int c = 0;; ++c) {
        const quint64 n = LogBatch::takeNumber(at);
        if (c == column)
            return n & 1 ? m_numbered.value(c).value(int(n >> 1)) : QString::fromUtf8(at, int(n >> 1));
        if (!(n & 1))
            at += n >> 1;
    }
}

int LogTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int LogTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant LogTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Row& row = this->row(index.row());
    const int column = index.column();
    if (column >= row.values)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return value(row, column);
    case Qt::TextAlignmentRole:
        if (row.amountColumn > 0 && column == row.amountColumn)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case Qt::ForegroundRole:
        if (marksOf(index.row(), column) & ErrorCell)
            return QBrush(markedFieldText);
        return {};
    case Qt::FontRole:
        if (marksOf(index.row(), column) & ErrorCell) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::DecorationRole: {
        const quint8 marks = marksOf(index.row(), column);
        if (marks & ErrorCell)
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical);
        if (marks & CutCell)
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        return {};
    }
    case Qt::ToolTipRole: {
        const Cell* held = cell(index.row(), column);
        if (!held || held->tip == NoTip)
            return {};
        return tip(*held);
    }
    case Qt::BackgroundRole: {
        // An error's marking says more than a cut, and a cut more than its row's tint.
        const quint8 marks = marksOf(index.row(), column);
        if (marks & ErrorCell)
            return QBrush(markedFieldBackground);
        if (marks & CutCell)
            return QBrush(cutFieldBackground);
        if (row.marked)
            return QBrush(markedRowBackground);
        return {};
    }
    default:
        return {};
    }
}

QVariant LogTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return section >= 0 && section < m_rowCount ? QString::number(row(section).sheetRow) : QVariant();
    return section >= 0 && section < m_titles.size() ? m_titles.at(section) : QString::number(section + 1);
}
