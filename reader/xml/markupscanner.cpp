#include "markupscanner.h"

#include "reader/xml/markupbytes.h"

#include <algorithm>
#include <cstring>

namespace reader {

using namespace markup;

namespace {

// Bytes held back for a tag or text that has not ended yet; past this the
// scanner leaves the part to expat rather than grow.
constexpr std::size_t kMaxPending = 16 * 1024 * 1024;
// Markup cut off at the end of one feed is completed from the next by joining
// this many of its bytes, and all of them when that is not enough: the bytes
// fed are scanned where they lie, and mostly only that much is copied. (Joined
// in ever larger steps instead, a text of megabytes would be scanned again at
// every step.)
constexpr std::size_t kFirstJoin = 4096;
constexpr long kMore = 0;
constexpr long kGiveUp = -1;
constexpr long kStopped = -2;

// Names in a sheet are a few bytes long: a loop beats a call to memcmp.
inline bool sameBytes(const char* a, const char* b, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

char predefinedEntity(const char* name, std::size_t size)
{
    const auto is = [&](const char* entity) { return std::strlen(entity) == size && std::memcmp(name, entity, size) == 0; };
    if (is("amp"))
        return '&';
    if (is("lt"))
        return '<';
    if (is("gt"))
        return '>';
    if (is("quot"))
        return '"';
    if (is("apos"))
        return '\'';
    return '\0';
}

} // namespace

MarkupScanner::MarkupScanner(MarkupEvents& events, int depthLeft)
    : m_events(events), m_depthLeft(depthLeft)
{
}

MarkupScanner::Status MarkupScanner::feed(const char* data, std::size_t size)
{
    if (m_finished)
        return Status::GiveUp;
    if (!m_pending.empty()) {
        // Markup cut off at the end of the last bytes: as few of these as
        // complete it are joined to it, and the rest is scanned where it lies.
        const std::size_t carried = m_pending.size();
        std::size_t joined = 0;
        for (std::size_t step = kFirstJoin;; step = size) {
            const std::size_t more = std::min(step, size - joined);
            m_pending.append(data + joined, more);
            joined += more;
            m_data = m_pending.data();
            m_size = m_pending.size();
            const Status status = scan(carried);
            if (status == Status::More && m_done >= carried) {
                m_done -= carried;
                break;
            }
            if (status != Status::More || joined == size) {
                m_pending.erase(0, m_done);
                m_done = 0;
                if (status == Status::Done)
                    m_pending.append(data + joined, size - joined);
                return status == Status::More && m_pending.size() > kMaxPending ? Status::GiveUp : status;
            }
        }
    }
    m_data = data;
    m_size = size;
    const Status status = scan(size);
    m_pending.assign(data + m_done, size - m_done);
    m_done = 0;
    return status == Status::More && m_pending.size() > kMaxPending ? Status::GiveUp : status;
}

MarkupScanner::Status MarkupScanner::scan(std::size_t stop)
{
    while (m_done < stop) {
        long used;
        if (m_data[m_done] == '<') {
            used = plain(m_done);
            if (used == 0)
                used = tag(m_done);
        } else {
            used = text(m_done);
        }
        if (m_finished)
            return Status::Done;
        if (used == kMore)
            return Status::More;
        if (used == kGiveUp)
            return Status::GiveUp;
        if (used == kStopped)
            return Status::Stopped;
        m_done += std::size_t(used);
    }
    return Status::More;
}

long MarkupScanner::text(std::size_t from)
{
    const char* begin = m_data + from;
    const char* stop = static_cast<const char*>(std::memchr(begin, '<', m_size - from));
    if (!stop)
        return kMore;
    const bool collecting = m_events.collectingText();
    if (collecting)
        m_decoded.clear();
    const char* plain = begin;
    for (const char* p = begin; p < stop;) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 0x80) {
            const std::size_t length = utf8Length(reinterpret_cast<const unsigned char*>(p),
                                                  reinterpret_cast<const unsigned char*>(stop));
            if (length == 0)
                return kGiveUp;
            p += length;
        } else if (c == '&') {
            const char* semicolon = static_cast<const char*>(std::memchr(p, ';', std::size_t(stop - p)));
            if (!semicolon)
                return kGiveUp;
            const char decoded = predefinedEntity(p + 1, std::size_t(semicolon - p - 1));
            if (decoded == '\0')
                return kGiveUp;
            if (collecting) {
                m_decoded.append(plain, std::size_t(p - plain));
                m_decoded += decoded;
            }
            p = semicolon + 1;
            plain = p;
        } else if (c == '>') {
            // "]]>" may not appear in text.
            if (p - begin >= 2 && p[-1] == ']' && p[-2] == ']')
                return kGiveUp;
            ++p;
        } else if (c < 0x20 && c != '\t' && c != '\n') {
            // Carriage returns would need expat's line-end handling.
            return kGiveUp;
        } else {
            ++p;
        }
    }
    if (collecting && stop > begin) {
        bool ok;
        if (plain == begin) {
            ok = m_events.text(begin, std::size_t(stop - begin));
        } else {
            m_decoded.append(plain, std::size_t(stop - plain));
            ok = m_events.text(m_decoded.data(), m_decoded.size());
        }
        if (!ok)
            return kStopped;
    }
    return long(stop - begin);
}

