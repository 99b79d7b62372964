#include "export/cells.h"
#include "export/exportrun.h"
#include "export/messageline.h"
#include "recordingsink.h"
#include "expect.h"
#include "xlsx/document.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>
#include <limits>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace kova;

namespace {

// A small record layout: "D|<name>|<amount>"; a name "bad" is an error on
// column 0, a name longer than 4 a warning; rows whose name is "skip" are
// filtered out.
class SampleJob final : public ExportJob
{
public:
    BatchType batchType() const override { return BatchType::Payroll; }
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
    bool reserve(ExportSink& sink) override
    {
        ++reservations;
        if (!reserves)
            sink.critical("not reserved");
        return reserves;
    }

    int width = 0;
    long long overflowAbove = 1000000;
    bool reserves = true;
    int reservations = 0;
    // Called from the sink when the summary arrives, before anything is written.
    std::function<void()> afterRows;
};

// Runs a hook when the summary arrives: the row loop is over, the upload file
// not yet written.
class HookedSink final : public ExportSink
{
public:
    explicit HookedSink(RecordingSink& inner, std::function<void()> hook) : m_inner(inner), m_hook(std::move(hook)) {}
    void headerChanged(const QStringList& t) override { m_inner.headerChanged(t); }
    void rowProcessed(const RowReport& r) override
    {
        m_inner.rowProcessed(r);
        if (onRow)
            onRow(m_inner.rows.size());
    }
    void summaryReady(const QStringList& l) override
    {
        m_inner.summaryReady(l);
        m_hook();
    }
    void critical(const QString& text) override { m_inner.critical(text); }
    void information(const QString& text) override { m_inner.information(text); }
    bool askWriteAgain(const QString& question) override { return m_inner.askWriteAgain(question); }
    void registerProblem(const QString& text) override { m_inner.registerProblem(text); }

    std::function<void(int)> onRow;

private:
    RecordingSink& m_inner;
    std::function<void()> m_hook;
};

#ifdef Q_OS_LINUX
// A file size limit on this process stands in for a full disk: writes past it
// fail (SIGXFSZ ignored), and lifting it gives the disk room again.
void limitFileSize(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

void liftFileSizeLimit()
{
    rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_FSIZE, &limit);
}

// The open details file of this process, found by its folder: it has no name
// there any more, but its descriptor is open.
int openDetailsDescriptor(const QString& folder)
{
    for (int fd = 0; fd < 1024; ++fd) {
        char buffer[4096];
        const ssize_t size = ::readlink(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(), buffer,
                                        sizeof buffer);
        const QString target = QFile::decodeName(QByteArray(buffer, int(qMax<ssize_t>(size, 0))));
        if (target.startsWith(folder + '/') && target.endsWith(" (deleted)"))
            return fd;
    }
    return -1;
}
#endif

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

