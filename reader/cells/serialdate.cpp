#include "serialdate.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <cmath>

namespace reader {

namespace {

constexpr long long kMsPerDay = 24LL * 60 * 60 * 1000;
// Serial of 10000-01-01 in the 1900 system; the 1904 system is 1462 days behind.
constexpr double kFirstSerialAfter9999 = 2958466.0;
constexpr double k1904Offset = 1462.0;

} // namespace

QVariant serialToDate(double serial, DateSystem system)
{
    const double limit = system == DateSystem::From1900 ? kFirstSerialAfter9999 : kFirstSerialAfter9999 - k1904Offset;
    if (!(serial >= 0.0) || serial >= limit)
        return {};
    const long long totalMs = std::llround(serial * double(kMsPerDay));
    const long long days = totalMs / kMsPerDay;
    const int ms = int(totalMs % kMsPerDay);
    QDate date;
    if (system == DateSystem::From1904)
        date = QDate(1904, 1, 1).addDays(days);
    else
        date = QDate(1899, 12, 30).addDays(days < 60 ? days + 1 : days);
    if (!date.isValid() || date.year() > 9999)
        return {};
    if (ms == 0)
        return date;
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(ms), Qt::UTC);
}

} // namespace reader
