#pragma once

#include <cstddef>
#include <string>

namespace reader {

// The quotes of delimited text as spreadsheet programs read them, found
// before libcsv splits the text into fields. libcsv reads a quoted field
// that goes on after its closing quote ("bonus"x) as quoted still, and so
// runs it into the lines below it up to the next quote: one row would then
// hold the cells of two, and the row after would vanish.
//
// A quote opens a quoted field only as the first character of the field,
// or after spaces only, which are dropped (as LibreOffice drops them);
// anywhere else it is a character like any other (5" pipe), as LibreOffice
// and Excel keep it. A quoted field ends at a quote followed by the
// delimiter, a line break or the end of the text (RFC 4180), and may hold
// delimiters, line breaks and doubled quotes.
//
// A quoted field with a quote followed by anything else (a lone quote)
// reads as LibreOffice reads it, within its line: up to a later quote
// followed by nothing but spaces before the delimiter or the end of the
// line, doubled quotes as one, lone ones and those spaces kept ("a"b"c"
// reads a"b"c, "b" , reads "b "); without such a quote, as written from the
// quote up to the delimiter ("bonus"x reads "bonus"x). Where LibreOffice's
// reading would move a cell into another row or column, or makes other rows
// than RFC 4180 does, the text is refused: the field runs over several
// lines, or would read on past a delimiter, or a later quoted field of its
// line runs on into the next line, or LibreOffice, counting the quotes of
// the row, would read on into the next line.
struct QuoteReading final
{
    enum class Fault
    {
        None,
        NeverClosed,   // at: the quote that opens the field
        LoneQuote,     // at: a quote of a quoted field that is neither doubled nor its end
    };

    Fault fault = Fault::None;
    std::size_t at = 0;
    // The text with the fields read the LibreOffice way quoted as RFC 4180
    // quotes them, for libcsv; empty when no field needs it.
    std::string requoted;
    // A quoted field holds a line break: rows and lines are not one to one.
    bool lineBreaksInFields = false;
};

QuoteReading readQuotes(const char* utf8, std::size_t size, char delimiter);

} // namespace reader
