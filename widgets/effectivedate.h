#pragma once

#include <QDate>
#include <QString>

namespace kova {

// A batch dated before today, or more than a year ahead, is most likely a
// date left from an earlier run or mistyped: the question to put before it
// is written ("Effective date 07 Dec 2026 is in the past. Export anyway?"),
// or empty for a date from today to a year ahead, or for no date at all.
QString effectiveDateQuestion(const QDate& effective, const QDate& today);

} // namespace kova
