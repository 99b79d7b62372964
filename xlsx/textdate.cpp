#include "textdate.h"

namespace xlsx {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads 1 to maxDigits digits at text[i]; advances i.
int number(const char* text, std::size_t size, std::size_t& i, std::size_t minDigits, std::size_t maxDigits)
{
    int value = 0;
    std::size_t digits = 0;
    while (i < size && digits < maxDigits && isDigit(text[i])) {
        value = value * 10 + (text[i] - '0');
        ++i;
        ++digits;
    }
    return digits >= minDigits ? value : -1;
}

} // namespace

QDate textDate(const char* text, std::size_t size, DateOrder order)
{
    // The shortest date is d.m.yyyy; the longest yyyy-mm-dd or dd/mm/yyyy.
    if (size < 8 || size > 10 || !isDigit(text[0]))
        return {};
    std::size_t i = 0;
    if (size == 10 && text[4] == '-') {
        const int year = number(text, size, i, 4, 4);
        if (text[i++] != '-')
            return {};
        const int month = number(text, size, i, 2, 2);
        if (i >= size || text[i++] != '-')
            return {};
        const int day = number(text, size, i, 2, 2);
        return i == size && year > 0 && month > 0 && day > 0 ? QDate(year, month, day) : QDate();
    }
    const int first = number(text, size, i, 1, 2);
    if (first < 0 || i >= size)
        return {};
    const char separator = text[i++];
    if (separator != '/' && separator != '-' && separator != '.')
        return {};
    const int second = number(text, size, i, 1, 2);
    if (second < 0 || i >= size || text[i++] != separator)
        return {};
    const int year = number(text, size, i, 4, 4);
    if (i != size || year <= 0)
        return {};
    return order == DateOrder::DayMonthYear ? QDate(year, second, first) : QDate(year, first, second);
}

} // namespace xlsx
