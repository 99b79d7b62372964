#pragma once

#include <QVariant>

namespace reader {

// Which day a workbook's date serial 0 stands for.
enum class DateSystem
{
    From1900, // the default: serial 1 is 1900-01-01
    From1904, // date1904 workbooks: serial 0 is 1904-01-01
};

// The date a serial number stands for: QDate when it is a whole day (after
// rounding to the millisecond), QDateTime in UTC otherwise. An invalid
// QVariant when the serial names no date (negative, or past 9999-12-31);
// the caller then shows the plain number, as spreadsheet programs do.
//
// The 1900 system counts the fictitious 1900-02-29 as serial 60. Serials below
// 60 are therefore shifted by one day so that 1 is 1900-01-01 and 59 is
// 1900-02-28; 60 itself reads as 1900-02-28 as well, and 61 onwards count
// from 1899-12-30 (61 is 1900-03-01). Serial 0 and pure times (0 <= serial < 1)
// fall on 1899-12-31, the day before serial 1.
QVariant serialToDate(double serial, DateSystem system);

} // namespace reader
