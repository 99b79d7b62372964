#pragma once

#include "reader/cells/textoptions.h"

#include <QByteArray>

namespace reader { struct InMemory; }

namespace fuzz {

// Opens the package twice, its sheets held whole and read as their rows
// arrive (as kova-export reads them), selects every sheet in both and reads
// its used range cell by cell, row after row (up to a bound on the reads: two
// cells can span a whole sheet), then a row already passed. Aborts when a
// reading breaks what the reader promises (a used range inside the sheet,
// nothing outside it), when the two readings differ in anything, or when the
// rows read as they arrive are not intact. Delimited text is read with the
// options given.
void readEverySheet(const reader::InMemory& package, const reader::TextOptions& text = {});

// Reads delimited text once, in chunks of a few bytes (choice picks how
// many), and aborts where it says it read intact and read other rows, cells
// or used range than the whole text holds.
void readInPieces(const QByteArray& text, const reader::TextOptions& options, int choice);

// Opens both packages, their sheets held whole, and aborts when a sheet the
// reference reads is read otherwise from the package: not at all, with
// another used range, or a cell (up to the bound on the reads) with another
// value.
void expectSameCells(const reader::InMemory& reference, const reader::InMemory& package);

} // namespace fuzz
