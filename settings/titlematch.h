#pragma once

#include "types/typedescriptor.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace reader { class Document; }

namespace kova {

// "Acc No", "acc_no" and "ACC #" name the same column: case, spaces and
// punctuation do not count, and "#" is read as "No".
QString comparableTitle(const QString& title);

// The title names field: its form label, caption, usual name or one of the
// common titles its descriptor declares.
bool titleNamesField(const FieldSpec& field, const QString& title);

// Each open field (open.at(i)) whose names the titles (entry c is column c)
// hold in exactly one column that no field of columns reads yet takes that
// column, in field order, so a column is never given twice: "Type" holding
// the transfer type must not also become the customer type. Returns the
// columns in field order, 0 where nothing was matched.
QVector<int> matchTitles(const TypeDescriptor& type, const QStringList& titles, const QVector<int>& columns,
                         const QVector<bool>& open);

// The rows searched for a table's column titles on a sheet no mapping was saved for.
constexpr int titleSearchRows = 20;

// The row of column titles at the top of sheet, or 0 when its top rows do not
// look like a table with titles. A row is taken when at least two cells hold
// text and none a number, date or flag; the rows above it are narrower (a
// title line, blank lines); and either the next row with cells holds a
// number, date or flag under one of its titles, or two of its titles name
// fields of type (a sheet of text alone, as some exports are).
int findTitleRow(const TypeDescriptor& type, const reader::Document& sheet);

// The captions of the fields required (always, and in Others mode those
// required there) that columns leave unmapped, in field order.
QStringList unmappedRequired(const TypeDescriptor& type, const QVector<int>& columns, bool othersMode);

} // namespace kova
