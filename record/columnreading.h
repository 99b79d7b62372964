#pragma once

#include "cellreading.h"
#include "types/typedescriptor.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include "reader/cells/textoptions.h"

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

// What the mapped date and amount columns of delimited text show, learnt a
// row at a time: the first cell of each kind a column shows decides, so rows
// may come in pieces, and a row seen twice teaches nothing new. Keeps one
// cell of each kind per column, whatever the length of the sheet.
class ReadingLearner final
{
public:
    ReadingLearner(const reader::Document& sheet, const TypeDescriptor& type, const QVector<int>& columns);

    void see(int row);
    // What the rows seen so far say, as learnReading() says it of them.
    LearnedReading learned() const;

private:
    // A cell that showed something of its column: its name and its text as written.
    struct Witness
    {
        QString cell;
        QString text;

        bool found() const { return !cell.isEmpty(); }
        QString shown() const;
    };
    // What a column showed: dates only day/month/year reads, only
    // month/day/year, either; or amounts only "." reads as the decimal mark,
    // only ",", either.
    struct Column
    {
        int column = 0;
        bool dates = false;
        QString name;
        Witness first, second, open;
    };

    void learnDates(const Column& column, LearnedReading& learned) const;
    void learnMark(const Column& column, LearnedReading& learned) const;

    const reader::Document& m_sheet;
    reader::TextOptions m_options;
    QVector<Column> m_columns;
    // The cell being seen, its memory kept from row to row.
    QString m_text;
};

// Learns from every data row (firstRow on) of the mapped date and amount
// fields of type (columns in field order) how their texts are written: a
// date only one order reads, or an amount only one decimal mark reads,
// decides its column; where nothing decides, the options the sheet was read
// with say. A workbook's typed cells need none of this: fromText is false.
LearnedReading learnReading(const reader::Document& sheet, const TypeDescriptor& type, const QVector<int>& columns,
                            int firstRow);

} // namespace kova
