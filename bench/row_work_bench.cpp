// The export's own work on the rows, apart from reading the sheet: the sheet
// is read whole first, then runExport goes over it, timed on the CPU clock of
// its thread, into a sink that renders every message line as kova-export
// does. Takes the workbooks and settings that payroll_export_bench and
// transfer_export_bench leave in their WORKDIR.
//
//   row_work_bench payroll|transfer WORKBOOK SHEET SETTINGS [ROUNDS]
#include "core/payroll/payrollexport.h"
#include "core/transfer/transferexport.h"
#include "render/messagetext.h"
#include "run/exportrun.h"
#include "settings/sourceaccount.h"
#include "reader/document.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

// What PrintingSink does with a row, without the terminal.
class LineSink final : public kova::ExportSink
{
public:
    void headerChanged(const QStringList&) override {}
    void rowProcessed(const kova::RowReport& report) override
    {
        for (const kova::RowMessage& message : report.messages)
            kova::appendPlainLine(m_lines, message);
        if (m_lines.size() >= (1 << 16)) {
            bytes += m_lines.size();
            m_lines.resize(0);
        }
    }
    void summaryReady(const kova::Summary&) override {}
    void critical(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    void information(const QString&) override {}
    bool askWriteAgain(const QString&) override { return false; }
    void registerProblem(const QString&) override {}

    qint64 bytes = 0;

private:
    QByteArray m_lines;
};

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

std::unique_ptr<kova::ExportJob> job(const QString& type, const QString& settingsPath)
{
    if (type == QLatin1String("payroll")) {
        kova::PayrollSettings s = kova::readPayrollSettings(settingsPath);
        s.sourceAccount = kova::readAccounts(settingsPath, kova::payrollDescriptor().group).value(0);
        s.effectiveDate = QDate(2026, 12, 7);
        return std::make_unique<kova::PayrollExport>(s);
    }
    kova::TransferSettings s = kova::readTransferSettings(settingsPath);
    s.chooseClearing(-1);   // WDK, as kova-export without --mode
    s.useStoredHeaderId = true;
    s.effectiveDate = QDate(2026, 12, 7);
    return std::make_unique<kova::TransferExport>(s);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 5) {
        std::fprintf(stderr, "usage: row_work_bench payroll|transfer WORKBOOK SHEET SETTINGS [ROUNDS]\n");
        return 1;
    }
    reader::Document workbook(args.at(2), {});
    if (!workbook.selectSheet(args.at(3))) {
        std::fprintf(stderr, "cannot read sheet %s\n", qPrintable(args.at(3)));
        return 1;
    }
    const int rounds = args.size() > 5 ? std::max(1, args.at(5).toInt()) : 3;
    std::vector<double> seconds;
    for (int round = 0; round < rounds; ++round) {
        const std::unique_ptr<kova::ExportJob> exportJob = job(args.at(1), args.at(4));
        kova::ExportRequest request;
        request.sourcePath = args.at(2);
        request.sheetName = args.at(3);
        request.destinationPath = QDir::temp().filePath(QStringLiteral("row_work_bench.txt"));
        request.document = &workbook;
        LineSink sink;
        const double start = threadSeconds();
        const kova::ExportResult result = kova::runExport(request, *exportJob, sink);
        seconds.push_back(threadSeconds() - start);
        std::printf("round %d: %.3f s of CPU, outcome %d, %lld bytes of message lines\n", round + 1,
                    seconds.back(), int(result.outcome), static_cast<long long>(sink.bytes));
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("median: %.3f s of CPU\n", seconds[seconds.size() / 2]);
    return 0;
}
