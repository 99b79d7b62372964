#include "datetext.h"

#include <cstring>

namespace kova {
namespace {

// Every reader below takes what it reads from the front of [at, end) and
// leaves `at` where it stopped; none allocates, as a full-size export reads a
// million date cells.

bool isDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

bool isLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

bool take(const QChar*& at, const QChar* end, char16_t c)
{
    if (at == end || at->unicode() != c)
        return false;
    ++at;
    return true;
}

// The whole run of ASCII digits at `at` as a number, when it has minDigits to
// maxDigits of them; -1 otherwise.
int number(const QChar*& at, const QChar* end, int minDigits, int maxDigits)
{
    const QChar* p = at;
    int value = 0;
    int digits = 0;
    for (; p != end && isDigit(*p); ++p, ++digits) {
        if (digits == maxDigits)
            return -1;
        value = value * 10 + (p->unicode() - '0');
    }
    if (digits < minDigits)
        return -1;
    at = p;
    return value;
}

// Four digits, or two as spreadsheet programs widen them; -1 for anything else.
int year(const QChar*& at, const QChar* end)
{
    const QChar* start = at;
    const int value = number(at, end, 2, 4);
    if (value < 0)
        return -1;
    switch (at - start) {
    case 4:
        return value;
    case 2:
        return value < 30 ? 2000 + value : 1900 + value;
    default:
        return -1;
    }
}

struct MonthName
{
    const char* name;
    int month;
};

// English and Indonesian, whole and shortened as exports write them.
const MonthName monthNames[] = {
    {"jan", 1},      {"january", 1},   {"januari", 1},   {"feb", 2},      {"february", 2},  {"februari", 2},
    {"mar", 3},      {"march", 3},     {"maret", 3},     {"apr", 4},      {"april", 4},     {"may", 5},
    {"mei", 5},      {"jun", 6},       {"june", 6},      {"juni", 6},     {"jul", 7},       {"july", 7},
    {"juli", 7},     {"aug", 8},       {"agu", 8},       {"august", 8},   {"agustus", 8},   {"sep", 9},
    {"sept", 9},     {"september", 9}, {"oct", 10},      {"okt", 10},     {"october", 10},  {"oktober", 10},
    {"nov", 11},     {"november", 11}, {"dec", 12},      {"des", 12},     {"december", 12}, {"desember", 12},
};

// The month a run of letters names, case ignored; 0 when it names none.
int monthName(const QChar*& at, const QChar* end)
{
    char word[sizeof "september"];
    std::size_t size = 0;
    const QChar* p = at;
    for (; p != end && isLetter(*p); ++p) {
        if (size == sizeof word - 1)
            return 0;
        word[size++] = char(p->unicode() | 0x20);
    }
    word[size] = '\0';
    for (const MonthName& name : monthNames)
        if (std::strcmp(word, name.name) == 0) {
            at = p;
            return name.month;
        }
    return 0;
}

bool isNumberSeparator(char16_t c) { return c == '/' || c == '-' || c == '.'; }
bool isNamedSeparator(char16_t c) { return c == ' ' || isNumberSeparator(c); }

// A date's numbers as written: with `sure`, first is the month and second the
// day, as a named month or a leading year leaves no doubt; otherwise the
// order is the question the two readings answer.
struct DateParts
{
    int year = 0;
    int first = 0;
    int second = 0;
    bool sure = false;
};

bool readNamedMonthFirst(const QChar*& at, const QChar* end, DateParts& parts)
{
    // "Dec 5, 2026", "December 5 2026", "Dec-05-2026"
    const int month = monthName(at, end);
    if (month == 0 || at == end || !isNamedSeparator(at->unicode()))
        return false;
    const char16_t separator = (at++)->unicode();
    const int day = number(at, end, 1, 2);
    if (day < 0)
        return false;
    if (separator == ' ')
        take(at, end, ',');
    if (!take(at, end, separator))
        return false;
    parts = {year(at, end), month, day, true};
    return parts.year >= 0;
}

bool readDate(const QChar*& at, const QChar* end, DateParts& parts)
{
    if (at == end)
        return false;
    if (isLetter(*at))
        return readNamedMonthFirst(at, end, parts);

    const QChar* start = at;
    const int first = number(at, end, 1, 4);
    const auto firstDigits = at - start;
    if (first < 0 || at == end)
        return false;
    const char16_t separator = (at++)->unicode();
    if (firstDigits == 4) {
        // yyyy-mm-dd, yyyy/mm/dd
        if (separator != '-' && separator != '/')
            return false;
        const int month = number(at, end, 1, 2);
        if (month < 0 || !take(at, end, separator))
            return false;
        const int day = number(at, end, 1, 2);
        parts = {first, month, day, true};
        return day >= 0;
    }
    if (firstDigits > 2)
        return false;
    if (at != end && isLetter(*at)) {
        // "5 Dec 2026", "05-Des-2026"
        if (!isNamedSeparator(separator))
            return false;
        const int month = monthName(at, end);
        if (month == 0 || !take(at, end, separator))
            return false;
        parts = {year(at, end), month, first, true};
        return parts.year >= 0;
    }
    if (!isNumberSeparator(separator))
        return false;
    const int second = number(at, end, 1, 2);
    if (second < 0 || !take(at, end, separator))
        return false;
    parts = {year(at, end), first, second, false};
    return parts.year >= 0;
}

// Nothing, or a time of day after one space: "13:45", "00:00:00", "00:00:00.000".
bool timeOrNothing(const QChar* at, const QChar* end)
{
    if (at == end)
        return true;
    if (!take(at, end, ' '))
        return false;
    const int hours = number(at, end, 1, 2);
    if (hours < 0 || hours > 23 || !take(at, end, ':'))
        return false;
    const int minutes = number(at, end, 2, 2);
    if (minutes < 0 || minutes > 59)
        return false;
    if (take(at, end, ':')) {
        const int seconds = number(at, end, 2, 2);
        if (seconds < 0 || seconds > 59)
            return false;
        if (take(at, end, '.') && number(at, end, 1, 9) < 0)
            return false;
    }
    return at == end;
}

} // namespace

DateTextReadings readDateText(const QString& text)
{
    const QChar* at = text.constData();
    const QChar* end = at + text.size();
    while (at != end && at->isSpace())
        ++at;
    while (end != at && end[-1].isSpace())
        --end;

    DateParts parts;
    if (!readDate(at, end, parts) || !timeOrNothing(at, end))
        return {};
    // QDate refuses what no calendar holds (31/02, month 13, day 0).
    const QDate monthFirst(parts.year, parts.first, parts.second);
    if (parts.sure)
        return {monthFirst, monthFirst};
    return {QDate(parts.year, parts.second, parts.first), monthFirst};
}

} // namespace kova
