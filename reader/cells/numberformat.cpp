#include "numberformat.h"

namespace reader {

namespace {

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// "[h]", "[hh]", "[mm]", "[s]"...: one time letter repeated, nothing else.
bool isElapsedBracket(const std::string& inside)
{
    if (inside.empty())
        return false;
    const char letter = lower(inside[0]);
    if (letter != 'h' && letter != 'm' && letter != 's')
        return false;
    for (char c : inside)
        if (lower(c) != letter)
            return false;
    return true;
}

} // namespace

bool isBuiltInDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47)
           || (id >= 50 && id <= 58);
}

bool isDateFormatCode(const std::string& code)
{
    const std::size_t size = code.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char c = code[i];
        switch (c) {
        case ';':
            return false;
        case '"': {
            const std::size_t close = code.find('"', i + 1);
            if (close == std::string::npos)
                return false;
            i = close;
            break;
        }
        case '\\':
        case '_':
        case '*':
            ++i;
            break;
        case '[': {
            const std::size_t close = code.find(']', i + 1);
            if (close == std::string::npos)
                return false;
            if (isElapsedBracket(code.substr(i + 1, close - i - 1)))
                return true;
            i = close;
            break;
        }
        default:
            switch (lower(c)) {
            case 'd':
            case 'm':
            case 'y':
            case 'h':
            case 's':
                return true;
            default:
                break;
            }
        }
    }
    return false;
}

} // namespace reader
