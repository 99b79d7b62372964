// The window exporting a generated transfer sheet, beside kova-export on the
// same sheet: wall time, peak memory, and the longest the window's thread
// went without serving its events (a 50 ms timer records the largest gap),
// while the workbook is read and while it is exported.
// A second run presses Cancel halfway and times how long the stop takes.
// With --warnings every row's Remarks is too long, so every row draws a
// message line for the processing log.
//
//   QT_QPA_PLATFORM=offscreen window_export_bench [--warnings] [ROWS] [WORKDIR]
//
// The settings file the window reads lies beside this program; it is
// written for the run and removed afterwards.
#include "benchsupport.h"

#include "app/mainwindow.h"
#include "widgets/messages.h"
#include "forms/base/transactionform.h"
#include "register/batchregister.h"
#include "settings/settingsfile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include <sys/resource.h>

namespace {

// Fresh settings, and no register of earlier batches beside them.
bool freshSettings(const QString& path)
{
    QFile::remove(path);
    QFile::remove(kova::registerPathFor(path));
    return writeTransferSettings(path);
}

double peakMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

// CPU time of every thread of this program so far: beside the wall time, it
// tells the window's cost from the other programs sharing the machine.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The largest gap between the ticks of a 50 ms timer on the window's thread,
// and how long after start() it ended, to tell which step of the run it was.
class StallMeter final
{
public:
    StallMeter()
    {
        m_timer.setInterval(50);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    }
    void start()
    {
        m_longest = 0;
        m_endedAt = 0;
        m_sinceStart.start();
        m_sinceTick.start();
        m_timer.start();
    }
    qint64 stop()
    {
        m_timer.stop();
        tick();
        return m_longest;
    }
    qint64 endedAt() const { return m_endedAt; }

private:
    void tick()
    {
        const qint64 gap = m_sinceTick.restart();
        if (gap > m_longest) {
            m_longest = gap;
            m_endedAt = m_sinceStart.elapsed();
        }
    }

    QTimer m_timer;
    QElapsedTimer m_sinceStart;
    QElapsedTimer m_sinceTick;
    qint64 m_longest = 0;
    qint64 m_endedAt = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    const bool warnings = args.removeAll(QStringLiteral("--warnings")) > 0;
    const int rows = args.size() > 1 ? args.at(1).toInt() : 100000;
    QTemporaryDir temporary;
    const QDir dir(args.size() > 2 ? args.at(2) : temporary.path());
    const QString workbook = dir.filePath(QStringLiteral("transfers.xlsx"));
    const QString cliSettings = dir.filePath(QStringLiteral("kova.ini"));
    const QString windowSettings = kova::defaultSettingsPath();
    const QString cliUpload = dir.filePath(QStringLiteral("cli.txt"));
    const QString windowUpload = dir.filePath(QStringLiteral("window.txt"));

    if (rows < 1 || !writeTransferWorkbook(workbook, rows, warnings) || !freshSettings(cliSettings) || !freshSettings(windowSettings)) {
        std::fprintf(stderr, "could not write the workbook or the settings\n");
        return 1;
    }
    std::printf("rows:                   %d%s\n", rows, warnings ? ", each with a warning" : "");

    // Run before the window and again after it, so that the window is compared
    // with kova-export under the load the machine had around it. A child's
    // peak counts the memory of the process it was spawned from, so only the
    // first run's is kova-export's own.
    const auto runCli = [&](const QString& upload) {
        const ChildRun run = runChild({QStringLiteral(KOVA_EXPORT_PATH), QStringLiteral("transfer"),
                                       QStringLiteral("--source"), workbook, QStringLiteral("--sheet"),
                                       QStringLiteral("Batch"), QStringLiteral("--dest"), upload,
                                       QStringLiteral("--settings"), cliSettings},
                                      dir.filePath(QStringLiteral("stdout.txt")));
        std::printf("kova-export:            exit %d, %.2f s, %.2f s of CPU", run.status, run.seconds,
                    run.userSeconds + run.systemSeconds);
        std::printf(upload == cliUpload ? ", peak %.1f MiB\n" : "\n", run.peakMiB);
        return run;
    };
    const ChildRun cli = runCli(cliUpload);
    QElapsedTimer timer;

