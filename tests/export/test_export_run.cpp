#include "export/cells.h"
#include "export/exportrun.h"
#include "recordingsink.h"
#include "expect.h"
#include "xlsx/document.h"

#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
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
// column 0; rows whose name is "skip" are filtered out.
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
            out.error("Bad name", 0);
        if (amount)
            out.addToTotal(*amount);
    }
    QString overflow(const ExportTotals& t) const override
    {
        return t.total > wholeUnits(overflowAbove) ? "Total amount does not fit the header record" : QString();
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
};

// Runs a hook on each row and when the summary arrives: the row loop is over,
// the upload file not yet written.
class HookedSink final : public ExportSink
{
public:
    explicit HookedSink(RecordingSink& inner) : m_inner(inner) {}
    void headerChanged(const QStringList& t) override { m_inner.headerChanged(t); }
    void rowProcessed(const RowReport& r) override
    {
        m_inner.rowProcessed(r);
        if (onRow)
            onRow(m_inner.rows.size());
    }
    void summaryReady(const Summary& s) override
    {
        m_inner.summaryReady(s);
        onSummary();
    }
    void critical(const QString& text) override { m_inner.critical(text); }
    void information(const QString& text) override { m_inner.information(text); }
    bool askWriteAgain(const QString& question) override { return m_inner.askWriteAgain(question); }
    void registerProblem(const QString& text) override { m_inner.registerProblem(text); }

    std::function<void(int)> onRow;
    std::function<void()> onSummary;

private:
    RecordingSink& m_inner;
};

#ifdef Q_OS_LINUX
// A file size limit on this process stands in for a full disk: writes past it
// fail (SIGXFSZ ignored), and lifting it gives the disk room again.
void limitFileSize(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes ? bytes : limit.rlim_max;
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

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Every entry of a folder tree with the bytes of its files, but the batch
// register: a refused export changes none of them.
QStringList snapshot(const QString& folder)
{
    QStringList all;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString entry = it.next();
        if (!it.fileName().startsWith("kova-batches"))
            all << entry + '=' + QString::fromLatin1(expect::fileBytes(entry).toHex());
    }
    all.sort();
    return all;
}

enum class Tweak { None, Width, Overflow, NoReserve, FullDuringRows, FullAfterRows, LostRecords };

} // namespace
Q_DECLARE_METATYPE(Tweak)

class TestExportRun final : public QObject
{
    Q_OBJECT

private slots:
    // Row errors and every refusal leave the folder as it was: no upload, no
    // details file, the earlier batch, the workbook and the settings untouched.
    void refusals_data()
    {
        QTest::addColumn<QList<QVariantList>>("rows");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("dest");
        QTest::addColumn<Tweak>("tweak");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("summary");   // its first line, empty when none comes
        QTest::addColumn<int>("reservations");

        const QList<QVariantList> one{{"ann", 1}}, two{{"ann", 1}, {"bob", 2}};
        const auto add = [](const char* name, const QList<QVariantList>& rows, const QString& dest, Tweak tweak,
                            const QString& box, const QString& summary, int reservations, const QString& sheet = "Data") {
            QTest::newRow(name) << rows << sheet << dest << tweak << box << summary << reservations;
        };
        const QString one1 = "Total rows processed: 1 of 1", open = "Failed open file for writing";
        const QString isSource = "Destination must not be the source workbook";
        const QString isSettings = "Destination must not be the settings file";
        add("row error", {{"ann", 1}, {"bad", 2}, {"cid", 3}}, "earlier.txt", Tweak::None, "ERROR!",
            "Total rows processed: 3 of 3", 0);
        add("unknown sheet", one, "earlier.txt", Tweak::None, "Error. Unable to select sheet data", {}, 0, "data");
        add("details folder missing", one, "missing/dir/x.txt", Tweak::None, open, {}, 0);
        add("folder at the upload", one, "folder", Tweak::None, open, one1, 1);
        add("line break", one, "paths.txt\n", Tweak::None, "Invalid file name", {}, 0);
        add("tab", one, "pa\tths.txt", Tweak::None, "Invalid file name", {}, 0);
        add("source via ..", one, "sub/../book.xlsx", Tweak::None, isSource, {}, 0);
        add("source via link", one, "book-link.xlsx", Tweak::None, isSource, {}, 0);
        add("settings", one, "kova.ini", Tweak::None, isSettings, {}, 0);
        add("settings via link", one, "sub/ini-link", Tweak::None, isSettings, {}, 0);
        add("every row skipped", {{"skip", 1}}, "earlier.txt", Tweak::None, "No rows to export",
            "Total rows processed: 0 of 1", 0);
        add("sheet without cells", {}, "earlier.txt", Tweak::None, "No rows to export", "Total rows processed: 0 of 0", 0);
        add("total overflows", {{"ann", 600}, {"bob", 600}}, "earlier.txt", Tweak::Overflow,
            "Total amount does not fit the header record", "Total rows processed: 2 of 2", 0);
        add("record of the wrong width", one, "earlier.txt", Tweak::Width, "Record width mismatch", one1, 1);
        add("not reserved", one, "earlier.txt", Tweak::NoReserve, "not reserved", one1, 1);
#ifdef Q_OS_LINUX
        // The disk fills during the row loop and has room again by its end.
        QList<QVariantList> many;
        for (int i = 0; i < 3000; ++i)
            many.append({"ann", 1});
        const QString all = "Total rows processed: 3000 of 3000";
        add("details write fails", many, "earlier.txt", Tweak::FullDuringRows, "Failed writing file", all, 0);
        add("upload write fails", many, "earlier.txt", Tweak::FullAfterRows, "Failed writing file", all, 1);
        // The header's count would announce records the file does not hold.
        add("records lost before the copy", two, "earlier.txt", Tweak::LostRecords, "Failed writing file",
            "Total rows processed: 2 of 2", 1);
#endif
    }

