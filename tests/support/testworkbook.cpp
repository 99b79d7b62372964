#include "testworkbook.h"

#include <QDate>
#include <QDateTime>

#include <xlsxwriter.h>

TestWorkbook::TestWorkbook(const QString& path)
    : m_workbook(workbook_new(path.toUtf8().constData()))
{
}

TestWorkbook::~TestWorkbook()
{
    if (!m_saved)
        save();
}

TestWorkbook& TestWorkbook::addSheet(const QString& name)
{
    m_sheet = workbook_add_worksheet(m_workbook, name.toUtf8().constData());
    return *this;
}

lxw_format* TestWorkbook::format(const QString& numberFormat)
{
    for (const auto& f : m_formats)
        if (f.first == numberFormat)
            return f.second;
    lxw_format* f = workbook_add_format(m_workbook);
    format_set_num_format(f, numberFormat.toUtf8().constData());
    m_formats.append({numberFormat, f});
    return f;
}

static lxw_datetime toLxw(const QDateTime& dt)
{
    const QDate d = dt.date();
    const QTime t = dt.time();
    return lxw_datetime{d.year(), d.month(), d.day(), t.hour(), t.minute(),
                        t.second() + t.msec() / 1000.0};
}

TestWorkbook& TestWorkbook::setCell(int row, int column, const QVariant& value)
{
    if (!m_sheet)
        addSheet(QStringLiteral("Sheet1"));
    const lxw_row_t r = lxw_row_t(row - 1);
    const lxw_col_t c = lxw_col_t(column - 1);
    switch (value.userType()) {
    case QMetaType::UnknownType:
        break;
    case QMetaType::QString:
        worksheet_write_string(m_sheet, r, c, value.toString().toUtf8().constData(), nullptr);
        break;
    case QMetaType::Bool:
        worksheet_write_boolean(m_sheet, r, c, value.toBool(), nullptr);
        break;
    case QMetaType::QDate: {
        lxw_datetime dt = toLxw(QDateTime(value.toDate(), QTime(0, 0)));
        worksheet_write_datetime(m_sheet, r, c, &dt, format(QStringLiteral("yyyy-mm-dd")));
        break;
    }
    case QMetaType::QDateTime: {
        lxw_datetime dt = toLxw(value.toDateTime());
        worksheet_write_datetime(m_sheet, r, c, &dt, format(QStringLiteral("yyyy-mm-dd hh:mm:ss")));
        break;
    }
    default:
        worksheet_write_number(m_sheet, r, c, value.toDouble(), nullptr);
        break;
    }
    return *this;
}

TestWorkbook& TestWorkbook::setRow(int row, const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i)
        setCell(row, i + 1, values.at(i));
    return *this;
}

TestWorkbook& TestWorkbook::setFormula(int row, int column, const QString& formula, const QVariant& cached)
{
    if (!m_sheet)
        addSheet(QStringLiteral("Sheet1"));
    const QByteArray f = formula.toUtf8();
    if (cached.userType() == QMetaType::QString)
        worksheet_write_formula_str(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), f.constData(),
                                    nullptr, cached.toString().toUtf8().constData());
    else
        worksheet_write_formula_num(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), f.constData(),
                                    nullptr, cached.toDouble());
    return *this;
}

TestWorkbook& TestWorkbook::setNumber(int row, int column, double value, const QString& numberFormat)
{
    if (!m_sheet)
        addSheet(QStringLiteral("Sheet1"));
    worksheet_write_number(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), value, format(numberFormat));
    return *this;
}

bool TestWorkbook::save()
{
    if (m_saved)
        return true;
    m_saved = true;
    if (!m_sheet)
        addSheet(QStringLiteral("Sheet1"));
    return workbook_close(m_workbook) == LXW_NO_ERROR;
}
