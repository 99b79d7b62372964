// kova-export transfer on a generated sheet of 100,000 transfers: wall time
// and the peak resident memory of the exporter.
//
//   transfer_export_bench [ROWS] [WORKDIR]
//
// The workbook is written with libxlsxwriter in constant-memory mode, the way
// a large spreadsheet arrives from other software. Every row is a valid WDK
// transfer, so the run goes the whole road: reading, checking, details file,
// upload file, Header ID.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "benchsupport.h"

#include <cstdio>

namespace {

QByteArray head(const QString& path, int lines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray text;
    for (int i = 0; i < lines && !file.atEnd(); ++i)
        text += file.readLine();
    return text;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int rows = args.size() > 1 ? args.at(1).toInt() : 100000;
    QTemporaryDir temporary;
    const QDir dir(args.size() > 2 ? args.at(2) : temporary.path());
    const QString workbook = dir.filePath(QStringLiteral("transfers.xlsx"));
    const QString settings = dir.filePath(QStringLiteral("kova.ini"));
    const QString upload = dir.filePath(QStringLiteral("transfers.txt"));

    QElapsedTimer timer;
    timer.start();
    if (rows < 1 || !writeTransferWorkbook(workbook, rows) || !writeTransferSettings(settings)) {
        std::fprintf(stderr, "could not write the workbook or the settings in %s\n", qPrintable(dir.path()));
        return 1;
    }
    std::printf("rows:              %d\n", rows);
    std::printf("workbook:          %.1f MB, written in %.2f s\n", QFileInfo(workbook).size() / 1e6,
                timer.nsecsElapsed() / 1e9);

    const QStringList exporter{QStringLiteral(KOVA_EXPORT_PATH), QStringLiteral("transfer"),
                               QStringLiteral("--source"), workbook, QStringLiteral("--sheet"),
                               QStringLiteral("Batch"), QStringLiteral("--dest"), upload,
                               QStringLiteral("--settings"), settings};
    const ChildRun run = runChild(exporter, dir.filePath(QStringLiteral("stdout.txt")),
                                  dir.filePath(QStringLiteral("stderr.txt")));
    std::printf("kova-export exit:  %d\n", run.status);
    std::printf("wall time:         %.2f s\n", run.seconds);
    std::printf("cpu time:          %.2f s user, %.2f s system\n", run.userSeconds, run.systemSeconds);
    std::printf("peak memory:       %.1f MB (ru_maxrss)\n", run.peakMiB);
    std::printf("upload file:       %.1f MB\n", QFileInfo(upload).size() / 1e6);
    std::printf("summary:\n%s", head(dir.filePath(QStringLiteral("stdout.txt")), 4).constData());
    return run.status == 0 ? 0 : 1;
}
