#include "titlematch.h"

#include "reader/document.h"

#include <QVariant>

namespace kova {
namespace {

struct RowCells
{
    int filled = 0;       // cells with a value
    int texts = 0;        // of them, text
    QVector<int> typed;   // columns holding a number, a date or a flag
};

RowCells rowCells(const reader::Document& sheet, int row, int lastColumn)
{
    RowCells cells;
    for (int c = 1; c <= lastColumn; ++c) {
        const QVariant value = sheet.read(row, c);
        if (!value.isValid() || (value.type() == QVariant::String && value.toString().trimmed().isEmpty()))
            continue;
        ++cells.filled;
        if (value.type() == QVariant::String)
            ++cells.texts;
        else
            cells.typed.append(c);
    }
    return cells;
}

int fieldsNamed(const TypeDescriptor& type, const reader::Document& sheet, int row, int lastColumn)
{
    int named = 0;
    for (const FieldSpec& field : type.fields)
        for (int c = 1; c <= lastColumn; ++c)
            if (titleNamesField(field, sheet.text(row, c))) {
                ++named;
                break;
            }
    return named;
}

} // namespace

QString comparableTitle(const QString& title)
{
    const QString spelled = QString(title).replace(QLatin1Char('#'), QStringLiteral("no"));
    QString plain;
    for (const QChar ch : spelled)
        if (ch.isLetterOrNumber())
            plain.append(ch.toLower());
    return plain;
}

bool titleNamesField(const FieldSpec& field, const QString& title)
{
    const QString wanted = comparableTitle(title);
    if (wanted.isEmpty())
        return false;
    for (const QString& name : QStringList{field.formLabel(), field.caption, field.headerName} + field.aliases)
        if (comparableTitle(name) == wanted)
            return true;
    return false;
}

QVector<int> matchTitles(const TypeDescriptor& type, const QStringList& titles, const QVector<int>& columns,
                         const QVector<bool>& open)
{
    QVector<int> matched(type.fields.size(), 0);
    QVector<int> taken = columns;
    for (int i = 0; i < type.fields.size(); ++i) {
        if (!open.value(i))
            continue;
        int found = 0;
        int matches = 0;
        for (int c = 1; c < titles.size(); ++c)
            if (!taken.contains(c) && titleNamesField(type.fields.at(i), titles.at(c))) {
                found = c;
                ++matches;
            }
        if (matches != 1)
            continue;
        matched[i] = found;
        taken.append(found);
    }
    return matched;
}

int findTitleRow(const TypeDescriptor& type, const reader::Document& sheet)
{
    const int lastColumn = sheet.dimension().lastColumn();
    const int lastRow = qMin(titleSearchRows, sheet.dimension().lastRow());
    int widestAbove = 0;
    for (int row = 1; row <= lastRow; ++row) {
        const RowCells cells = rowCells(sheet, row, lastColumn);
        if (cells.filled == 0)
            continue;
        const bool titles = cells.texts >= 2 && cells.texts == cells.filled && cells.filled > widestAbove;
        if (titles) {
            RowCells below;
            const int lastBelow = qMin(sheet.dimension().lastRow(), row + titleSearchRows);
            for (int next = row + 1; next <= lastBelow && below.filled == 0; ++next)
                below = rowCells(sheet, next, lastColumn);
            for (int c : qAsConst(below.typed))
                if (!sheet.text(row, c).trimmed().isEmpty())
                    return row;
            if (fieldsNamed(type, sheet, row, lastColumn) >= 2)
                return row;
        }
        widestAbove = qMax(widestAbove, cells.filled);
    }
    return 0;
}

QStringList unmappedRequired(const TypeDescriptor& type, const QVector<int>& columns, bool othersMode)
{
    QStringList captions;
    for (int i = 0; i < type.fields.size(); ++i) {
        const Required required = type.fields.at(i).required;
        if ((required == Required::Always || (othersMode && required == Required::OthersMode)) && columns.value(i) < 1)
            captions.append(type.fields.at(i).caption);
    }
    return captions;
}

} // namespace kova
