#pragma once

#include "collectionsettings.h"

#include "core/accountexport.h"

namespace kova {

// The Auto Collection upload file: fixed-width records of 201 characters, a
// header that names the credited account and carries the batch totals, and
// one detail record per processed row naming the debited account.
class CollectionExport final : public kova::AccountExport
{
public:
    // The credited account is the checked row; refusal() names a missing one.
    explicit CollectionExport(const CollectionSettings& settings);

    void convert(const reader::Document& sheet, int row, kova::RowContext& out) const override;
    QString headerRecord(const kova::ExportTotals& totals) const override;

private:
    // After the credited account row, each failure one critical message and
    // nothing else: "Trx Remarks 1 is exceeding 18 chars", "Trx Remarks 1
    // contains invalid chars" (a character beyond printable ASCII would split
    // or shift the header record), the same two for remarks 2, then
    // validateCollectionSettings().
    QString batchRefusal() const override;

    CollectionSettings m_settings;
};

} // namespace kova
