#include "csvquotes.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace reader {

namespace {

constexpr std::size_t kNone = std::string::npos;

bool isLineBreak(char c)
{
    return c == '\n' || c == '\r';
}

// The first quote in [from, to), kNone when there is none.
std::size_t quoteIn(const char* text, std::size_t from, std::size_t to)
{
    const void* found = std::memchr(text + from, '"', to - from);
    return found ? std::size_t(static_cast<const char*>(found) - text) : kNone;
}

std::size_t lineEndFrom(const char* text, std::size_t size, std::size_t from)
{
    std::size_t at = from;
    while (at < size && !isLineBreak(text[at]))
        ++at;
    return at;
}

// Where the spaces after a quote end when only they lie between it and the
// delimiter or the end of its line: then LibreOffice takes the quote for the
// end of its field. kNone otherwise.
std::size_t spacesToFieldEnd(const char* text, std::size_t quote, std::size_t lineEnd, char delimiter)
{
    std::size_t next = quote + 1;
    while (next < lineEnd && text[next] == ' ')
        ++next;
    return next == lineEnd || text[next] == delimiter ? next : kNone;
}

// Whether LibreOffice ends the row that starts at begin at the line end at
// end, one of whose lines holds a lone quote. It decides where a row ends
// before it reads the row's fields, by counting quotes: it reads on into the
// next line while the count is odd, unless the last quote it weighed was a
// lone one (neither doubled nor the end of its field).
bool libreOfficeEndsRow(const char* text, std::size_t begin, std::size_t end, char delimiter)
{
    enum class Last { FieldStart, First, Second, FieldEnd, Lone };
    std::size_t quotes = 0;
    Last last = Last::FieldEnd;
    bool fieldStart = true;
    for (std::size_t at = begin; at < end; ++at) {
        const char c = text[at];
        // Outside quotes, a quote inside a field's text is not weighed.
        if (c == '"' && (fieldStart || last != Last::FieldEnd)) {
            if (quotes % 2 == 0)
                last = at > begin && text[at - 1] == '"' ? Last::Second : Last::FieldStart;
            else if (at + 1 < end && text[at + 1] == '"')
                last = Last::First;
            else
                last = spacesToFieldEnd(text, at, end, delimiter) != kNone ? Last::FieldEnd : Last::Lone;
            quotes += last != Last::Lone;
            fieldStart = false;
        } else if (last == Last::FieldEnd && c != '"') {
            // Spaces before a quote leave the field at its start.
            fieldStart = c == delimiter || (fieldStart && c == ' ');
        }
    }
    return quotes % 2 == 0 || last == Last::Lone;
}

class QuoteScan final
{
public:
    QuoteScan(const char* text, std::size_t size, char delimiter)
        : m_text(text), m_size(size), m_delimiter(delimiter)
    {
    }

    QuoteReading read()
    {
        QuoteReading reading;
        for (std::size_t at = quoteIn(m_text, 0, m_size); at != kNone; at = quoteIn(m_text, at, m_size)) {
            const std::size_t begin = fieldBegin(at);
            if (begin == kNone) {
                ++at;   // inside an unquoted field: a character like any other
                continue;
            }
            at = quotedField(begin, at, reading);
            if (reading.fault != QuoteReading::Fault::None)
                return reading;
        }
        if (m_copied > 0) {
            m_requoted.append(m_text + m_copied, m_size - m_copied);
            reading.requoted = std::move(m_requoted);
        }
        reading.lineBreaksInFields = m_spanEnd != kNone;
        return reading;
    }

private:
    // Where the field of the quote at quote begins when the quote opens it:
    // as the field's first character, or after spaces only (some programs
    // write a space after each delimiter; LibreOffice drops them). kNone when
    // the quote is inside the field's text.
    std::size_t fieldBegin(std::size_t quote) const
    {
        std::size_t begin = quote;
        while (begin > 0 && m_text[begin - 1] == ' ')
            --begin;
        return begin == 0 || m_text[begin - 1] == m_delimiter || isLineBreak(m_text[begin - 1]) ? begin : kNone;
    }

