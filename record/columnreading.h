#pragma once

#include "cellreading.h"
#include "types/typedescriptor.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace reader { class Document; }

namespace kova {

// What the columns of a delimited source say of how their dates and amounts
// are written.
struct LearnedReading
{
    CellReading reading;
    // A column that shows both ways, or an amount that reads two ways where
    // nothing settles which: no row may be read from a guess. Empty otherwise.
    QString refusal;
    // For the log: which order and which mark were taken, and why.
    QStringList notes;
};

// Learns from every data row (firstRow on) of the mapped date and amount
// fields of type (columns in field order) how their texts are written: a
// date only one order reads, or an amount only one decimal mark reads,
// decides its column; where nothing decides, the options the sheet was read
// with say. A workbook's typed cells need none of this: fromText is false.
LearnedReading learnReading(const reader::Document& sheet, const TypeDescriptor& type, const QVector<int>& columns,
                            int firstRow);

} // namespace kova
