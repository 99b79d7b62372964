#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

namespace fuzz {

// The parts as a zip in memory, stored without compression (mutated XML
// stays readable to the parser); empty on failure.
QByteArray packageBytes(const QMap<QString, QByteArray>& parts);
// The same in the order given: an OpenDocument package's "mimetype" comes first.
QByteArray packageBytes(const QList<QPair<QString, QByteArray>>& parts);

// A one-sheet workbook (sheet "S", with styles that hold date formats) around
// the given worksheet part and, unless empty, shared strings part; the
// properties (such as <calcPr .../>) go into the workbook part.
QByteArray workbookAround(const QByteArray& worksheet, const QByteArray& sharedStrings,
                          const QByteArray& workbookProperties = {});

// The bytes of one part of a package; empty when it is missing.
QByteArray partOf(const QByteArray& package, const char* name);

} // namespace fuzz
