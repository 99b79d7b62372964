#pragma once

#include "batchregister.h"

#include <QString>
#include <QVector>

namespace kova {

// The question before writing a batch whose payments were written before:
// "These N payments (total X) for effective date E were already written on
// DATE to PATH with Header ID H. Write them again?", N, X, E, DATE, PATH and H
// of the earlier batch, E as "yyyy-MM-dd", DATE as local "yyyy-MM-dd HH:mm".
// A batch paid on authorization says "for payment on authorization" instead
// of its date, an entry that keeps no key says neither, and a batch of a type
// without a Header ID drops " with Header ID H". An entry whose run stopped
// before it finished says "may have been written by a run that stopped on
// DATE" instead of "were already written on DATE".
QString duplicateQuestion(const BatchEntry& earlier);

// The question when the register cannot be read, with why.
QString unreadableRegisterQuestion(const QString& reason);

// The register as text, one line per batch in the order given (history()
// gives newest first): local date and time "yyyy-MM-dd HH:mm", type, Header
// ID (empty when the type has none), records, total as display amount and
// file, separated by tabs, each line ending in "\n". Tabs let the lines be
// pasted into a sheet or cut into fields; the file comes last, so a path
// that holds a tab is still the rest of its line.
QString historyText(const QVector<BatchEntry>& entries);

} // namespace kova
