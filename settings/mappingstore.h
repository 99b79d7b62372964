#pragma once

#include "types/typedescriptor.h"

#include <QString>
#include <QStringList>
#include <QVector>

class QSettings;

namespace kova {

// A type's mapping as its group of the settings file keeps it. Beside each
// field's column index ("ToAcc") the header text that column had when it was
// saved ("ToAccHeader"), so that a later sheet can be checked against it.
struct SavedMapping
{
    QVector<int> columns;       // in field order; below 1: not mapped
    QStringList headerTexts;    // in field order; empty where none was kept
    bool hasColumnHeader = false;
    int headerRow = 1;          // the sheet row holding the column titles
    // The group holds a mapping (a field's column or "HasColumnHeader"); a
    // Header ID or Corporate ID stored alone is none.
    bool stored = false;
    // In field order: the group holds that field's column key. A field never
    // saved may still be matched by its title; one saved as unmapped is not.
    QVector<bool> keySaved{};
};

// The stored column indexes of type's group, in field order: all 0 when the
// group was never saved, 0 for a missing key.
QVector<int> readMapping(const QString& settingsPath, const TypeDescriptor& type);

// Everything above, with "HasColumnHeader" (the sheet's first row holds
// column titles, not a transaction; missing reads as false), the header texts
// (a file written before they were kept has none) and "HeaderRow" (missing or
// below 1: row 1).
SavedMapping readSavedMapping(const QString& settingsPath, const TypeDescriptor& type);
// The same from settings already open, outside any group.
SavedMapping readSavedMapping(QSettings& settings, const TypeDescriptor& type);
// The same from group (a type's group, or a group of a named layout in it).
SavedMapping readSavedMapping(QSettings& settings, const TypeDescriptor& type, const QString& group);

// Into settings, already inside type's group: each field's column as an int,
// its header text when it has one and the sheet has column titles (a stale
// one is removed), "HasColumnHeader" as a bool and "HeaderRow".
void writeMapping(QSettings& settings, const TypeDescriptor& type, const SavedMapping& mapping);

// The settings key of a field's header text: "ToAcc" -> "ToAccHeader".
QString headerTextKey(const FieldSpec& field);

} // namespace kova
