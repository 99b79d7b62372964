#include "testworkbook.h"

#include <QDateTime>

#include <xlsxwriter.h>

TestWorkbook::TestWorkbook(const QString& path) : m_workbook(workbook_new(path.toUtf8().constData())) {}

TestWorkbook& TestWorkbook::addSheet(const QString& name)
{
    m_sheet = workbook_add_worksheet(m_workbook, name.toUtf8().constData());
    return *this;
}

lxw_worksheet* TestWorkbook::sheet()
{
    return m_sheet ? m_sheet : addSheet(QStringLiteral("Sheet1")).m_sheet;
}

lxw_format* TestWorkbook::format(const QString& numberFormat)
{
    lxw_format*& f = m_formats[numberFormat];
    if (!f)
        format_set_num_format(f = workbook_add_format(m_workbook), numberFormat.toUtf8().constData());
    return f;
}

TestWorkbook& TestWorkbook::setCell(int row, int column, const QVariant& value)
{
    const int type = value.userType();
    const QDateTime t = value.toDateTime();
    lxw_datetime dt{t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(),
                    t.time().second() + t.time().msec() / 1000.0};
    if (type == QMetaType::QString)
        worksheet_write_string(sheet(), row - 1, column - 1, value.toString().toUtf8().constData(), nullptr);
    else if (type == QMetaType::Bool)
        worksheet_write_boolean(sheet(), row - 1, column - 1, value.toBool(), nullptr);
    else if (type == QMetaType::QDate || type == QMetaType::QDateTime)
        worksheet_write_datetime(sheet(), row - 1, column - 1, &dt,
                                 format(type == QMetaType::QDate ? "yyyy-mm-dd" : "yyyy-mm-dd hh:mm:ss"));
    else if (type != QMetaType::UnknownType)
        worksheet_write_number(sheet(), row - 1, column - 1, value.toDouble(), nullptr);
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
    const QByteArray f = formula.toUtf8(), text = cached.toString().toUtf8();
    if (cached.userType() == QMetaType::QString)
        worksheet_write_formula_str(sheet(), row - 1, column - 1, f.constData(), nullptr, text.constData());
    else
        worksheet_write_formula_num(sheet(), row - 1, column - 1, f.constData(), nullptr, cached.toDouble());
    return *this;
}

TestWorkbook& TestWorkbook::setNumber(int row, int column, double value, const QString& numberFormat)
{
    worksheet_write_number(sheet(), row - 1, column - 1, value, format(numberFormat));
    return *this;
}

bool TestWorkbook::save()
{
    if (std::exchange(m_saved, true))
        return true;
    sheet();
    return workbook_close(m_workbook) == LXW_NO_ERROR;
}
