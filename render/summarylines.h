#pragma once

#include "record/summary.h"

#include <QStringList>

namespace kova {

// "Total rows processed: p of d", "Total amounts: a", "Total warnings: w",
// "Total errors: e": the same lines in the log, on a terminal and in a report.
QStringList summaryLines(const Summary& summary);

} // namespace kova
