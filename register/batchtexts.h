#pragma once

#include "batchregister.h"

#include <QString>
#include <QVector>

namespace kova {

// The question before writing a batch whose payments were written before:
// "These N payments (total X) were already written on DATE to PATH with
// Header ID H. Write them again?", N, X, DATE, PATH and H of the earlier
// batch, DATE as local "yyyy-MM-dd HH:mm". A batch of a type without a Header
// ID drops " with Header ID H".
QString duplicateQuestion(const BatchEntry& earlier);

// The register as text, one line per batch in the order given (history()
// gives newest first): local date and time "yyyy-MM-dd HH:mm", type, Header
// ID (empty when the type has none), records, total as display amount and
// file, separated by tabs, each line ending in "\n". Tabs let the lines be
// pasted into a sheet or cut into fields; the file comes last, so a path
// that holds a tab is still the rest of its line.
QString historyText(const QVector<BatchEntry>& entries);

} // namespace kova
