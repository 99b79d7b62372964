// Runs kova-export as a user or a batch script would: the streams, the files, the settings.
#include "expect.h"

#include <QDate>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString separator = QStringLiteral("-------------------------------------");

struct Run { int status = -1; QString out, err; };

Run runProgram(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

QStringList lines(const QString& text) { return text.isEmpty() ? QStringList() : text.chopped(text.endsWith('\n')).split('\n'); }

QString errorText(int line, const QString& text) { return QString("LINE %1: Error. %2").arg(line).arg(text); }

// Space-separated words; no argument of these tests holds a space.
QStringList words(const QString& text) { return text.split(' ', Qt::SkipEmptyParts); }

// Trx Ref, Date, From Acc, To Acc, Amount, Type, BI Code, Bank, Branch, Name, Cust Type, Residence.
QVariantList wdkRow(const QString& ref, const QString& amount, const QString& type = "WDK")
{
    return {ref, QVariant(), "1234567890", "0987654321", amount, type, "0140397", "BANK", "BRANCH", "NAME", 1, "R"};
}

} // namespace

class TestKovaExport final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString stored(const QString& key) const { return QSettings(path("kova.ini"), QSettings::IniFormat).value(key).toString(); }
    QStringList upload() const { return expect::fileLines(path("out.txt")); }
    QStringList arguments(const QString& type) const
    {
        return {type, "--source", path("book.xlsx"), "--sheet", "Batch", "--dest", path("out.txt"), "--settings", path("kova.ini")};
    }
    Run run(const QString& type, const QStringList& more = {}) const { return runProgram(KOVA_EXPORT_PATH, arguments(type) + more); }

    // A header row first; every transfer column but the date mapped.
    void transfer(const QList<QVariantList>& rows)
    {
        QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", QList<QVariantList>{{"Ref"}} + rows));
        QVariantMap values{{"HasColumnHeader", true}, {"HeaderID", 7}, {"CompanyID", "ABCDE12345"}};
        const QStringList keys{"TrxRef", "TrxDate", "FromAcc", "ToAcc", "Amount", "Remittance",
                               "BICode", "Bank", "Branch", "Beneficiary", "CustType", "Residence"};
        for (int i = 0; i < keys.size(); ++i)
            values.insert(keys.at(i), i == 1 ? 0 : i + 1);
        expect::writeSettings(path("kova.ini"), "Transfer", values);
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        for (const QString& name : QDir(m_dir.path()).entryList(QDir::Files | QDir::System))
            QFile::remove(path(name));
    }

    // Typed Header and Corporate IDs are used, not saved; the next batch never goes below the
    // number just used. A register that is not one is reported and left alone; the export stands.
    void transferWritesTheWholeUpload()
    {
        const QString longRef = QString(31, 'R');
        // Not a WDK transfer: skipped without trace, not even a line number.
        transfer({wdkRow("SKIPPED", "1", "LLG"), wdkRow("REF1", "1500000.5"), wdkRow(longRef, "2.005")});
        QFile garbage(path("kova-batches.sqlite"));
        QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write(QByteArray(4096, 'Z')) == 4096);
        garbage.close();
        const Run r = run("transfer", {"--effective", "2026-01-05", "--header-id", "42", "--corporate-id", " CORP00001"});
        QCOMPARE(r.status, 0);
        QCOMPARE(lines(r.out), (expect::summary("2 of 3", "1.500.002,51", 1, 0) + QStringList{separator,
                     "LINE 2: Warning. String truncated in Trx Ref. Exceeding 30 characters"}));
        QCOMPARE(r.err, QString("Batch register could not be opened: file is not a database\nDone!\n"));
        QCOMPARE(expect::fileBytes(path("kova-batches.sqlite")), QByteArray(4096, 'Z'));   // not a register: left alone
        const QString rest = "|||0140397|BANK|BRANCH|NAME|||||1|R|";
        QCOMPARE(upload(), (QStringList{"0|FT|00000042|||20260105| CORP00001|1500002.51|00002|WDK|IDR|",
                                        "1|00001|REF1|1234567890|0987654321|1500000.50" + rest,
                                        "1|00002|" + longRef.left(30) + "|1234567890|0987654321|2.01" + rest}));
        QCOMPARE(stored("Transfer/HeaderID") + stored("Transfer/CompanyID"), QString("43ABCDE12345"));
        QCOMPARE(expect::fileBytes(path("kova-batches.sqlite")), QByteArray(4096, 'Z'));
    }

    void rowErrorsWriteNothingAndReportTheLog()
    {
        QVariantList bad = wdkRow("REF2", "abc");
        bad[3] = "123";
        transfer({wdkRow("REF1", "10"), bad});
        QVERIFY(QFile::copy(path("kova.ini"), path("out.txt")));   // an earlier batch
        const QByteArray earlier = expect::fileBytes(path("out.txt"));
        const Run r = run("transfer", {"--report", path("log.json")});
        QCOMPARE(r.status, 1);
        QCOMPARE(lines(r.out), (expect::summary("2 of 2", "10,00", 0, 2) + QStringList{separator,
                     errorText(2, "To Acc must be 10 characters"), errorText(2, "Invalid amount")}));
        QCOMPARE(r.err, QString("ERROR!\n"));
        QCOMPARE(expect::fileBytes(path("out.txt")), earlier);
        const QJsonObject root = QJsonDocument::fromJson(expect::fileBytes(path("log.json"))).object();
        QCOMPARE(root.value("summary").toVariant().toStringList(), expect::summary("2 of 2", "10,00", 0, 2));
        const QJsonObject second = root.value("rows").toArray().at(1).toObject();
        QCOMPARE(second.value("marked").toArray(), (QJsonArray{QJsonArray{1, 2}, QJsonArray{1, 3}}));
        QCOMPARE(second.value("messages").toVariant().toStringList(),
                 (QStringList{expect::error(2, expect::b("To Acc") + " must be 10 characters"), expect::error(2, "Invalid amount")}));
    }

    // Without --settings, kova.ini beside the executable; empty locks left there by a stopped
    // run are taken over at once. Stored columns beyond the sheet's six are not mapped. The
    // upload is written but not the log: a script that retries on 2 must not send it again.
    void settingsBesideTheExecutable()
    {
        QTemporaryDir programDir;
        const QString program = programDir.filePath("kova-export");
        QVERIFY(QFile::copy(KOVA_EXPORT_PATH, program));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        transfer({wdkRow("REF1", "10").mid(0, 6)});
        QVERIFY(QFile::rename(path("kova.ini"), programDir.filePath("kova.ini")));
        for (const char* lock : {"kova.ini.lock", "kova.ini.headerid.lock"})
            QVERIFY(QFile(programDir.filePath(lock)).open(QIODevice::WriteOnly));
        QElapsedTimer timer;
        timer.start();
        const Run r = runProgram(program, arguments("transfer").mid(0, 7) + QStringList{"--report", path("no/log.json")});
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(r.status, 3);
        QCOMPARE(r.err, "Done!\nUpload file written, but unable to write report " + path("no/log.json") + '\n');
        QCOMPARE(upload().value(1), QString("1|00001|REF1|1234567890|0987654321|10.00|||||||||||||"));
        QCOMPARE(QSettings(programDir.filePath("kova.ini"), QSettings::IniFormat).value("Transfer/HeaderID").toInt(), 8);
    }

    // Runs started together on one settings file each reserve their own Header ID.
    void concurrentRunsTakeTheirOwnHeaderId()
    {
        transfer({wdkRow("REF1", "10")});
        QList<QProcess*> processes;
        for (int i = 0; i < 6; ++i) {
            processes.append(new QProcess(this));
            processes.last()->start(KOVA_EXPORT_PATH, arguments("transfer").mid(0, 5) + QStringList{"--dest",
                                    path(QString("out%1.txt").arg(i)), "--settings", path("kova.ini"), "--allow-duplicate"});
        }
        QStringList ids;
        for (int i = 0; i < 6; ++i) {
            QVERIFY(processes[i]->waitForFinished(120000) && processes[i]->exitCode() == 0);
            ids.append(QString(expect::fileBytes(path(QString("out%1.txt").arg(i))).mid(5, 8)));
        }
        qDeleteAll(processes);
        ids.sort();
        QCOMPARE(ids, (QStringList{"00000007", "00000008", "00000009", "00000010", "00000011", "00000012"}));
        QCOMPARE(stored("Transfer/HeaderID"), QString("13"));
    }

    // The account row, bank and remarks options reach the header record.
    void creditOptionsReachTheHeader()
    {
        QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", {{"ANDI", "1234567890", "10", "WDK"}}));
        expect::writeSettings(path("kova.ini"), "Credit", {{"Beneficary", 1}, {"BnfAccount", 2}, {"Amount", 3}, {"Remittance", 4}});
        expect::writeAccounts(path("kova.ini"), "Credit", {{"1111111111", "1234/56789/ABCD"}, {"2222222222", "4321/98765/WXYZ"}});
        QCOMPARE(run("credit", words("--account 2 --wdk mp --remarks1 FIRST --remarks2 SECOND --effective 2026-02-03")).err,
                 QString("Done!\n"));
        QCOMPARE(upload().value(0), "0MP202602032222222222 43218765" + expect::sp(15) + "00000000000000010.0000001WDK"
                                        + expect::sp(15) + "FIRST" + expect::sp(13) + "SECOND" + expect::sp(144));
    }

    // Paying what an earlier batch paid is refused, changing nothing, unless --allow-duplicate.
    void sameBatchTwice()
    {
        transfer({wdkRow("REF1", "10"), wdkRow("REF2", "20")});
        QCOMPARE(run("transfer").err, QString("Done!\n"));
        const QByteArray first = expect::fileBytes(path("out.txt"));
        const Run history = runProgram(KOVA_EXPORT_PATH, {"history", "--settings", path("kova.ini")});
        const QStringList fields = history.out.split('\t');
        QCOMPARE(fields.mid(1), (QStringList{"Auto Transfer", "7", "2", "30,00", path("out.txt") + '\n'}));
        const Run r = run("transfer");
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err, "These 2 payments (total 30,00) were already written on " + fields.first() + " to "
                            + path("out.txt") + " with Header ID 7. Write them again?\n");
        QCOMPARE(expect::fileBytes(path("out.txt")), first);
        QCOMPARE(run("transfer", {"--allow-duplicate"}).status, 0);
        QCOMPARE(upload().value(0).left(13), QString("0|FT|00000008"));   // the refused run reserved nothing
    }

    // With --save-mapping a workbook in the template's column order exports as it is; today is in the default dates.
    void templateMapsEveryField()
    {
        const Run r = runProgram(KOVA_EXPORT_PATH, {"template", "payroll", "--dest", path("t.xlsx"), "--save-mapping",
                                                    "--settings", path("kova.ini")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out + r.err, QString());
        QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch",
                                   {{"Date"}, {QDate::currentDate(), "ANDI", "0012345678", "10", "E1", "D1"}}));
        expect::writeAccounts(path("kova.ini"), "Payroll", {{"1111111111", "1234/56789/ABCD"}});
        QCOMPARE(run("payroll", words("--account 1 --effective 2026-02-03 --holiday after")).status, 0);
        QCOMPARE(upload(), (QStringList{expect::sp(11) + "123406789ABCD0301111111111101000000100000000000010.00022026",
                                        "00012345678000000000001000E1" + expect::sp(8) + "ANDI" + expect::sp(26) + "D1  "}));
    }

    // One batch as .xlsx, as .xls and as delimited text (semicolons, CRLF, a quoted delimiter, day-first
    // dates the date filter reads, no --sheet; then tabs in UTF-16 as options say): the same log and the
    // same upload file, byte for byte.
    void everyFormatWritesTheSameUpload()
    {
        QVariantMap values{{"HasColumnHeader", true}, {"HeaderID", 7}, {"CompanyID", "ABCDE12345"}};
        const QStringList keys{"TrxRef", "TrxDate", "FromAcc", "ToAcc", "Amount", "Remittance",
                               "BICode", "Bank", "Branch", "Beneficiary", "CustType", "Residence"};
        for (int i = 0; i < keys.size(); ++i)
            values.insert(keys.at(i), i + 1);
        expect::writeSettings(path("kova.ini"), "Transfer", values);
        QFile csv(path("batch.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("Ref;Date;From;To;Amount;Type;BI;Bank;Branch;Name;Cust;Residence\r\n"
                  "REF1;05/12/2026;1234567890;0987654321;1500000.5;WDK;0140397;\"BANK; PUSAT\";BRANCH;BUDI;1;R\r\n"
                  "OLD;30.11.2026;1234567890;0987654321;10;WDK;0140397;BANK;BRANCH;ANI;1;R\r\n"
                  "REF2;2026-12-06;1234567890;0012345678;250000;WDK;0140397;BANK;BRANCH;SITI;2;NR\r\n");
        csv.close();
        // The same rows by tab in UTF-16LE without a byte order mark: read only as the options say.
        QFile tabs(path("batch.txt"));
        QVERIFY(tabs.open(QIODevice::WriteOnly));
        csv.open(QIODevice::ReadOnly);
        const QString text = QString::fromUtf8(csv.readAll()).replace(";", "\t").replace("\"BANK\t PUSAT\"", "BANK; PUSAT");
        tabs.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        tabs.close();
        const QString fixtures = QStringLiteral(KOVA_FIXTURES);
        const QStringList common = words("transfer --from 2026-12-01 --to 2026-12-31 --effective 2026-12-07 --header-id 42 "
                                         "--allow-duplicate --dest") + QStringList{path("out.txt"), "--settings", path("kova.ini")};
        QStringList uploads;
        for (const QStringList& source : {QStringList{"--source", fixtures + "/batch.xlsx", "--sheet", "Batch"},
                                          QStringList{"--source", fixtures + "/batch.xls", "--sheet", "Batch"},
                                          QStringList{"--source", path("batch.csv")},
                                          QStringList{"--source", path("batch.txt"), "--delimiter", "tab", "--encoding", "utf-16le"}}) {
            const Run r = runProgram(KOVA_EXPORT_PATH, common + source);
            QCOMPARE(r.status, 0);
            QCOMPARE(lines(r.out), (expect::summary("2 of 3", "1.750.000,50", 0, 0) + QStringList{separator}));
            uploads.append(upload().join('\n'));
        }
        QCOMPARE(uploads.first(), QString("0|FT|00000042|||20261207|ABCDE12345|1750000.50|00002|WDK|IDR|\n"
                                          "1|00001|REF1|1234567890|0987654321|1500000.50|||0140397|BANK; PUSAT|BRANCH|BUDI|||||1|R|\n"
                                          "1|00002|REF2|1234567890|0012345678|250000.00|||0140397|BANK|BRANCH|SITI|||||2|N|"));
        QCOMPARE(uploads.at(1), uploads.first());
        QCOMPARE(uploads.at(2), uploads.first());
        QCOMPARE(uploads.at(3), uploads.first());
    }

    // Option errors (64, with the usage line), row errors (1) and refusals (2): nothing is written.
    void refusedRuns_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const auto usage = [](const char* name, const QStringList& arguments, const QString& problem) {
            QTest::newRow(name) << arguments << 64 << QString() << "kova-export: " + problem
                    + "\nUsage: kova-export TYPE --source WORKBOOK --sheet SHEET --dest FILE [options]\n";
        };
        const QString full = " --source b.xlsx --sheet S --dest o.txt ";
        usage("nothing", {}, "missing TYPE");
        usage("unknown option", words("transfer" + full + "--fast"), "Unknown option 'fast'.");
        usage("missing source", words("transfer --sheet S --dest o"), "missing --source");
        usage("no such day", words("transfer" + full + "--from 2026-02-30"), "--from: not a date YYYY-MM-DD: 2026-02-30");
        usage("clearing in wdk mode", words("transfer" + full + "--clearing rtgs"), "--clearing needs --mode others");
        usage("limit beyond 64 bits", words("transfer" + full + "--mode others --max 18.446.744.073.709.551.616"),
              "--max: not a number: 18.446.744.073.709.551.616");
        usage("account with line feed", words("payroll" + full + "--account") << "1\n", "--account must be a positive integer: 1\n");
        usage("account on transfer", words("transfer" + full + "--account 1"), "--account does not apply to transfer");
        usage("twice", words("transfer" + full + "--sheet T"), "--sheet given more than once");
        usage("second type", words("transfer" + full + "credit"), "unexpected argument: credit");
        usage("unknown delimiter", words("transfer" + full + "--delimiter colon"),
              "--delimiter must be one of comma|semicolon|tab|pipe: colon");
        usage("unknown encoding", words("transfer" + full + "--encoding latin-1"),
              "--encoding must be one of utf-8|utf-16le|utf-16be|windows-1252: latin-1");
        usage("unknown date order", words("transfer" + full + "--date-order ymd"), "--date-order must be one of dmy|mdy: ymd");
        usage("workbook without sheet", words("transfer --source") + QStringList{path("book.xlsx")} + words("--dest o.txt"),
              "missing --sheet");
        usage("delimiter for a workbook", arguments("transfer") + words("--delimiter tab"),
              "--delimiter, --encoding and --date-order apply to delimited text only");
        const QStringList report{"--report", path("log.json")};
        const QString tail = "\n" + separator + "\n";
        QTest::newRow("header id 0") << arguments("transfer") + report + words("--header-id 0") << 2 << QString() << "Invalid Header ID\n";
        QTest::newRow("collection account beyond the table") << arguments("collection") + report + words("--account 2") << 2
                                                             << QString() << "Credited Account has not been defined\n";
        QTest::newRow("report is the settings") << arguments("transfer") + QStringList{"--report", path("./kova.ini")} << 2
            << QString() << "Report must not be the source workbook, the destination or the settings file\n";
        // RTGS skips the WDK and LLG rows, and a typed minimum wins over the stored one.
        QTest::newRow("rtgs below the typed minimum") << arguments("transfer") + words("--mode others --clearing rtgs --min 1.000")
            << 1 << expect::summary("1 of 3", "999,00", 0, 1).join('\n') + tail + errorText(1, "RTGS amount below min limit 1.000") + '\n'
            << "ERROR!\n";
        // The Header ID is stored before the upload is written: no lock fits beside so long a name.
        QTest::newRow("settings not saved") << arguments("transfer").mid(0, 8) + QStringList{path(QString(250, 'k') + ".ini")}
            << 2 << expect::summary("1 of 3", "10,00", 0, 0).join('\n') + tail << "Settings could not be saved\n";
    }

    void refusedRuns()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        transfer({wdkRow("REF1", "10"), wdkRow("REF2", "5", "LLG"), wdkRow("REF3", "999", "RTG")});
        expect::writeAccounts(path("kova.ini"), "Collection", {{"1234567890", "1234/56789/ABCD"}});
        QVERIFY(QFile::copy(path("kova.ini"), path(QString(250, 'k') + ".ini")));
        const QByteArray ini = expect::fileBytes(path("kova.ini"));
        const Run r = runProgram(KOVA_EXPORT_PATH, arguments);
        QCOMPARE(r.status, status);
        QCOMPARE(r.out, out);
        QCOMPARE(r.err, err);
        QVERIFY(!QFile::exists(path("out.txt")));
        QCOMPARE(expect::fileBytes(path("kova.ini")) + expect::fileBytes(path(QString(250, 'k') + ".ini")), ini + ini);
        if (arguments.contains(path("log.json"))) {   // the log of a refusal is empty
            const QJsonObject report = QJsonDocument::fromJson(expect::fileBytes(path("log.json"))).object();
            QCOMPARE(report.value("rows"), QJsonValue(QJsonArray()));
            QCOMPARE(report.value("summary"), QJsonValue(QJsonArray()));
        }
    }
};

QTEST_GUILESS_MAIN(TestKovaExport)
#include "test_kova_export.moc"
