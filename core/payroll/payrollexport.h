#pragma once

#include "payrollsettings.h"

#include "export/exportrun.h"

// The Payroll upload file: fixed-width records of 70 characters, a header
// that names the paying account, the effective date and the run's totals, and
// one detail record per employee row.
class PayrollExport final : public kova::ExportJob
{
public:
    // account: the checked row, already through the batch checks.
    PayrollExport(const PayrollSettings& settings, const kova::SourceAccount& account);

    kova::BatchType batchType() const override { return kova::BatchType::Payroll; }
    kova::BatchKey batchKey() const override;
    QStringList titles() const override;
    int amountColumn() const override;
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

// ON_Export_Signal without the widgets: the batch checks, then the shared
// export road on sheetName of the workbook at sourcePath (openSheet as
// ExportSource::document).
kova::ExportOutcome runPayrollExport(const PayrollSettings& settings, const QString& sourcePath,
                                     const QString& sheetName, const QString& destinationPath,
                                     kova::ExportSink& sink, const xlsx::Document* openSheet = nullptr);
