#include "cells.h"

#include "xlsx/document.h"

#include <limits>

namespace kova {

QVariant cellValue(const xlsx::Document& sheet, int row, int column)
{
    return column > 0 ? sheet.read(row, column) : QVariant();
}

QString cellText(const xlsx::Document& sheet, int row, int column)
{
    return cellValue(sheet, row, column).toString();
}

int cellInt(const xlsx::Document& sheet, int row, int column)
{
    const QVariant value = cellValue(sheet, row, column);
    // The reader gives whole numbers as integers; a double holds a fraction
    // (or is too large to be exact), and rounding it would write a value the
    // sheet does not show.
    if (value.userType() == QMetaType::Double)
        return 0;
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!ok)
        return 0;
    return int(qBound<qlonglong>(std::numeric_limits<int>::min(), number, std::numeric_limits<int>::max()));
}

bool DateFilter::accepts(const xlsx::Document& sheet, int row) const
{
    if (column <= 0)
        return true;
    const QDate date = cellValue(sheet, row, column).toDate();
    return date.isValid() && from <= date && date <= to;
}

} // namespace kova
