// Stops kova-export dead where a killed run could do harm, or changes its files
// under it, then checks what is left for the customer and for the next run.
#include "expect.h"
#include "settings/settingsfile.h"
#include "filesizelimit.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

constexpr int rowCount = 3000;
const QByteArray earlierBatch = "earlier batch\n";

struct Run { bool killed = false; int status = -1; QString err; };

QStringList exportArguments(const QDir& dir, const QString& dest = "out.txt")
{
    return {"transfer", "--source", dir.filePath("book.xlsx"), "--sheet", "Batch", "--dest", dir.filePath(dest),
            "--settings", dir.filePath("kova.ini"), "--effective", "2026-01-05"};
}

Run finished(QProcess& process)
{
    if (!process.waitForFinished(120000))
        return {};
    return {process.exitStatus() == QProcess::CrashExit, process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

// The test build of kova-export; faultAt names the point it kills itself at.
Run runExport(const QDir& dir, const QString& faultAt = {}, const QStringList& more = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KOVA_FAULT_AT", faultAt);
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(KOVA_EXPORT_FAULTS_PATH, exportArguments(dir) + more);
    return finished(process);
}

// Runs of the test build that wait at point until the file "go" appears in meeting.
QProcessEnvironment heldAt(const char* point, const QTemporaryDir& meeting)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KOVA_HOLD_AT", point);
    env.insert("KOVA_HOLD_UNTIL", meeting.filePath("go"));
    return env;
}

// Waits until runs processes wait in meeting.
void awaitHeld(const QTemporaryDir& meeting, int runs)
{
    QElapsedTimer waited;
    waited.start();
    while (QDir(meeting.path()).entryList(QDir::Files).size() < runs && waited.elapsed() < 60000)
        QThread::msleep(5);
}

QString storedHeaderId(const QDir& dir)
{
    return QSettings(dir.filePath("kova.ini"), QSettings::IniFormat).value("Transfer/HeaderID").toString();
}

QByteArray field(const QByteArray& record, int n) { return record.split('|').value(n); }

// An upload with its Header ID blanked, to compare batches written under different numbers.
QByteArray withoutHeaderId(QByteArray upload)
{
    const int start = upload.indexOf('|', upload.indexOf('|') + 1) + 1;
    return upload.replace(start, upload.indexOf('|', start) - start, "ID");
}

// Whatever else a run leaves in the destination's folder; the register of
// written batches keeps its own files there, beside the settings, and so do
// the settings' locks, which a killed run leaves for the next to take over.
QStringList leftovers(const QDir& dir)
{
    return dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
        .filter(QRegularExpression("^(?!(book\\.xlsx|kova\\.ini|out\\.txt)$|kova-batches\\.sqlite|kova\\.ini\\.\\w+\\.lock$)"));
}

} // namespace

class TestStoppedRuns final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_workbookDir;
    QByteArray m_clean;   // the upload of a run that was not stopped

    // A folder with the workbook, settings whose next Header ID is 7 and an earlier batch at the destination.
    void prepare(const QDir& dir) const
    {
        QVERIFY(QFile::copy(m_workbookDir.filePath("book.xlsx"), dir.filePath("book.xlsx")));
        const QVariantMap values{{"HasColumnHeader", true}, {"HeaderID", 7}, {"CompanyID", "ABCDE12345"}, {"TrxRef", 1}, {"TrxDate", 0},
                                 {"FromAcc", 3}, {"ToAcc", 4}, {"Amount", 5}, {"Remittance", 6}, {"BICode", 7}, {"Bank", 8},
                                 {"Branch", 9}, {"Beneficiary", 10}, {"CustType", 11}, {"Residence", 12}};
        expect::writeSettings(dir.filePath("kova.ini"), "Transfer", values);
        QFile earlier(dir.filePath("out.txt"));
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write(earlierBatch) == earlierBatch.size());
    }

