#pragma once

#include <QString>

namespace kova {

// The whole text is ASCII decimal digits (an empty text qualifies).
bool isDigitsOnly(const QString& text);

// A line feed or carriage return would split the record it is written into.
bool hasLineBreak(const QString& text);

// Every character lies from space to "~". A fixed-width record counts
// characters and the bank counts bytes; anything beyond printable ASCII can
// take more than one byte and shift every field after it.
bool isPrintableAscii(const QString& text);

// A C0 or C1 control character (tab, line break, vertical tab, form feed,
// NUL, U+0085 among them), DEL, or the line and paragraph separators U+2028
// and U+2029: each ends a line for some reader, or is no text at all. Never
// part of a record field or a file name the user meant, but easily pasted
// along with one.
bool hasControlCharacter(const QString& text);
// hasControlCharacter() of the one character.
inline bool isControlCharacter(QChar c)
{
    // ASCII, nearly every character of a sheet, without the table lookup.
    if (c.unicode() < 0x80)
        return c.unicode() < 0x20 || c.unicode() == 0x7F;
    return c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

// A mark or embedding that reorders how text around it is shown (U+200E,
// U+200F, U+061C, U+202A to U+202E, U+2066 to U+2069): a file name holding
// one reads otherwise than it is.
bool hasDirectionControl(const QString& text);

// width spaces. Records pad with the same few widths on every row: each is
// made once a thread and shared.
QString spaces(int width);

// First width characters, white space removed at both ends.
QString cutTrimmed(const QString& text, int width);

// Exactly width characters: cut, or padded on the right with spaces.
QString leftField(const QString& text, int width);

// At least width characters, padded on the right with spaces, never cut.
QString leftPadded(const QString& text, int width);

// leftField() and leftPadded() written over to, which must not be text: a
// string that holds its memory alone keeps it, so that the fields of a
// million rows are not a million allocations each.
void putLeftField(QString& to, const QString& text, int width);
void putLeftPadded(QString& to, const QString& text, int width);

// Exactly width characters: cut, or padded on the left with fill.
QString rightField(const QString& text, int width, QChar fill);

// At least width characters, padded on the left with fill, never cut.
QString rightPadded(const QString& text, int width, QChar fill);

} // namespace kova
