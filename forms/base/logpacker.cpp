#include "logpacker.h"

#include <algorithm>

namespace {

// Enough for the values a column repeats; a column of unique values stops
// being collected there.
constexpr int numberedPerColumn = 1024;
constexpr uint slotMask = 2 * numberedPerColumn - 1;
// Lookups after that which tell whether the column is worth looking up, and
// the share of them that must find a number.
constexpr int trialLookups = 4096;
constexpr int foundShare = 8;
// Far more than the fields and kinds of message a type has.
constexpr int textsHeld = 4096;

bool sameText(const LogBatch::Text& text, const kova::RowMessage& message)
{
    return text.severity == message.severity && text.words == message.words;
}

} // namespace

void LogPacker::add(const kova::RowReport& report)
{
    m_batch.rows.append({m_used, report.sheetRow, qint16(report.values.size()), qint16(report.amountColumn)});
    if (m_columns.size() < report.values.size())
        m_columns.resize(report.values.size());
    Column* columns = m_columns.data();
    for (int column = 0; column < report.values.size(); ++column)
        put(columns[column], column, report.values.at(column));
    const int firstMessage = m_batch.messages.size();
    for (const kova::RowMessage& message : report.messages)
        m_batch.messages.append({message.line, textNumber(message)});
    for (const kova::MarkedCell& cell : report.cells)
        mark(cell, true, firstMessage, report.messages.size());
    for (const kova::MarkedCell& cut : report.warningCells)
        mark(cut, false, firstMessage, report.messages.size());
}

int LogPacker::textNumber(const kova::RowMessage& message)
{
    if (m_lastText >= 0 && sameText(m_texts.at(m_lastText), message))
        return m_lastText;
    const kova::MessageWords& w = message.words;
    const uint hash = qHash(w.after, qHash(w.title, qHash(w.before, uint(message.severity))));
    for (auto it = m_textNumbers.constFind(hash); it != m_textNumbers.cend() && it.key() == hash; ++it) {
        if (sameText(m_texts.at(*it), message))
            return m_lastText = *it;
    }
    const int number = m_textCount++;
    m_batch.texts.append({message.severity, w});
    m_lastText = -1;
    if (m_texts.size() < textsHeld) {
        m_texts.append(m_batch.texts.last());
        m_textNumbers.insert(hash, number);
        m_lastText = number;
    }
    return number;
}

void LogPacker::mark(const kova::MarkedCell& cell, bool error, int firstMessage, int messages)
{
    const bool told = cell.message >= 0 && cell.message < messages;
    m_batch.marks.append({m_batch.rows.size() - 1, cell.row, cell.column, error, told ? firstMessage + cell.message : -1});
}

void LogPacker::put(Column& held, int column, const QString& value)
{
    quint64 number;
    if (held.comparesLast) {
        if (held.lastWritten && held.last == value) {
            ++held.repeated;
        } else {
            held.last = value;
            held.lastWritten = true;
            held.lastNumber = numberOf(held, column, value);
        }
        number = held.lastNumber;
        if (++held.compared == trialRows && held.repeated * foundShare < trialRows) {
            held.comparesLast = false;
            held.last.clear();
        }
    } else {
        number = numberOf(held, column, value);
    }
    if (number)
        m_used = int(LogBatch::putNumber(room(10), number) - m_batch.text.constData());
    else
        putText(value);
}

int LogPacker::Column::find(const QString& value, uint hash) const
{
    if (table.isEmpty())
        return -1;
    for (uint at = hash & slotMask;; at = (at + 1) & slotMask) {
        const quint64 slot = table.at(int(at));
        if (!slot)
            return -1;
        const int index = int(quint32(slot)) - 1;
        if (quint32(slot >> 32) == hash && numbered.at(index) == value)
            return index;
    }
}

void LogPacker::Column::number(const QString& value, uint hash)
{
    if (table.isEmpty())
        table.fill(0, int(slotMask) + 1);
    // Never full: at most half its slots are taken.
    uint at = hash & slotMask;
    while (table.at(int(at)))
        at = (at + 1) & slotMask;
    table[int(at)] = (quint64(hash) << 32) | quint64(numbered.size() + 1);
    numbered.append(value);
}

quint64 LogPacker::numberOf(Column& held, int index, const QString& value)
{
    if (!held.lookedUp)
        return 0;
    const uint hash = qHash(value);
    int known = held.find(value, hash);
    if (held.numbered.size() < numberedPerColumn) {
        if (known < 0) {
            known = held.numbered.size();
            held.number(value, hash);
            m_batch.numbered.append({index, value});
        }
    } else {
        ++held.lookups;
        held.found += known >= 0;
        if (held.lookups == trialLookups)
            held.lookedUp = held.found * foundShare >= trialLookups;
    }
    return known >= 0 ? (quint64(known) << 1) | 1 : 0;
}

char* LogPacker::room(int bytes)
{
    if (m_batch.text.size() - m_used < bytes)
        m_batch.text.resize(qMax(2 * m_batch.text.size(), m_used + bytes));
    return m_batch.text.data() + m_used;
}

// As UTF-8 after its length; most values are ASCII, and go without a copy in between.
void LogPacker::putText(const QString& value)
{
    const QChar* begin = value.constData();
    const QChar* end = begin + value.size();
    if (std::any_of(begin, end, [](QChar ch) { return ch.unicode() >= 0x80; })) {
        const QByteArray utf8 = value.toUtf8();
        char* out = LogBatch::putNumber(room(10 + utf8.size()), quint64(utf8.size()) << 1);
        out = std::copy(utf8.constData(), utf8.constData() + utf8.size(), out);
        m_used = int(out - m_batch.text.constData());
        return;
    }
    char* out = LogBatch::putNumber(room(10 + value.size()), quint64(value.size()) << 1);
    for (const QChar* ch = begin; ch != end; ++ch)
        *out++ = char(ch->unicode());
    m_used = int(out - m_batch.text.constData());
}

LogBatch LogPacker::take()
{
    const int used = m_used;
    m_batch.text.resize(used);
    LogBatch taken = std::move(m_batch);
    m_batch = {};
    m_used = 0;
    // The next batch is about as long.
    m_batch.text.resize(used + used / 8);
    return taken;
}
