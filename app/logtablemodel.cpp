#include "logtablemodel.h"

#include "render/messagetext.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QStyle>

#include <algorithm>
#include <limits>

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
    m_rowCount = 0;
    m_text.clear();
    m_textFirstRows.clear();
    m_starts = {};
    m_shapes = {};
    m_sheetRows = {};
    m_errorRows.clear();
    m_numbered.clear();
    m_texts.clear();
    m_cells.clear();
    m_apart.clear();
    m_tipText.clear();
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
    m_texts += batch.texts;
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
            m_textFirstRows.append(m_rowCount);
        }
        QByteArray& text = m_text.last();
        m_starts.append(quint32(text.size()));
        text.append(batch.text.constData() + row.start, size);
        if (m_shapes.isEmpty() || m_shapes.last().values != row.values || m_shapes.last().amountColumn != row.amountColumn)
            m_shapes.append({m_rowCount, row.values, row.amountColumn});
        if (m_sheetRows.isEmpty() || qint64(m_sheetRows.last().sheetRow) + m_rowCount - m_sheetRows.last().row != row.sheetRow)
            m_sheetRows.append({m_rowCount, row.sheetRow});
        ++m_rowCount;
    }
    m_errorRows.resize((m_rowCount + 63) / 64);
    // A marked cell may name any row reported so far; one that names no row is ignored.
    for (const LogBatch::Mark& mark : batch.marks) {
        const int index = first + mark.reportedBy;
        if (mark.row < 0 || mark.row > index)
            continue;
        const LogBatch::Message* tip = mark.tip >= 0 && mark.tip < batch.messages.size() ? &batch.messages.at(mark.tip) : nullptr;
        if (mark.error) {
            m_errorRows[mark.row >> 6] |= quint64(1) << (mark.row & 63);
            this->mark(mark.row, mark.column, ErrorCell, tip);
        } else if (mark.column >= 0 && mark.column < m_columns) {
            this->mark(mark.row, mark.column, CutCell, tip);
        }
    }
    endInsertRows();
}

void LogTableModel::mark(int row, int column, quint8 kind, const LogBatch::Message* tip)
{
    // No row holds more values than this; a column beyond them is never shown.
    if (column < 0 || column > std::numeric_limits<qint16>::max())
        return;
    const auto apart = m_apart.find(key(row, column));
    if (apart != m_apart.end()) {
        *apart = combined(*apart, kind, tip);
        return;
    }
    if (m_cells.size() <= column)
        m_cells.resize(column + 1);
    BlockList<Cells>& runs = m_cells[column];
    const Cells alone{row, 1, 0, 0, 0, 0, NoTip};
    if (!runs.isEmpty()) {
        Cells& last = runs.last();
        const int end = last.row + last.count;
        if (row < end) {
            const Cells* held = cells(row, column);
            if (held != &last || row != end - 1) {
                m_apart.insert(key(row, column), combined(held ? single(row, column) : alone, kind, tip));
            } else if (last.count == 1) {
                last = combined(last, kind, tip);
            } else {
                // The run's last cell marked again: it goes on alone.
                const Cells cell = single(row, column);
                --last.count;
                runs.append(combined(cell, kind, tip));
            }
            return;
        }
        const bool sameTip = tip ? last.tip == LineTip && last.text == tip->text && qint64(last.line) + last.count == tip->line
                                 : last.tip == NoTip;
        if (row == end && last.marks == kind && sameTip) {
            ++last.count;
            return;
        }
    }
    runs.append(combined(alone, kind, tip));
}

LogTableModel::Cells LogTableModel::single(int row, int column) const
{
    Cells cell = *cells(row, column);
    if (cell.tip == LineTip)
        cell.line += row - cell.row;
    cell.row = row;
    cell.count = 1;
    return cell;
}

