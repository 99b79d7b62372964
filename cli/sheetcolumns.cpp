#include "sheetcolumns.h"

#include "xlsx/document.h"

std::optional<int> sheetLastColumn(const QString& workbookPath, const QString& sheetName)
{
    xlsx::Document workbook(workbookPath);
    if (!workbook.selectSheet(sheetName))
        return std::nullopt;
    return workbook.dimension().lastColumn();
}
