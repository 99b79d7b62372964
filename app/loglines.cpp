#include "loglines.h"

#include <QApplication>
#include <QIcon>
#include <QRegularExpression>
#include <QStyle>
#include <QTextDocumentFragment>

namespace {

// Large enough that a million lines take a few hundred blocks, small enough
// that starting a block costs nothing the window would notice.
constexpr int blockBytes = 1 << 20;
constexpr qint64 offsetMask = 0xffffffff;

// How render/ colours a message line's words, and the colour the log shows
// them in instead: the same hue, dark enough to read.
const QString errorColour = QStringLiteral("color:#e73d4a;");
const QString warningColour = QStringLiteral("color:#f88021;");
const QString errorShown = QStringLiteral("color:#c0262f;");
const QString warningShown = QStringLiteral("color:#a34a00;");

} // namespace

void LogLines::Store::add(Kind kind, const QString& line)
{
    const QByteArray utf8 = line.toUtf8();
    const int size = 1 + utf8.size();
    if (blocks.isEmpty() || blocks.last().size() + size > blocks.last().capacity()) {
        blocks.append(QByteArray());
        blocks.last().reserve(qMax(blockBytes, size));
    }
    QByteArray& block = blocks.last();
    starts.append(qint64(blocks.size() - 1) << 32 | block.size());
    block += kind;
    block += utf8;
}

QByteArray LogLines::Store::line(int row) const
{
    const qint64 at = starts.at(row);
    const QByteArray& block = blocks.at(int(at >> 32));
    const int start = int(at & offsetMask);
    const bool nextHere = row + 1 < starts.size() && starts.at(row + 1) >> 32 == at >> 32;
    const int end = nextHere ? int(starts.at(row + 1) & offsetMask) : block.size();
    return QByteArray::fromRawData(block.constData() + start, end - start);
}

void LogLines::Store::take(Store& other)
{
    const qint64 shift = qint64(blocks.size()) << 32;
    starts.reserve(starts.size() + other.starts.size());
    for (const qint64 at : qAsConst(other.starts))
        starts.append(at + shift);
    blocks += other.blocks;
    other = {};
}

QString LogLines::renderMessage(const QByteArray& held)
{
    return QString::fromUtf8(held).replace(errorColour, errorShown).replace(warningColour, warningShown);
}

void LogLines::clear()
{
    beginResetModel();
    m_lines = {};
    m_held = {};
    m_longest = 0;
    m_heldLongest = 0;
    m_heldLongestSize = -1;
    endResetModel();
}

void LogLines::append(Kind kind, const QStringList& lines)
{
    if (lines.isEmpty())
        return;
    const int first = m_lines.starts.size();
    beginInsertRows({}, first, first + lines.size() - 1);
    for (const QString& line : lines) {
        if (m_lines.starts.isEmpty() || line.size() > m_lines.line(m_longest).size() - 1)
            m_longest = m_lines.starts.size();
        m_lines.add(kind, line);
    }
    endInsertRows();
}

void LogLines::appendPlain(const QStringList& lines)
{
    append(Plain, lines);
}

void LogLines::holdMessages(const QStringList& messages)
{
    // Markup is longer than what it shows, so a long line here is long on
    // screen too; found as the lines arrive, the summary need not read them.
    for (const QString& message : messages) {
        if (message.size() > m_heldLongestSize) {
            m_heldLongestSize = message.size();
            m_heldLongest = m_held.starts.size();
        }
        m_held.add(Message, message);
    }
}

void LogLines::showSummary(const QStringList& summary)
{
    append(Plain, summary + QStringList{QStringLiteral("-------------------------------------")});
    const int count = m_held.starts.size();
    if (count == 0)
        return;
    const int first = m_lines.starts.size();
    beginInsertRows({}, first, first + count - 1);
    if (m_held.line(m_heldLongest).size() > m_lines.line(m_longest).size())
        m_longest = first + m_heldLongest;
    m_lines.take(m_held);
    m_heldLongest = 0;
    m_heldLongestSize = -1;
    endInsertRows();
}

QString LogLines::plainLine(int row) const
{
    const QByteArray held = m_lines.line(row);
    if (held.at(0) == Plain)
        return QString::fromUtf8(held.constData() + 1, held.size() - 1);
    return QTextDocumentFragment::fromHtml(renderMessage(held.mid(1))).toPlainText();
}

int LogLines::messageLine(int row) const
{
    if (row < 0 || row >= m_lines.starts.size() || m_lines.line(row).at(0) != Message)
        return 0;
    static const QRegularExpression line(QStringLiteral("^LINE ([0-9]+):"));
    const QRegularExpressionMatch match = line.match(plainLine(row));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QString LogLines::plainText(const QVector<int>& rows) const
{
    QStringList lines;
    lines.reserve(rows.size());
    for (int row : rows)
        lines.append(plainLine(row));
    return lines.join(QLatin1Char('\n'));
}

int LogLines::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_lines.starts.size();
}

QVariant LogLines::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return plainLine(index.row());
    if (role == RichTextRole) {
        const QByteArray held = m_lines.line(index.row());
        return held.at(0) == Message ? renderMessage(held.mid(1)) : QString();
    }
    // Colour alone would not tell an error from a warning to everyone.
    if (role == Qt::DecorationRole) {
        const QByteArray held = m_lines.line(index.row());
        if (held.at(0) != Message)
            return {};
        const bool error = held.indexOf(errorColour.toUtf8()) >= 0;
        return QApplication::style()->standardIcon(error ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxWarning);
    }
    if (role == Qt::ToolTipRole && m_sheetRowOf) {
        const int line = messageLine(index.row());
        const int sheetRow = line > 0 ? m_sheetRowOf(line) : 0;
        if (sheetRow > 0)
            return QStringLiteral("LINE %1 is row %2 of the sheet").arg(line).arg(sheetRow);
    }
    return {};
}
