#include "columnreading.h"

#include "amounttext.h"
#include "cells.h"
#include "datetext.h"
#include "reader/document.h"

namespace kova {

namespace {

// Where a cell stands, as the spreadsheet names it: "C12".
QString cellName(int row, int column)
{
    return columnLetters(column) + QString::number(row);
}

// A cell that showed something of its column: its name and its text as written.
struct Witness
{
    QString cell;
    QString text;

    bool found() const { return !cell.isEmpty(); }
    QString shown() const { return cell + QStringLiteral(" \"") + text + QLatin1Char('"'); }
};

QString orderName(reader::DateOrder order)
{
    return order == reader::DateOrder::DayMonthYear ? QStringLiteral("day/month/year")
                                                  : QStringLiteral("month/day/year");
}

QString markName(reader::DecimalMark mark)
{
    return mark == reader::DecimalMark::Dot ? QStringLiteral("\".\"") : QStringLiteral("\",\"");
}

// The date order of one column: a date only one order reads decides it.
void learnDates(const reader::Document& sheet, int column, int firstRow, int lastRow, const QString& name,
                reader::DateOrder chosen, LearnedReading& learned)
{
    Witness dayFirst, monthFirst, open;
    for (int row = firstRow; row <= lastRow; ++row) {
        const QString text = sheet.text(row, column);
        if (text.trimmed().isEmpty())
            continue;
        const DateTextReadings dates = readDateText(text);
        Witness* witness = nullptr;
        if (dates.dayFirst.isValid() && !dates.monthFirst.isValid())
            witness = &dayFirst;
        else if (dates.monthFirst.isValid() && !dates.dayFirst.isValid())
            witness = &monthFirst;
        else if (dates.dayFirst.isValid() && dates.dayFirst != dates.monthFirst)
            witness = &open;
        if (witness && !witness->found())
            *witness = {cellName(row, column), text};
        if (dayFirst.found() && monthFirst.found())
            break;
    }
    if (dayFirst.found() && monthFirst.found()) {
        if (learned.refusal.isEmpty())
            learned.refusal = QStringLiteral("%1 holds dates written in two orders: %2 is day/month/year, %3 "
                                             "month/day/year")
                                  .arg(name, dayFirst.shown(), monthFirst.shown());
        return;
    }
    if (dayFirst.found() || monthFirst.found()) {
        learned.reading.dateOrder = dayFirst.found() ? reader::DateOrder::DayMonthYear : reader::DateOrder::MonthDayYear;
        learned.notes.append(QStringLiteral("%1: dates read as %2, as %3 shows")
                                 .arg(name, orderName(learned.reading.dateOrder),
                                      (dayFirst.found() ? dayFirst : monthFirst).shown()));
        return;
    }
    learned.reading.dateOrder = chosen;
    if (open.found())
        learned.notes.append(QStringLiteral("%1: no date tells the day from the month; read as %2, the order chosen")
                                 .arg(name, orderName(chosen)));
}

// The decimal mark of one column: an amount only one mark reads decides it.
void learnMark(const reader::Document& sheet, int column, int firstRow, int lastRow, const QString& name,
               LearnedReading& learned)
{
    Witness dot, comma, open;
    for (int row = firstRow; row <= lastRow; ++row) {
        const QString text = sheet.text(row, column);
        Witness* witness = nullptr;
        switch (markEvidence(text)) {
        case MarkEvidence::Dot:
            witness = &dot;
            break;
        case MarkEvidence::Comma:
            witness = &comma;
            break;
        case MarkEvidence::Ambiguous:
            witness = &open;
            break;
        case MarkEvidence::None:
            break;
        }
        if (witness && !witness->found())
            *witness = {cellName(row, column), text};
        if (dot.found() && comma.found())
            break;
    }
    if (dot.found() && comma.found()) {
        if (learned.refusal.isEmpty())
            learned.refusal = QStringLiteral("%1 holds amounts written with two decimal marks: %2 and %3")
                                  .arg(name, dot.shown(), comma.shown());
        return;
    }
    if (dot.found() || comma.found()) {
        learned.reading.decimalMark = dot.found() ? reader::DecimalMark::Dot : reader::DecimalMark::Comma;
        learned.notes.append(QStringLiteral("%1: %2 is the decimal mark, as %3 shows")
                                 .arg(name, markName(learned.reading.decimalMark), (dot.found() ? dot : comma).shown()));
        return;
    }
    if (open.found() && learned.refusal.isEmpty())
        learned.refusal = QStringLiteral("%1 %2 reads as another amount with \".\" or \",\" as the decimal mark: "
                                         "choose it (Decimal mark beside the sheet; --decimal-mark for kova-export)")
                              .arg(name, open.shown());
}

} // namespace

LearnedReading learnReading(const reader::Document& sheet, const TypeDescriptor& type, const QVector<int>& columns,
                            int firstRow)
{
    LearnedReading learned;
    if (!sheet.isDelimitedText())
        return learned;
    const reader::TextOptions options = sheet.textOptions();
    learned.reading.fromText = true;
    learned.reading.dateOrder = options.dateOrder;
    const int lastRow = sheet.dimension().lastRow();
    for (int field = 0; field < type.fields.size() && field < columns.size(); ++field) {
        const int column = columns.at(field);
        if (column < 1)
            continue;
        const FieldSpec& declared = type.fields.at(field);
        if (declared.kind == CellKind::Date)
            learnDates(sheet, column, firstRow, lastRow, declared.messageName, options.dateOrder, learned);
        else if (declared.kind == CellKind::Amount && !options.decimalMark)
            learnMark(sheet, column, firstRow, lastRow, declared.messageName, learned);
    }
    if (options.decimalMark)
        learned.reading.decimalMark = *options.decimalMark;
    return learned;
}

} // namespace kova
