#include "exportrun.h"

#include "messageline.h"
#include "xlsx/document.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace kova {

void RowContext::error(const QString& tail, int column)
{
    m_messages.append(errorLine(line(), tail));
    ++m_errors;
    if (column >= 0)
        m_cells.append({m_index, column});
}

void RowContext::warning(const QString& tail)
{
    m_messages.append(warningLine(line(), tail));
    ++m_warnings;
}

bool ExportJob::finish(ExportSink& sink) const
{
    sink.information(QStringLiteral("Done!"));
    return true;
}

namespace {

const QString failedWriting = QStringLiteral("Failed open file for writing");
const QString failedReading = QStringLiteral("Failed open file for reading");

struct Counts
{
    ExportTotals totals;
    int errors = 0;
    int warnings = 0;
};

QStringList summaryLines(const Counts& c, int dataRows)
{
    return {
        QStringLiteral("Total rows processed: ") + QString::number(c.totals.count) + QStringLiteral(" of ")
            + QString::number(dataRows),
        QStringLiteral("Total amounts: ") + displayAmount(c.totals.total),
        QStringLiteral("Total warnings: ") + QString::number(c.warnings),
        QStringLiteral("Total errors: ") + QString::number(c.errors),
    };
}

// A record of the wrong width would shift every field after it at the bank;
// the layouts make that impossible for rows without errors, and this keeps it so.
bool widthHolds(const ExportJob& job, const QString& record)
{
    return job.recordWidth() == 0 || record.size() == job.recordWidth();
}

// Header record first, then the details file's lines. The destination is
// replaced only by a complete file.
bool writeUpload(const QString& destinationPath, const QString& detailsPath, const QString& header,
                 ExportSink& sink)
{
    QSaveFile upload(destinationPath);
    if (!upload.open(QIODevice::WriteOnly | QIODevice::Text)) {
        sink.critical(failedWriting);
        return false;
    }
    QFile details(detailsPath);
    if (!details.open(QIODevice::ReadOnly | QIODevice::Text)) {
        upload.cancelWriting();
        sink.critical(failedReading);
        return false;
    }
    {
        QTextStream out(&upload);
        QTextStream in(&details);
        out << header << '\n';
        QString line;
        while (in.readLineInto(&line))
            out << line << '\n';
        out.flush();
        if (out.status() != QTextStream::Ok)
            upload.cancelWriting();
    }
    details.close();
    if (!upload.commit()) {
        sink.critical(failedWriting);
        return false;
    }
    QFile::remove(detailsPath);
    return true;
}

} // namespace

ExportOutcome runExport(const ExportSource& source, const QString& destinationPath, const ExportJob& job,
                        ExportSink& sink)
{
    sink.headerChanged(job.titles());

    xlsx::Document workbook(source.workbookPath);
    if (!workbook.selectSheet(source.sheetName)) {
        sink.critical(QStringLiteral("Error. Unable to select sheet ") + source.sheetName);
        return ExportOutcome::Refused;
    }
    const int lastRow = workbook.dimension().lastRow();
    const int firstRow = source.hasColumnHeader ? 2 : 1;

    const QString detailsPath = destinationPath + QStringLiteral(".details");
    QFile details(detailsPath);
    if (!details.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        sink.critical(failedWriting);
        return ExportOutcome::Refused;
    }

    Counts counts;
    bool widthsHold = true;
    {
        QTextStream out(&details);
        for (int row = firstRow; row <= lastRow; ++row) {
            if (!job.accepts(workbook, row))
                continue;
            RowContext context(counts.totals.count);
            job.convert(workbook, row, context);
            if (context.errors() == 0 && !widthHolds(job, context.record))
                widthsHold = false;
            out << context.record << '\n';

            counts.errors += context.errors();
            counts.warnings += context.warnings();
            counts.totals.total += context.amount();
            sink.rowProcessed(RowReport{context.values, context.cells(), context.messages(), job.amountColumn()});
            ++counts.totals.count;
        }
        out.flush();
    }
    details.close();

    sink.summaryReady(summaryLines(counts, qMax(0, lastRow - (firstRow - 1))));

    if (counts.errors > 0) {
        QFile::remove(detailsPath);
        sink.critical(QStringLiteral("ERROR!"));
        return ExportOutcome::RowErrors;
    }
    const QString overflow = job.overflow(counts.totals);
    if (!overflow.isEmpty()) {
        QFile::remove(detailsPath);
        sink.critical(overflow);
        return ExportOutcome::Refused;
    }
    const QString header = job.headerRecord(counts.totals);
    if (!widthsHold || !widthHolds(job, header)) {
        QFile::remove(detailsPath);
        sink.critical(QStringLiteral("Record width mismatch"));
        return ExportOutcome::Refused;
    }
    if (!writeUpload(destinationPath, detailsPath, header, sink))
        return ExportOutcome::Refused;
    return job.finish(sink) ? ExportOutcome::Written : ExportOutcome::NotFinished;
}

} // namespace kova
