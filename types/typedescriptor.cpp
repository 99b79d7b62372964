#include "typedescriptor.h"

namespace kova {
namespace {

QString firstMissing(const TypeDescriptor& type, const QVector<int>& columns, Required required)
{
    QVector<int> order = type.checkOrder;
    if (order.isEmpty())
        for (int i = 0; i < type.fields.size(); ++i)
            order.append(i);
    for (int i : qAsConst(order)) {
        const FieldSpec& field = type.fields.at(i);
        if (field.required == required && columns.value(i) < 1)
            return field.missingMessage;
    }
    return {};
}

} // namespace

QStringList TypeDescriptor::keys() const
{
    QStringList all;
    for (const FieldSpec& field : fields)
        all.append(field.key);
    return all;
}

QStringList TypeDescriptor::logTitles() const
{
    QStringList titles;
    for (const LogColumn& column : logColumns)
        titles.append(column.title);
    return titles;
}

int TypeDescriptor::logColumnOf(int field) const
{
    if (field >= 0 && field < logColumnByField.size())
        return logColumnByField.at(field);
    for (int i = 0; i < logColumns.size(); ++i)
        if (logColumns.at(i).field == field)
            return i;
    return -1;
}

int TypeDescriptor::amountLogColumn() const
{
    for (int i = 0; i < logColumns.size(); ++i)
        if (fields.value(logColumns.at(i).field).kind == CellKind::Amount)
            return i;
    return -1;
}

TypeDescriptor withDefaultNames(TypeDescriptor type)
{
    for (LogColumn& column : type.logColumns)
        if (column.title.isEmpty())
            column.title = type.fields.at(column.field).headerName;
    for (int i = 0; i < type.fields.size(); ++i) {
        FieldSpec& field = type.fields[i];
        if (field.messageName.isEmpty())
            field.messageName = type.logColumnOf(i) < 0 ? field.headerName : type.logColumns.at(type.logColumnOf(i)).title;
    }
    type.logColumnByField.clear();
    QVector<int> columns;
    for (int i = 0; i < type.fields.size(); ++i)
        columns.append(type.logColumnOf(i));
    type.logColumnByField = columns;
    return type;
}

QString missingRequiredField(const TypeDescriptor& type, const QVector<int>& columns, bool othersMode)
{
    const QString always = firstMissing(type, columns, Required::Always);
    if (!always.isEmpty() || !othersMode)
        return always;
    return firstMissing(type, columns, Required::OthersMode);
}

} // namespace kova
