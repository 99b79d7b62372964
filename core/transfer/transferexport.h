#pragma once

#include "transfersettings.h"

#include "export/cells.h"
#include "export/exportrun.h"

#include <optional>

// The fund-transfer upload file: "|"-separated records, a header record with
// the batch total and count, then one detail record per accepted row.
class TransferExport final : public kova::ExportJob
{
public:
    // nextHeaderId, when given, receives the Header ID that reserve() stored
    // for the next batch, for the form to show; when the typed Header ID was
    // refused as already used, the next free one, for the form to offer; it
    // stays empty when the export did not get that far.
    explicit TransferExport(const TransferSettings& settings, std::optional<qint64>* nextHeaderId = nullptr);

    kova::BatchType batchType() const override { return kova::BatchType::Transfer; }
    kova::BatchKey batchKey() const override;
    QStringList titles() const override;
    int amountColumn() const override;
    int recordWidth() const override;
    int leftOutBy(const xlsx::Document& sheet, int row) const override;
    QString leftOutNote(int reason, int count) const override;
    void convert(const xlsx::Document& sheet, int row, kova::RowContext& out) const override;
    // Takes the batch's Header ID and stores the next one before the upload
    // file is committed: a file that then fails skips its number, and no
    // number is ever used twice.
    bool reserve(kova::ExportSink& sink) override;
    // Carries the reserved Header ID; before reserve(), the typed one.
    QString headerRecord(const kova::ExportTotals& totals) const override;
    QString headerId() const override;

private:
    QString remittanceType() const;

    TransferSettings m_settings;
    kova::DateFilter m_dates;
    kova::BankFilter m_bank;
    std::optional<qint64>* m_nextHeaderId;
    std::optional<qint64> m_usedHeaderId;
};

// The transfer export: the settings checks (the first failure is a critical
// box and nothing is read or written), then the shared export road.
// nextHeaderId as for TransferExport, openSheet as ExportSource::document.
kova::ExportOutcome runTransferExport(const TransferSettings& settings, const QString& sourcePath,
                                      const QString& sheetName, const QString& destinationPath,
                                      kova::ExportSink& sink, std::optional<qint64>* nextHeaderId = nullptr,
                                      const xlsx::Document* openSheet = nullptr);
