// kova-export payroll from delimited text against Python's csv module reading
// the same file (every row, counted), on one generated payroll CSV: wall time
// of each, the ratio beside its goal, and kova-export's peak resident memory
// for a tenth of the rows beside it, to show that memory stays flat in rows.
// kova-export and Python take turns, ROUNDS times each (medians printed), so
// that other load on the machine falls on both alike.
//
//   csv_export_bench [ROWS] [WORKDIR] [ROUNDS]    default: 1000000 rows, 5 rounds
//
// The rows are the payroll benchmark's (payroll_export_bench), written as an
// accounting program exports them: CR LF, names holding a comma quoted,
// amounts with two decimals. Every department is longer than the record's
// four characters, so every row draws a warning. The files are kept in
// WORKDIR and reused when they are already there.
#include "benchsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const char* const kFirstNames[] = {"Siti", "Budi", "Agus", "Dewi", "Rina", "Andi", "Wahyu", "Putri"};
const char* const kLastNames[] = {"Rahma", "Santoso", "Wijaya", "Saputra", "Hidayat", "Kusuma"};
const char* const kDepartments[] = {"Finance", "Operations", "Sales", "Logistics", "Marketing"};
// The goals: no slower than Python reading the rows; memory flat.
constexpr double kTimeGoal = 1.0;
constexpr double kPeakGoalMiB = 100;
constexpr double kGrowthGoal = 1.25;

bool writeCsv(const QString& path, int rows)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block = "Employee Name,Acc #,Amount,Employee ID,Department\r\n";
    for (int i = 1; i <= rows; ++i) {
        block += '"' + QByteArray(kLastNames[(i / 8) % 6]) + ", " + kFirstNames[i % 8] + "\","
                 + QByteArray::number(1000000000 + i) + ',' + QByteArray::number(1000 + (i % 1000) * 0.25, 'f', 2)
                 + ",E" + QByteArray::number(100000 + i) + ',' + kDepartments[i % 5] + "\r\n";
        if (block.size() > (1 << 20) || i == rows) {
            if (file.write(block) != block.size())
                return false;
            block.clear();
        }
    }
    return file.flush();
}

QStringList exportCommand(const QDir& dir, const QString& source)
{
    return {QStringLiteral(KOVA_EXPORT_PATH), QStringLiteral("payroll"), QStringLiteral("--source"), source,
            QStringLiteral("--dest"), dir.filePath(QStringLiteral("payroll.txt")), QStringLiteral("--settings"),
            dir.filePath(QStringLiteral("kova.ini")), QStringLiteral("--account"), QStringLiteral("1")};
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int rows = args.size() > 1 ? args.at(1).toInt() : 1000000;
    QTemporaryDir temporary;
    const QDir dir(args.size() > 2 ? args.at(2) : temporary.path());
    const int rounds = args.size() > 3 ? std::max(1, args.at(3).toInt()) : 5;
    const int fewer = std::max(1, rows / 10);
    const QString text = dir.filePath(QStringLiteral("payroll-%1.csv").arg(rows));
    const QString fewerText = dir.filePath(QStringLiteral("payroll-%1.csv").arg(fewer));
    for (const auto& [path, count] : {std::make_pair(text, rows), std::make_pair(fewerText, fewer)}) {
        if (rows < 1 || (!QFileInfo::exists(path) && !writeCsv(path, count))) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
            return 1;
        }
    }
    if (!writePayrollSettings(dir.filePath(QStringLiteral("kova.ini")))) {
        std::fprintf(stderr, "could not write the settings in %s\n", qPrintable(dir.path()));
        return 1;
    }
    std::printf("rows:         %d (%.1f MB of text)\n", rows, QFileInfo(text).size() / 1e6);

    const QStringList pythonCommand{
        QStringLiteral("/usr/bin/python3"), QStringLiteral("-c"),
        QStringLiteral("import csv, sys\n"
                       "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                       "    print(sum(1 for _ in csv.reader(f)))"),
        text};
    std::vector<double> exportSeconds;
    std::vector<double> pythonSeconds;
    std::vector<double> exportCpu;
    std::vector<double> pythonCpu;
    ChildRun exporter;
    ChildRun python;
    for (int round = 0; round < rounds; ++round) {
        exporter = runChild(exportCommand(dir, text), dir.filePath(QStringLiteral("export.out")),
                            dir.filePath(QStringLiteral("export.err")));
        python = runChild(pythonCommand, dir.filePath(QStringLiteral("python.out")));
        exportSeconds.push_back(exporter.seconds);
        pythonSeconds.push_back(python.seconds);
        exportCpu.push_back(exporter.userSeconds + exporter.systemSeconds);
        pythonCpu.push_back(python.userSeconds + python.systemSeconds);
        std::printf("round %d:      kova-export %.2f s (%.2f s of CPU), peak %.1f MiB; python csv %.2f s (%.2f s of CPU)\n",
                    round + 1, exporter.seconds, exportCpu.back(), exporter.peakMiB, python.seconds, pythonCpu.back());
    }
    const ChildRun fewerRun = runChild(exportCommand(dir, fewerText), dir.filePath(QStringLiteral("export.out")),
                                       dir.filePath(QStringLiteral("export.err")));
    std::printf("kova-export:  exit %d, median %.2f s, peak %.1f MiB (goal <= %.0f MiB)\n", exporter.status,
                median(exportSeconds), exporter.peakMiB, kPeakGoalMiB);
    std::printf("python csv:   exit %d, median %.2f s\n", python.status, median(pythonSeconds));
    if (median(pythonSeconds) > 0)
        std::printf("ratio:        %.2f of Python's time (goal <= %.2f), %.2f of its CPU time\n",
                    median(exportSeconds) / median(pythonSeconds), kTimeGoal, median(exportCpu) / median(pythonCpu));
    std::printf("%d rows:  exit %d, peak %.1f MiB\n", fewer, fewerRun.status, fewerRun.peakMiB);
    if (fewerRun.peakMiB > 0)
        std::printf("growth:       %.2f of the peak for %d rows (goal <= %.2f)\n", exporter.peakMiB / fewerRun.peakMiB,
                    fewer, kGrowthGoal);
    // Past 99,999 records a payroll batch does not fit its header: the whole
    // road still runs, and the refusal comes at its end (exit 2).
    return exporter.status >= 0 && python.status == 0 ? 0 : 1;
}
