#pragma once

#include <QByteArray>
#include <QString>

// What a workbook file holds, to tell whether it changed since it was read.
// Neither its size nor its time stamp says so: a same-size edit whose time
// stamp was set back, or another file moved into its place, keeps both.
//
// A zip package (.xlsx) is told by its central directory, which lists every
// entry with its checksum and sizes, so a change to any part changes it; it
// is read from the end of the file, a few kilobytes for a full-size sheet.
// Any other file (.xls, delimited text) is told by a SHA-256 of all of it.
// Empty when the file cannot be read.
namespace reader {

QByteArray workbookFingerprint(const QString& path);

} // namespace reader
