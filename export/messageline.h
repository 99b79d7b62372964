#pragma once

#include <QString>

namespace kova {

// One line of the processing log is an HTML fragment:
//   error:   <span style="color:#e73d4a;">LINE n<tail>
//   warning: <span style="color:#f88021;">LINE n<tail>
// where the tail carries the rest of the message and closes the span,
// e.g. ": Error. Invalid amount</span>".
QString errorLine(int line, const QString& tail);
QString warningLine(int line, const QString& tail);

// <span style="font-weight:bold;">title</span>
QString bold(const QString& title);

// ": Warning. String truncated in <b>title</b>. Exceeding width characters</span>"
QString truncatedTail(const QString& title, int width);

// ": Error. Invalid characters found in <b>title</b></span>"
QString invalidCharactersTail(const QString& title);

} // namespace kova
