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
#include <QSettings>
#include <QTemporaryDir>

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

bool writeSettings(const QString& path)
{
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

// Runs the exporter with its output sent to files; returns its exit status.
int runExporter(const QStringList& arguments, const QString& outPath, const QString& errPath)
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
    posix_spawn_file_actions_addopen(&actions, 2, errPath.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv.first(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

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
    if (rows < 1 || !writeWorkbook(workbook, rows) || !writeSettings(settings)) {
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
    timer.restart();
    const int status = runExporter(exporter, dir.filePath(QStringLiteral("stdout.txt")),
                                   dir.filePath(QStringLiteral("stderr.txt")));
    const double seconds = timer.nsecsElapsed() / 1e9;
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);

    std::printf("kova-export exit:  %d\n", status);
    std::printf("wall time:         %.2f s\n", seconds);
    std::printf("cpu time:          %.2f s user, %.2f s system\n",
                usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6,
                usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6);
    std::printf("peak memory:       %.1f MB (ru_maxrss)\n", usage.ru_maxrss / 1024.0);
    std::printf("upload file:       %.1f MB\n", QFileInfo(upload).size() / 1e6);
    std::printf("summary:\n%s", head(dir.filePath(QStringLiteral("stdout.txt")), 4).constData());
    return status == 0 ? 0 : 1;
}
