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

QString orderName(reader::DateOrder order)
{
    return order == reader::DateOrder::DayMonthYear ? QStringLiteral("day/month/year")
                                                  : QStringLiteral("month/day/year");
}

QString markName(reader::DecimalMark mark)
{
    return mark == reader::DecimalMark::Dot ? QStringLiteral("\".\"") : QStringLiteral("\",\"");
}

} // namespace

QString ReadingLearner::Witness::shown() const
{
    return cell + QStringLiteral(" \"") + text + QLatin1Char('"');
}

ReadingLearner::ReadingLearner(const reader::Document& sheet, const TypeDescriptor& type, const QVector<int>& columns)
    : m_sheet(sheet), m_options(sheet.textOptions())
{
    if (!sheet.isDelimitedText())
        return;
    for (int field = 0; field < type.fields.size() && field < columns.size(); ++field) {
        const FieldSpec& declared = type.fields.at(field);
        const bool dates = declared.kind == CellKind::Date;
        if (columns.at(field) >= 1 && (dates || (declared.kind == CellKind::Amount && !m_options.decimalMark)))
            m_columns.append(Column{columns.at(field), dates, declared.messageName, {}, {}, {}});
    }
}

void ReadingLearner::see(int row)
{
    for (Column& column : m_columns) {
        // Once both ways are shown, the column is settled.
        if (column.first.found() && column.second.found())
            continue;
        m_sheet.textInto(row, column.column, m_text);
        const QString& text = m_text;
        Witness* witness = nullptr;
        if (column.dates) {
            if (text.trimmed().isEmpty())
                continue;
            const DateTextReadings dates = readDateText(text);
            if (dates.dayFirst.isValid() && !dates.monthFirst.isValid())
                witness = &column.first;
            else if (dates.monthFirst.isValid() && !dates.dayFirst.isValid())
                witness = &column.second;
            else if (dates.dayFirst.isValid() && dates.dayFirst != dates.monthFirst)
                witness = &column.open;
        } else {
            switch (markEvidence(text)) {
            case MarkEvidence::Dot:
                witness = &column.first;
                break;
            case MarkEvidence::Comma:
                witness = &column.second;
                break;
            case MarkEvidence::Ambiguous:
                witness = &column.open;
                break;
            case MarkEvidence::None:
                break;
            }
        }
        if (witness && !witness->found())
            *witness = {cellName(row, column.column), text};
    }
}

LearnedReading ReadingLearner::learned() const
{
    LearnedReading learned;
    if (!m_sheet.isDelimitedText())
        return learned;
    learned.reading.fromText = true;
    learned.reading.dateOrder = m_options.dateOrder;
    for (const Column& column : m_columns) {
        if (column.dates)
            learnDates(column, learned);
        else
            learnMark(column, learned);
    }
    if (m_options.decimalMark)
        learned.reading.decimalMark = *m_options.decimalMark;
    return learned;
}

// The date order of one column: a date only one order reads decides it.
void ReadingLearner::learnDates(const Column& column, LearnedReading& learned) const
{
    const QString& name = column.name;
    const Witness& dayFirst = column.first;
    const Witness& monthFirst = column.second;
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
    learned.reading.dateOrder = m_options.dateOrder;
    if (column.open.found())
        learned.notes.append(QStringLiteral("%1: no date tells the day from the month; read as %2, the order chosen")
                                 .arg(name, orderName(m_options.dateOrder)));
}

// The decimal mark of one column: an amount only one mark reads decides it.
void ReadingLearner::learnMark(const Column& column, LearnedReading& learned) const
{
    const QString& name = column.name;
    const Witness& dot = column.first;
    const Witness& comma = column.second;
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
    if (column.open.found() && learned.refusal.isEmpty())
        learned.refusal = QStringLiteral("%1 %2 reads as another amount with \".\" or \",\" as the decimal mark: "
                                         "choose it (Decimal mark beside the sheet; --decimal-mark for kova-export)")
                              .arg(name, column.open.shown());
}

LearnedReading learnReading(const reader::Document& sheet, const TypeDescriptor& type, const QVector<int>& columns,
                            int firstRow)
{
    ReadingLearner learner(sheet, type, columns);
    const int lastRow = sheet.isDelimitedText() ? sheet.dimension().lastRow() : 0;
    for (int row = firstRow; row <= lastRow; ++row)
        learner.see(row);
    return learner.learned();
}

} // namespace kova
