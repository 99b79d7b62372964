#pragma once

#include "mappingstore.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace reader { class Document; }

namespace kova {

// Where a saved field stands on a sheet.
enum class Placement {
    AsSaved,      // in its saved column, or no header text to check it by while nothing moved
    Moved,        // its header text is in one other column, which it follows
    Missing,      // its header text is in no column of the header row: not mapped
    Doubled,      // its header text is in more than one other column: not mapped
    Untitled,     // saved without a header text while other fields moved: not mapped
};

// What a saved mapping makes of one sheet; the window and kova-export both
// take a sheet's mapping from here.
struct SheetMapping
{
    QVector<int> columns;              // in field order; 0: not mapped
    QVector<Placement> placements;     // in field order
    // Why each field is not mapped (Missing, Doubled, Untitled), else empty:
    // the refusal of an export.
    QStringList problems;
    // A line per field that followed its header:
    // "To Acc #: column D -> C, by its header "To Acc"".
    QStringList moved;
    bool hasColumnHeader = false;      // as saved
    int headerRow = 1;                 // the row of column titles; data start below it
    bool headerRowFound = false;       // the saved texts put it in another row than the saved one

    // The first problem in field order; empty when the sheet can be exported.
    QString refusal() const;
};

// Header texts are the same when they differ in case and surrounding spaces only.
bool sameHeader(const QString& a, const QString& b);


// The rows searched for the saved header texts when they are not all in the
// saved header row.
constexpr int headerSearchRows = 20;

// Places saved on sheet. Without "Has Column Header" the saved indexes stand
// (an index beyond the sheet's last column maps nothing) and data start in
// row 1. With it, the header row is the saved one unless the saved texts are
// all found together in another of the first rows (or, found nowhere all
// together, more of them are); then each field with a header text is
// checked against that row. Once one field followed its text to another
// column, a mapped field saved without one is not placed at all.
SheetMapping placeMapping(const TypeDescriptor& type, const SavedMapping& saved, const reader::Document& sheet);

} // namespace kova
