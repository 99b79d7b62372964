#include "readcells.h"

#include "reader/csv/csvstream.h"
#include "reader/document.h"

#include <QDate>
#include <QVariant>

#include <cstdlib>

namespace fuzz {

namespace {

constexpr long long kMaxReads = 4096;

void expect(bool condition)
{
    if (!condition)
        std::abort();
}

void touch(const QVariant& value)
{
    // The conversions the exports make of every cell they read.
    value.toString();
    value.toDate();
    value.toLongLong();
}

// Read once without a survey, as kova-export reads it (the width, then the rows
// until the end): where it says it read intact, it read what the whole sheet holds.
void readOnceInOrder(const reader::InMemory& package, const reader::TextOptions& text, const QString& name,
                     const reader::Document& whole)
{
    reader::Document once(package, text, reader::SheetAccess::InOrder);
    if (!once.selectSheet(name))
        return;
    const int lastColumn = once.dimension().lastColumn();
    bool same = true;
    long long reads = 0;
    for (int r = 1; once.rowsReach(r) && reads < kMaxReads; ++r) {
        for (int c = 1; c <= lastColumn + 1 && reads < kMaxReads; ++c, ++reads) {
            const QVariant value = once.read(r, c);
            const QVariant held = whole.read(r, c);
            same = same && value.userType() == held.userType() && value.toString() == held.toString();
        }
    }
    if (!once.readIntact())
        return;
    const reader::CellRange range = whole.dimension();
    const reader::CellRange read = once.dimension();
    expect(same && lastColumn == range.lastColumn());
    expect(read.firstRow() == range.firstRow() && read.lastRow() == range.lastRow()
           && read.firstColumn() == range.firstColumn() && read.lastColumn() == range.lastColumn());
}

} // namespace

void readEverySheet(const reader::InMemory& package, const reader::TextOptions& text)
{
    reader::Document whole(package, text);
    reader::Document forward(package, text, reader::SheetAccess::Forward);
    expect(whole.sheetNames() == forward.sheetNames());
    // Both answer alike; the text of a cell is its value's.
    const auto read = [&](int row, int column) {
        const QVariant value = whole.read(row, column);
        const QVariant streamed = forward.read(row, column);
        expect(value.userType() == streamed.userType() && value.toString() == streamed.toString());
        expect(whole.text(row, column) == value.toString() && forward.text(row, column) == value.toString());
        // A cell whose value is not known reads as its formula, never as a value.
        const bool unknown = whole.isUnknown(row, column);
        expect(forward.isUnknown(row, column) == unknown);
        expect(!unknown || (value.userType() == QMetaType::QString && value.toString().startsWith('=')));
        touch(value);
        return value;
    };
    for (const QString& name : whole.sheetNames()) {
        const bool selected = whole.selectSheet(name);
        expect(forward.selectSheet(name) == selected);
        if (!selected) {
            expect(!whole.dimension().isValid() && !whole.read(1, 1).isValid());
            expect(!forward.dimension().isValid() && !forward.read(1, 1).isValid());
            continue;
        }
        const reader::CellRange range = whole.dimension();
        const reader::CellRange streamedRange = forward.dimension();
        expect(range.firstRow() == streamedRange.firstRow() && range.lastRow() == streamedRange.lastRow()
               && range.firstColumn() == streamedRange.firstColumn() && range.lastColumn() == streamedRange.lastColumn());
        readOnceInOrder(package, text, name, whole);
        if (!range.isValid())
            continue;
        expect(1 <= range.firstRow() && range.firstRow() <= range.lastRow() && range.lastRow() <= 1048576);
        expect(1 <= range.firstColumn() && range.firstColumn() <= range.lastColumn() && range.lastColumn() <= 16384);
        long long reads = 0;
        for (int r = range.firstRow(); r <= range.lastRow() && reads < kMaxReads; ++r)
            for (int c = range.firstColumn(); c <= range.lastColumn() && reads < kMaxReads; ++c, ++reads)
                read(r, c);
        read(range.lastRow(), range.lastColumn());
        expect(!read(range.lastRow() + 1, range.firstColumn()).isValid());
        expect(!read(range.firstRow(), range.lastColumn() + 1).isValid());
        expect(!read(range.firstRow() - 1, range.firstColumn()).isValid());
        read(range.firstRow(), range.firstColumn());
        // Bytes in memory do not change: the second pass reads what the first did.
        expect(forward.readIntact());
    }
}

void readInPieces(const QByteArray& text, const reader::TextOptions& options, int choice)
{
    const std::size_t chunks[] = {1, 2, 3, 7, 4093};
    reader::Document whole(reader::InMemory{text}, options);
    reader::CsvStream once(QString(), text, options, chunks[choice % 5]);
    if (!whole.isDelimitedText())
        return;
    const bool readable = whole.selectSheet(QStringLiteral("Sheet1"));
    if (!once.open())
        return;
    const int lastColumn = once.usedRange().lastColumn();
    bool same = true;
    long long reads = 0;
    int r = 1;
    for (; once.rowsReach(r) && reads < kMaxReads; ++r)
        for (int c = 1; c <= lastColumn + 1 && reads < kMaxReads; ++c, ++reads)
            same = same && once.text(r, c) == whole.text(r, c);
    // Text the whole reading refuses never reads intact to its end.
    if (!readable)
        expect(!once.readIntact() || reads >= kMaxReads);
    if (!readable || !once.readIntact() || reads >= kMaxReads)
        return;
    const reader::CellRange range = whole.dimension();
    const reader::CellRange read = once.usedRange();
    expect(same && r == range.lastRow() + 1 && lastColumn == range.lastColumn());
    expect(read.firstRow() == range.firstRow() && read.lastRow() == range.lastRow()
           && read.firstColumn() == range.firstColumn() && read.lastColumn() == range.lastColumn());
    expect(once.options().delimiter == whole.textOptions().delimiter
           && once.options().encoding == whole.textOptions().encoding);
}

void expectSameCells(const reader::InMemory& reference, const reader::InMemory& package)
{
    reader::Document expected(reference);
    reader::Document actual(package);
    for (const QString& name : expected.sheetNames()) {
        if (!expected.selectSheet(name))
            continue;
        expect(actual.selectSheet(name));
        const reader::CellRange range = expected.dimension();
        const reader::CellRange read = actual.dimension();
        expect(range.firstRow() == read.firstRow() && range.lastRow() == read.lastRow()
               && range.firstColumn() == read.firstColumn() && range.lastColumn() == read.lastColumn());
        long long reads = 0;
        for (int r = range.firstRow(); range.isValid() && r <= range.lastRow() && reads < kMaxReads; ++r) {
            for (int c = range.firstColumn(); c <= range.lastColumn() && reads < kMaxReads; ++c, ++reads) {
                const QVariant value = expected.read(r, c);
                const QVariant other = actual.read(r, c);
                expect(value.userType() == other.userType() && value.toString() == other.toString());
            }
        }
    }
}

} // namespace fuzz