LogTableModel::Cells LogTableModel::combined(Cells cell, quint8 kind, const LogBatch::Message* tip)
{
    cell.marks |= kind;
    if (!tip)
        return cell;
    const QString told = this->tip(cell, cell.row);
    if (told.isEmpty()) {
        cell.tip = LineTip;
        cell.line = tip->line;
        cell.text = tip->text;
        return cell;
    }
    // A cell telling more than one line: rare, and held as its words.
    const QByteArray text = (told + QLatin1Char('\n') + lineTip(tip->line, tip->text)).toUtf8();
    if (m_tipText.isEmpty() || m_tipText.last().size() + text.size() > tipTextPerBlock) {
        m_tipText.append(QByteArray());
        m_tipText.last().reserve(qMax(tipTextPerBlock, text.size()));
    }
    cell.tip = TextTip;
    cell.tipBlock = qint16(m_tipText.size() - 1);
    cell.line = m_tipText.last().size();
    cell.text = text.size();
    m_tipText.last().append(text);
    return cell;
}

QString LogTableModel::lineTip(int line, int text) const
{
    if (text < 0 || text >= m_texts.size())
        return QString();
    const LogBatch::Text& says = m_texts.at(text);
    return kova::plainLine({says.severity, line, says.words});
}

QString LogTableModel::tip(const Cells& cell, int row) const
{
    switch (cell.tip) {
    case TextTip:
        return QString::fromUtf8(m_tipText.at(cell.tipBlock).constData() + cell.line, cell.text);
    case LineTip:
        return lineTip(cell.line + row - cell.row, cell.text);
    default:
        return QString();
    }
}

const LogTableModel::Cells* LogTableModel::cells(int row, int column) const
{
    if (column < 0 || column >= m_cells.size())
        return nullptr;
    const BlockList<Cells>& runs = m_cells.at(column);
    const int at = runs.lastOf([row](const Cells& cells) { return cells.row <= row; });
    if (at < 0)
        return nullptr;
    const Cells& run = runs.at(at);
    return row < run.row + run.count ? &run : nullptr;
}

quint8 LogTableModel::marksOf(int row, int column) const
{
    if (!m_apart.isEmpty()) {
        const auto apart = m_apart.constFind(key(row, column));
        if (apart != m_apart.constEnd())
            return apart->marks;
    }
    const Cells* held = cells(row, column);
    return held ? held->marks : 0;
}

int LogTableModel::shapeOf(int row) const
{
    return m_shapes.lastOf([row](const Shape& shape) { return shape.row <= row; });
}

int LogTableModel::sheetRow(int row) const
{
    const SheetRows& run = m_sheetRows.at(m_sheetRows.lastOf([row](const SheetRows& rows) { return rows.row <= row; }));
    return run.sheetRow + (row - run.row);
}

QString LogTableModel::value(int row, int column) const
{
    const int block = int(std::upper_bound(m_textFirstRows.cbegin(), m_textFirstRows.cend(), row) - m_textFirstRows.cbegin()) - 1;
    const char* at = m_text.at(block).constData() + m_starts.at(row);
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
    const int row = index.row();
    const int column = index.column();
    const Shape& shape = m_shapes.at(shapeOf(row));
    if (column >= shape.values)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return value(row, column);
    case Qt::TextAlignmentRole:
        if (shape.amountColumn > 0 && column == shape.amountColumn)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case Qt::ForegroundRole:
        if (marksOf(row, column) & ErrorCell)
            return QBrush(markedFieldText);
        return {};
    case Qt::FontRole:
        if (marksOf(row, column) & ErrorCell) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::DecorationRole: {
        const quint8 marks = marksOf(row, column);
        if (marks & ErrorCell)
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical);
        if (marks & CutCell)
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        return {};
    }
    case Qt::ToolTipRole: {
        const auto apart = m_apart.constFind(key(row, column));
        if (apart != m_apart.constEnd())
            return apart->tip == NoTip ? QVariant() : tip(*apart, row);
        const Cells* held = cells(row, column);
        if (!held || held->tip == NoTip)
            return {};
        return tip(*held, row);
    }
    case Qt::BackgroundRole: {
        // An error's marking says more than a cut, and a cut more than its row's tint.
        const quint8 marks = marksOf(row, column);
        if (marks & ErrorCell)
            return QBrush(markedFieldBackground);
        if (marks & CutCell)
            return QBrush(cutFieldBackground);
        if (hasError(row))
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
        return section >= 0 && section < m_rowCount ? QString::number(sheetRow(section)) : QVariant();
    return section >= 0 && section < m_titles.size() ? m_titles.at(section) : QString::number(section + 1);
}
