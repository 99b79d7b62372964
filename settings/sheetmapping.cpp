#include "sheetmapping.h"

#include "settingsfile.h"
#include "record/cells.h"
#include "reader/document.h"

namespace kova {
namespace {

QStringList rowTexts(const reader::Document& sheet, int row, int lastColumn)
{
    QStringList texts{QString()};   // entry c is column c
    for (int c = 1; c <= lastColumn; ++c)
        texts.append(sheet.text(row, c));
    return texts;
}

QVector<int> columnsTitled(const QStringList& row, const QString& text)
{
    QVector<int> found;
    for (int c = 1; c < row.size(); ++c)
        if (sameHeader(row.at(c), text))
            found.append(c);
    return found;
}

int titlesFound(const QStringList& row, const QStringList& texts)
{
    int found = 0;
    for (const QString& text : texts)
        if (!columnsTitled(row, text).isEmpty())
            ++found;
    return found;
}

// The saved row when it holds every saved text; else the first of the top
// rows that does. Failing that, the top row holding the most of them, when it
// holds more than the saved row: the export is refused either way, and there
// the user is shown the titles really missing, not all of them.
int findHeaderRow(const reader::Document& sheet, const SavedMapping& saved, int lastColumn)
{
    QStringList texts;
    for (int i = 0; i < saved.columns.size(); ++i)
        if (saved.columns.at(i) >= 1 && !saved.headerTexts.value(i).trimmed().isEmpty())
            texts.append(saved.headerTexts.value(i));
    int best = saved.headerRow;
    int bestFound = titlesFound(rowTexts(sheet, saved.headerRow, lastColumn), texts);
    const int last = qMin(headerSearchRows, sheet.dimension().lastRow());
    for (int row = 1; row <= last && bestFound < texts.size(); ++row) {
        const int found = row == saved.headerRow ? 0 : titlesFound(rowTexts(sheet, row, lastColumn), texts);
        if (found == texts.size() || found > bestFound) {
            best = row;
            bestFound = found;
        }
    }
    return best;
}

} // namespace

QString SheetMapping::refusal() const
{
    for (const QString& problem : problems)
        if (!problem.isEmpty())
            return problem;
    return {};
}

bool sameHeader(const QString& a, const QString& b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

SheetMapping placeMapping(const TypeDescriptor& type, const SavedMapping& saved, const reader::Document& sheet)
{
    const int lastColumn = sheet.dimension().lastColumn();
    SheetMapping placed;
    placed.hasColumnHeader = saved.hasColumnHeader;
    placed.headerRow = saved.hasColumnHeader ? qMax(1, saved.headerRow) : 1;
    for (int i = 0; i < type.fields.size(); ++i) {
        placed.columns.append(effectiveColumn(saved.columns.value(i), lastColumn));
        placed.placements.append(Placement::AsSaved);
        placed.problems.append(QString());
    }
    if (!saved.hasColumnHeader)
        return placed;

    SavedMapping checked = saved;
    checked.headerRow = placed.headerRow;
    placed.headerRow = findHeaderRow(sheet, checked, lastColumn);
    placed.headerRowFound = placed.headerRow != checked.headerRow;
    const QStringList header = rowTexts(sheet, placed.headerRow, lastColumn);
    for (int i = 0; i < type.fields.size(); ++i) {
        const int column = saved.columns.value(i);
        const QString text = saved.headerTexts.value(i).trimmed();
        if (column < 1 || text.isEmpty() || (column <= lastColumn && sameHeader(header.at(column), text)))
            continue;
        const QString caption = type.fields.at(i).caption;
        const QVector<int> found = columnsTitled(header, text);
        if (found.size() == 1) {
            placed.columns[i] = found.first();
            placed.placements[i] = Placement::Moved;
            placed.moved.append(QStringLiteral("%1: column %2 -> %3, by its header \"%4\"")
                                    .arg(caption, columnLetters(column), columnLetters(found.first()), text));
            continue;
        }
        placed.columns[i] = 0;
        placed.placements[i] = found.isEmpty() ? Placement::Missing : Placement::Doubled;
        placed.problems[i] = QStringLiteral("Column \"%1\" for %2 %3 the header row")
                                 .arg(text, caption, found.isEmpty() ? QStringLiteral("is not in")
                                                                     : QStringLiteral("appears more than once in"));
    }
    // Columns were inserted or swapped: a saved column number nothing vouches
    // for may now hold another field's data, an account number read as the
    // amount.
    if (!placed.moved.isEmpty())
        for (int i = 0; i < type.fields.size(); ++i)
            if (saved.columns.value(i) >= 1 && saved.headerTexts.value(i).trimmed().isEmpty()) {
                placed.columns[i] = 0;
                placed.placements[i] = Placement::Untitled;
                placed.problems[i] = QStringLiteral("%1 has no saved column title and the columns moved: map it again")
                                         .arg(type.fields.at(i).caption);
            }
    return placed;
}

} // namespace kova