    // The line starting at lineBegin goes on a row begun above it: a quoted
    // field ran into it.
    bool continuesRow(std::size_t lineBegin) const
    {
        return m_spanEnd != kNone && m_spanEnd >= lineBegin;
    }

    std::size_t lineStart(std::size_t at) const
    {
        while (at > 0 && !isLineBreak(m_text[at - 1]))
            --at;
        return at;
    }

    // Reads the quoted field from begin, opening at the quote at open;
    // returns where the text goes on after it.
    std::size_t quotedField(std::size_t begin, std::size_t open, QuoteReading& reading)
    {
        // Byte by byte: most quoted fields are a few bytes long, and the
        // line breaks they hold are wanted too.
        std::size_t close = open + 1;
        bool spansLines = false;
        for (;; ++close) {
            if (close == m_size)
                return refuse(reading, QuoteReading::Fault::NeverClosed, open);
            const char c = m_text[close];
            if (c == '"') {
                if (close + 1 < m_size && m_text[close + 1] == '"')
                    ++close;
                else
                    break;
            }
            spansLines = spansLines || isLineBreak(c);
        }
        const std::size_t after = close + 1;
        if (after == m_size || m_text[after] == m_delimiter || isLineBreak(m_text[after])) {
            // A line that held a lone quote is a row of its own to
            // LibreOffice: a field of it read on into the next line would
            // move that line's cells into this row.
            if (spansLines && open < m_loneLineEnd)
                return refuse(reading, QuoteReading::Fault::LoneQuote, m_loneAt);
            if (spansLines) {
                const std::size_t lineBegin = lineStart(begin);
                m_spanRowStart = continuesRow(lineBegin) ? m_spanRowStart : lineBegin;
                m_spanEnd = close;
            }
            if (begin < open)
                requote(begin, after, open + 1, close, {});
            return after;
        }
        // Which lines make the row of a field that runs over several lines
        // and goes on after a lone quote is anyone's guess.
        if (spansLines)
            return refuse(reading, QuoteReading::Fault::LoneQuote, close);
        return loneQuoteField(begin, open, close, reading);
    }

    // Reads the field from begin, opening at the quote at open, as LibreOffice
    // does after the lone quote at close; returns where the text goes on after it.
    std::size_t loneQuoteField(std::size_t begin, std::size_t open, std::size_t close, QuoteReading& reading)
    {
        // A line is weighed once however many lone quotes it holds, or a
        // long line of them would cost its length for each.
        if (close >= m_loneLineEnd) {
            const std::size_t lineBegin = lineStart(begin);
            const std::size_t rowStart = continuesRow(lineBegin) ? m_spanRowStart : lineBegin;
            m_loneLineEnd = lineEndFrom(m_text, m_size, close);
            m_noEndFrom = m_loneLineEnd;
            if (!libreOfficeEndsRow(m_text, rowStart, m_loneLineEnd, m_delimiter))
                return refuse(reading, QuoteReading::Fault::LoneQuote, close);
        }
        const std::size_t lineEnd = m_loneLineEnd;
        std::size_t spacesEnd = kNone;
        std::size_t end = kNone;
        if (close < m_noEndFrom) {
            end = fieldEndQuote(close, lineEnd, spacesEnd);
        } else {
            // Past the quote itself the search would walk as the one that
            // found no end walked from close + 1.
            spacesEnd = spacesToFieldEnd(m_text, close, lineEnd, m_delimiter);
            end = spacesEnd != kNone ? close : kNone;
        }
        if (end == kNone)
            m_noEndFrom = std::min(m_noEndFrom, close);
        std::size_t fieldEnd;
        if (end != kNone) {
            // The field would swallow the delimiter and the cells after it move one column to the left.
            if (std::memchr(m_text + open, m_delimiter, end - open))
                return refuse(reading, QuoteReading::Fault::LoneQuote, close);
            fieldEnd = spacesEnd;
            requote(begin, fieldEnd, open + 1, end, std::string_view(m_text + end + 1, spacesEnd - end - 1));
        } else {
            // Read as if unquoted, from the quote to the delimiter.
            const void* delimiter = std::memchr(m_text + open, m_delimiter, lineEnd - open);
            fieldEnd = delimiter ? std::size_t(static_cast<const char*>(delimiter) - m_text) : lineEnd;
            requoteAsWritten(begin, fieldEnd, open);
        }
        m_loneAt = close;
        return fieldEnd;
    }

