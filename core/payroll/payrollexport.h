#pragma once

#include "payrollsettings.h"

#include "core/accountexport.h"

namespace kova {

// The Payroll upload file: fixed-width records of 70 characters, a header
// that names the paying account, the effective date and the run's totals, and
// one detail record per employee row.
class PayrollExport final : public kova::AccountExport
{
public:
    // The paying account is the checked row; refusal() names a missing one.
    explicit PayrollExport(const PayrollSettings& settings);

    void convert(const reader::Document& sheet, int row, kova::RowContext& out) const override;
    QString headerRecord(const kova::ExportTotals& totals) const override;

private:
    // After the source account row: validatePayrollSettings().
    QString batchRefusal() const override;

    PayrollSettings m_settings;
};

} // namespace kova
