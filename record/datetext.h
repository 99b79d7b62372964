#pragma once

#include <QDate>
#include <QString>

namespace kova {

// The date a text cell shows, read as clerks' exports write dates, by each of the two orders a date of
// numbers may be written in. Forms: surrounding white space ignored; day and month of one or two digits
// separated by '/', '-' or '.' (the same separator twice), then a year of four digits or two (two-digit
// years as spreadsheet programs read them: 00-29 are 2000-2029, 30-99 are 1930-1999); yyyy-mm-dd and
// yyyy/mm/dd (either order reads it the same); a month name or its usual abbreviation in English or
// Indonesian (Jan/Januari, Feb/Februari, Mar/Maret, Apr/April, May/Mei, Jun/Juni, Jul/Juli, Aug/Agu/Agustus,
// Sep/Sept/September, Oct/Okt/Oktober, Nov/November, Dec/Des/Desember; case ignored) as in "5 Dec 2026",
// "05-Des-2026", "5 Desember 2026", "Dec 5, 2026", "December 5 2026" (a named month leaves no doubt: both
// orders read the same date); an optional time after the date ("2026-12-05 00:00:00", "05/12/2026 13:45",
// "...:ss") which is dropped. Anything else, and impossible dates (31/02/2026), reads as no date.
//
// In detail: the parts of a date with a named month are separated by one space, or by '-', '/' or '.' (the
// same one twice), its year also of four digits or two, and "Dec 5, 2026" may have its comma; the time is
// one space after the date, then hours of one or two digits (0-23), ':' and minutes (00-59), optionally ':'
// and seconds (00-59) with a fraction of them (".000", as databases write them).
struct DateTextReadings
{
    QDate dayFirst;     // as dd/mm/yyyy; invalid when that order reads no date
    QDate monthFirst;   // as mm/dd/yyyy; invalid when that order reads no date
};
DateTextReadings readDateText(const QString& text);

} // namespace kova