    void uploadThatCannotBeOpenedLeavesNothing()
    {
        QTemporaryDir dir;
        const QString source = m_dir.filePath("blocked.xlsx");
        expect::writeSheet(source, "Data", {{"ann", 1}});
        const QString dest = dir.filePath("blocked.txt");
        QVERIFY(QDir().mkpath(dest));   // a folder stands where the file should go
        RecordingSink sink;
        SampleJob job;
        QCOMPARE(runExport({source, "Data", false}, dest, job, sink), ExportOutcome::Refused);
        QCOMPARE(sink.summaryReports, 1);
        QCOMPARE(sink.boxTexts(), QStringList{"Failed open file for writing"});
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"blocked.txt"});
    }

    // A link planted where a details file might be named must not lead the
    // batch into another file.
    void detailsFileFollowsNoLink()
    {
        const QString source = workbook("link.xlsx", {{"ann", 1}});
        const QString dest = m_dir.filePath("link.txt");
        const QString victim = m_dir.filePath("victim.txt");
        writeFile(victim, "keep me\n");
        QVERIFY(QFile::link(victim, dest + ".details"));
        SampleJob job;
        RecordingSink sink;
        QCOMPARE(runExport({source, "Data", false}, dest, job, sink), ExportOutcome::Written);
        QCOMPARE(readAll(victim), QString("keep me\n"));
        QCOMPARE(readAll(dest), QString("H|1.00|1\nD|ann|1.00\n"));
    }

    void pathsThatWouldReplaceWhatIsRead_data()
    {
        QTest::addColumn<QString>("dest");
        QTest::addColumn<QString>("box");
        QTest::newRow("line break") << "paths.txt\n" << "Invalid file name";
        QTest::newRow("tab") << "pa\tths.txt" << "Invalid file name";
        QTest::newRow("source") << "paths.xlsx" << "Destination must not be the source workbook";
        QTest::newRow("source via ..") << "sub/../paths.xlsx" << "Destination must not be the source workbook";
        QTest::newRow("source via link") << "book-link.xlsx" << "Destination must not be the source workbook";
        QTest::newRow("settings") << "kova.ini" << "Destination must not be the settings file";
        QTest::newRow("settings via link") << "sub/ini-link" << "Destination must not be the settings file";
    }

    void pathsThatWouldReplaceWhatIsRead()
    {
        QFETCH(QString, dest);
        QFETCH(QString, box);
        const QString source = workbook("paths.xlsx", {{"ann", 1}});
        const QString settings = m_dir.filePath("kova.ini");
        writeFile(settings, "[Transfer]\nHeaderID=7\n");
        QDir(m_dir.path()).mkpath("sub");
        QFile::link(source, m_dir.filePath("book-link.xlsx"));
        QFile::link(settings, m_dir.filePath("sub/ini-link"));
        const QByteArray sourceBytes = expect::fileBytes(source);
        const QStringList before = QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        // Relative to the working folder, as a typed path is.
        const QString oldCurrent = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        SampleJob job;
        RecordingSink sink;
        const ExportOutcome outcome = runExport({source, "Data", false, settings}, dest, job, sink);
        QDir::setCurrent(oldCurrent);
        QCOMPARE(outcome, ExportOutcome::Refused);
        QCOMPARE(sink.boxTexts(), QStringList{box});
        QCOMPARE(sink.headerReports, 0);
        QCOMPARE(expect::fileBytes(source), sourceBytes);
        QCOMPARE(readAll(settings), QString("[Transfer]\nHeaderID=7\n"));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    }

    void emptyBatchIsNeverWritten()
    {
        const QString source = workbook("none.xlsx", {{"Name", "Amount"}, {"skip", 1}, {"skip", 2}});
        const QString dest = m_dir.filePath("none.txt");
        writeFile(dest, "earlier batch\n");
        SampleJob job;
        RecordingSink sink;
        QCOMPARE(runExport({source, "Data", true}, dest, job, sink), ExportOutcome::Refused);
        QCOMPARE(sink.summary.first(), QString("Total rows processed: 0 of 2"));
        QCOMPARE(sink.boxTexts(), QStringList{"No rows to export"});
        QCOMPARE(job.reservations, 0);
        QCOMPARE(readAll(dest), QString("earlier batch\n"));
    }

#ifdef Q_OS_LINUX
    // The disk fills during the row loop and has room again by its end.
    void detailsWriteFailureWritesNothing()
    {
        QList<QVariantList> rows;
        for (int i = 0; i < 3000; ++i)
            rows.append({QString("row%1").arg(i).left(4), 1});
        const QString source = workbook("full.xlsx", rows);
        const QString dest = m_dir.filePath("full.txt");
        writeFile(dest, "earlier batch\n");
        SampleJob job;
        RecordingSink recorded;
        HookedSink sink(recorded, [] { liftFileSizeLimit(); });
        sink.onRow = [](int row) {
            if (row == 1000)
                limitFileSize(16 * 1024);
        };
        const ExportOutcome outcome = runExport({source, "Data", false}, dest, job, sink);
        liftFileSizeLimit();
        QCOMPARE(outcome, ExportOutcome::Refused);
        QCOMPARE(recorded.boxTexts(), QStringList{"Failed writing file"});
        QCOMPARE(job.reservations, 0);
        QCOMPARE(readAll(dest), QString("earlier batch\n"));
    }

    void uploadWriteFailureCommitsNothing()
    {
        QList<QVariantList> rows;
        for (int i = 0; i < 3000; ++i)
            rows.append({"ann", 1});
        const QString source = workbook("upfull.xlsx", rows);
        const QString dest = m_dir.filePath("upfull.txt");
        writeFile(dest, "earlier batch\n");
        SampleJob job;
        RecordingSink recorded;
        HookedSink sink(recorded, [] { limitFileSize(8 * 1024); });
        const ExportOutcome outcome = runExport({source, "Data", false}, dest, job, sink);
        liftFileSizeLimit();
        QCOMPARE(outcome, ExportOutcome::Refused);
        QCOMPARE(recorded.boxTexts(), QStringList{"Failed writing file"});
        QCOMPARE(readAll(dest), QString("earlier batch\n"));
        QCOMPARE(QDir(m_dir.path()).entryList({"upfull.txt*"}), QStringList{"upfull.txt"});
    }

    // Records lost between the row loop and the copy: the header's count
    // would announce records the file does not hold.
    void uploadHoldsEveryRecordItsHeaderCounts()
    {
        const QString source = workbook("lost.xlsx", {{"ann", 1}, {"bob", 2}});
        const QString dest = m_dir.filePath("lost.txt");
        const QString folder = QFileInfo(m_dir.path()).canonicalFilePath();
        SampleJob job;
        RecordingSink recorded;
        HookedSink sink(recorded, [&] {
            const int fd = openDetailsDescriptor(folder);
            QVERIFY(fd >= 0);
            QCOMPARE(::ftruncate(fd, qstrlen("D|ann|1.00\n")), 0);
        });
        QCOMPARE(runExport({source, "Data", false}, dest, job, sink), ExportOutcome::Refused);
        QCOMPARE(recorded.boxTexts(), QStringList{"Failed writing file"});
        QVERIFY(!QFile::exists(dest));
    }
