#pragma once

#include "reader/document.h"

#include <QStringList>
#include <QVariant>

// A cell's value with its type, so that a number and its text never compare equal.
inline QString describe(const QVariant& v)
{
    return QString(v.typeName() ? v.typeName() : "invalid") + "(" + v.toString() + ")";
}

// text(), with what textInto() wrote beside it where the two differ: into a
// string holding the cell before it, shared with a copy that must keep that.
template <typename Cells>
QString checkedText(Cells& cells, int row, int column)
{
    static QString into = QStringLiteral("the text of another cell, longer than most");
    const QString shared = into;
    const QString apart(into.constData(), into.size());
    const QString text = cells.text(row, column);
    cells.textInto(row, column, into);
    if (into == text && shared == apart)
        return text;
    return text + " [textInto: " + into + ", the copy before it: " + shared + "]";
}

// Every cell of the used range, rows on lines, cells apart by " | "; the range first; "unknown"
// after a cell whose value the workbook does not give, and text() where it differs from read().
inline QString grid(const reader::Document& document)
{
    const reader::CellRange r = document.dimension();
    QStringList rows{QString("range %1,%2:%3,%4").arg(r.firstRow()).arg(r.firstColumn()).arg(r.lastRow()).arg(r.lastColumn())};
    for (int row = 1; row <= r.lastRow(); ++row) {
        QStringList cells;
        for (int column = 1; column <= r.lastColumn(); ++column) {
            const QVariant value = document.read(row, column);
            const QString text = checkedText(document, row, column);
            cells.append(describe(value) + (text == value.toString() ? QString() : " text " + text)
                         + (document.isUnknown(row, column) ? " unknown" : ""));
        }
        rows.append(cells.join(" | "));
    }
    return rows.join('\n');
}
