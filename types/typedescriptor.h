#pragma once

#include "batchtype.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace kova {

// When the form refuses to save or export without the field mapped.
enum class Required {
    Always,
    OthersMode,   // only when the beneficiary bank is another bank
    Never,
};

// How a template column keeps what is typed into it.
enum class CellKind {
    // Free texts too: a spreadsheet would read a remark such as "1-2" as a
    // date and a reference such as "0012" as a number.
    Text,     // accounts, IDs, codes, names: kept as typed, leading zeros too
    Amount,   // a number with two decimals
    Date,     // a date
};

// One mapped field of a transaction type.
struct FieldSpec
{
    QString key;          // the settings key of its column index
    // Its name in the template's title row, in "Matched by header" lines and
    // on the form's mapping row unless label says otherwise.
    QString caption;
    // Its usual name: the first header text it is matched by, and the name
    // a "Matched by header" line gives it.
    QString headerName = {};
    QString comboName = {};    // object name of the field's mapping combo box in the form
    Required required = Required::Never;
    QString missingMessage = {};   // the refusal when a required field is not mapped
    // Other titles that name it in a workbook, the common English and
    // Indonesian ones, by which a column is matched to a field not yet mapped.
    QStringList aliases = {};
    QString expects = {};      // what the bank accepts in its cells
    CellKind kind = CellKind::Text;
    // The form's mapping row calls it so, without the required mark, where
    // that differs from the caption the template and the log give it.
    QString label = {};
    // Row messages call it so; declared only where that is not its log
    // title (nor, for a field the log leaves out, its headerName).
    QString messageName = {};

    QString formLabel() const { return label.isEmpty() ? caption : label; }
};

// One column of the export's log table: the field whose value it shows, by
// its index in the type's fields, and its title there (declared empty where
// it is the field's headerName; see withDefaultNames()).
struct LogColumn
{
    int field = 0;
    QString title = {};
};

// Everything the window, the command line, the settings file and the checks
// need to know about a transaction type's mapping.
struct TypeDescriptor
{
    BatchType type;
    QString displayName;   // as the window and the register show it
    QString group;         // its group of the settings file
    QString keyword;       // the TYPE word of kova-export
    QString fileNamePrefix;   // of the upload file name the window proposes
    // In the order the mapping is stored, applied and written.
    QVector<FieldSpec> fields;
    // Field indexes in the order the required checks run; empty: field order.
    QVector<int> checkOrder;
    // The columns of the export's log table, in their order; an engine fills
    // each row's values by field.
    QVector<LogColumn> logColumns;
    // The "|"-separated fields (0-based) of a detail record that belong to
    // the batch rather than to the payment, such as a sequence number: the
    // register's fingerprint of the payments leaves them out. Fixed-width
    // records hold nothing but the payment; the Header ID, the effective date
    // and the batch's own account sit in header records alone, which are
    // never fingerprinted.
    QVector<int> batchFields = {};
    // The form shows its mapping rows in groups: the first field of each
    // group after the first; empty: one group.
    QVector<int> groupStarts = {};
    // logColumnOf() of each field by its index, filled by withDefaultNames():
    // an export asks it for every field of every row.
    QVector<int> logColumnByField = {};

    QStringList keys() const;
    QStringList logTitles() const;
    // The log column that shows field, or -1 for none.
    int logColumnOf(int field) const;
    // The log column of the amount, right-aligned in the window.
    int amountLogColumn() const;
};

// type with the names left empty in its declaration filled in: a log
// column's title is its field's headerName, a field's messageName its log
// title or, when the log leaves it out, its headerName.
TypeDescriptor withDefaultNames(TypeDescriptor type);

// The refusal of the first required field that columns (indexes in field
// order, below 1 meaning not mapped) leave unmapped: the fields required
// always first, then in Others mode those required there; empty when none.
QString missingRequiredField(const TypeDescriptor& type, const QVector<int>& columns, bool othersMode);

} // namespace kova
