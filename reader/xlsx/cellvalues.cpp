#include "cellvalues.h"

#include "reader/xlsx/sharedstrings.h"

#include <QDate>
#include <QDateTime>

#include <cmath>

namespace reader {

namespace {

// Whole numbers below this read as integers, so that their text has neither
// an exponent nor a trailing ".0" (an account number must read "1000000000").
constexpr double kLargestInteger = 1e15;

bool isInteger(double value)
{
    return std::floor(value) == value && std::fabs(value) < kLargestInteger;
}

QVariant number(double value)
{
    if (isInteger(value))
        return qlonglong(value);
    return value;
}

QVariant isoDate(const QString& text)
{
    if (text.contains(QLatin1Char('T'))) {
        QDateTime dateTime = QDateTime::fromString(text, Qt::ISODateWithMs);
        if (dateTime.isValid()) {
            // Without a zone the text is a plain clock time, like a serial.
            if (dateTime.timeSpec() == Qt::LocalTime)
                dateTime.setTimeSpec(Qt::UTC);
            else
                dateTime = dateTime.toUTC();
            if (dateTime.time() == QTime(0, 0))
                return dateTime.date();
            return dateTime;
        }
    } else {
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (date.isValid())
            return date;
    }
    return text;
}

} // namespace

CellValues::CellValues(const SharedStrings& sharedStrings, DateSystem dateSystem)
    : m_sharedStrings(sharedStrings), m_dateSystem(dateSystem)
{
}

QVariant CellValues::value(const Cell& cell, const StringPool& texts) const
{
    switch (cell.kind) {
    case CellKind::Number:
        return number(cell.number);
    case CellKind::Date: {
        const QVariant date = serialToDate(cell.number, m_dateSystem);
        return date.isValid() ? date : number(cell.number);
    }
    case CellKind::SharedString:
        return m_sharedStrings.text(cell.index);
    case CellKind::Text:
    case CellKind::Formula:
        return texts.text(cell.index);
    case CellKind::Boolean:
        return cell.number != 0.0;
    case CellKind::IsoDate:
        return isoDate(texts.text(cell.index));
    }
    return {};
}

void CellValues::textInto(const Cell& cell, const StringPool& texts, QString& into) const
{
    if (cell.kind == CellKind::Text || cell.kind == CellKind::Formula)
        texts.textInto(cell.index, into);
    else
        into = text(cell, texts);
}

QString CellValues::text(const Cell& cell, const StringPool& texts) const
{
    switch (cell.kind) {
    case CellKind::SharedString:
        return m_sharedStrings.text(cell.index);
    case CellKind::Text:
    case CellKind::Formula:
        return texts.text(cell.index);
    case CellKind::Number:
        if (isInteger(cell.number))
            return QString::number(qlonglong(cell.number));
        break;
    default:
        break;
    }
    return value(cell, texts).toString();
}

} // namespace reader
