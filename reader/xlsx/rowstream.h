#pragma once

#include "reader/xlsx/cellvalues.h"
#include "reader/xlsx/sheetcells.h"
#include "reader/xlsx/sheetoutline.h"
#include "reader/cells/stringpool.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace reader {

class SharedStrings;
class Styles;
class ZipArchive;

// A surveyed sheet read as its rows arrive, for one pass through them in
// order. A worker parses the part a few batches ahead while another inflates it;
// this side holds only the batches whose rows are not yet passed, so memory
// does not grow with the sheet's length. A row is answered once the outline
// says no cell of it is still to come: rows listed out of order are held
// until their last cell has arrived, and a cell listed twice reads as its
// later listing, as in a full read.
//
// Without an outline (SheetAccess::InOrder) the sheet is read once, with no
// survey before it: a row counts as whole once a cell of a later row arrives,
// and the used range is learnt as the rows come (see SheetAccess::InOrder).
// A cell of an earlier row, a column outside the width given out, or a part
// that does not read ends the rows there, and readIntact() is false.
//
// Reads may go anywhere: a row before the batches held reads the sheet again
// from its start. Reads come from one thread at a time.
class RowStream final : public SheetCells
{
public:
    RowStream(const ZipArchive& archive, std::string part, const SharedStrings& sharedStrings, const Styles& styles,
              DateSystem dateSystem, bool formulasAsText, std::optional<SheetOutline> outline);
    ~RowStream() override;
    RowStream(const RowStream&) = delete;
    RowStream& operator=(const RowStream&) = delete;

    CellRange usedRange() const override;
    QVariant read(int row, int column) const override;
    QString text(int row, int column) const override;
    void textInto(int row, int column, QString& into) const override;
    bool isUnknown(int row, int column) const override;
    bool mayHoldUnknown(int row) const override;
    bool rowsReach(int row) const override;
    bool readIntact() const override;

private:
    // The cells of about one chunk of the part, ordered by position (cells at
    // one position in the order listed), with their own texts.
    struct Batch
    {
        std::vector<Cell> cells;
        StringPool texts;
        std::uint32_t cellsRead = 0;    // cells of the sheet read up to its end
        std::uint32_t highestRow = 0;   // the highest row among them
        CellRange seen;                 // without a survey: the range of the cells read up to its end
        bool end = false;               // the part was read to its end
        bool failed = false;            // the part no longer reads as it did
        std::size_t next = 0;           // where the row after the last one gathered starts
    };
    struct RowCell
    {
        Cell cell;
        const StringPool* texts;
    };

    void start() const;
    void stop() const;
    void work() const;
    bool parse() const;
    void deliver(std::unique_ptr<Batch> batch) const;
    CellRange bounds() const;
    // Gathers row into m_rowCells unless it is there already; false for a row outside the sheet.
    bool holdRow(int row) const;
    const RowCell* find(int row, int column) const;
    void receive() const;
    void advanceTo(std::uint32_t row) const;
    void gatherRow(std::uint32_t row) const;

    const ZipArchive& m_archive;
    const std::string m_part;
    const SharedStrings& m_sharedStrings;
    const Styles& m_styles;
    const CellValues m_values;
    const bool m_formulasAsText;
    const bool m_surveyed;
    const SheetOutline m_outline;
    const CellRange m_range;   // surveyed

    // Between the worker and the reading side.
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    mutable std::deque<std::unique_ptr<Batch>> m_ready;
    mutable bool m_stopping = false;
    mutable std::thread m_worker;

    // The reading side's.
    mutable std::deque<std::unique_ptr<Batch>> m_held;
    mutable std::uint32_t m_wholeBelow = 0;   // rows before it are whole
    mutable bool m_ended = false;             // every row held is whole
    mutable bool m_failed = false;            // the part no longer read as surveyed
    mutable std::uint32_t m_floor = 0;        // rows before it may be gone
    mutable std::uint32_t m_row = 0;          // the row gathered in m_rowCells
    mutable std::vector<RowCell> m_rowCells;
    mutable bool m_rowHasFormula = false;     // a cell of m_rowCells is CellKind::Formula

    // The reading side's, without a survey.
    mutable CellRange m_seen;                                  // the cells received so far
    mutable std::optional<std::pair<int, int>> m_columnsGiven; // the width usedRange() gave out
    mutable bool m_broken = false;                             // the sheet broke the assumption, or did not read
};

} // namespace reader
