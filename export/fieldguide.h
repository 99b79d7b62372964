#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace kova {

// What a clerk needs to know about one mapped field: the header texts that
// name it in a customer's workbook, and what the bank accepts in its cells.
struct FieldGuide
{
    QString key;         // the field's settings key
    QStringList names;   // its log title (or caption) first, then other usual header texts
    QString expects;     // what the bank expects there, as the form's caption tooltip says it
};

} // namespace kova
