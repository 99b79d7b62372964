#include "logtablemodel.h"

#include "render/messagetext.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QStyle>

namespace {

// Every text colour here keeps a contrast of at least 4.5:1 to its tint:
// this red is 5.4:1 on the offending field's background.
const QColor markedFieldText(0x8f, 0x0f, 0x1a);
const QColor markedRowBackground(0xfb, 0xe1, 0xe3);
// Deeper than the row's, so that an offending cell that is empty still shows.
const QColor markedFieldBackground(0xf5, 0xb5, 0xba);
// The warning lines' #f88021, pale enough to read the text on.
const QColor cutFieldBackground(0xfd, 0xdc, 0xbf);

// Enough for the values a column repeats; a column of unique values stops
// being collected there.
constexpr int repeatedPerColumn = 1024;

void putNumber(QByteArray& text, quint64 n)
{
    while (n >= 0x80) {
        text += char(0x80 | (n & 0x7f));
        n >>= 7;
    }
    text += char(n);
}

quint64 takeNumber(const char*& at)
{
    quint64 n = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = quint8(*at++);
        n |= quint64(byte & 0x7f) << shift;
        if (byte < 0x80)
            return n;
    }
}

} // namespace

void LogTableModel::clear()
{
    beginResetModel();
    m_titles.clear();
    m_columns = 0;
    m_text.clear();
    m_repeatedIds.clear();
    m_repeated.clear();
    m_rows.clear();
    m_markedRows.clear();
    m_marks.clear();
    m_tips.clear();
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

void LogTableModel::append(const QVector<kova::RowReport>& reports)
{
    if (reports.isEmpty())
        return;
    int columns = m_columns;
    for (const kova::RowReport& report : reports)
        columns = qMax(columns, report.values.size());
    if (columns > m_columns) {
        beginInsertColumns({}, m_columns, columns - 1);
        m_columns = columns;
        endInsertColumns();
    }

    const int first = m_rows.size();
    beginInsertRows({}, first, first + reports.size() - 1);
    for (const kova::RowReport& report : reports) {
        const int index = m_rows.size();
        m_rows.append({m_text.size(), report.sheetRow, qint16(report.values.size()), qint16(report.amountColumn)});
        for (int column = 0; column < report.values.size(); ++column)
            put(column, report.values.at(column));
        // A marked cell may name any row reported so far; one that names no row is ignored.
        for (const kova::MarkedCell& cell : report.cells) {
            if (cell.row < 0 || cell.row > index)
                continue;
            m_markedRows.insert(cell.row);
            m_marks[key(cell.row, cell.column)] |= ErrorCell;
            addTip(cell, report.messages);
        }
        for (const kova::MarkedCell& cut : report.warningCells) {
            if (cut.row >= 0 && cut.row <= index && cut.column >= 0 && cut.column < m_columns) {
                m_marks[key(cut.row, cut.column)] |= CutCell;
                addTip(cut, report.messages);
            }
        }
    }
    endInsertRows();
}

void LogTableModel::addTip(const kova::MarkedCell& cell, const kova::RowMessages& messages)
{
    if (cell.message < 0 || cell.message >= messages.size())
        return;
    QString& tip = m_tips[key(cell.row, cell.column)];
    tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + kova::plainLine(messages.at(cell.message));
}

void LogTableModel::put(int column, const QString& value)
{
    if (m_repeated.size() <= column) {
        m_repeated.resize(column + 1);
        m_repeatedIds.resize(column + 1);
    }
    QHash<QString, int>& ids = m_repeatedIds[column];
    auto known = ids.constFind(value);
    if (known == ids.constEnd() && ids.size() < repeatedPerColumn) {
        known = ids.insert(value, m_repeated.at(column).size());
        m_repeated[column].append(value);
    }
    if (known != ids.constEnd()) {
        putNumber(m_text, (quint64(*known) << 1) | 1);
        return;
    }
    const QByteArray utf8 = value.toUtf8();
    putNumber(m_text, quint64(utf8.size()) << 1);
    m_text += utf8;
}

QString LogTableModel::value(const Row& row, int column) const
{
    const char* at = m_text.constData() + row.start;
    for (int c = 0;; ++c) {
        const quint64 n = takeNumber(at);
        if (c == column)
            return n & 1 ? m_repeated.at(c).at(int(n >> 1)) : QString::fromUtf8(at, int(n >> 1));
        if (!(n & 1))
            at += n >> 1;
    }
}

int LogTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int LogTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant LogTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Row& row = m_rows.at(index.row());
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
        if (m_marks.value(key(index.row(), column)) & ErrorCell)
            return QBrush(markedFieldText);
        return {};
    case Qt::FontRole:
        if (m_marks.value(key(index.row(), column)) & ErrorCell) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::DecorationRole: {
        const quint8 marks = m_marks.value(key(index.row(), column));
        if (marks & ErrorCell)
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical);
        if (marks & CutCell)
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        return {};
    }
    case Qt::ToolTipRole: {
        const auto tip = m_tips.constFind(key(index.row(), column));
        return tip == m_tips.constEnd() ? QVariant() : QVariant(*tip);
    }
    case Qt::BackgroundRole: {
        // An error's marking says more than a cut, and a cut more than its row's tint.
        const quint8 marks = m_marks.value(key(index.row(), column));
        if (marks & ErrorCell)
            return QBrush(markedFieldBackground);
        if (marks & CutCell)
            return QBrush(cutFieldBackground);
        if (m_markedRows.contains(index.row()))
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
        return section >= 0 && section < m_rows.size() ? QString::number(m_rows.at(section).sheetRow) : QVariant();
    return section >= 0 && section < m_titles.size() ? m_titles.at(section) : QString::number(section + 1);
}
