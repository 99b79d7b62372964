#include "export/cells.h"
#include "export/exportrun.h"
#include "export/messageline.h"
#include "recordingsink.h"
#include "expect.h"
#include "xlsx/document.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>

using namespace kova;

namespace {

// A small record layout: "D|<name>|<amount>"; a name "bad" is an error on
// column 0, a name longer than 4 a warning; rows whose name is "skip" are
// filtered out.
class SampleJob final : public ExportJob
{
public:
    QStringList titles() const override { return {"Name", "Amount"}; }
    int amountColumn() const override { return 1; }
    int recordWidth() const override { return width; }
    bool accepts(const xlsx::Document& sheet, int row) const override
    {
        return cellText(sheet, row, 1) != QLatin1String("skip");
    }
    void convert(const xlsx::Document& sheet, int row, RowContext& out) const override
    {
        const QString name = cellText(sheet, row, 1);
        const auto amount = validAmount(cellText(sheet, row, 2), wholeUnits(1000));
        out.record = "D|" + name + '|' + (amount ? fixedText(*amount) : QString());
        out.values << name << (amount ? displayAmount(*amount) : cellText(sheet, row, 2));
        if (name == QLatin1String("bad"))
            out.error(": Error. Bad name</span>", 0);
        if (name.size() > 4)
            out.warning(truncatedTail("Name", 4));
        if (amount)
            out.addToTotal(*amount);
    }
    QString overflow(const ExportTotals& t) const override
    {
        return t.total > wholeUnits(overflowAbove) ? "Total amount does not fit the header record"
                                                   : QString();
    }
    QString headerRecord(const ExportTotals& t) const override
    {
        return "H|" + fixedText(t.total) + '|' + QString::number(t.count);
    }
    bool finish(ExportSink& sink) const override
    {
        if (!finishes) {
            sink.critical("not finished");
            return false;
        }
        return ExportJob::finish(sink);
    }

    int width = 0;
    long long overflowAbove = 1000000;
    bool finishes = true;
};

QString readAll(const QString& path) { return QString::fromUtf8(expect::fileBytes(path)); }

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestExportRun final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString workbook(const char* name, const QList<QVariantList>& rows)
    {
        expect::writeSheet(m_dir.filePath(name), "Data", rows);
        return m_dir.filePath(name);
    }

private slots:
    void writesHeaderThenDetails()
    {
        const QString source = workbook("ok.xlsx", {{"Name", "Amount"}, {"ann", 10.5}, {"skip", 99},
                                                    {"bobby", "2.005"}});
        const QString dest = m_dir.filePath("ok.txt");
        SampleJob job;
        RecordingSink sink;
        QCOMPARE(runExport({source, "Data", true}, dest, job, sink), ExportOutcome::Written);

        QCOMPARE(sink.titles, (QStringList{"Name", "Amount"}));
        QCOMPARE(sink.rows.size(), 2);
        QCOMPARE(sink.rows[0].values, (QStringList{"ann", "10,50"}));
        QCOMPARE(sink.rows[0].amountColumn, 1);
        QCOMPARE(sink.rows[1].values, (QStringList{"bobby", "2,01"}));
        // Skipped rows take no line number.
        QCOMPARE(sink.rows[1].messages,
                 QStringList{QStringLiteral("<span style=\"color:#f88021;\">LINE 2: Warning. String truncated in "
                                            "<span style=\"font-weight:bold;\">Name</span>. Exceeding 4 characters</span>")});
        QCOMPARE(sink.summary, (QStringList{"Total rows processed: 2 of 3", "Total amounts: 12,51",
                                            "Total warnings: 1", "Total errors: 0"}));
        QCOMPARE(sink.boxTexts(), QStringList{"Done!"});
        QCOMPARE(readAll(dest), QString("H|12.51|2\nD|ann|10.50\nD|bobby|2.01\n"));
        QVERIFY(!QFile::exists(dest + ".details"));
    }

    void rowErrorsWriteNothing()
    {
        const QString source = workbook("bad.xlsx", {{"ann", 1}, {"bad", 2}, {"cid", 3}});
        const QString dest = m_dir.filePath("bad.txt");
        writeFile(dest, "earlier batch\n");
        SampleJob job;
        RecordingSink sink;
        QCOMPARE(runExport({source, "Data", false}, dest, job, sink), ExportOutcome::RowErrors);
        QCOMPARE(sink.rows.size(), 3);
        QCOMPARE(sink.rows[1].cells, (QVector<MarkedCell>{{1, 0}}));
        QCOMPARE(sink.rows[1].messages, QStringList{"<span style=\"color:#e73d4a;\">LINE 2: Error. Bad name</span>"});
        QCOMPARE(sink.summary.last(), QString("Total errors: 1"));
        QCOMPARE(sink.summary.first(), QString("Total rows processed: 3 of 3"));
        QCOMPARE(sink.boxTexts(), QStringList{"ERROR!"});
        QCOMPARE(readAll(dest), QString("earlier batch\n"));
        QVERIFY(!QFile::exists(dest + ".details"));
    }

