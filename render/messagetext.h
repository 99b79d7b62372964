#pragma once

#include "record/rowmessage.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kova {

// The processing log's rich text line:
//   <span style="color:#e73d4a;">LINE n: Error. before<span style="font-weight:bold;">title</span>after</span>
// in orange (#f88021) and "Warning." for a warning; no bold span without a title.
QString htmlLine(const RowMessage& message);
QStringList htmlLines(const RowMessages& messages);

// The same words as a terminal shows them, without markup:
//   LINE n: Error. beforetitleafter
QString plainLine(const RowMessage& message);
// plainLine(message) as UTF-8 and a line feed, appended to lines.
void appendPlainLine(QByteArray& lines, const RowMessage& message);

} // namespace kova
