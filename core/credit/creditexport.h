#pragma once

#include "creditsettings.h"

#include "core/accountexport.h"
#include "record/cells.h"
#include "record/money.h"
#include "settings/clearing.h"

namespace kova {

// The largest amount a credit field and the header's total field hold:
// 99999999999999999.99, twenty characters with its point.
constexpr kova::Cents creditMaxCents = kova::Cents(10000000000000000000ULL) - 1;

// The Auto Credit upload file: fixed-width records of 256 characters, a header
// record for the batch, then one detail record per processed row. Besides
// the dates, the beneficiary bank filters the rows by their transfer type.
class CreditExport final : public kova::AccountExport
{
public:
    explicit CreditExport(const CreditSettings& settings);

    int leftOutBy(const reader::Document& sheet, int row) const override;
    QString leftOutNote(int reason, int count) const override;
    void convert(const reader::Document& sheet, int row, kova::RowContext& out) const override;
    QString headerRecord(const kova::ExportTotals& totals) const override;

private:
    // After the source account row (kova::creditAccountMessages, then the
    // company code): each batch remark ("Trx Remarks n is exceeding 18
    // chars", then "Trx Remarks n contains invalid chars" for a character
    // beyond printable ASCII, which would split or shift the header record),
    // then validateCreditSettings.
    QString batchRefusal() const override;

    CreditSettings m_settings;
    kova::BankFilter m_bank;
};

} // namespace kova
