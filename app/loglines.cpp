#include "loglines.h"

#include <QRegularExpression>
#include <QTextDocumentFragment>

void LogLines::Store::add(Kind kind, const QString& line)
{
    starts.append(text.size());
    text += kind;
    text += line.toUtf8();
}

QByteArray LogLines::Store::line(int row) const
{
    const qint64 start = starts.at(row);
    const qint64 end = row + 1 < starts.size() ? starts.at(row + 1) : text.size();
    return QByteArray::fromRawData(text.constData() + start, int(end - start));
}

QString LogLines::renderMessage(const QByteArray& held)
{
    return QString::fromUtf8(held);
}

void LogLines::clear()
{
    beginResetModel();
    m_lines = {};
    m_held = {};
    m_longest = 0;
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
    for (const QString& message : messages)
        m_held.add(Message, message);
}

void LogLines::showSummary(const QStringList& summary)
{
    append(Plain, summary + QStringList{QStringLiteral("-------------------------------------")});
    const int count = m_held.starts.size();
    if (count == 0)
        return;
    const int first = m_lines.starts.size();
    beginInsertRows({}, first, first + count - 1);
    const qint64 offset = m_lines.text.size();
    for (int i = 0; i < count; ++i) {
        // Markup is longer than what it shows, so a long line here is long on screen too.
        if (m_held.line(i).size() > m_lines.line(m_longest).size())
            m_longest = first + i;
        m_lines.starts.append(offset + m_held.starts.at(i));
    }
    m_lines.text += m_held.text;
    m_held = {};
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
    return {};
}
