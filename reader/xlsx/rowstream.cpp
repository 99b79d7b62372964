#include "rowstream.h"

#include "reader/cells/cellsink.h"
#include "reader/containers/prefetch.h"
#include "reader/xlsx/sheetreader.h"
#include "reader/xml/xmlparser.h"
#include "reader/containers/ziparchive.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <stdexcept>

namespace reader {

namespace {

// Batches parsed ahead of the reading side.
constexpr std::size_t kBatchesAhead = 3;

// Without a survey, the width given out is that of the rows read by then, at
// least these top rows: where a header row lies, and as wide as the rows under
// it in any sheet laid out as a table.
constexpr std::uint32_t kTopRows = 64;
// The last row a sheet may have: as far as a sheet read without a survey may
// reach until its end is found.
constexpr int kLastSheetRow = 1048576;

bool before(const Cell& a, const Cell& b)
{
    return a.row != b.row ? a.row < b.row : a.column < b.column;
}

} // namespace

RowStream::RowStream(const ZipArchive& archive, std::string part, const SharedStrings& sharedStrings,
                     const Styles& styles, DateSystem dateSystem, bool formulasAsText,
                     std::optional<SheetOutline> outline)
    : m_archive(archive)
    , m_part(std::move(part))
    , m_sharedStrings(sharedStrings)
    , m_styles(styles)
    , m_values(sharedStrings, dateSystem)
    , m_formulasAsText(formulasAsText)
    , m_surveyed(outline.has_value())
    , m_outline(outline ? std::move(*outline) : SheetOutline())
    , m_range(m_outline.usedRange())
{
    start();
}

RowStream::~RowStream()
{
    stop();
}

void RowStream::start() const
{
    m_stopping = false;
    m_held.clear();
    m_ready.clear();
    m_wholeBelow = 0;
    m_ended = m_surveyed ? m_outline.cells() == 0 : m_broken;
    m_failed = false;
    m_floor = 0;
    m_row = 0;
    m_rowCells.clear();
    m_seen = CellRange();
    if (!m_ended)
        m_worker = std::thread([this] { work(); });
}

void RowStream::stop() const
{
    if (!m_worker.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_worker.join();
}

void RowStream::work() const
{
    bool ok = false;
    try {
        ok = parse();
    } catch (...) {
        // Out of memory, or the part reads otherwise than it did.
    }
    if (!ok) {
        auto failed = std::make_unique<Batch>();
        failed->failed = true;
        deliver(std::move(failed));
    }
}

// Hands a batch over, waiting while enough are ready.
void RowStream::deliver(std::unique_ptr<Batch> batch) const
{
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_stopping || m_ready.size() < kBatchesAhead; });
        if (m_stopping)
            return;
        m_ready.push_back(std::move(batch));
    }
    m_changed.notify_all();
}

