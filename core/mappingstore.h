#pragma once

#include "core/typedescriptor.h"

#include <QString>
#include <QVector>

class QSettings;

namespace kova {

// The stored column indexes of type's group, in field order: all 0 when the
// group was never saved, 0 for a missing key.
QVector<int> readMapping(const QString& settingsPath, const TypeDescriptor& type);

// "HasColumnHeader" of type's group: the sheet's first row holds column
// titles, not a transaction. Missing reads as false.
bool readHasColumnHeader(const QString& settingsPath, const TypeDescriptor& type);

// Into settings, already inside type's group: each field's column as an int,
// then "HasColumnHeader" as a bool.
void writeMapping(QSettings& settings, const TypeDescriptor& type, const QVector<int>& columns,
                  bool hasColumnHeader);

} // namespace kova
