// kova-export payroll against xlsx2csv on the same generated sheet, side by
// side in one run: wall time of each, their ratio, and the exporter's peak
// resident memory.
//
//   payroll_export_bench [ROWS] [WORKDIR]        default: 1000000 rows
//
// Every department is longer than the record's four characters, so every row
// draws a truncation warning: the road carries a message for each row. The
// workbook (libxlsxwriter, constant-memory mode) is kept in WORKDIR and reused
// when it is already there.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
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

const char* const kFirstNames[] = {"Siti", "Budi", "Agus", "Dewi", "Rina", "Andi", "Wahyu", "Putri"};
const char* const kLastNames[] = {"Rahma", "Santoso", "Wijaya", "Saputra", "Hidayat", "Kusuma"};
const char* const kDepartments[] = {"Finance", "Operations", "Sales", "Logistics", "Marketing"};

bool writeWorkbook(const QString& path, int rows)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(path.toUtf8().constData(), &options);
    if (!book)
        return false;
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Payroll");
    const char* titles[] = {"Employee Name", "Acc #", "Amount", "Employee ID", "Department"};
    for (lxw_col_t c = 0; c < 5; ++c)
        worksheet_write_string(sheet, 0, c, titles[c], nullptr);
    for (int i = 1; i <= rows; ++i) {
        const lxw_row_t r = lxw_row_t(i);
        const QByteArray name = QByteArray(kFirstNames[i % 8]) + ' ' + kLastNames[(i / 8) % 6];
        const QByteArray account = QByteArray::number(1000000000 + i);
        const QByteArray id = "E" + QByteArray::number(100000 + i);
        worksheet_write_string(sheet, r, 0, name.constData(), nullptr);
        worksheet_write_string(sheet, r, 1, account.constData(), nullptr);
        worksheet_write_number(sheet, r, 2, 1000 + (i % 1000) * 0.25, nullptr);
        worksheet_write_string(sheet, r, 3, id.constData(), nullptr);
        worksheet_write_string(sheet, r, 4, kDepartments[i % 5], nullptr);
    }
    return workbook_close(book) == LXW_NO_ERROR;
}

bool writeSettings(const QString& path)
{
    QSettings settings(path, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Payroll"));
    settings.setValue(QStringLiteral("AccountName"), 1);
    settings.setValue(QStringLiteral("AccountNumber"), 2);
    settings.setValue(QStringLiteral("Amount"), 3);
    settings.setValue(QStringLiteral("EmployeeID"), 4);
    settings.setValue(QStringLiteral("Department"), 5);
    settings.setValue(QStringLiteral("HasColumnHeader"), true);
    settings.beginWriteArray(QStringLiteral("Accounts"), 1);
    settings.setArrayIndex(0);
    settings.setValue(QStringLiteral("Account"), QStringLiteral("1111111111"));
    settings.setValue(QStringLiteral("CompID"), QStringLiteral("1234/56789/ABCD"));
    settings.endArray();
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

struct Run
{
    int status = -1;
    double seconds = 0;
    double peakMegabytes = 0;
};

// Runs a program with its output sent to files, alone, so that its peak
// memory is its own.
Run runProgram(const QStringList& arguments, const QString& outPath, const QString& errPath)
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
    Run run;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv.first(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return run;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status))
        return run;
    run.status = WEXITSTATUS(status);
    run.seconds = timer.nsecsElapsed() / 1e9;
    run.peakMegabytes = usage.ru_maxrss / 1024.0;
    return run;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int rows = args.size() > 1 ? args.at(1).toInt() : 1000000;
    QTemporaryDir temporary;
    const QDir dir(args.size() > 2 ? args.at(2) : temporary.path());
    const QString workbook = dir.filePath(QStringLiteral("payroll-%1.xlsx").arg(rows));
    const QString settings = dir.filePath(QStringLiteral("kova.ini"));

    if (rows < 1 || (!QFileInfo::exists(workbook) && !writeWorkbook(workbook, rows)) || !writeSettings(settings)) {
        std::fprintf(stderr, "could not write the workbook or the settings in %s\n", qPrintable(dir.path()));
        return 1;
    }
    std::printf("rows:         %d (%.1f MB workbook)\n", rows, QFileInfo(workbook).size() / 1e6);

    const Run exporter = runProgram({QStringLiteral(KOVA_EXPORT_PATH), QStringLiteral("payroll"),
                                     QStringLiteral("--source"), workbook, QStringLiteral("--sheet"),
                                     QStringLiteral("Payroll"), QStringLiteral("--dest"),
                                     dir.filePath(QStringLiteral("payroll.txt")), QStringLiteral("--settings"),
                                     settings, QStringLiteral("--account"), QStringLiteral("1")},
                                    dir.filePath(QStringLiteral("export.out")), dir.filePath(QStringLiteral("export.err")));
    const Run converter = runProgram({QStringLiteral("xlsx2csv"), QStringLiteral("-n"), QStringLiteral("Payroll"),
                                      workbook},
                                     dir.filePath(QStringLiteral("sheet.csv")), dir.filePath(QStringLiteral("xlsx2csv.err")));
    std::printf("kova-export:  exit %d, %.2f s, peak %.1f MiB\n", exporter.status, exporter.seconds,
                exporter.peakMegabytes);
    std::printf("xlsx2csv:     exit %d, %.2f s, peak %.1f MiB\n", converter.status, converter.seconds,
                converter.peakMegabytes);
    if (converter.seconds > 0)
        std::printf("ratio:        %.3f of xlsx2csv's time\n", exporter.seconds / converter.seconds);
    // Past 99,999 records a payroll batch does not fit its header: the whole
    // road still runs, and the refusal comes at its end (exit 2).
    return exporter.status >= 0 && converter.status == 0 ? 0 : 1;
}
