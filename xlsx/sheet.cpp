#include "sheet.h"

#include "sharedstrings.h"
#include "sheetreader.h"
#include "xmlpart.h"

#include <QDate>
#include <QDateTime>

#include <cmath>

namespace xlsx {

namespace {

// Whole numbers below this read as integers, so that their text has neither
// an exponent nor a trailing ".0" (an account number must read "1000000000").
constexpr double kLargestInteger = 1e15;

bool isInteger(double value)
{
    return std::floor(value) == value && std::fabs(value) < kLargestInteger;
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

Sheet::Sheet(const SharedStrings& sharedStrings, DateSystem dateSystem, bool formulasAsText)
    : m_sharedStrings(sharedStrings), m_dateSystem(dateSystem), m_formulasAsText(formulasAsText)
{
}

bool Sheet::load(const ZipArchive& archive, const std::string& part, const Styles& styles)
{
    // The rows go through the markup scanner; a sheet it gives up on (rare
    // markup, or a malformed part) is read again by expat alone.
    bool scannerGaveUp = false;
    {
        SheetReader reader(m_sharedStrings, styles, m_cells, m_texts, m_formulasAsText);
        if (scanXmlPart(archive, part, reader, "sheetData", scannerGaveUp)) {
            m_cells.finish();
            return true;
        }
    }
    if (!scannerGaveUp)
        return false;
    m_cells = CellStore();
    m_texts = StringPool();
    SheetReader reader(m_sharedStrings, styles, m_cells, m_texts, m_formulasAsText);
    if (!parseXmlPart(archive, part, reader))
        return false;
    m_cells.finish();
    return true;
}

QVariant Sheet::number(double value) const
{
    if (isInteger(value))
        return qlonglong(value);
    return value;
}

QVariant Sheet::read(int row, int column) const
{
    const Cell* cell = m_cells.find(row, column);
    return cell ? value(*cell) : QVariant();
}

QString Sheet::text(int row, int column) const
{
    const Cell* cell = m_cells.find(row, column);
    if (!cell)
        return {};
    switch (cell->kind) {
    case CellKind::SharedString:
        return m_sharedStrings.text(cell->index);
    case CellKind::Text:
        return m_texts.text(cell->index);
    case CellKind::Number:
        if (isInteger(cell->number))
            return QString::number(qlonglong(cell->number));
        break;
    default:
        break;
    }
    return value(*cell).toString();
}

QVariant Sheet::value(const Cell& cell) const
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
        return m_texts.text(cell.index);
    case CellKind::Boolean:
        return cell.number != 0.0;
    case CellKind::IsoDate:
        return isoDate(m_texts.text(cell.index));
    }
    return {};
}

} // namespace xlsx