    // From a lone quote at from, the first later quote of its line LibreOffice
    // takes for the field's end: one followed by spaces only before the
    // delimiter or the end of the line. spacesEnd is where those spaces end.
    std::size_t fieldEndQuote(std::size_t from, std::size_t lineEnd, std::size_t& spacesEnd) const
    {
        for (std::size_t at = quoteIn(m_text, from, lineEnd); at != kNone; at = quoteIn(m_text, at, lineEnd)) {
            if (at + 1 < lineEnd && m_text[at + 1] == '"') {
                at += 2;
                continue;
            }
            spacesEnd = spacesToFieldEnd(m_text, at, lineEnd, m_delimiter);
            if (spacesEnd != kNone)
                return at;
            ++at;
        }
        return kNone;
    }

    // The text from begin to end is to read as the text from contentBegin to
    // contentEnd, each doubled quote as one, followed by after: it is copied
    // for libcsv quoted as RFC 4180 quotes it.
    void requote(std::size_t begin, std::size_t end, std::size_t contentBegin, std::size_t contentEnd,
                 std::string_view after)
    {
        startQuoted(begin);
        // A doubled quote stays doubled, a lone one is doubled.
        for (std::size_t at = contentBegin; at < contentEnd; ++at) {
            m_requoted += m_text[at];
            if (m_text[at] == '"') {
                m_requoted += '"';
                at += at + 1 < contentEnd && m_text[at + 1] == '"';
            }
        }
        appendQuoted(after);
        endQuoted(end);
    }

    // The same for a field that reads as written, from contentBegin to end.
    void requoteAsWritten(std::size_t begin, std::size_t end, std::size_t contentBegin)
    {
        startQuoted(begin);
        appendQuoted(std::string_view(m_text + contentBegin, end - contentBegin));
        endQuoted(end);
    }

    void startQuoted(std::size_t begin)
    {
        if (m_copied == 0)
            m_requoted.reserve(m_size + m_size / 8);
        m_requoted.append(m_text + m_copied, begin - m_copied);
        m_requoted += '"';
    }

    void appendQuoted(std::string_view text)
    {
        for (char c : text) {
            if (c == '"')
                m_requoted += '"';
            m_requoted += c;
        }
    }

    void endQuoted(std::size_t end)
    {
        m_requoted += '"';
        m_copied = end;
    }

    static std::size_t refuse(QuoteReading& reading, QuoteReading::Fault fault, std::size_t at)
    {
        reading.fault = fault;
        reading.at = at;
        return kNone;
    }

    const char* const m_text;
    const std::size_t m_size;
    const char m_delimiter;
    // The text up to m_copied with the fields read the LibreOffice way quoted again.
    std::string m_requoted;
    std::size_t m_copied = 0;
    // The closing quote of the last quoted field that ran over a line break,
    // and where the row it is part of starts.
    std::size_t m_spanEnd = kNone;
    std::size_t m_spanRowStart = 0;
    // The last lone quote that was read the LibreOffice way, and the end of
    // its line; from m_noEndFrom to that end no quote ends a field.
    std::size_t m_loneAt = 0;
    std::size_t m_loneLineEnd = 0;
    std::size_t m_noEndFrom = 0;
};

} // namespace

QuoteReading readQuotes(const char* utf8, std::size_t size, char delimiter)
{
    return QuoteScan(utf8, size, delimiter).read();
}

} // namespace reader
