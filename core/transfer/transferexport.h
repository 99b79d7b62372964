#pragma once

#include "transfersettings.h"

#include "core/exportjob.h"
#include "record/cells.h"

#include <optional>

namespace kova {

// The fund-transfer upload file: "|"-separated records, a header record with
// the batch total and count, then one detail record per accepted row.
class TransferExport final : public kova::ExportJob
{
public:
    explicit TransferExport(const TransferSettings& settings);

    QString refusal() const override;
    kova::BatchKey batchKey() const override;
    int recordWidth() const override;
    int leftOutBy(const reader::Document& sheet, int row) const override;
    QString leftOutNote(int reason, int count) const override;
    void convert(const reader::Document& sheet, int row, kova::RowContext& out) const override;
    // Takes the batch's Header ID and stores the next one before the upload
    // file is committed: a file that then fails skips its number, and no
    // number is ever used twice.
    bool reserve(kova::ExportSink& sink) override;
    // Carries the reserved Header ID; before reserve(), the typed one.
    QString headerRecord(const kova::ExportTotals& totals) const override;
    QString headerId() const override;
    // The Header ID reserve() stored for the next batch; when the typed one
    // was refused as already used, the next free one, for the form to offer.
    std::optional<qint64> nextHeaderId() const override { return m_nextHeaderId; }
    // reserve() refused the typed Header ID as used by another batch; set
    // before the refusal is reported.
    bool typedHeaderIdUsed() const { return m_typedHeaderIdUsed; }

private:
    QString remittanceType() const;

    TransferSettings m_settings;
    kova::DateFilter m_dates;
    kova::BankFilter m_bank;
    std::optional<qint64> m_nextHeaderId;
    std::optional<qint64> m_usedHeaderId;
    bool m_typedHeaderIdUsed = false;
};

} // namespace kova
