// The window exporting a generated transfer sheet, beside kova-export on the
// same sheet: wall time, peak memory, and the longest the window's thread
// went without serving its events (a 50 ms timer records the largest gap).
// A second run presses Cancel halfway and times how long the stop takes.
//
//   QT_QPA_PLATFORM=offscreen window_export_bench [ROWS] [WORKDIR]
//
// The settings file the window reads lies beside this program; it is
// written for the run and removed afterwards.
#include "app/mainwindow.h"
#include "export/settingsfile.h"
#include "forms/common/messages.h"
#include "register/batchregister.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <xlsxwriter.h>

#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

bool writeWorkbook(const QString& path, int rows)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(path.toUtf8().constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Batch");
    const char* titles[] = {"Trx Ref", "From Acc", "To Acc", "Amount", "Type", "Remarks", "Name"};
    for (lxw_col_t c = 0; c < 7; ++c)
        worksheet_write_string(sheet, 0, c, titles[c], nullptr);
    for (int i = 1; i <= rows; ++i) {
        const lxw_row_t r = lxw_row_t(i);
        const QByteArray ref = "TRX-" + QByteArray::number(i);
        const QByteArray to = QByteArray::number(1000000000 + i);
        const QByteArray remarks = "Invoice " + QByteArray::number(i % 9973);
        worksheet_write_string(sheet, r, 0, ref.constData(), nullptr);
        worksheet_write_string(sheet, r, 1, "1234567890", nullptr);
        worksheet_write_string(sheet, r, 2, to.constData(), nullptr);
        worksheet_write_number(sheet, r, 3, 1000 + (i % 1000) * 0.25, nullptr);
        worksheet_write_string(sheet, r, 4, "WDK", nullptr);
        worksheet_write_string(sheet, r, 5, remarks.constData(), nullptr);
        worksheet_write_string(sheet, r, 6, "PT Sumber Makmur Sejahtera", nullptr);
    }
    return workbook_close(book) == LXW_NO_ERROR;
}

// Fresh settings, and no register of earlier batches beside them.
bool writeSettings(const QString& path)
{
    QFile::remove(path);
    QFile::remove(kova::registerPathFor(path));
    QSettings settings(path, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Transfer"));
    settings.setValue(QStringLiteral("TrxRef"), 1);
    settings.setValue(QStringLiteral("FromAcc"), 2);
    settings.setValue(QStringLiteral("ToAcc"), 3);
    settings.setValue(QStringLiteral("Amount"), 4);
    settings.setValue(QStringLiteral("Remittance"), 5);
    settings.setValue(QStringLiteral("Remarks1"), 6);
    settings.setValue(QStringLiteral("Beneficiary"), 7);
    settings.setValue(QStringLiteral("HasColumnHeader"), true);
    settings.setValue(QStringLiteral("HeaderID"), 1);
    settings.setValue(QStringLiteral("CompanyID"), QStringLiteral("ABCDE12345"));
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

int runExporter(const QStringList& arguments, const QString& outPath)
{
    QList<QByteArray> bytes;
    for (const QString& a : arguments)
        bytes.append(a.toLocal8Bit());
    QVector<char*> argv;
    for (QByteArray& b : bytes)
        argv.append(b.data());
    argv.append(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv.first(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
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

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The largest gap between the ticks of a 50 ms timer on the window's thread.
class StallMeter final
{
public:
    StallMeter()
    {
        m_timer.setInterval(50);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = qMax(m_longest, m_sinceTick.restart());
        });
    }
    void start()
    {
        m_longest = 0;
        m_sinceTick.start();
        m_timer.start();
    }
    qint64 stop()
    {
        m_timer.stop();
        return qMax(m_longest, m_sinceTick.elapsed());
    }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    qint64 m_longest = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int rows = args.size() > 1 ? args.at(1).toInt() : 100000;
    QTemporaryDir temporary;
    const QDir dir(args.size() > 2 ? args.at(2) : temporary.path());
    const QString workbook = dir.filePath(QStringLiteral("transfers.xlsx"));
    const QString cliSettings = dir.filePath(QStringLiteral("kova.ini"));
    const QString windowSettings = kova::defaultSettingsPath();
    const QString cliUpload = dir.filePath(QStringLiteral("cli.txt"));
    const QString windowUpload = dir.filePath(QStringLiteral("window.txt"));

    if (rows < 1 || !writeWorkbook(workbook, rows) || !writeSettings(cliSettings) || !writeSettings(windowSettings)) {
        std::fprintf(stderr, "could not write the workbook or the settings\n");
        return 1;
    }
    std::printf("rows:                   %d\n", rows);

    QElapsedTimer timer;
    timer.start();
    const int status = runExporter({QStringLiteral(KOVA_EXPORT_PATH), QStringLiteral("transfer"),
                                    QStringLiteral("--source"), workbook, QStringLiteral("--sheet"),
                                    QStringLiteral("Batch"), QStringLiteral("--dest"), cliUpload,
                                    QStringLiteral("--settings"), cliSettings},
                                   dir.filePath(QStringLiteral("stdout.txt")));
    const double cliSeconds = timer.nsecsElapsed() / 1e9;
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    std::printf("kova-export:            exit %d, %.2f s, peak %.1f MiB\n", status, cliSeconds,
                usage.ru_maxrss / 1024.0);

    QStringList boxes;
    Messages::setPresenter([&boxes](QWidget*, Messages::Kind, const QString& text) { boxes.append(text); });
    StallMeter stalls;
    double windowSeconds = 0;
    qint64 longestStall = 0;
    {
        MainWindow window;
        window.resize(1200, 800);
        window.show();
        // As if typed and confirmed with Return.
        auto* source = window.findChild<QLineEdit*>(QStringLiteral("txtSource"));
        source->setText(workbook);
        source->setModified(true);
        emit source->editingFinished();
        window.findChild<QLineEdit*>(QStringLiteral("txtDest"))->setText(windowUpload);
        auto* exportButton = window.findChild<QPushButton*>(QStringLiteral("btnExport"));

        std::printf("window, sheet chosen:   peak %.1f MiB\n", peakMiB());
        stalls.start();
        timer.restart();
        exportButton->click();
        windowSeconds = timer.nsecsElapsed() / 1e9;
        longestStall = stalls.stop();
        std::printf("window:                 %.2f s, peak %.1f MiB, longest stall %lld ms, boxes: %s\n",
                    windowSeconds, peakMiB(), longestStall, qPrintable(boxes.join(QStringLiteral(", "))));
        std::printf("uploads identical:      %s\n",
                    fileBytes(cliUpload) == fileBytes(windowUpload) && QFileInfo(cliUpload).size() > 0 ? "yes" : "no");
        std::printf("time ratio:             %.2f (goal at most 2)\n", windowSeconds / cliSeconds);

        // Again, with Cancel pressed halfway through.
        writeSettings(windowSettings);
        QFile::remove(windowUpload);
        qint64 pressedAt = 0;
        QTimer::singleShot(int(windowSeconds * 500), &window, [&] {
            pressedAt = timer.elapsed();
            window.findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
        });
        stalls.start();
        timer.restart();
        exportButton->click();
        const qint64 stoppedAt = timer.elapsed();
        std::printf("cancel halfway:         stopped %lld ms after the press, longest stall %lld ms, upload %s\n",
                    stoppedAt - pressedAt, stalls.stop(), QFile::exists(windowUpload) ? "written" : "not written");
    }
    QFile::remove(windowSettings);
    QFile::remove(kova::registerPathFor(windowSettings));
    return status == 0 && longestStall <= 250 ? 0 : 1;
}
