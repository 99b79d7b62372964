#include "benchsupport.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QVector>

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

// VmHWM of a running process, in KiB; 0 once it is gone.
long highWaterKiB(const QByteArray& statusPath)
{
    FILE* file = std::fopen(statusPath.constData(), "r");
    if (!file)
        return 0;
    char line[256];
    long kib = 0;
    while (std::fgets(line, sizeof line, file))
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1)
            break;
    std::fclose(file);
    return kib;
}

} // namespace

ChildRun runChild(const QStringList& arguments, const QString& outPath, const QString& errPath)
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
    if (!errPath.isEmpty())
        posix_spawn_file_actions_addopen(&actions, 2, errPath.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
    ChildRun run;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv.first(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return run;
    // The child's own high-water mark, read while it runs: the ru_maxrss that
    // wait4() gives carries this process's size from before the exec.
    const QByteArray statusPath = "/proc/" + QByteArray::number(pid) + "/status";
    long peakKiB = 0;
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t waited = wait4(pid, &status, WNOHANG, &usage);
        if (waited == pid)
            break;
        if (waited != 0)
            return run;
        peakKiB = std::max(peakKiB, highWaterKiB(statusPath));
        const timespec pause{0, 2 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    if (!WIFEXITED(status))
        return run;
    run.status = WEXITSTATUS(status);
    run.seconds = timer.nsecsElapsed() / 1e9;
    run.userSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6;
    run.systemSeconds = usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
    run.peakMiB = peakKiB / 1024.0;
    return run;
}

bool writeTransferWorkbook(const QString& path, int rows, bool longRemarks)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(path.toUtf8().constData(), &options);
    if (!book)
        return false;
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Batch");
    const char* titles[] = {"Trx Ref", "From Acc", "To Acc", "Amount", "Type", "Remarks", "Name"};
    for (lxw_col_t c = 0; c < 7; ++c)
        worksheet_write_string(sheet, 0, c, titles[c], nullptr);
    for (int i = 1; i <= rows; ++i) {
        const lxw_row_t r = lxw_row_t(i);
        const QByteArray ref = "TRX-" + QByteArray::number(i);
        const QByteArray to = QByteArray::number(1000000000 + i);
        const QByteArray remarks = (longRemarks ? "Invoice for December " : "Invoice ") + QByteArray::number(i % 9973);
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

bool writeTransferSettings(const QString& path)
{
    return writeTransferSettings(path, {QStringLiteral("TrxRef"), QStringLiteral("FromAcc"), QStringLiteral("ToAcc"),
                                        QStringLiteral("Amount"), QStringLiteral("Remittance"),
                                        QStringLiteral("Remarks1"), QStringLiteral("Beneficiary")});
}

bool writeTransferSettings(const QString& path, const QStringList& keys)
{
    QSettings settings(path, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Transfer"));
    for (int i = 0; i < keys.size(); ++i)
        settings.setValue(keys.at(i), i + 1);
    settings.setValue(QStringLiteral("HasColumnHeader"), true);
    settings.setValue(QStringLiteral("HeaderID"), 1);
    settings.setValue(QStringLiteral("CompanyID"), QStringLiteral("ABCDE12345"));
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool writePayrollSettings(const QString& path)
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

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}
