#include "loglines.h"

#include "render/messagetext.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <QTextDocumentFragment>

#include <optional>

namespace {

// How render/ colours a message line's words, and the colour the log shows
// them in instead: the same hue, dark enough to read.
const QString errorColour = QStringLiteral("color:#e73d4a;");
const QString warningColour = QStringLiteral("color:#f88021;");
const QString errorShown = QStringLiteral("color:#c0262f;");
const QString warningShown = QStringLiteral("color:#a34a00;");

// Characters of n as "LINE n" writes it; a line number is never negative.
int digits(int n)
{
    int count = 1;
    for (; n >= 10; n /= 10)
        ++count;
    return count;
}

} // namespace

LogLines::Line LogLines::Lines::at(int row) const
{
    const Run& found = runs.at(runs.lastOf([row](const Run& run) { return run.row <= row; }));
    return {found.first.line + row - found.row, found.first.text};
}

void LogLines::Lines::append(const Line& line, int count)
{
    if (!runs.isEmpty()) {
        const Run& last = runs.last();
        if (line.text >= 0 && line.text == last.first.text && line.line == last.first.line + size - last.row) {
            size += count;
            return;
        }
    }
    runs.append({size, line});
    size += count;
}

void LogLines::Lines::take(Lines& other)
{
    // A run's lines end where the next run starts, the last one's at other's end.
    std::optional<Run> pending;
    other.runs.drain([&](const Run& run) {
        if (pending)
            append(pending->first, run.row - pending->row);
        pending = run;
    });
    if (pending)
        append(pending->first, other.size - pending->row);
    other = {};
}

QString LogLines::renderMessage(const Line& line) const
{
    const LogBatch::Text& says = m_texts.at(line.text).says;
    return kova::htmlLine({says.severity, line.line, says.words})
        .replace(errorColour, errorShown)
        .replace(warningColour, warningShown);
}

int LogLines::size(const Line& line) const
{
    return line.text < 0 ? m_plain.at(-1 - line.text).size() : m_texts.at(line.text).richSize + digits(line.line);
}

void LogLines::clear()
{
    beginResetModel();
    m_plain.clear();
    m_texts = {};
    m_lines = {};
    m_held = {};
    m_longest = 0;
    m_heldLongest = 0;
    m_heldLongestSize = -1;
    endResetModel();
}

void LogLines::appendPlain(const QStringList& lines)
{
    if (lines.isEmpty())
        return;
    const int first = m_lines.size;
    beginInsertRows({}, first, first + lines.size() - 1);
    for (const QString& line : lines) {
        if (m_lines.size == 0 || line.size() > size(m_lines.at(m_longest)))
            m_longest = m_lines.size;
        m_lines.append({0, -1 - m_plain.size()});
        m_plain.append(line);
    }
    endInsertRows();
}

void LogLines::holdMessages(const LogBatch& batch)
{
    for (const LogBatch::Text& says : batch.texts)
        m_texts.append({says, int(kova::htmlLine({says.severity, 0, says.words}).size()) - 1});
    // Markup is longer than what it shows, so a long line here is long on
    // screen too; found as the lines arrive, the summary need not read them.
    for (const LogBatch::Message& message : batch.messages) {
        const Line line{message.line, message.text};
        const int characters = size(line);
        if (characters > m_heldLongestSize) {
            m_heldLongestSize = characters;
            m_heldLongest = m_held.size;
        }
        m_held.append(line);
    }
}

void LogLines::showSummary(const QStringList& summary)
{
    appendPlain(summary + QStringList{QStringLiteral("-------------------------------------")});
    const int count = m_held.size;
    if (count == 0)
        return;
    const int first = m_lines.size;
    beginInsertRows({}, first, first + count - 1);
    if (m_heldLongestSize > size(m_lines.at(m_longest)))
        m_longest = first + m_heldLongest;
    m_lines.take(m_held);
    m_heldLongest = 0;
    m_heldLongestSize = -1;
    endInsertRows();
}

QString LogLines::plainLine(int row) const
{
    const Line line = m_lines.at(row);
    if (line.text < 0)
        return m_plain.at(-1 - line.text);
    return QTextDocumentFragment::fromHtml(renderMessage(line)).toPlainText();
}

int LogLines::messageLine(int row) const
{
    if (row < 0 || row >= m_lines.size || m_lines.at(row).text < 0)
        return 0;
    return m_lines.at(row).line;
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
    return parent.isValid() ? 0 : m_lines.size;
}

QVariant LogLines::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return plainLine(index.row());
    const Line line = m_lines.at(index.row());
    if (role == RichTextRole)
        return line.text < 0 ? QString() : renderMessage(line);
    // Colour alone would not tell an error from a warning to everyone.
    if (role == Qt::DecorationRole) {
        if (line.text < 0)
            return {};
        const bool error = m_texts.at(line.text).says.severity == kova::Severity::Error;
        return QApplication::style()->standardIcon(error ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxWarning);
    }
    if (role == Qt::ToolTipRole && m_sheetRowOf) {
        const int n = messageLine(index.row());
        const int sheetRow = n > 0 ? m_sheetRowOf(n) : 0;
        if (sheetRow > 0)
            return QStringLiteral("LINE %1 is row %2 of the sheet").arg(n).arg(sheetRow);
    }
    return {};
}
