#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace reader {

// What the scanner reports to; the names are full (prefixed) names.
class MarkupEvents
{
public:
    virtual ~MarkupEvents() = default;
    // False stops the scan (the handler failed or a limit was broken).
    virtual bool start(const char* name, const char** attributes) = 0;
    virtual bool end(const char* name) = 0;
    virtual bool text(const char* data, std::size_t size) = 0;
    virtual bool collectingText() const = 0;
    // Whole elements the receiver reads itself, straight from the bytes from
    // a start tag on (size of them; depthLeft more elements may open): used
    // is what it took, 0 to have them scanned.
    virtual bool plain(const char* data, std::size_t size, int depthLeft, std::size_t& used) = 0;
};

// Reads the content of one element (a sheet's rows: millions of plain
// elements, where a general parser spends most of the time) much faster than
// expat, for the plain markup that content is made of: elements, attributes
// of ASCII text without references, and text with the five predefined
// entities in well-formed UTF-8. Anything else (comments, CDATA, references
// by number, carriage returns, malformed markup) it does not judge: it
// gives up, and the caller reads the part with expat instead, so that every
// part reads exactly as expat reads it.
class MarkupScanner final
{
public:
    enum class Status { More, Done, GiveUp, Stopped };

    MarkupScanner(MarkupEvents& events, int depthLeft);

    // Takes the next bytes. Done once the end tag of the element whose
    // content this is has been reached: rest() holds the bytes from that end
    // tag on, for expat.
    Status feed(const char* data, std::size_t size);
    const std::string& rest() const { return m_pending; }

private:
    // Scans m_data from m_done while markup begins before stop, each piece
    // of it to its end even past stop.
    Status scan(std::size_t stop);
    // Each returns the bytes consumed, 0 when more are needed (plain: when
    // the events took nothing), or -1 to give up (-2 when the events stopped
    // the scan).
    long text(std::size_t from);
    long plain(std::size_t from);
    long tag(std::size_t from);
    long endTag(std::size_t from);

    MarkupEvents& m_events;
    const int m_depthLeft;
    // The bytes scanned: those fed, or m_pending while it is joined to them.
    const char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_done = 0;
    // The bytes of the last feed not yet consumed: markup cut off by its end.
    std::string m_pending;
    // The tag being reported, its names and values ended by NULs.
    std::string m_tag;
    // The names of the open elements, each with its NUL, and where each ends.
    std::string m_openNames;
    std::vector<std::size_t> m_openEnds;
    std::string m_decoded;
    std::vector<const char*> m_attributes;
    bool m_finished = false;
};

} // namespace reader
