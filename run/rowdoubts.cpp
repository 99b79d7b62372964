#include "rowdoubts.h"

#include "record/cells.h"
#include "record/rowcontext.h"
#include "reader/document.h"

namespace kova {

RowDoubts::RowDoubts(const TypeDescriptor& type, const QVector<int>& columns, const CellReading& reading)
    : m_reading(reading)
{
    for (int field = 0; field < type.fields.size() && field < columns.size(); ++field) {
        if (columns.at(field) < 1)
            continue;
        const FieldSpec& declared = type.fields.at(field);
        m_fields.append({columns.at(field), type.logColumnOf(field),
                         {QStringLiteral("Formula without a calculated result in "), declared.messageName,
                          QStringLiteral(": open and save the workbook in a spreadsheet program")}});
        if (reading.fromText && declared.kind == CellKind::Date)
            m_dates.append({columns.at(field), type.logColumnOf(field), {QStringLiteral("Invalid date"), {}, {}}});
    }
}

bool RowDoubts::find(const reader::Document& sheet, int row)
{
    m_found.clear();
    if (sheet.mayHoldUnknown(row))
        for (const Field& field : m_fields)
            if (sheet.isUnknown(row, field.column))
                m_found.append(&field);
    // An empty date cell is no date, as in a workbook: the filter leaves its row out.
    for (const Field& field : m_dates)
        if (!cellText(sheet, row, field.column).trimmed().isEmpty()
            && !cellDate(sheet, row, field.column, m_reading).isValid())
            m_found.append(&field);
    return !m_found.isEmpty();
}

void RowDoubts::report(RowContext& out) const
{
    for (const Field* field : m_found)
        out.error(field->words, field->logColumn);
}

} // namespace kova