bool RowStream::parse() const
{
    // Cells go into the batch being filled.
    class BatchSink final : public CellSink
    {
    public:
        // Without a survey's count, the outline is learnt as the cells come.
        BatchSink(std::uint32_t limit, bool surveyed) : m_limit(limit), m_surveyed(surveyed) {}
        bool keepsValues() const override { return true; }
        std::uint32_t addText(std::string_view utf8) override { return batch->texts.add(utf8); }
        void add(Cell cell) override
        {
            if (m_surveyed) {
                // More than the survey counted: the part is no longer what it was.
                if (m_read == m_limit)
                    throw std::length_error("sheet changed");
            } else {
                m_outline.count(cell);
                // A cell of an earlier row: a row answered as whole was not.
                if (!m_outline.rowsInOrder())
                    throw std::runtime_error("rows out of order");
            }
            ++m_read;
            m_highestRow = std::max(m_highestRow, cell.row);
            // Field by field: copied whole, the cell is read from where its
            // two halves were just stored, and that read stalls.
            Cell& kept = batch->cells.emplace_back();
            kept.row = cell.row;
            kept.column = cell.column;
            kept.kind = cell.kind;
            std::memcpy(&kept.number, &cell.number, sizeof cell.number);
        }
        std::unique_ptr<Batch> take()
        {
            std::unique_ptr<Batch> full = std::move(batch);
            full->cellsRead = m_read;
            full->highestRow = m_highestRow;
            full->seen = m_outline.usedRange();
            if (!std::is_sorted(full->cells.begin(), full->cells.end(), before))
                std::stable_sort(full->cells.begin(), full->cells.end(), before);
            // Chunks are alike: the next batch holds about as many cells, and
            // growing to them would copy every one of them once more.
            batch = std::make_unique<Batch>();
            batch->cells.reserve(full->cells.size());
            return full;
        }
        std::uint32_t read() const { return m_read; }

        std::unique_ptr<Batch> batch = std::make_unique<Batch>();

    private:
        const std::uint32_t m_limit;
        const bool m_surveyed;
        SheetOutline m_outline;
        std::uint32_t m_read = 0;
        std::uint32_t m_highestRow = 0;
    };

    const std::unique_ptr<PartReader> part = m_archive.open(m_part);
    if (!part)
        return false;
    BatchSink sink(m_outline.cells(), m_surveyed);
    SheetReader reader(m_sharedStrings, m_styles, sink, m_formulasAsText);
    XmlParser parser(reader, m_outline.readByExpat() ? nullptr : "sheetData");
    // The part is inflated on a thread of its own while this one parses.
    const auto read = [&part](char* buffer, std::size_t size) { return part->read(buffer, size); };
    const auto consume = [&](const char* data, std::size_t size) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stopping)
                return false;
        }
        if (!parser.feed(data, size, false))
            return false;
        if (!sink.batch->cells.empty())
            deliver(sink.take());
        return true;
    };
    if (!prefetch(read, consume)) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_stopping;
    }
    if (!parser.feed(nullptr, 0, true) || (m_surveyed && sink.read() != m_outline.cells()))
        return false;
    std::unique_ptr<Batch> last = sink.take();
    last->end = true;
    deliver(std::move(last));
    return true;
}

void RowStream::advanceTo(std::uint32_t row) const
{
    if (row < m_floor) {
        // Behind what is held: the sheet is read again from its start.
        stop();
        start();
    }
    if (m_ended || row < m_wholeBelow)
        return;
    // Rows before this one are passed: their batches go.
    m_held.erase(std::remove_if(m_held.begin(), m_held.end(),
                                [row](const std::unique_ptr<Batch>& batch) {
                                    return batch->cells.empty() || batch->cells.back().row < row;
                                }),
                 m_held.end());
    m_floor = row;
    m_row = 0;
    while (!m_ended && row >= m_wholeBelow)
        receive();
}

// Takes the next batch the worker parsed.
void RowStream::receive() const
{
    std::unique_ptr<Batch> batch;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_ready.empty(); });
        batch = std::move(m_ready.front());
        m_ready.pop_front();
    }
    m_changed.notify_all();
    // A part that no longer reads as surveyed ends here: what came stays,
    // and readIntact() says so.
    m_ended = batch->end || batch->failed;
    m_failed = m_failed || batch->failed;
    if (m_surveyed) {
        m_wholeBelow = m_outline.wholeBelow(batch->cellsRead, batch->highestRow);
    } else {
        // Rows come in order: every row before the highest one is whole.
        m_wholeBelow = batch->highestRow;
        if (!batch->cells.empty())
            m_seen = batch->seen;
        // The width given out holds while no cell lies outside it, and is the
        // sheet's when the cells at the end span all of it.
        bool widthKept = true;
        if (m_columnsGiven) {
            const auto [first, last] = *m_columnsGiven;
            widthKept = batch->end ? m_seen.firstColumn() == first && m_seen.lastColumn() == last
                                   : !m_seen.isValid() || (m_seen.firstColumn() >= first && m_seen.lastColumn() <= last);
        }
        m_broken = m_broken || batch->failed || !widthKept;
        m_ended = m_ended || m_broken;
    }
    if (!batch->cells.empty())
        m_held.push_back(std::move(batch));
}

