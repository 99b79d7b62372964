#include "cells.h"

#include "xlsx/document.h"

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
    return cellValue(sheet, row, column).toInt();
}

bool DateFilter::accepts(const xlsx::Document& sheet, int row) const
{
    if (column <= 0)
        return true;
    const QDate date = cellValue(sheet, row, column).toDate();
    return date.isValid() && from <= date && date <= to;
}

} // namespace kova
