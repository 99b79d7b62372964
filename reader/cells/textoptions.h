#pragma once

#include <QString>

#include <optional>

namespace reader {

enum class TextEncoding
{
    Detect,      // a byte order mark, else UTF-8 when the bytes are valid UTF-8, else Windows-1252
    Utf8,
    Utf16LE,
    Utf16BE,
    Windows1252,
};

// How a date written with its day and month as numbers is read when no
// date of its column tells; yyyy-mm-dd is read as such in either order.
enum class DateOrder
{
    DayMonthYear,
    MonthDayYear,
};

// The character between the whole units and the cents of an amount written
// as text; the other one of the two groups thousands.
enum class DecimalMark
{
    Dot,
    Comma,
};

// How delimited text is read. The defaults find the delimiter and the
// encoding from the content; dates and amounts are read by what their
// columns show, and these say what to do where a column leaves it open.
struct TextOptions
{
    char delimiter = 0;   // ',', ';', '\t' or '|'; 0: found from the content
    TextEncoding encoding = TextEncoding::Detect;
    DateOrder dateOrder = DateOrder::DayMonthYear;
    // nullopt: learned from the amounts; a column that does not tell is refused.
    std::optional<DecimalMark> decimalMark;
};

// The names the command line and the window use: "comma", "semicolon", "tab",
// "pipe" or the character itself; "utf-8", "utf-16le", "utf-16be",
// "windows-1252"; "dmy", "mdy"; "dot", "comma" or the character itself.
// Case is ignored; nullopt for any other name.
std::optional<char> delimiterNamed(const QString& name);
std::optional<TextEncoding> encodingNamed(const QString& name);
std::optional<DateOrder> dateOrderNamed(const QString& name);
std::optional<DecimalMark> decimalMarkNamed(const QString& name);

} // namespace reader
