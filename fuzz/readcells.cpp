#include "readcells.h"

#include "xlsx/document.h"

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

} // namespace

void readEverySheet(xlsx::Document& document)
{
    for (const QString& name : document.sheetNames()) {
        if (!document.selectSheet(name)) {
            expect(!document.dimension().isValid() && !document.read(1, 1).isValid());
            continue;
        }
        const xlsx::CellRange range = document.dimension();
        if (!range.isValid())
            continue;
        expect(1 <= range.firstRow() && range.firstRow() <= range.lastRow() && range.lastRow() <= 1048576);
        expect(1 <= range.firstColumn() && range.firstColumn() <= range.lastColumn() && range.lastColumn() <= 16384);
        long long reads = 0;
        for (int r = range.firstRow(); r <= range.lastRow() && reads < kMaxReads; ++r)
            for (int c = range.firstColumn(); c <= range.lastColumn() && reads < kMaxReads; ++c, ++reads)
                touch(document.read(r, c));
        touch(document.read(range.lastRow(), range.lastColumn()));
        expect(!document.read(range.lastRow() + 1, range.firstColumn()).isValid());
        expect(!document.read(range.firstRow(), range.lastColumn() + 1).isValid());
        expect(!document.read(range.firstRow() - 1, range.firstColumn()).isValid());
    }
}

} // namespace fuzz