private slots:
    void initTestCase()
    {
        QList<QVariantList> rows{{"Ref", "Date", "From", "To", "Amount", "Type", "BI", "Bank", "Branch", "Name", "Cust", "Res"}};
        for (int i = 1; i <= rowCount; ++i)
            rows.append({QString("REF%1").arg(i), QVariant(), "1234567890", "0987654321", QString::number(i) + ".25", "WDK",
                         "0140397", "BANK", "BRANCH", "NAME", 1, "R"});
        QVERIFY(expect::writeSheet(m_workbookDir.filePath("book.xlsx"), "Batch", rows));
        QTemporaryDir dir;
        prepare(dir.path());
        QCOMPARE(runExport(dir.path()).status, 0);
        m_clean = expect::fileBytes(dir.filePath("out.txt"));
        QCOMPARE(m_clean.count('\n'), rowCount + 1);
    }

    // However a run ends, the destination is the earlier batch or the whole
    // new one, no part of the batch is left beside it, and the next run never
    // writes a Header ID already in a written file. A run stopped once its
    // Header ID was taken may have written the batch: the next is asked.
    void stoppedExport_data()
    {
        QTest::addColumn<QString>("point");
        for (const char* point : {"after-rows", "after-reserve", "upload-half-written", "before-commit", "after-commit"})
            QTest::newRow(point) << QString(point);
    }
    void stoppedExport()
    {
        QFETCH(QString, point);
        QTemporaryDir folder;
        const QDir dir(folder.path());
        prepare(dir);

        QVERIFY2(runExport(dir, point).killed, "the run was not stopped at its point");
        const QByteArray left = expect::fileBytes(dir.filePath("out.txt"));
        QByteArrayList usedIds;
        if (left != earlierBatch) {
            // The header's record count is the number of detail records.
            QCOMPARE(field(left, 8).toInt(), left.count('\n') - 1);
            QCOMPARE(withoutHeaderId(left), withoutHeaderId(m_clean));
            usedIds.append(field(left, 2));
        }
        QCOMPARE(leftovers(dir), QStringList());

        const Run again = runExport(dir);
        if (point == "after-rows") {
            QCOMPARE(again.status, 0);
        } else {
            QCOMPARE(again.status, 2);
            const QRegularExpression asked(QRegularExpression::anchoredPattern("These 3000 payments \\(total 4.502.250,00\\) for effective date 2026-01-05 may have been"
                                           " written by a run that stopped on \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d to "
                                           + QRegularExpression::escape(dir.filePath("out.txt")) + " with Header ID 7\\. Write them again\\?\n"));
            QVERIFY2(asked.match(again.err).hasMatch(), qPrintable(again.err));
            QCOMPARE(runExport(dir, {}, {"--allow-duplicate"}).status, 0);
        }
        const QByteArray next = expect::fileBytes(dir.filePath("out.txt"));
        QCOMPARE(withoutHeaderId(next), withoutHeaderId(m_clean));
        QVERIFY2(!usedIds.contains(field(next, 2)), "a Header ID was used twice");
        QVERIFY(storedHeaderId(dir).toLongLong() > field(next, 2).toLongLong());
        QCOMPARE(leftovers(dir), QStringList());
    }

    // Identical runs started together, held so that they all reach the
    // register's lookup at one moment: exactly one writes and takes a Header
    // ID, the others are refused as repeats of its batch. Processes, as
    // scheduled runs are.
    void identicalRunsStartedTogether()
    {
        constexpr int runs = 4;
        QTemporaryDir folder, meeting;
        const QDir dir(folder.path());
        prepare(dir);
        const QProcessEnvironment env = heldAt("before-lookup", meeting);
        std::vector<std::unique_ptr<QProcess>> processes;
        for (int i = 0; i < runs; ++i) {
            processes.push_back(std::make_unique<QProcess>());
            processes.back()->setProcessEnvironment(env);
            processes.back()->start(KOVA_EXPORT_FAULTS_PATH, exportArguments(dir, QString("out%1.txt").arg(i)));
        }
        awaitHeld(meeting, runs);
        QFile go(meeting.filePath("go"));
        QVERIFY(go.open(QIODevice::WriteOnly));
        QStringList written;
        for (int i = 0; i < runs; ++i) {
            const Run run = finished(*processes[i]);
            const QString dest = dir.filePath(QString("out%1.txt").arg(i));
            if (run.status == 0) {
                written << dest;
                continue;
            }
            QCOMPARE(run.status, 2);
            QVERIFY2(run.err.startsWith("These 3000 payments (total 4.502.250,00) for effective date 2026-01-05 were already"
                                        " written on "), qPrintable(run.err));
            QVERIFY(!QFile::exists(dest));
        }
        QCOMPARE(written.size(), 1);
        QCOMPARE(field(expect::fileBytes(written.first()), 2), QByteArray("00000007"));
        QCOMPARE(storedHeaderId(dir), QString("8"));
    }

    // A run that finds the same batch started but not finished by a run still
    // writing it waits for that run instead of taking it for one that stopped:
    // it is then refused as a repeat of a written batch.
    void repeatOfARunStillWriting()
    {
        QTemporaryDir folder, meeting;
        const QDir dir(folder.path());
        prepare(dir);
        QProcess writing;
        writing.setProcessEnvironment(heldAt("after-reserve", meeting));
        writing.start(KOVA_EXPORT_FAULTS_PATH, exportArguments(dir, "first.txt"));
        awaitHeld(meeting, 1);
        QProcess repeat;
        repeat.start(KOVA_EXPORT_FAULTS_PATH, exportArguments(dir, "second.txt"));
        // Held on the lock while the first run writes.
        QVERIFY(!repeat.waitForFinished(500));
        QFile go(meeting.filePath("go"));
        QVERIFY(go.open(QIODevice::WriteOnly));
        QCOMPARE(finished(writing).status, 0);
        const Run second = finished(repeat);
        QCOMPARE(second.status, 2);
        QVERIFY2(second.err.startsWith("These 3000 payments (total 4.502.250,00) for effective date 2026-01-05 were already"
                                       " written on "), qPrintable(second.err));
        QVERIFY(!QFile::exists(dir.filePath("second.txt")));
    }

    // A workbook cut short after it was chosen is refused like any sheet that
    // cannot be read, before anything is written or reserved.
    void workbookCutShortBeforeTheRun()
    {
        QTemporaryDir folder;
        const QDir dir(folder.path());
        prepare(dir);
        QFile book(dir.filePath("book.xlsx"));
        QVERIFY(book.resize(book.size() / 2));
        const Run run = runExport(dir);
        QCOMPARE(run.err + QString::number(run.status), QString("Error. Unable to select sheet Batch: the package is not a readable zip file\n2"));
        QCOMPARE(expect::fileBytes(dir.filePath("out.txt")), earlierBatch);
        QCOMPARE(storedHeaderId(dir), QString("7"));
    }

    // A settings save the disk cuts short is no save, though the settings library reports none.
    void settingsCutShortIsNoSave()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("kova.ini");
        QVariantMap accounts;
        for (int i = 0; i < 200; ++i)
            accounts.insert(QString("Account%1").arg(i), QString(20, 'A'));
        expect::writeSettings(path, "Transfer", accounts);
        const qint64 whole = QFileInfo(path).size();
        QSettings settings(path, QSettings::IniFormat);
        settings.setValue("Transfer/CompanyID", "FGHIJ67890");
        const FileSizeLimit disk(whole / 2);
        QVERIFY(!kova::syncSettings(settings));
        QVERIFY2(QFileInfo(path).size() < whole, "the write was not cut short");
    }
};

QTEST_GUILESS_MAIN(TestStoppedRuns)
#include "test_stopped_runs.moc"
