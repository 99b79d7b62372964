// kova-export payroll against a bare unzip of its sheet (`unzip -p BOOK
// xl/worksheets/sheet1.xml | wc -c`) and against xlsx2csv, on the same
// generated sheet in one run: wall time of each, the ratios, and the
// exporter's peak resident memory. kova-export and unzip take turns, ROUNDS
// times each (medians printed), so that other load on the machine falls on
// both alike. Needs Debian's unzip and xlsx2csv.
//
//   payroll_export_bench [ROWS] [WORKDIR] [ROUNDS]    default: 1000000 rows, 5 rounds
//
// Every department is longer than the record's four characters, so every row
// draws a truncation warning: the road carries a message for each row. The
// workbook (libxlsxwriter, constant-memory mode) is kept in WORKDIR and reused
// when it is already there.
#include "benchsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <vector>

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

    if (rows < 1 || (!QFileInfo::exists(workbook) && !writeWorkbook(workbook, rows)) || !writePayrollSettings(settings)) {
        std::fprintf(stderr, "could not write the workbook or the settings in %s\n", qPrintable(dir.path()));
        return 1;
    }
    std::printf("rows:         %d (%.1f MB workbook)\n", rows, QFileInfo(workbook).size() / 1e6);

    const int rounds = args.size() > 3 ? std::max(1, args.at(3).toInt()) : 5;
    const QStringList exportCommand{QStringLiteral(KOVA_EXPORT_PATH), QStringLiteral("payroll"),
                                    QStringLiteral("--source"), workbook, QStringLiteral("--sheet"),
                                    QStringLiteral("Payroll"), QStringLiteral("--dest"),
                                    dir.filePath(QStringLiteral("payroll.txt")), QStringLiteral("--settings"),
                                    settings, QStringLiteral("--account"), QStringLiteral("1")};
    // The sheet's bytes as unzip inflates them, counted and thrown away.
    const QStringList unzipCommand{QStringLiteral("sh"), QStringLiteral("-c"),
                                   QStringLiteral("unzip -p \"$0\" xl/worksheets/sheet1.xml | wc -c"), workbook};
    std::vector<double> exportSeconds;
    std::vector<double> unzipSeconds;
    ChildRun exporter;
    ChildRun unzip;
    for (int round = 0; round < rounds; ++round) {
        exporter = runChild(exportCommand, dir.filePath(QStringLiteral("export.out")),
                            dir.filePath(QStringLiteral("export.err")));
        unzip = runChild(unzipCommand, dir.filePath(QStringLiteral("unzip.out")));
        exportSeconds.push_back(exporter.seconds);
        unzipSeconds.push_back(unzip.seconds);
        std::printf("round %d:      kova-export %.2f s, peak %.1f MiB; unzip -p | wc -c %.2f s\n", round + 1,
                    exporter.seconds, exporter.peakMiB, unzip.seconds);
    }
    std::printf("kova-export:  exit %d, median %.2f s, peak %.1f MiB (goal at most 100 MiB, and at 1,000,000 rows at "
                "most 1.25 x the peak at 100,000)\n", exporter.status, median(exportSeconds), exporter.peakMiB);
    std::printf("unzip:        exit %d, median %.2f s\n", unzip.status, median(unzipSeconds));
    if (median(unzipSeconds) > 0)
        std::printf("ratio:        %.2f of unzip's time (goal at most 0.5)\n", median(exportSeconds) / median(unzipSeconds));
    const ChildRun converter = runChild({QStringLiteral("xlsx2csv"), QStringLiteral("-n"), QStringLiteral("Payroll"),
                                      workbook},
                                     dir.filePath(QStringLiteral("sheet.csv")), dir.filePath(QStringLiteral("xlsx2csv.err")));
    std::printf("xlsx2csv:     exit %d, %.2f s, peak %.1f MiB\n", converter.status, converter.seconds,
                converter.peakMiB);
    if (converter.seconds > 0)
        std::printf("ratio:        %.3f of xlsx2csv's time\n", median(exportSeconds) / converter.seconds);
    // Past 99,999 records a payroll batch does not fit its header: the whole
    // road still runs, and the refusal comes at its end (exit 2).
    return exporter.status >= 0 && unzip.status == 0 && converter.status == 0 ? 0 : 1;
}
