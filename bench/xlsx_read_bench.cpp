// Times opening a large payroll-like workbook and reading every cell as text,
// and reports the peak memory of doing so. The workbooks are generated once
// (libxlsxwriter, constant-memory mode) into a folder under the temp dir and
// reused on later runs.
//
//   xlsx_read_bench [--shared-strings] [--forward] [rows...]      default: 100000 1000000
//
// --forward reads the sheet as kova-export does, its rows as they arrive:
// "open+parse" is then the first pass over the sheet, "read all" the second.
//
// Constant-memory mode writes every text as an inline string; spreadsheet
// programs write a shared string table instead, which --shared-strings
// generates (slower, libxlsxwriter then keeps the whole sheet in memory).
#include "reader/document.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <xlsxwriter.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace {

const char* const kFirstNames[] = {"Siti", "Budi", "Agus", "Dewi", "Rina", "Andi", "Wahyu", "Putri",
                                   "Joko", "Ayu", "Hendra", "Lestari", "Rudi", "Fitri", "Bambang", "Indah"};
const char* const kLastNames[] = {"Rahma", "Santoso", "Wijaya", "Saputra", "Hidayat", "Kusuma", "Pratama",
                                  "Nugroho", "Halim", "Setiawan", "Gunawan", "Susanto", "Lim", "Tan"};
const char* const kDepartments[] = {"Finance", "Operations", "Sales", "Human Resources", "IT", "Logistics",
                                    "Legal", "Marketing"};

template <typename T, std::size_t N>
constexpr std::size_t count(const T (&)[N]) { return N; }

bool generate(const QString& path, long rows, bool sharedStrings)
{
    lxw_workbook_options options = {};
    options.constant_memory = sharedStrings ? LXW_FALSE : LXW_TRUE;
    const QByteArray tmp = QDir::tempPath().toLocal8Bit();
    options.tmpdir = const_cast<char*>(tmp.constData());
    lxw_workbook* book = workbook_new_opt(path.toLocal8Bit().constData(), &options);
    if (!book)
        return false;
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Payroll");
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "yyyy-mm-dd");
    lxw_format* amount = workbook_add_format(book);
    format_set_num_format(amount, "#,##0.00");

    const char* titles[] = {"Date", "Name", "Account", "Amount", "Id", "Department"};
    for (lxw_col_t c = 0; c < 6; ++c)
        worksheet_write_string(sheet, 0, c, titles[c], nullptr);
    unsigned long long seed = 20240131;
    const auto next = [&seed]() {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        return unsigned(seed >> 33);
    };
    char name[64];
    for (long r = 1; r < rows; ++r) {
        const lxw_row_t row = lxw_row_t(r);
        lxw_datetime day = {2024, int(1 + next() % 12), int(1 + next() % 28), 0, 0, 0};
        worksheet_write_datetime(sheet, row, 0, &day, date);
        std::snprintf(name, sizeof name, "%s %s", kFirstNames[next() % count(kFirstNames)],
                      kLastNames[next() % count(kLastNames)]);
        worksheet_write_string(sheet, row, 1, name, nullptr);
        worksheet_write_number(sheet, row, 2, 1000000000.0 + double(next() % 900000000u) * 10 + next() % 10, nullptr);
        worksheet_write_number(sheet, row, 3, double(next() % 5000000000u) / 100.0, amount);
        worksheet_write_number(sheet, row, 4, double(100000 + r), nullptr);
        worksheet_write_string(sheet, row, 5, kDepartments[next() % count(kDepartments)], nullptr);
    }
    return workbook_close(book) == LXW_NO_ERROR;
}

// Runs the work in a child process, so that each measurement has a peak
// memory of its own; true when the child succeeded.
bool inChild(const std::function<bool()>& work)
{
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        const bool ok = work();
        std::fflush(stdout);
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool measure(const QString& path, long rows, reader::SheetAccess access)
{
    QElapsedTimer timer;
    timer.start();
    reader::Document document(path, reader::TextOptions{}, access);
    if (!document.selectSheet(QStringLiteral("Payroll"))) {
        std::printf("%ld rows: cannot select the sheet\n", rows);
        return false;
    }
    const qint64 openMs = timer.elapsed();
    const reader::CellRange range = document.dimension();
    qint64 characters = 0;
    for (int r = 1; r <= range.lastRow(); ++r)
        for (int c = 1; c <= range.lastColumn(); ++c)
            characters += document.read(r, c).toString().size();
    const qint64 totalMs = timer.elapsed();
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    const double cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
                       + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("%8ld rows (%.0f MB file): open+parse %.2f s, read all as text %.2f s, total %.2f s "
                "(CPU %.2f s), peak RSS %.0f MB (%dx%d cells, %lld characters)\n",
                rows, QFileInfo(path).size() / 1e6, openMs / 1000.0, (totalMs - openMs) / 1000.0, totalMs / 1000.0,
                cpu, usage.ru_maxrss / 1024.0, range.lastRow(), range.lastColumn(), characters);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<long> sizes;
    bool sharedStrings = false;
    reader::SheetAccess access = reader::SheetAccess::Random;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--shared-strings") == 0)
            sharedStrings = true;
        else if (std::strcmp(argv[i], "--forward") == 0)
            access = reader::SheetAccess::Forward;
        else
            sizes.push_back(std::atol(argv[i]));
    }
    if (sizes.empty())
        sizes = {100000, 1000000};

    const QString folder = QDir::temp().filePath(QStringLiteral("kova-xlsx-bench"));
    QDir().mkpath(folder);
    bool ok = true;
    for (long rows : sizes) {
        const QString path = QDir(folder).filePath(QStringLiteral("payroll-%1%2.xlsx").arg(rows).arg(sharedStrings ? "-sst" : ""));
        if (!QFileInfo::exists(path)) {
            std::printf("generating %s ...\n", qPrintable(path));
            QElapsedTimer timer;
            timer.start();
            if (!inChild([&] { return generate(path, rows, sharedStrings); })) {
                std::printf("cannot generate %s\n", qPrintable(path));
                QFile::remove(path);
                ok = false;
                continue;
            }
            std::printf("  generated in %.1f s\n", timer.elapsed() / 1000.0);
        }
        ok = inChild([&] { return measure(path, rows, access); }) && ok;
    }
    return ok ? 0 : 1;
}
