// kova-export transfer on generated sheets of 100,000 transfers beside
// xlsx2csv on the same sheets: wall time, CPU time and peak resident memory of
// the exporter, and its share of xlsx2csv's time.
//
//   transfer_export_bench [ROWS] [WORKDIR]
//
// The first sheet is the one window_export_bench exports (seven columns,
// libxlsxwriter's constant-memory mode, inline strings). The other two map
// all eighteen transfer fields, once with inline strings and once with shared
// strings (libxlsxwriter's default, as a spreadsheet program saves). Every row
// is a valid WDK transfer, so the run goes the whole road: reading, checking,
// details file, upload file, Header ID.
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <xlsxwriter.h>

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

// The eighteen transfer fields in their own order, by their settings keys.
const char* const kWideKeys[] = {"TrxRef",   "TrxDate",  "FromAcc",  "ToAcc",    "Amount",      "Remarks1",
                                 "Remarks2", "Remittance", "BICode", "Bank",     "Branch",      "Beneficiary",
                                 "Address1", "Address2", "Address3", "Address4", "CustType",    "Residence"};

bool writeWideWorkbook(const QString& path, int rows, bool sharedStrings)
{
    lxw_workbook_options options{};
    options.constant_memory = sharedStrings ? LXW_FALSE : LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(path.toUtf8().constData(), &options);
    if (!book)
        return false;
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Batch");
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "yyyy-mm-dd");
    for (lxw_col_t c = 0; c < 18; ++c)
        worksheet_write_string(sheet, 0, c, kWideKeys[c], nullptr);
    const QDate today = QDate::currentDate();
    lxw_datetime day{today.year(), today.month(), today.day(), 0, 0, 0};
    for (int i = 1; i <= rows; ++i) {
        const lxw_row_t r = lxw_row_t(i);
        const QByteArray ref = "TRX-" + QByteArray::number(i);
        const QByteArray to = QByteArray::number(1000000000 + i);
        const QByteArray remarks = "Invoice " + QByteArray::number(i % 9973);
        const QByteArray street = "Jl. Melati " + QByteArray::number(i % 311);
        worksheet_write_string(sheet, r, 0, ref.constData(), nullptr);
        worksheet_write_datetime(sheet, r, 1, &day, date);
        worksheet_write_string(sheet, r, 2, "1234567890", nullptr);
        worksheet_write_string(sheet, r, 3, to.constData(), nullptr);
        worksheet_write_number(sheet, r, 4, 1000 + (i % 1000) * 0.25, nullptr);
        worksheet_write_string(sheet, r, 5, remarks.constData(), nullptr);
        worksheet_write_string(sheet, r, 6, "Batch December", nullptr);
        worksheet_write_string(sheet, r, 7, "WDK", nullptr);
        worksheet_write_string(sheet, r, 8, "0140397", nullptr);
        worksheet_write_string(sheet, r, 9, "BANK CENTRAL", nullptr);
        worksheet_write_string(sheet, r, 10, "JAKARTA", nullptr);
        worksheet_write_string(sheet, r, 11, "PT Sumber Makmur Sejahtera", nullptr);
        worksheet_write_string(sheet, r, 12, street.constData(), nullptr);
        worksheet_write_string(sheet, r, 13, "Kebayoran Baru", nullptr);
        worksheet_write_string(sheet, r, 14, "Jakarta Selatan", nullptr);
        worksheet_write_string(sheet, r, 15, "12110", nullptr);
        worksheet_write_number(sheet, r, 16, 1 + i % 3, nullptr);
        worksheet_write_string(sheet, r, 17, "R", nullptr);
    }
    return workbook_close(book) == LXW_NO_ERROR;
}

bool writeWideSettings(const QString& path)
{
    QStringList keys;
    for (const char* key : kWideKeys)
        keys.append(QString::fromLatin1(key));
    return writeTransferSettings(path, keys);
}

// kova-export on the workbook with fresh settings (no register of earlier
// batches), then xlsx2csv on the same sheet.
bool exportBeside(const QDir& dir, const QString& name, const QString& workbook, bool (*settingsFor)(const QString&))
{
    const QString settings = dir.filePath(name + QStringLiteral(".ini"));
    const QString upload = dir.filePath(name + QStringLiteral(".txt"));
    QFile::remove(settings);
    QFile::remove(dir.filePath(name + QStringLiteral("-batches.sqlite")));
    QFile::remove(dir.filePath(QStringLiteral("kova-batches.sqlite")));
    if (!settingsFor(settings))
        return false;
    const QStringList exporter{QStringLiteral(KOVA_EXPORT_PATH), QStringLiteral("transfer"),
                               QStringLiteral("--source"), workbook, QStringLiteral("--sheet"),
                               QStringLiteral("Batch"), QStringLiteral("--dest"), upload,
                               QStringLiteral("--settings"), settings};
    const QString out = dir.filePath(name + QStringLiteral(".out"));
    const ChildRun run = runChild(exporter, out, dir.filePath(name + QStringLiteral(".err")));
    const ChildRun converter = runChild({QStringLiteral("xlsx2csv"), QStringLiteral("-n"), QStringLiteral("Batch"),
                                         workbook},
                                        dir.filePath(name + QStringLiteral(".csv")));
    std::printf("%s (%.1f MB workbook)\n", qPrintable(name), QFileInfo(workbook).size() / 1e6);
    std::printf("  kova-export:     exit %d, %.2f s, %.2f s user, %.2f s system, peak %.1f MiB; upload %.1f MB\n",
                run.status, run.seconds, run.userSeconds, run.systemSeconds, run.peakMiB,
                QFileInfo(upload).size() / 1e6);
    std::printf("  xlsx2csv:        exit %d, %.2f s\n", converter.status, converter.seconds);
    if (converter.seconds > 0)
        std::printf("  ratio:           %.3f of xlsx2csv's time\n", run.seconds / converter.seconds);
    std::printf("%s", head(out, 4).constData());
    return run.status == 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int rows = args.size() > 1 ? args.at(1).toInt() : 100000;
    QTemporaryDir temporary;
    const QDir dir(args.size() > 2 ? args.at(2) : temporary.path());
    const QString narrow = dir.filePath(QStringLiteral("transfers.xlsx"));
    const QString inlineStrings = dir.filePath(QStringLiteral("transfers-18-inline.xlsx"));
    const QString sharedStrings = dir.filePath(QStringLiteral("transfers-18-shared.xlsx"));

    QElapsedTimer timer;
    timer.start();
    if (rows < 1 || !writeTransferWorkbook(narrow, rows) || !writeWideWorkbook(inlineStrings, rows, false)
        || !writeWideWorkbook(sharedStrings, rows, true)) {
        std::fprintf(stderr, "could not write the workbooks in %s\n", qPrintable(dir.path()));
        return 1;
    }
    std::printf("rows:              %d, workbooks written in %.2f s\n", rows, timer.nsecsElapsed() / 1e9);
    bool written = exportBeside(dir, QStringLiteral("transfers"), narrow, writeTransferSettings);
    written = exportBeside(dir, QStringLiteral("transfers-18-inline"), inlineStrings, writeWideSettings) && written;
    written = exportBeside(dir, QStringLiteral("transfers-18-shared"), sharedStrings, writeWideSettings) && written;
    return written ? 0 : 1;
}
