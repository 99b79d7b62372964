#pragma once

#include <QHash>
#include <QVariant>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// A real .xlsx file as spreadsheet programs write it, saved at the latest on destruction. Positions
// are 1-based; a QDate(Time) is a number shown "yyyy-mm-dd( hh:mm:ss)", an invalid QVariant no cell.
class TestWorkbook final
{
public:
    explicit TestWorkbook(const QString& path);
    ~TestWorkbook() { save(); }
    TestWorkbook(const TestWorkbook&) = delete;

    TestWorkbook& addSheet(const QString& name);   // the sheet written to from now on
    TestWorkbook& setCell(int row, int column, const QVariant& value);
    TestWorkbook& setRow(int row, const QVariantList& values);   // from column 1 on
    // A formula with its cached result (a number or a string).
    TestWorkbook& setFormula(int row, int column, const QString& formula, const QVariant& cached);
    TestWorkbook& setNumber(int row, int column, double value, const QString& numberFormat);
    bool save();   // false when libxlsxwriter failed

private:
    lxw_worksheet* sheet();
    lxw_format* format(const QString& numberFormat);

    lxw_workbook* m_workbook;
    lxw_worksheet* m_sheet = nullptr;
    QHash<QString, lxw_format*> m_formats;
    bool m_saved = false;
};
