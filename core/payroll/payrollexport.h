#pragma once

#include "payrollsettings.h"

#include "core/exportjob.h"

namespace kova {

// The Payroll upload file: fixed-width records of 70 characters, a header
// that names the paying account, the effective date and the run's totals, and
// one detail record per employee row.
class PayrollExport final : public kova::ExportJob
{
public:
    // The paying account is the checked row; refusal() names a missing one.
    explicit PayrollExport(const PayrollSettings& settings);

    QString refusal() const override;
    kova::BatchKey batchKey() const override;
    int recordWidth() const override;
    int leftOutBy(const xlsx::Document& sheet, int row) const override;
    QString leftOutNote(int reason, int count) const override;
    void convert(const xlsx::Document& sheet, int row, kova::RowContext& out) const override;
    QString overflow(const kova::ExportTotals& totals) const override;
    QString headerRecord(const kova::ExportTotals& totals) const override;

private:
    PayrollSettings m_settings;
    kova::SourceAccount m_account;
};

// The batch checks in order, each failure one critical message: the source
// account row, then validatePayrollSettings(). Empty when the batch may run.
QString checkPayrollBatch(const PayrollSettings& settings);

} // namespace kova
