#pragma once

#include <QByteArray>
#include <QString>

namespace kova {

// Writes text at out, one byte a character, and tells whether that was its
// UTF-8: whether it is all ASCII. out needs room for text.size() bytes.
bool asciiAt(char*& out, const QString& text);

// text as UTF-8 at the end of block. A full-size batch sends every record
// and message line through here: the usual all-ASCII text goes straight into
// the block, without a string of its own in between.
void appendUtf8(QByteArray& block, const QString& text);

} // namespace kova