#endif

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
                                                     QVariant(), true, " +5 ", "1.0", "R", "-"}});
        xlsx::Document sheet(path);
        QVERIFY(sheet.selectSheet("Data"));
        const QList<std::optional<int>> expected{2, 2, std::nullopt, std::nullopt, std::numeric_limits<int>::max(),
                                                 std::numeric_limits<int>::max(), -3, std::nullopt, 0, 1, 5,
                                                 std::nullopt, std::nullopt, std::nullopt};
        for (int column = 1; column <= expected.size(); ++column)
            QCOMPARE(cellInt(sheet, 1, column), expected.at(column - 1));
        QCOMPARE(cellInt(sheet, 1, 0), std::optional<int>(0));   // not mapped
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
        QCOMPARE(runExport({path, "Data", true}, dest, job, sink), ExportOutcome::Refused);
        QCOMPARE(sink.summary.first(), QString("Total rows processed: 0 of 0"));
        QCOMPARE(sink.boxTexts(), QStringList{"No rows to export"});
        QVERIFY(!QFile::exists(dest));
    }

    void reservationFailureWritesNothing()
    {
        const QString source = workbook("reserve.xlsx", {{"ann", 1}});
        const QString dest = m_dir.filePath("reserve.txt");
        SampleJob job;
        job.reserves = false;
        RecordingSink sink;
        QCOMPARE(runExport({source, "Data", false}, dest, job, sink), ExportOutcome::Refused);
        QCOMPARE(sink.boxTexts(), QStringList{"not reserved"});
        QVERIFY(!QFile::exists(dest));
    }

    // A "no" to writing the same payments again comes before anything is
    // reserved or written; a "yes" writes them as any batch.
    void declinedRepeatWritesNothing()
    {
        const QString source = workbook("repeat.xlsx", {{"ann", 1}, {"bob", 2}});
        const QString dest = m_dir.filePath("repeat.txt");
        const ExportSource from{source, "Data", false, m_dir.filePath("repeat/kova.ini")};
        QVERIFY(QDir().mkpath(m_dir.filePath("repeat")));
        SampleJob first;
        RecordingSink firstSink;
        QCOMPARE(runExport(from, dest, first, firstSink), ExportOutcome::Written);
        QCOMPARE(firstSink.questions, QStringList());
        const QByteArray written = expect::fileBytes(dest);

        SampleJob again;
        RecordingSink no;
        no.writeAgain = false;
        QCOMPARE(runExport(from, dest, again, no), ExportOutcome::Declined);
        QCOMPARE(no.questions.size(), 1);
        QVERIFY(no.questions.first().startsWith("These 2 payments (total 3,00) were already written on "));
        QCOMPARE(no.boxTexts(), QStringList());
        QCOMPARE(again.reservations, 0);
        QCOMPARE(expect::fileBytes(dest), written);
        QCOMPARE(QDir(m_dir.path()).entryList({"repeat.txt.*"}, QDir::Files | QDir::Hidden), QStringList());

        RecordingSink yes;
        QCOMPARE(runExport(from, dest, again, yes), ExportOutcome::Written);
        QCOMPARE(yes.boxTexts(), QStringList{"Done!"});
        QCOMPARE(again.reservations, 1);
        QCOMPARE(yes.registerProblems, QStringList());
    }
};

QTEST_GUILESS_MAIN(TestExportRun)
#include "test_export_run.moc"