    void unknownSheetIsRefusedAfterTheTitles()
    {
        const QString source = workbook("sheet.xlsx", {{"ann", 1}});
        RecordingSink sink;
        SampleJob job;
        QCOMPARE(runExport({source, "data", false}, m_dir.filePath("s.txt"), job, sink), ExportOutcome::Refused);
        QCOMPARE(sink.headerReports, 1);
        QCOMPARE(sink.summaryReports, 0);
        QCOMPARE(sink.boxTexts(), QStringList{"Error. Unable to select sheet data"});
        QVERIFY(!QFile::exists(m_dir.filePath("s.txt.details")));
    }

    void detailsFileThatCannotBeCreated()
    {
        const QString source = workbook("nodir.xlsx", {{"ann", 1}});
        RecordingSink sink;
        SampleJob job;
        QCOMPARE(runExport({source, "Data", false}, m_dir.filePath("missing/dir/x.txt"), job, sink),
                 ExportOutcome::Refused);
        QCOMPARE(sink.summaryReports, 0);
        QCOMPARE(sink.boxTexts(), QStringList{"Failed open file for writing"});
    }

    void uploadThatCannotBeWrittenKeepsTheDetails()
    {
        const QString source = workbook("blocked.xlsx", {{"ann", 1}});
        const QString dest = m_dir.filePath("blocked.txt");
        QVERIFY(QDir().mkpath(dest));   // a folder stands where the file should go
        RecordingSink sink;
        SampleJob job;
        QCOMPARE(runExport({source, "Data", false}, dest, job, sink), ExportOutcome::Refused);
        QCOMPARE(sink.summaryReports, 1);
        QCOMPARE(sink.boxTexts(), QStringList{"Failed open file for writing"});
        QCOMPARE(readAll(dest + ".details"), QString("D|ann|1.00\n"));
    }

    void overflowIsRefusedAfterTheSummary()
    {
        const QString source = workbook("big.xlsx", {{"ann", 600}, {"bob", 600}});
        const QString dest = m_dir.filePath("big.txt");
        SampleJob job;
        job.overflowAbove = 1000;
        RecordingSink sink;
        QCOMPARE(runExport({source, "Data", false}, dest, job, sink), ExportOutcome::Refused);
        QCOMPARE(sink.summaryReports, 1);
        QCOMPARE(sink.boxTexts(), QStringList{"Total amount does not fit the header record"});
        QVERIFY(!QFile::exists(dest));
        QVERIFY(!QFile::exists(dest + ".details"));
    }

    void recordOfTheWrongWidthIsNeverWritten()
    {
        const QString source = workbook("width.xlsx", {{"ann", 1}});
        const QString dest = m_dir.filePath("width.txt");
        SampleJob job;
        job.width = 10;
        RecordingSink sink;
        QCOMPARE(runExport({source, "Data", false}, dest, job, sink), ExportOutcome::Refused);
        QVERIFY(!QFile::exists(dest));
        QVERIFY(!QFile::exists(dest + ".details"));
    }

    void wholeNumbersFromCells()
    {
        const QString path = workbook("ints.xlsx", {{2, "2", 2.5, "2.5", 4294967297.0, "4294967297", -3, "abc",
                                                     QVariant(), true}});
        xlsx::Document sheet(path);
        QVERIFY(sheet.selectSheet("Data"));
        const QList<int> expected{2, 2, 0, 0, std::numeric_limits<int>::max(), std::numeric_limits<int>::max(),
                                  -3, 0, 0, 1};
        for (int column = 1; column <= expected.size(); ++column)
            QCOMPARE(cellInt(sheet, 1, column), expected.at(column - 1));
        QCOMPARE(cellInt(sheet, 1, 0), 0);   // not mapped
    }

    void sheetWithoutCells()
    {
        const QString path = m_dir.filePath("empty.xlsx");
        {
            TestWorkbook book(path);
            book.addSheet("Data");
        }
        const QString dest = m_dir.filePath("empty.txt");
        SampleJob job;
        RecordingSink sink;
        QCOMPARE(runExport({path, "Data", true}, dest, job, sink), ExportOutcome::Written);
        QCOMPARE(sink.summary.first(), QString("Total rows processed: 0 of 0"));
        QCOMPARE(readAll(dest), QString("H|0.00|0\n"));
    }

    void finishFailureIsReported()
    {
        const QString source = workbook("finish.xlsx", {{"ann", 1}});
        const QString dest = m_dir.filePath("finish.txt");
        SampleJob job;
        job.finishes = false;
        RecordingSink sink;
        QCOMPARE(runExport({source, "Data", false}, dest, job, sink), ExportOutcome::NotFinished);
        QCOMPARE(sink.boxTexts(), QStringList{"not finished"});
        QCOMPARE(readAll(dest), QString("H|1.00|1\nD|ann|1.00\n"));
    }
};

QTEST_GUILESS_MAIN(TestExportRun)
#include "test_export_run.moc"
