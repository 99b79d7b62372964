#include "cellreference.h"

namespace reader {

bool parseRowNumber(std::string_view text, int& row)
{
    long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
        if (value > kMaxRows)
            return false;
    }
    if (value < 1)
        return false;
    row = int(value);
    return true;
}

bool parseCellReference(std::string_view text, int& row, int& column)
{
    long col = 0;
    std::size_t letters = 0;
    for (; letters < text.size(); ++letters) {
        const char c = text[letters];
        int letter;
        if (c >= 'A' && c <= 'Z')
            letter = c - 'A' + 1;
        else if (c >= 'a' && c <= 'z')
            letter = c - 'a' + 1;
        else
            break;
        col = col * 26 + letter;
        if (col > kMaxColumns)
            return false;
    }
    if (letters == 0 || !parseRowNumber(text.substr(letters), row))
        return false;
    column = int(col);
    return true;
}

} // namespace reader
