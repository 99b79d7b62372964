#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cstddef>

namespace kova {

// The sheet columns of a type's mapped fields, indexed by the type's field
// enum (whose last enumerator is Count): the mapping combo boxes' current
// indexes, 1-based; 0 or below means not mapped.
template <typename Field>
class ColumnMap final
{
public:
    using FieldType = Field;

    int operator[](Field field) const { return m_columns[std::size_t(field)]; }
    int& operator[](Field field) { return m_columns[std::size_t(field)]; }
    bool mapped(Field field) const { return (*this)[field] >= 1; }

    // All columns in field order, for what treats every field alike.
    QVector<int> toVector() const { return QVector<int>(m_columns.begin(), m_columns.end()); }
    // One column per field, in field order. Columns of another length were
    // counted for another list of fields, so no one knows which is whose: cut
    // or padded, some field would take another's column. They are refused
    // whole, every field left unmapped, which the required-field checks refuse.
    void assign(const QVector<int>& columns)
    {
        const bool fits = std::size_t(columns.size()) == m_columns.size();
        Q_ASSERT_X(fits, "ColumnMap::assign", "one column per field");
        if (fits)
            std::copy(columns.begin(), columns.end(), m_columns.begin());
        else
            m_columns.fill(0);
    }
    int* begin() { return m_columns.data(); }
    int* end() { return m_columns.data() + m_columns.size(); }

private:
    std::array<int, std::size_t(Field::Count)> m_columns{};
};

// Beside a type's column indexes, when the sheet has column titles: where
// they are and what they say.
struct ColumnHeader
{
    int row = 1;          // the sheet row of the titles; data start below it
    QStringList texts;    // each field's column title, in field order, as a save keeps it
    // A saved title the sheet lacks or holds twice: the export is refused
    // with this before any row is read.
    QString refusal;
};

} // namespace kova
