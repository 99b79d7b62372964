#include "cellreference.h"

namespace xlsx {

bool parseRowNumber(const char* text, int& row)
{
    long value = 0;
    const char* p = text;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > kMaxRows)
            return false;
    }
    if (p == text || *p != '\0' || value < 1)
        return false;
    row = int(value);
    return true;
}

bool parseCellReference(const char* text, int& row, int& column)
{
    long col = 0;
    const char* p = text;
    for (;; ++p) {
        int letter;
        if (*p >= 'A' && *p <= 'Z')
            letter = *p - 'A' + 1;
        else if (*p >= 'a' && *p <= 'z')
            letter = *p - 'a' + 1;
        else
            break;
        col = col * 26 + letter;
        if (col > kMaxColumns)
            return false;
    }
    if (p == text || !parseRowNumber(p, row))
        return false;
    column = int(col);
    return true;
}

} // namespace xlsx
