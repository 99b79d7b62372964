#pragma once

#include "collectionsettings.h"

#include "core/exportjob.h"

namespace kova {

// The Auto Collection upload file: fixed-width records of 201 characters, a
// header that names the credited account and carries the batch totals, and
// one detail record per processed row naming the debited account.
class CollectionExport final : public kova::ExportJob
{
public:
    // The credited account is the checked row; refusal() names a missing one.
    explicit CollectionExport(const CollectionSettings& settings);

    QString refusal() const override;
    kova::BatchKey batchKey() const override;
    int recordWidth() const override;
    int leftOutBy(const xlsx::Document& sheet, int row) const override;
    QString leftOutNote(int reason, int count) const override;
    void convert(const xlsx::Document& sheet, int row, kova::RowContext& out) const override;
    QString overflow(const kova::ExportTotals& totals) const override;
    QString headerRecord(const kova::ExportTotals& totals) const override;

private:
    CollectionSettings m_settings;
    kova::SourceAccount m_account;
};

// The batch checks in order, each failure one critical message and nothing
// else: the credited account row, "Trx Remarks 1 is exceeding 18 chars",
// "Trx Remarks 1 contains invalid chars" (a character beyond printable ASCII
// would split or shift the header record), the same two for remarks 2, then validateCollectionSettings().
// Empty when the batch may run.
QString checkCollectionBatch(const CollectionSettings& settings);

} // namespace kova