// The cells of a whole row, by column, a position listed twice as its later listing.
void RowStream::gatherRow(std::uint32_t row) const
{
    m_rowCells.clear();
    m_row = row;
    m_rowHasFormula = false;
    for (const std::unique_ptr<Batch>& batch : m_held) {
        const std::vector<Cell>& cells = batch->cells;
        if (cells.front().row > row || cells.back().row < row)
            continue;
        // Rows are mostly read one after the other: the next row starts where
        // the last one ended. Otherwise it is looked up.
        std::size_t at = batch->next;
        if (at >= cells.size() || cells[at].row > row || (at > 0 && cells[at - 1].row >= row)) {
            Cell key{};
            key.row = row;
            at = std::size_t(std::lower_bound(cells.begin(), cells.end(), key,
                                              [](const Cell& a, const Cell& b) { return a.row < b.row; })
                             - cells.begin());
        }
        while (at < cells.size() && cells[at].row < row)
            ++at;
        for (; at < cells.size() && cells[at].row == row; ++at) {
            m_rowHasFormula |= cells[at].kind == CellKind::Formula;
            m_rowCells.push_back({cells[at], &batch->texts});
        }
        batch->next = at;
    }
    // Mostly the row lies in one batch, its columns in order and each once.
    const auto notBefore = [](const RowCell& a, const RowCell& b) { return a.cell.column >= b.cell.column; };
    if (std::adjacent_find(m_rowCells.begin(), m_rowCells.end(), notBefore) == m_rowCells.end())
        return;
    // Batches come in the order listed, so a stable sort keeps the later listing last.
    std::stable_sort(m_rowCells.begin(), m_rowCells.end(),
                     [](const RowCell& a, const RowCell& b) { return a.cell.column < b.cell.column; });
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_rowCells.size(); ++i) {
        if (kept > 0 && m_rowCells[kept - 1].cell.column == m_rowCells[i].cell.column)
            m_rowCells[kept - 1] = m_rowCells[i];
        else
            m_rowCells[kept++] = m_rowCells[i];
    }
    m_rowCells.resize(kept);
}

CellRange RowStream::usedRange() const
{
    if (m_surveyed)
        return m_range;
    while (!m_ended && m_wholeBelow <= kTopRows)
        receive();
    if (!m_columnsGiven && m_seen.isValid())
        m_columnsGiven = std::make_pair(m_seen.firstColumn(), m_seen.lastColumn());
    if (m_ended && !m_broken)
        return m_seen;
    return m_seen.isValid() ? CellRange(m_seen.firstRow(), m_seen.firstColumn(), kLastSheetRow, m_seen.lastColumn())
                            : CellRange();
}

bool RowStream::rowsReach(int row) const
{
    if (m_surveyed)
        return row <= m_range.lastRow();
    while (!m_ended && m_seen.lastRow() < row)
        receive();
    return row <= m_seen.lastRow();
}

CellRange RowStream::bounds() const
{
    // Without a survey, no cell lies outside the range the sheet turns out to have.
    return m_surveyed ? m_range : CellRange(1, 1, kLastSheetRow, INT_MAX);
}

bool RowStream::holdRow(int row) const
{
    const CellRange range = bounds();
    if (row < range.firstRow() || row > range.lastRow())
        return false;
    if (std::uint32_t(row) != m_row) {
        advanceTo(std::uint32_t(row));
        gatherRow(std::uint32_t(row));
    }
    return true;
}

const RowStream::RowCell* RowStream::find(int row, int column) const
{
    const CellRange range = bounds();
    if (column < range.firstColumn() || column > range.lastColumn() || !holdRow(row))
        return nullptr;
    const auto at = std::lower_bound(m_rowCells.begin(), m_rowCells.end(), column,
                                     [](const RowCell& cell, int c) { return cell.cell.column < c; });
    return at != m_rowCells.end() && at->cell.column == column ? &*at : nullptr;
}

bool RowStream::readIntact() const
{
    // The part's own checks (its length, its CRC-32) come at its end.
    if (!m_ended) {
        advanceTo(UINT32_MAX);
        m_row = 0;
    }
    return !m_failed && !m_broken;
}

QVariant RowStream::read(int row, int column) const
{
    const RowCell* cell = find(row, column);
    return cell ? m_values.value(cell->cell, *cell->texts) : QVariant();
}

bool RowStream::isUnknown(int row, int column) const
{
    const RowCell* cell = find(row, column);
    return cell && cell->cell.kind == CellKind::Formula;
}

bool RowStream::mayHoldUnknown(int row) const
{
    return holdRow(row) && m_rowHasFormula;
}

QString RowStream::text(int row, int column) const
{
    const RowCell* cell = find(row, column);
    return cell ? m_values.text(cell->cell, *cell->texts) : QString();
}

void RowStream::textInto(int row, int column, QString& into) const
{
    if (const RowCell* cell = find(row, column))
        m_values.textInto(cell->cell, *cell->texts, into);
    else
        into = QString();
}

} // namespace reader
