#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// A program run alone, with its output sent to files, so that its time and
// peak memory are its own.
struct ChildRun
{
    int status = -1;   // exit status; -1 when it could not run or did not exit
    double seconds = 0;
    double userSeconds = 0;
    double systemSeconds = 0;
    double peakMiB = 0;   // its high-water mark, read every 2 ms while it runs
};

// errPath empty: standard error stays this program's.
ChildRun runChild(const QStringList& arguments, const QString& outPath, const QString& errPath = {});

// A sheet "Batch" of valid WDK transfers under a title row, written by
// libxlsxwriter in constant-memory mode, the way a large spreadsheet arrives
// from other software; and the settings that map it, Header ID 1. With
// longRemarks every Remarks is longer than the field, so every row draws a
// warning and the batch is still written.
bool writeTransferWorkbook(const QString& path, int rows, bool longRemarks = false);
bool writeTransferSettings(const QString& path);
// The same with the fields of keys (settings keys) mapped to columns 1, 2, ...
bool writeTransferSettings(const QString& path, const QStringList& keys);

// The settings that map the payroll benchmarks' sheet (name, account,
// amount, employee ID, department; a header row) and its company account, row 1.
bool writePayrollSettings(const QString& path);

// The middle one of values, the upper of the two middle ones for an even count.
double median(std::vector<double> values);
