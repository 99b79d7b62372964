#include "templatecolumns.h"

namespace kova {

QVector<TemplateColumn> templateColumns(BatchType type)
{
    // Free texts are text as well: a spreadsheet would read a remark such as
    // "1-2" as a date and a reference such as "0012" as a number.
    const CellKind T = CellKind::Text;
    switch (type) {
    case BatchType::Transfer:
        return {
            {QStringLiteral("Trx Ref #"), T}, {QStringLiteral("Date"), CellKind::Date},
            {QStringLiteral("From Acc #"), T}, {QStringLiteral("To Acc #"), T},
            {QStringLiteral("Amount"), CellKind::Amount}, {QStringLiteral("Remarks 1"), T},
            {QStringLiteral("Remarks 2"), T}, {QStringLiteral("Transfer Type"), T},
            {QStringLiteral("BI Code"), T}, {QStringLiteral("Bank Name"), T},
            {QStringLiteral("Bank Branch"), T}, {QStringLiteral("Name"), T},
            {QStringLiteral("Address 1"), T}, {QStringLiteral("Address 2"), T},
            {QStringLiteral("Address 3"), T}, {QStringLiteral("Address 4"), T},
            {QStringLiteral("Cust Type"), T}, {QStringLiteral("Cust Residence"), T},
        };
    case BatchType::Credit:
        return {
            {QStringLiteral("Trx Date"), CellKind::Date}, {QStringLiteral("Beneficiary Name"), T},
            {QStringLiteral("Acc #"), T}, {QStringLiteral("BI Code"), T},
            {QStringLiteral("Bank"), T}, {QStringLiteral("Branch"), T},
            {QStringLiteral("Amount"), CellKind::Amount}, {QStringLiteral("Transfer Type"), T},
            {QStringLiteral("Remarks 1"), T}, {QStringLiteral("Remarks 2"), T},
            {QStringLiteral("Cust Type"), T}, {QStringLiteral("Cust Residence"), T},
        };
    case BatchType::Collection:
        return {
            {QStringLiteral("Trx Date"), CellKind::Date}, {QStringLiteral("Acc Name"), T},
            {QStringLiteral("Acc #"), T}, {QStringLiteral("Amount"), CellKind::Amount},
            {QStringLiteral("Remarks 1"), T}, {QStringLiteral("Remarks 2"), T},
            {QStringLiteral("Residence Status"), T}, {QStringLiteral("Citizen Status"), T},
        };
    case BatchType::Payroll:
        return {
            {QStringLiteral("Trx Date"), CellKind::Date}, {QStringLiteral("Employee Name"), T},
            {QStringLiteral("Acc #"), T}, {QStringLiteral("Amount"), CellKind::Amount},
            {QStringLiteral("Employee ID"), T}, {QStringLiteral("Department"), T},
        };
    }
    return {};
}

} // namespace kova
