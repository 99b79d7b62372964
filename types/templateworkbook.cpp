#include "templateworkbook.h"

#include "types/registry.h"

#include <xlsxwriter.h>

namespace kova {
namespace {

// Built-in number formats every spreadsheet program knows by number.
constexpr uint8_t textFormat = 49;     // "@"
constexpr uint8_t amountFormat = 2;    // "0.00"

// Wide enough for the caption and, at the least, for a date or a ten-digit
// account, in the program's character widths.
double widthFor(const QString& caption)
{
    return qMax(12, caption.size() + 2);
}

} // namespace

QString writeTemplate(BatchType type, const QString& path)
{
    lxw_workbook* book = workbook_new(path.toUtf8().constData());
    if (!book)
        return QStringLiteral("Template could not be written: ") + path;
    lxw_worksheet* sheet = workbook_add_worksheet(book, batchTypeName(type).toUtf8().constData());

    lxw_format* text = workbook_add_format(book);
    format_set_num_format_index(text, textFormat);
    lxw_format* amount = workbook_add_format(book);
    format_set_num_format_index(amount, amountFormat);
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "yyyy-mm-dd");
    // The header cells carry their own format, so a caption above a date or
    // amount column stays plain text.
    lxw_format* header = workbook_add_format(book);
    format_set_bold(header);

    // Template column n feeds the type's n-th field, as its stored mapping says.
    const QVector<FieldSpec>& columns = descriptorOf(type).fields;
    for (int i = 0; i < columns.size(); ++i) {
        const FieldSpec& column = columns.at(i);
        lxw_format* format = column.kind == CellKind::Amount ? amount : column.kind == CellKind::Date ? date : text;
        worksheet_set_column(sheet, lxw_col_t(i), lxw_col_t(i), widthFor(column.caption), format);
        worksheet_write_string(sheet, 0, lxw_col_t(i), column.caption.toUtf8().constData(), header);
    }
    worksheet_freeze_panes(sheet, 1, 0);

    const lxw_error error = workbook_close(book);
    if (error != LXW_NO_ERROR)
        return QStringLiteral("Template could not be written: ") + QString::fromUtf8(lxw_strerror(error));
    return {};
}

} // namespace kova
