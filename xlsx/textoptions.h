#pragma once

#include <QString>

#include <optional>

namespace xlsx {

enum class TextEncoding
{
    Detect,      // a byte order mark, else UTF-8 when the bytes are valid UTF-8, else Windows-1252
    Utf8,
    Utf16LE,
    Utf16BE,
    Windows1252,
};

// How a date written with its day and month as numbers is read; yyyy-mm-dd
// is read as such in either order.
enum class DateOrder
{
    DayMonthYear,
    MonthDayYear,
};

// How delimited text is read. The defaults find the delimiter and the
// encoding from the content.
struct TextOptions
{
    char delimiter = 0;   // ',', ';', '\t' or '|'; 0: found from the content
    TextEncoding encoding = TextEncoding::Detect;
    DateOrder dateOrder = DateOrder::DayMonthYear;
};

// The names the command line and the window use: "comma", "semicolon", "tab",
// "pipe" or the character itself; "utf-8", "utf-16le", "utf-16be",
// "windows-1252"; "dmy", "mdy". Case is ignored; nullopt for any other name.
std::optional<char> delimiterNamed(const QString& name);
std::optional<TextEncoding> encodingNamed(const QString& name);
std::optional<DateOrder> dateOrderNamed(const QString& name);

// The options the user chose for the delimited text at this path, read by
// every Document opened on the path without options of its own: the window's
// choice then reaches the mapping lists and the export alike. Safe from any thread.
void chooseTextOptions(const QString& path, const TextOptions& options);
TextOptions chosenTextOptions(const QString& path);

} // namespace xlsx