long MarkupScanner::plain(std::size_t from)
{
    if (from + 1 >= m_size || !isNameStart(m_data[from + 1]))
        return 0;
    std::size_t used = 0;
    if (!m_events.plain(m_data + from, m_size - from, m_depthLeft - int(m_openEnds.size()), used))
        return kStopped;
    return long(used);
}

long MarkupScanner::tag(std::size_t from)
{
    const char* const base = m_data;
    const std::size_t size = m_size;
    std::size_t i = from + 1;
    if (i >= size)
        return kMore;
    if (base[i] == '/')
        return endTag(from);
    if (!isNameStart(base[i]))
        return kGiveUp;   // comments, CDATA, processing instructions, errors
    const std::size_t nameBegin = i;
    while (i < size && isNameChar(base[i]))
        ++i;
    if (i >= size)
        return kMore;
    const std::size_t nameEnd = i;

    // Attributes as (name begin, name end, value begin, value end).
    struct Span { std::size_t nameBegin, nameEnd, valueBegin, valueEnd; };
    Span spans[16];
    int count = 0;
    bool empty = false;
    for (;;) {
        const std::size_t beforeSpace = i;
        while (i < size && isSpace(base[i]))
            ++i;
        if (i >= size)
            return kMore;
        if (base[i] == '>') {
            ++i;
            break;
        }
        if (base[i] == '/') {
            if (i + 1 >= size)
                return kMore;
            if (base[i + 1] != '>')
                return kGiveUp;
            i += 2;
            empty = true;
            break;
        }
        if (i == beforeSpace || !isNameStart(base[i]) || count == 16)
            return kGiveUp;
        Span& span = spans[count++];
        span.nameBegin = i;
        while (i < size && isNameChar(base[i]))
            ++i;
        span.nameEnd = i;
        while (i < size && isSpace(base[i]))
            ++i;
        if (i >= size)
            return kMore;
        if (base[i] != '=')
            return kGiveUp;
        ++i;
        while (i < size && isSpace(base[i]))
            ++i;
        if (i >= size)
            return kMore;
        const char quote = base[i];
        if (quote != '"' && quote != '\'')
            return kGiveUp;
        span.valueBegin = ++i;
        while (i < size && base[i] != quote) {
            if (has(base[i], ValueStop))
                return kGiveUp;
            ++i;
        }
        if (i >= size)
            return kMore;
        span.valueEnd = i++;
    }
    const std::size_t used = i - from;

    for (int a = 0; a < count; ++a)
        for (int b = 0; b < a; ++b)
            if (spans[a].nameEnd - spans[a].nameBegin == spans[b].nameEnd - spans[b].nameBegin
                && sameBytes(base + spans[a].nameBegin, base + spans[b].nameBegin,
                             spans[a].nameEnd - spans[a].nameBegin))
                return kGiveUp;
    if (int(m_openEnds.size()) >= m_depthLeft)
        return kGiveUp;

    // A copy of the tag becomes the strings the events take: the bytes fed
    // are the caller's.
    m_tag.assign(base + from, used);
    const auto copied = [this, from](std::size_t at) { return &m_tag[at - from]; };
    m_attributes.clear();
    for (int a = 0; a < count; ++a) {
        *copied(spans[a].nameEnd) = '\0';
        *copied(spans[a].valueEnd) = '\0';
        m_attributes.push_back(copied(spans[a].nameBegin));
        m_attributes.push_back(copied(spans[a].valueBegin));
    }
    m_attributes.push_back(nullptr);
    *copied(nameEnd) = '\0';
    const char* name = copied(nameBegin);
    if (!m_events.start(name, m_attributes.data()))
        return kStopped;
    if (empty) {
        if (!m_events.end(name))
            return kStopped;
    } else {
        m_openNames.append(name, nameEnd - nameBegin + 1);
        m_openEnds.push_back(m_openNames.size());
    }
    return long(used);
}

long MarkupScanner::endTag(std::size_t from)
{
    const char* const base = m_data;
    const std::size_t size = m_size;
    std::size_t i = from + 2;
    const std::size_t nameBegin = i;
    while (i < size && isNameChar(base[i]))
        ++i;
    const std::size_t nameEnd = i;
    while (i < size && isSpace(base[i]))
        ++i;
    if (i >= size)
        return kMore;
    if (base[i] != '>' || nameEnd == nameBegin)
        return kGiveUp;
    if (m_openEnds.empty()) {
        // The end of the content: expat takes over from this tag.
        m_finished = true;
        return 0;
    }
    const std::size_t openEnd = m_openEnds.back() - 1;
    const std::size_t openBegin = m_openEnds.size() > 1 ? m_openEnds[m_openEnds.size() - 2] : 0;
    const char* open = m_openNames.data() + openBegin;
    if (openEnd - openBegin != nameEnd - nameBegin || !sameBytes(open, base + nameBegin, openEnd - openBegin))
        return kGiveUp;
    if (!m_events.end(open))
        return kStopped;
    m_openEnds.pop_back();
    m_openNames.resize(openBegin);
    return long(i + 1 - from);
}

} // namespace reader
