#pragma once

#include "batchtype.h"

#include <QString>
#include <QVector>

namespace kova {

// How a template column keeps what is typed into it.
enum class CellKind {
    Text,     // accounts, IDs, codes, names: kept as typed, leading zeros too
    Amount,   // a number with two decimals
    Date,     // a date
};

struct TemplateColumn
{
    QString caption;   // the form's mapping caption, without the required mark
    CellKind kind;
};

// The fields of a type in the order of its form's mapping boxes, which is
// also the order of the type's stored column indexes: template column n
// feeds the n-th field.
QVector<TemplateColumn> templateColumns(BatchType type);

} // namespace kova