    void refusals()
    {
        QFETCH(QList<QVariantList>, rows);
        QFETCH(QString, sheet);
        QFETCH(QString, dest);
        QFETCH(Tweak, tweak);
        QFETCH(QString, box);
        QFETCH(QString, summary);
        QFETCH(int, reservations);

        QTemporaryDir dir;
        const QString source = dir.filePath("book.xlsx"), settings = dir.filePath("kova.ini");
        if (rows.isEmpty())
            TestWorkbook(source).addSheet("Data");
        else
            QVERIFY(expect::writeSheet(source, "Data", rows));
        writeFile(settings, "[Transfer]\nHeaderID=7\n");
        writeFile(dir.filePath("earlier.txt"), "earlier batch\n");
        QVERIFY(QDir(dir.path()).mkpath("sub") && QDir(dir.path()).mkpath("folder"));
        QVERIFY(QFile::link(source, dir.filePath("book-link.xlsx")));
        QVERIFY(QFile::link(settings, dir.filePath("sub/ini-link")));
        const QStringList before = snapshot(dir.path());

        SampleJob job;
        job.width = tweak == Tweak::Width ? 10 : 0;
        job.overflowAbove = tweak == Tweak::Overflow ? 1000 : 1000000;
        job.reserves = tweak != Tweak::NoReserve;
        RecordingSink recorded;
        HookedSink sink(recorded);
        const QString folder = QFileInfo(dir.path()).canonicalFilePath();
        sink.onSummary = [&] {
#ifdef Q_OS_LINUX
            if (tweak == Tweak::FullDuringRows)
                limitFileSize(0);
            if (tweak == Tweak::FullAfterRows)
                limitFileSize(8 * 1024);
            if (tweak == Tweak::LostRecords) {
                const int fd = openDetailsDescriptor(folder);
                QVERIFY(fd >= 0);
                QCOMPARE(::ftruncate(fd, qstrlen("D|ann|1.00\n")), 0);
            }
#endif
        };
#ifdef Q_OS_LINUX
        sink.onRow = [&](int row) {
            if (tweak == Tweak::FullDuringRows && row == 1000)
                limitFileSize(16 * 1024);
        };
#endif
        // Relative to the working folder, as a typed path is.
        const QString oldCurrent = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const ExportOutcome outcome = runExport({source, sheet, false, settings}, dest, job, sink);
        QDir::setCurrent(oldCurrent);
#ifdef Q_OS_LINUX
        limitFileSize(0);
#endif
        QCOMPARE(outcome, box == "ERROR!" ? ExportOutcome::RowErrors : ExportOutcome::Refused);
        if (box == "ERROR!") {
            QCOMPARE(recorded.rows.value(1).cells, (QVector<MarkedCell>{{1, 0}}));
            QCOMPARE(recorded.allMessages(), QStringList{"<span style=\"color:#e73d4a;\">LINE 2: Error. Bad name</span>"});
        }
        QCOMPARE(recorded.boxTexts(), QStringList{box});
        QCOMPARE(recorded.headerReports, dest.contains(QRegularExpression("[\\t\\n]|book|ini")) ? 0 : 1);
        QCOMPARE(recorded.summary.value(0), summary);
        QCOMPARE(job.reservations, reservations);
        QCOMPARE(snapshot(dir.path()), before);
    }

    void wholeNumbersFromCells()
    {
        QTemporaryDir dir;
        QVERIFY(expect::writeSheet(dir.filePath("ints.xlsx"), "Data",
                                   {{2, "2", 2.5, "2.5", 4294967297.0, "4294967297", -3, "abc", QVariant(), true,
                                     " +5 ", "1.0", "R", "-"}}));
        xlsx::Document sheet(dir.filePath("ints.xlsx"));
        QVERIFY(sheet.selectSheet("Data"));
        const int most = std::numeric_limits<int>::max();
        const QList<std::optional<int>> expected{2, 2, std::nullopt, std::nullopt, most, most, -3, std::nullopt,
                                                 0, 1, 5, std::nullopt, std::nullopt, std::nullopt};
        for (int column = 1; column <= expected.size(); ++column)
            QCOMPARE(cellInt(sheet, 1, column), expected.at(column - 1));
        QCOMPARE(cellInt(sheet, 1, 0), std::optional<int>(0));   // not mapped
    }
};

QTEST_GUILESS_MAIN(TestExportRun)
#include "test_export_run.moc"
