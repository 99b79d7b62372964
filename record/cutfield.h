#pragma once

#include <QString>

namespace kova {

class RowContext;

// A free text cell in a fixed-width record: cut or padded to width. A cut
// draws a warning naming cutTitle (the field as the bank's layout calls it);
// a line break would split the record and a character beyond printable ASCII
// shift the fields after it, so either is an error that names and marks the
// log column. The log title may differ from the field's name.
QString cutField(const QString& text, int width, const QString& cutTitle, const QString& logTitle, int column,
                 RowContext& out);
// The same, written over to (see putLeftField()).
void putCutField(QString& to, const QString& text, int width, const QString& cutTitle, const QString& logTitle,
                 int column, RowContext& out);

} // namespace kova
