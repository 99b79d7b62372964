#include "rowstream.h"

#include "cellsink.h"
#include "prefetch.h"
#include "sheetreader.h"
#include "xmlparser.h"
#include "ziparchive.h"

#include <algorithm>
#include <stdexcept>

namespace xlsx {

namespace {

// Batches parsed ahead of the reading side.
constexpr std::size_t kBatchesAhead = 3;

bool before(const Cell& a, const Cell& b)
{
    return a.row != b.row ? a.row < b.row : a.column < b.column;
}

} // namespace

RowStream::RowStream(const ZipArchive& archive, std::string part, const SharedStrings& sharedStrings,
                     const Styles& styles, DateSystem dateSystem, bool formulasAsText, SheetOutline outline)
    : m_archive(archive)
    , m_part(std::move(part))
    , m_sharedStrings(sharedStrings)
    , m_styles(styles)
    , m_values(sharedStrings, dateSystem)
    , m_formulasAsText(formulasAsText)
    , m_outline(std::move(outline))
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
    m_ended = m_outline.cells() == 0;
    m_failed = false;
    m_floor = 0;
    m_row = 0;
    m_rowCells.clear();
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
        explicit BatchSink(std::uint32_t limit) : m_limit(limit) {}
        bool keepsValues() const override { return true; }
        std::uint32_t addText(const std::string& utf8) override { return batch->texts.add(utf8); }
        void add(const Cell& cell) override
        {
            // More than the survey counted: the part is no longer what it was.
            if (m_read == m_limit)
                throw std::length_error("sheet changed");
            ++m_read;
            m_highestRow = std::max(m_highestRow, cell.row);
            batch->cells.push_back(cell);
        }
        std::unique_ptr<Batch> take()
        {
            std::unique_ptr<Batch> full = std::move(batch);
            full->cellsRead = m_read;
            full->highestRow = m_highestRow;
            if (!std::is_sorted(full->cells.begin(), full->cells.end(), before))
                std::stable_sort(full->cells.begin(), full->cells.end(), before);
            batch = std::make_unique<Batch>();
            return full;
        }
        std::uint32_t read() const { return m_read; }

        std::unique_ptr<Batch> batch = std::make_unique<Batch>();

    private:
        const std::uint32_t m_limit;
        std::uint32_t m_read = 0;
        std::uint32_t m_highestRow = 0;
    };

    const std::unique_ptr<PartReader> part = m_archive.open(m_part);
    if (!part)
        return false;
    BatchSink sink(m_outline.cells());
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
    if (!parser.feed(nullptr, 0, true) || sink.read() != m_outline.cells())
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
    while (!m_ended && row >= m_wholeBelow) {
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
        m_wholeBelow = m_outline.wholeBelow(batch->cellsRead, batch->highestRow);
        if (!batch->cells.empty())
            m_held.push_back(std::move(batch));
    }
}

// The cells of a whole row, by column, a position listed twice as its later listing.
void RowStream::gatherRow(std::uint32_t row) const
{
    m_rowCells.clear();
    m_row = row;
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
        for (; at < cells.size() && cells[at].row == row; ++at)
            m_rowCells.push_back({cells[at], &batch->texts});
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

const RowStream::RowCell* RowStream::find(int row, int column) const
{
    if (row < m_range.firstRow() || row > m_range.lastRow() || column < m_range.firstColumn()
        || column > m_range.lastColumn())
        return nullptr;
    if (std::uint32_t(row) != m_row) {
        advanceTo(std::uint32_t(row));
        gatherRow(std::uint32_t(row));
    }
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
    return !m_failed;
}

QVariant RowStream::read(int row, int column) const
{
    const RowCell* cell = find(row, column);
    return cell ? m_values.value(cell->cell, *cell->texts) : QVariant();
}

QString RowStream::text(int row, int column) const
{
    const RowCell* cell = find(row, column);
    return cell ? m_values.text(cell->cell, *cell->texts) : QString();
}

} // namespace xlsx
