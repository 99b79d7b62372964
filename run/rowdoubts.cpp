#include "rowdoubts.h"

#include "record/rowcontext.h"
#include "xlsx/document.h"

namespace kova {

RowDoubts::RowDoubts(const TypeDescriptor& type, const QVector<int>& columns)
{
    for (int field = 0; field < type.fields.size() && field < columns.size(); ++field) {
        if (columns.at(field) < 1)
            continue;
        m_fields.append({columns.at(field), type.logColumnOf(field),
                         {QStringLiteral("Formula without a calculated result in "), type.fields.at(field).messageName,
                          QStringLiteral(": open and save the workbook in a spreadsheet program")}});
    }
}

bool RowDoubts::find(const xlsx::Document& sheet, int row)
{
    m_found.clear();
    if (!sheet.mayHoldUnknown(row))
        return false;
    for (const Field& field : m_fields)
        if (sheet.isUnknown(row, field.column))
            m_found.append(&field);
    return !m_found.isEmpty();
}

void RowDoubts::report(RowContext& out) const
{
    for (const Field* field : m_found)
        out.error(field->words, field->logColumn);
}

} // namespace kova
