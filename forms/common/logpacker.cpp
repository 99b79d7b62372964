#include "logpacker.h"

#include "render/messagetext.h"

#include <algorithm>

namespace {

// Enough for the values a column repeats; a column of unique values stops
// being collected there.
constexpr int numberedPerColumn = 1024;
// Lookups after that which tell whether the column is worth looking up, and
// the share of them that must find a number.
constexpr int trialLookups = 4096;
constexpr int foundShare = 8;

} // namespace

void LogPacker::add(const kova::RowReport& report)
{
    m_batch.rows.append({m_batch.text.size(), report.sheetRow, qint16(report.values.size()), qint16(report.amountColumn)});
    for (int column = 0; column < report.values.size(); ++column)
        put(column, report.values.at(column));
    for (const kova::MarkedCell& cell : report.cells)
        mark(cell, true, report);
    for (const kova::MarkedCell& cut : report.warningCells)
        mark(cut, false, report);
    m_batch.messages += kova::htmlLines(report.messages);
}

void LogPacker::mark(const kova::MarkedCell& cell, bool error, const kova::RowReport& report)
{
    LogBatch::Mark mark{m_batch.rows.size() - 1, cell.row, cell.column, error, -1};
    if (cell.message >= 0 && cell.message < report.messages.size()) {
        mark.tip = m_batch.tips.size();
        m_batch.tips.append(kova::plainLine(report.messages.at(cell.message)));
    }
    m_batch.marks.append(mark);
}

void LogPacker::put(int column, const QString& value)
{
    if (m_columns.size() <= column)
        m_columns.resize(column + 1);
    Column& held = m_columns[column];
    if (!held.lastWritten || held.last != value) {
        held.last = value;
        held.lastWritten = true;
        held.lastNumber = numberOf(held, column, value);
    }
    if (held.lastNumber)
        LogBatch::putNumber(m_batch.text, held.lastNumber);
    else
        putText(value);
}

quint64 LogPacker::numberOf(Column& held, int index, const QString& value)
{
    if (!held.lookedUp)
        return 0;
    auto known = held.ids.constFind(value);
    if (held.ids.size() < numberedPerColumn) {
        if (known == held.ids.constEnd()) {
            known = held.ids.insert(value, held.ids.size());
            m_batch.numbered.append({index, value});
        }
    } else {
        ++held.lookups;
        held.found += known != held.ids.constEnd();
        if (held.lookups == trialLookups)
            held.lookedUp = held.found * foundShare >= trialLookups;
    }
    return known != held.ids.constEnd() ? (quint64(*known) << 1) | 1 : 0;
}

// As UTF-8 after its length; most values are ASCII, and go without a copy in between.
void LogPacker::putText(const QString& value)
{
    const QChar* begin = value.constData();
    const QChar* end = begin + value.size();
    if (std::any_of(begin, end, [](QChar ch) { return ch.unicode() >= 0x80; })) {
        const QByteArray utf8 = value.toUtf8();
        LogBatch::putNumber(m_batch.text, quint64(utf8.size()) << 1);
        m_batch.text += utf8;
        return;
    }
    LogBatch::putNumber(m_batch.text, quint64(value.size()) << 1);
    const int at = m_batch.text.size();
    m_batch.text.resize(at + value.size());
    char* out = m_batch.text.data() + at;
    for (const QChar* ch = begin; ch != end; ++ch)
        *out++ = char(ch->unicode());
}

LogBatch LogPacker::take()
{
    LogBatch taken = std::move(m_batch);
    m_batch = {};
    // The next batch is about as long.
    m_batch.text.reserve(taken.text.size());
    return taken;
}