    QStringList boxes;
    Messages::setPresenter([&boxes](QWidget*, Messages::Kind, const QString& text) { boxes.append(text); });
    StallMeter stalls;
    double windowSeconds = 0;
    qint64 longestStall = 0;
    qint64 longestLoadStall = 0;
    {
        MainWindow window;
        window.resize(1200, 800);
        window.show();
        // As if typed and confirmed with Return; read off the window's thread,
        // which keeps serving its events until the sheet is read.
        auto* source = window.findChild<QLineEdit*>(QStringLiteral("txtSource"));
        auto* cancelButton = window.findChild<QPushButton*>(QStringLiteral("btnCancel"));
        stalls.start();
        timer.start();
        source->setText(workbook);
        source->setModified(true);
        emit source->editingFinished();
        while (cancelButton->isVisibleTo(&window))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double loadSeconds = timer.nsecsElapsed() / 1e9;
        longestLoadStall = stalls.stop();
        std::printf("window, sheet read:     %.2f s, longest stall %lld ms\n", loadSeconds, longestLoadStall);
        // Not left by an earlier run: the window would ask before replacing it.
        QFile::remove(windowUpload);
        window.findChild<QLineEdit*>(QStringLiteral("txtDest"))->setText(windowUpload);
        auto* exportButton = window.findChild<QPushButton*>(QStringLiteral("btnExport"));
        auto* form = window.findChild<TransactionForm*>();
        // The click starts the export; the window serves it until it is over.
        const auto exportToEnd = [&] {
            QEventLoop loop;
            QObject::connect(form, &TransactionForm::exportFinished, &loop, &QEventLoop::quit);
            exportButton->click();
            if (form->exporting())
                loop.exec();
        };

        std::printf("window, sheet chosen:   peak %.1f MiB\n", peakMiB());
        stalls.start();
        const double cpuBefore = cpuSeconds();
        timer.restart();
        exportToEnd();
        windowSeconds = timer.nsecsElapsed() / 1e9;
        const double windowCpu = cpuSeconds() - cpuBefore;
        longestStall = stalls.stop();
        std::printf("window:                 %.2f s, %.2f s of CPU, peak %.1f MiB, longest stall %lld ms (ended %.2f s in), "
                    "boxes: %s\n", windowSeconds, windowCpu, peakMiB(), longestStall, stalls.endedAt() / 1000.0,
                    qPrintable(boxes.join(QStringLiteral(", "))));
        std::printf("uploads identical:      %s\n",
                    fileBytes(cliUpload) == fileBytes(windowUpload) && QFileInfo(cliUpload).size() > 0 ? "yes" : "no");
        freshSettings(cliSettings);
        const ChildRun after = runCli(dir.filePath(QStringLiteral("cli-after.txt")));
        // Both ways: the window within 1.2 x kova-export's time, and kova-export no slower than the window.
        std::printf("time ratio:             %.2f, of CPU %.2f, to kova-export's mean (goal 1.0 to 1.2)\n",
                    2 * windowSeconds / (cli.seconds + after.seconds),
                    2 * windowCpu / (cli.userSeconds + cli.systemSeconds + after.userSeconds + after.systemSeconds));

        // Again, with Cancel pressed halfway through.
        freshSettings(windowSettings);
        QFile::remove(windowUpload);
        qint64 pressedAt = 0;
        QTimer::singleShot(int(windowSeconds * 500), &window, [&] {
            pressedAt = timer.elapsed();
            window.findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
        });
        stalls.start();
        timer.restart();
        exportToEnd();
        const qint64 stoppedAt = timer.elapsed();
        const qint64 cancelStall = stalls.stop();
        std::printf("cancel halfway:         stopped %lld ms after the press, longest stall %lld ms (ended %.2f s in), "
                    "upload %s\n", stoppedAt - pressedAt, cancelStall, stalls.endedAt() / 1000.0,
                    QFile::exists(windowUpload) ? "written" : "not written");
    }
    QFile::remove(windowSettings);
    QFile::remove(kova::registerPathFor(windowSettings));
    return cli.status == 0 && longestStall <= 250 && longestLoadStall <= 250 ? 0 : 1;
}
