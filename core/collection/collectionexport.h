#pragma once

#include "collectionsettings.h"

#include "export/exportrun.h"

// The Auto Collection upload file: fixed-width records of 201 characters, a
// header that names the credited account and carries the batch totals, and
// one detail record per processed row naming the debited account.
class CollectionExport final : public kova::ExportJob
{
public:
    // account: the checked row, already through the batch checks.
    CollectionExport(const CollectionSettings& settings, const kova::SourceAccount& account);

    kova::BatchType batchType() const override { return kova::BatchType::Collection; }
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
    CollectionSettings m_settings;
    kova::SourceAccount m_account;
};

// The batch checks in order, each failure one critical message and nothing
// else: the credited account row, "Trx Remarks 1 is exceeding 18 chars",
// "Trx Remarks 1 contains invalid chars" (a character beyond printable ASCII
// would split or shift the header record), the same two for remarks 2, then validateCollectionSettings().
// Empty when the batch may run.
QString checkCollectionBatch(const CollectionSettings& settings);

// ON_Export_Signal without the widgets: the batch checks, then the shared
// export road on sheetName of the workbook at sourcePath (openSheet as
// ExportSource::document).
kova::ExportOutcome runCollectionExport(const CollectionSettings& settings, const QString& sourcePath,
                                        const QString& sheetName, const QString& destinationPath,
                                        kova::ExportSink& sink, const xlsx::Document* openSheet = nullptr);
