#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// Writes a real .xlsx file with libxlsxwriter, the way spreadsheet programs
// do (shared strings, styles, dimension element).
//
// setCell takes 1-based positions. QString -> string cell; int, qlonglong,
// double -> number; bool -> boolean; QDate -> number with the date format
// "yyyy-mm-dd"; QDateTime -> number with "yyyy-mm-dd hh:mm:ss"; an invalid
// QVariant writes nothing.
class TestWorkbook final
{
public:
    explicit TestWorkbook(const QString& path);
    ~TestWorkbook();
    TestWorkbook(const TestWorkbook&) = delete;
    TestWorkbook& operator=(const TestWorkbook&) = delete;

    // Adds a sheet and makes it the one written to.
    TestWorkbook& addSheet(const QString& name);
    TestWorkbook& setCell(int row, int column, const QVariant& value);
    // Cells of one row from column 1 on.
    TestWorkbook& setRow(int row, const QVariantList& values);
    // A formula with its cached result (a number or a string).
    TestWorkbook& setFormula(int row, int column, const QString& formula, const QVariant& cached);
    // A number shown with a custom number format.
    TestWorkbook& setNumber(int row, int column, double value, const QString& numberFormat);

    // Writes the file; false when libxlsxwriter failed.
    bool save();

private:
    lxw_format* format(const QString& numberFormat);

    lxw_workbook* m_workbook = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    QList<QPair<QString, lxw_format*>> m_formats;
    bool m_saved = false;
};
