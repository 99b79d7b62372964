// Runs kova-export as a user or a batch script would: the streams, the files, the settings.
#include "encryptpackage.h"
#include "expect.h"
#include "programrun.h"
#include "testpackage.h"
#include "types/registry.h"

#include <QDate>
#include <QElapsedTimer>
#include <QLockFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

const QString separator = QStringLiteral("-------------------------------------");

QStringList lines(const QString& text) { return text.isEmpty() ? QStringList() : text.chopped(text.endsWith('\n')).split('\n'); }

QString errorText(int line, const QString& text) { return QString("LINE %1: Error. %2").arg(line).arg(text); }

// Space-separated words; no argument of these tests holds a space.
QStringList words(const QString& text) { return text.split(' ', Qt::SkipEmptyParts); }

// Trx Ref, Date, From Acc, To Acc, Amount, Type, BI Code, Bank, Branch, Name, Cust Type, Residence.
QVariantList wdkRow(const QString& ref, const QString& amount, const QString& type = "WDK")
{
    return {ref, QVariant(), "1234567890", "0987654321", amount, type, "0140397", "BANK", "BRANCH", "NAME", 1, "R"};
}

// Per type: its TYPE word, the template's titles and a row that exports as it is, in template order.
struct TemplateSheet { QString type; QStringList titles; QVariantList row; };
QList<TemplateSheet> templateSheets()
{
    const QDate today = QDate::currentDate();
    return {{"transfer", {"Trx Ref #", "Date", "From Acc #", "To Acc #", "Amount", "Remarks 1", "Remarks 2", "Transfer Type", "BI Code",
                          "Bank Name", "Bank Branch", "Name", "Address 1", "Address 2", "Address 3", "Address 4", "Cust Type", "Cust Residence"},
             {"REF1", today, "1234567890", "0987654321", "150.5", "R1", "R2", "WDK", "0140397", "BANK", "BRANCH", "NAME", "A1", "A2", "A3", "A4", 1, "R"}},
            {"credit", {"Trx Date", "Beneficiary Name", "Acc #", "BI Code", "Bank", "Branch", "Amount", "Transfer Type", "Remarks 1",
                        "Remarks 2", "Cust Type", "Cust Residence"},
             {today, "ANDI", "1122334455", "0140397", "BANK", "BRANCH", "150.5", "WDK", "R1", "R2", 1, "R"}},
            {"collection", {"Trx Date", "Acc Name", "Acc #", "Amount", "Remarks 1", "Remarks 2", "Residence Status", "Citizen Status"},
             {today, "SITI", "1000000001", "150.5", "R1", "R2", 1, 0}},
            {"payroll", {"Trx Date", "Employee Name", "Acc #", "Amount", "Employee ID", "Department"},
             {today, "DEWI", "3333333333", "150.5", "E1", "D1"}}};
}

template<typename T> QList<T> swapped(QList<T> list, int a, int b)
{
    list.swapItemsAt(a, b);
    return list;
}

// The sheet "Batch" as package XML: the header row, then row 2 as wdkRow("REF1", "1500000") with the cells
// given in place of its own (whole <c> elements of column and row 2), then more rows.
TestPackage craftedBatch(const QByteArray& replaced = {}, const char* column = "", const QByteArray& more = {})
{
    const auto text = [](const char* reference, const QByteArray& t) {
        return "<c r=\"" + QByteArray(reference) + "\" t=\"inlineStr\"><is><t>" + t + "</t></is></c>";
    };
    QMap<QByteArray, QByteArray> cells{{"A", text("A2", "REF1")}, {"C", text("C2", "1234567890")}, {"D", text("D2", "0987654321")},
        {"E", "<c r=\"E2\"><v>1500000</v></c>"}, {"F", text("F2", "WDK")}, {"G", text("G2", "0140397")}, {"H", text("H2", "BANK")},
        {"I", text("I2", "BRANCH")}, {"J", text("J2", "NAME")}, {"K", "<c r=\"K2\"><v>1</v></c>"}, {"L", text("L2", "R")}};
    if (*column)
        cells[column] = replaced;
    QByteArray row;
    for (const QByteArray& cell : cells)
        row += cell;
    return TestPackage().addSheet("Batch", "<row r=\"1\">" + text("A1", "Ref") + "</row><row r=\"2\">" + row + "</row>" + more);
}

} // namespace

Q_DECLARE_METATYPE(TemplateSheet)

class TestKovaExport final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString stored(const QString& key) const { return QSettings(path("kova.ini"), QSettings::IniFormat).value(key).toString(); }
    QStringList upload() const { return expect::fileLines(path("out.txt")); }
    QStringList arguments(const QString& type, const QString& dest = "out.txt", const QString& settings = "kova.ini") const
    {
        return {type, "--source", path("book.xlsx"), "--sheet", "Batch", "--dest", path(dest), "--settings", path(settings)};
    }
    Run run(const QString& type, const QStringList& more = {}) const { return runProgram(KOVA_EXPORT_PATH, arguments(type) + more); }
    Run runTo(const QString& dest, const QString& type, const QStringList& more = {}, const QString& settings = "kova.ini") const
    {
        return runProgram(KOVA_EXPORT_PATH, arguments(type, dest, settings) + more);
    }

    // Payroll from delimited text: date, name, account, amount and ID mapped, only 05 Dec 2026 taken.
    Run payrollFromText(const QByteArray& rows, const QStringList& options) const
    {
        QFile csv(path("pay.csv"));
        if (!csv.open(QIODevice::WriteOnly) || csv.write(rows) != rows.size())
            return {};
        csv.close();
        QVariantMap values{{"HasColumnHeader", true}};
        const QStringList keys{"TrxDate", "AccountName", "AccountNumber", "Amount", "EmployeeID"};
        for (int i = 0; i < keys.size(); ++i)
            values.insert(keys.at(i), i + 1);
        expect::writeSettings(path("kova.ini"), "Payroll", values);
        expect::writeAccounts(path("kova.ini"), "Payroll", {{"1111111111", "1234/56789/ABCD"}});
        QFile::remove(path("out.txt"));
        return runProgram(KOVA_EXPORT_PATH, QStringList{"payroll", "--source", path("pay.csv"), "--dest", path("out.txt"),
                          "--settings", path("kova.ini"), "--account", "1", "--allow-duplicate"}
                          + words("--from 2026-12-05 --to 2026-12-05 --effective 2026-12-07") + options);
    }

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

    // The template of type saved as its mapping, titles and all, and the company data every type needs.
    void saveTemplateMapping(const QString& type)
    {
        QCOMPARE(runProgram(KOVA_EXPORT_PATH, {"template", type, "--dest", path("t.xlsx"), "--save-mapping", "--settings",
                                               path("kova.ini")}).status, 0);
        expect::writeSettings(path("kova.ini"), "Transfer", {{"HeaderID", 7}, {"CompanyID", "ABCDE12345"}});
        for (const char* group : {"Credit", "Collection", "Payroll"})
            expect::writeAccounts(path("kova.ini"), group, {{"1111111111", "1234/56789/ABCD"}});
    }
    Run runTemplateType(const QString& type, const QStringList& more = {}) const
    {
        return run(type, (type == "transfer" ? QStringList() : words("--account 1")) + QStringList{"--allow-duplicate"} + more);
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        for (const QString& name : QDir(m_dir.path()).entryList(QDir::Files | QDir::System))
            QFile::remove(path(name));
    }

    // Typed Header and Corporate IDs are used, not saved; the next batch never goes below the
    // number just used. A register that is not one cannot tell whether the batch was written: asked,
    // that is refused unless --allow-duplicate; written, the batch is not recorded (exit 3). The file is
    // left alone.
    void transferWritesTheWholeUpload()
    {
        const QString longRef = QString(31, 'R');
        // Not a WDK transfer: skipped without trace, not even a line number.
        transfer({wdkRow("SKIPPED", "1", "LLG"), wdkRow("REF1", "1500000.5"), wdkRow(longRef, "2.005")});
        QFile garbage(path("kova-batches.sqlite"));
        QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write(QByteArray(4096, 'Z')) == 4096);
        garbage.close();
        const QStringList options{"--effective", "2026-01-05", "--header-id", "42", "--corporate-id", " CORP00001"};
        const Run asked = run("transfer", options);
        QCOMPARE(asked.status, 2);
        QCOMPARE(asked.err, QString("1 LLG/RTGS row left out in WDK mode\nThe register of written batches cannot be read (file is not a database). KOVA cannot tell"
                                    " whether these payments were written before. Write them anyway?\n"));
        QVERIFY(!QFile::exists(path("out.txt")));
        QCOMPARE(stored("Transfer/HeaderID"), QString("7"));
        const Run r = run("transfer", options + QStringList{"--allow-duplicate"});
        QCOMPARE(r.status, 3);
        QCOMPARE(lines(r.out), (expect::summary("2 of 3", "1.500.002,51", 1, 0) + QStringList{separator,
                     "LINE 2: Warning. String truncated in Trx Ref. Exceeding 30 characters"}));
        QCOMPARE(r.err, QString("1 LLG/RTGS row left out in WDK mode\nBatch register could not be opened: file is not a database\nDone!\n"
                                "Upload file written, but not recorded in the register of written batches\n"));
        QCOMPARE(expect::fileBytes(path("kova-batches.sqlite")), QByteArray(4096, 'Z'));   // not a register: left alone
        const QString rest = "|||0140397|BANK|BRANCH|NAME|||||1|R|";
        QCOMPARE(upload(), (QStringList{"0|FT|00000042|||20260105| CORP00001|1500002.51|00002|WDK|IDR|",
                                        "1|00001|REF1|1234567890|0987654321|1500000.50" + rest,
                                        "1|00002|" + longRef.left(30) + "|1234567890|0987654321|2.01" + rest}));
        QCOMPARE(stored("Transfer/HeaderID") + stored("Transfer/CompanyID"), QString("43ABCDE12345"));
        QCOMPARE(expect::fileBytes(path("kova-batches.sqlite")), QByteArray(4096, 'Z'));
    }

    void corporateIdRefused_data()
    {
        QTest::addColumn<QString>("corporateId");
        QTest::newRow("tab") << "KOVA\tDEMO1";
        QTest::newRow("unit separator") << "KOVA\x1f""DEMO1";
        QTest::newRow("accent") << QString::fromUtf8("KOVAD\xc3\x89MO01");
        QTest::newRow("no-break space") << QString::fromUtf8("KOVA\xc2\xa0""DEMO1");
    }
    // A Corporate ID given on the command line is checked as the window checks it; nothing is written.
    void corporateIdRefused()
    {
        QFETCH(QString, corporateId);
        transfer({wdkRow("REF1", "10")});
        const Run r = run("transfer", {"--corporate-id", corporateId});
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err, QString("Corporate ID contains invalid chars\n"));
        QVERIFY(!QFile::exists(path("out.txt")));
        QCOMPARE(stored("Transfer/HeaderID"), QString("7"));
    }

    void rowErrorsWriteNothingAndReportTheLog()
    {
        QVariantList bad = wdkRow("REF2", "abc");
        bad[3] = "123";
        // Enough bad rows that their lines outgrow what is held in memory before the summary.
        QList<QVariantList> rows{wdkRow("REF1", "10")};
        QStringList messages;
        for (int line = 2; line <= 1501; ++line) {
            rows.append(bad);
            messages << errorText(line, "To Acc must be 10 characters") << errorText(line, "Invalid amount");
        }
        transfer(rows);
        QVERIFY(QFile::copy(path("kova.ini"), path("out.txt")));   // an earlier batch
        const QByteArray earlier = expect::fileBytes(path("out.txt"));
        const Run r = run("transfer", {"--report", path("log.json")});
        QCOMPARE(r.status, 1);
        QCOMPARE(lines(r.out), (expect::summary("1501 of 1501", "10,00", 0, 3000) + QStringList{separator} + messages));
        QCOMPARE(r.err, QString("ERROR!\n"));
        QCOMPARE(expect::fileBytes(path("out.txt")), earlier);
        // The lines held back come after the summary alike into a pipe (above), a file and a file appended to.
        for (const QString redirect : {" > \"$out\"", " >> \"$out\""}) {
            QFile log(path("stdout.txt"));
            QVERIFY(log.open(QIODevice::WriteOnly) && log.write("before\n") == 7);
            log.close();
            const QStringList command{"-c", "out=\"$1\"; shift; \"$0\" \"$@\"" + redirect, KOVA_EXPORT_PATH, path("stdout.txt")};
            QCOMPARE(runProgram("sh", command + arguments("transfer")).status, 1);
            QCOMPARE(QString::fromUtf8(expect::fileBytes(path("stdout.txt"))), (redirect.contains(">>") ? "before\n" : "") + r.out);
        }
        const QJsonObject root = QJsonDocument::fromJson(expect::fileBytes(path("log.json"))).object();
        QCOMPARE(root.value("summary").toVariant().toStringList(), expect::summary("1501 of 1501", "10,00", 0, 3000));
        const QJsonObject second = root.value("rows").toArray().at(1).toObject();
        QCOMPARE(second.value("marked").toArray(), (QJsonArray{QJsonArray{1, 2}, QJsonArray{1, 3}}));
        QCOMPARE(second.value("messages").toVariant().toStringList(),
                 (QStringList{expect::error(2, expect::b("To Acc") + " must be 10 characters"), expect::error(2, "Invalid amount")}));
    }

    // Without --settings, kova.ini beside the executable; empty locks left there by a stopped
    // run are taken over within a second, whatever their time stamps say. Stored columns beyond the sheet's six are not mapped. The
    // upload is written but not the log: a script that retries on 2 must not send it again.
    void settingsBesideTheExecutable()
    {
        QTemporaryDir programDir;
        const QString program = programDir.filePath("kova-export");
        QVERIFY(QFile::copy(KOVA_EXPORT_PATH, program));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        transfer({wdkRow("REF1", "10").mid(0, 6)});
        QVERIFY(QFile::rename(path("kova.ini"), programDir.filePath("kova.ini")));
        // Dated an hour ahead, as by a clock set back since, or a server's clock.
        for (const char* lock : {"kova.ini.lock", "kova.ini.batch.lock", "kova.ini.headerid.lock"}) {
            QFile file(programDir.filePath(lock));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.setFileTime(QDateTime::currentDateTime().addSecs(3600), QFileDevice::FileModificationTime));
        }
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

    // The largest total the credit header holds is beyond 64 bits of hundredths: the batch is written,
    // recorded and refused when repeated.
    void largestCreditTotalIsRecorded()
    {
        QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", {{"ANDI", "1234567890", "99999999999999999.99", "WDK"}}));
        expect::writeSettings(path("kova.ini"), "Credit", {{"Beneficary", 1}, {"BnfAccount", 2}, {"Amount", 3}, {"Remittance", 4}});
        expect::writeAccounts(path("kova.ini"), "Credit", {{"1111111111", "1234/56789/ABCD"}});
        const Run first = run("credit", words("--account 1 --effective 2026-12-25"));
        QCOMPARE(first.err, QString("Done!\n"));
        QCOMPARE(first.status, 0);
        QCOMPARE(upload().value(0), "0SP202612251111111111 12346789" + expect::sp(15) + "99999999999999999.9900001WDK" + expect::sp(183));
        const Run history = runProgram(KOVA_EXPORT_PATH, {"history", "--settings", path("kova.ini")});
        QCOMPARE(history.out.split('\t').mid(1), (QStringList{"Auto Credit", "", "1", "99.999.999.999.999.999,99", path("out.txt") + '\n'}));
        const Run again = run("credit", words("--account 1 --effective 2026-12-25"));
        QCOMPARE(again.status, 2);
        QVERIFY2(again.err.startsWith("These 1 payments (total 99.999.999.999.999.999,99) for effective date 2026-12-25 were already"
                                      " written on "), qPrintable(again.err));
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
        QCOMPARE(r.err, "These 2 payments (total 30,00) for effective date " + QDate::currentDate().toString(Qt::ISODate)
                            + " were already written on " + fields.first() + " to " + path("out.txt")
                            + " with Header ID 7. Write them again?\n");
        QCOMPARE(expect::fileBytes(path("out.txt")), first);
        QCOMPARE(run("transfer", {"--allow-duplicate"}).status, 0);
        QCOMPARE(upload().value(0).left(13), QString("0|FT|00000008"));   // the refused run reserved nothing
    }

    // Per type: the same payments for the same effective date from the same account are refused;
    // next month's, or the same from another account, are a batch of their own.
    void sameBatchIsPaymentsDateAndAccount_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("otherAccount");
        QTest::newRow("transfer") << "transfer" << QStringList{"--corporate-id", "ZYXWV98765"};
        for (const char* type : {"credit", "collection", "payroll"})
            QTest::newRow(type) << type << QStringList{"--account", "2"};
    }
    void sameBatchIsPaymentsDateAndAccount()
    {
        QFETCH(QString, type);
        QFETCH(QStringList, otherAccount);
        transfer({wdkRow("REF1", "10")});
        // Name, account, amount, then what each type needs besides: transfer type, residence and citizen.
        expect::writeSettings(path("kova.ini"), "Credit", {{"Beneficary", 1}, {"BnfAccount", 2}, {"Amount", 3}, {"Remittance", 4}});
        expect::writeSettings(path("kova.ini"), "Collection",
                              {{"AccountName", 1}, {"AccountNumber", 2}, {"Amount", 3}, {"Residence", 5}, {"Citizen", 5}});
        expect::writeSettings(path("kova.ini"), "Payroll", {{"AccountName", 1}, {"AccountNumber", 2}, {"Amount", 3}});
        for (const char* group : {"Credit", "Collection", "Payroll"})
            expect::writeAccounts(path("kova.ini"), group, {{"1111111111", "1234/56789/ABCD"}, {"2222222222", "4321/98765/WXYZ"}});
        if (type != "transfer")
            QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", {{"ANDI", "1234567890", "10", "WDK", 0}}));
        const QStringList account = type == "transfer" ? QStringList() : QStringList{"--account", "1"};
        const QStringList december = account + words("--effective 2026-12-25");
        QCOMPARE(run(type, december).status, 0);
        const Run again = run(type, december);
        QCOMPARE(again.status, 2);
        QVERIFY2(again.err.startsWith("These 1 payments (total 10,00) for effective date 2026-12-25 were already written on "),
                 qPrintable(again.err));
        QCOMPARE(runTo("january.txt", type, account + words("--effective 2027-01-25")).status, 0);
        QCOMPARE(runTo("other.txt", type, otherAccount + words("--effective 2026-12-25")).status, 0);
    }

    // A register that can be read but not written (here: another program reads it, so no write can
    // finish) still catches the repeat, at once.
    void registerThatOnlyReadsCatchesARepeat()
    {
        transfer({wdkRow("REF1", "10")});
        QCOMPARE(run("transfer").status, 0);
        QSqlDatabase reader = QSqlDatabase::addDatabase("QSQLITE", "reader");
        reader.setDatabaseName(path("kova-batches.sqlite"));
        QVERIFY(reader.open());
        {
            QSqlQuery read(reader);
            QVERIFY(read.exec("BEGIN") && read.exec("SELECT * FROM batches") && read.next());   // holds the file's read lock
            QElapsedTimer timer;
            timer.start();
            const Run r = runTo("again.txt", "transfer");
            QVERIFY2(timer.elapsed() < 4000, qPrintable(QString::number(timer.elapsed())));
            QCOMPARE(r.status, 2);
            QVERIFY2(r.err.contains(" were already written on "), qPrintable(r.err));
            QVERIFY(!QFile::exists(path("again.txt")));
            read.finish();
            QVERIFY(read.exec("ROLLBACK"));
        }
        reader.close();
        reader = QSqlDatabase();
        QSqlDatabase::removeDatabase("reader");
    }

    // Two users' settings are links to one file: one Header ID count, one register, one lock, all
    // beside the file itself. A run that finds the Header ID's lock held by a live run says so in time.
    void settingsThroughLinksShareOneCounter()
    {
        transfer({wdkRow("REF1", "10")});
        QVERIFY(QDir(m_dir.path()).mkpath("shared") && QDir(m_dir.path()).mkpath("ani") && QDir(m_dir.path()).mkpath("budi"));
        QVERIFY(QFile::rename(path("kova.ini"), path("shared/kova.ini")));
        QVERIFY(QFile::link(path("shared/kova.ini"), path("ani/kova.ini")) && QFile::link("../shared/kova.ini", path("budi/kova.ini")));
        const auto as = [&](const QString& user, const QStringList& more = {}) {
            return runTo(user + ".txt", "transfer", more, user + "/kova.ini");
        };
        QCOMPARE(as("ani").status, 0);
        QVERIFY2(as("budi").err.contains(" were already written on "), "not the same register");
        QCOMPARE(as("budi", {"--effective", "2027-01-25"}).status, 0);
        QCOMPARE(expect::fileBytes(path("budi.txt")).mid(5, 8), QByteArray("00000008"));
        QCOMPARE(QDir(path("ani")).entryList(QDir::Files | QDir::System | QDir::Hidden), QStringList{"kova.ini"});
        QVERIFY(QFileInfo(path("shared/kova.ini")).isFile() && !QFileInfo(path("shared/kova.ini")).isSymLink());

        QLockFile held(path("shared/kova.ini.headerid.lock"));
        QVERIFY(held.tryLock(0));
        QElapsedTimer timer;
        timer.start();
        const Run busy = as("ani", {"--effective", "2027-02-25"});
        QVERIFY2(timer.elapsed() < 30000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(busy.status, 2);
        QCOMPARE(busy.err, QString("Another export is using these settings; try again\n"));
        QCOMPARE(expect::fileBytes(path("ani.txt")).mid(5, 8), QByteArray("00000007"));
    }

    // The next Header ID is never behind one used: a stored value that is not a whole number is
    // refused, not read as 0; a typed one below the next free one is refused; the register's
    // highest counts even when the stored one was set back.
    void headerIdNeverBehind()
    {
        transfer({wdkRow("REF1", "10")});
        for (const QString value : {"4.0", "1e3", "abc", ""}) {
            QSettings(path("kova.ini"), QSettings::IniFormat).setValue("Transfer/HeaderID", value);
            const Run r = run("transfer");
            QCOMPARE(r.status, 2);
            QCOMPARE(r.err, "Settings key Transfer/HeaderID is not a whole number: \"" + value + "\"\n");
            QVERIFY(!QFile::exists(path("out.txt")));
        }
        QSettings(path("kova.ini"), QSettings::IniFormat).setValue("Transfer/HeaderID", 7);
        const Run used = run("transfer", words("--header-id 5"));
        QCOMPARE(used.status, 2);
        QCOMPARE(used.err, QString("Header ID 5 was already used; the next free one is 7\n"));
        QCOMPARE(run("transfer", words("--header-id 9 --effective 2026-01-01")).status, 0);
        QSettings(path("kova.ini"), QSettings::IniFormat).setValue("Transfer/HeaderID", 3);
        QCOMPARE(run("transfer", words("--effective 2026-01-02")).status, 0);
        QCOMPARE(upload().value(0).left(13), QString("0|FT|00000010"));
        QCOMPARE(stored("Transfer/HeaderID"), QString("11"));
    }

    // None of the program's own files is ever written over, however it is named: not as the upload
    // file, the report or a template.
    void programFilesAreNeverWritten_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("what");
        QTest::newRow("settings by another path") << "sub/../kova.ini" << "the settings file";
        QTest::newRow("settings by a hard link") << "hard.ini" << "the settings file";
        QTest::newRow("register") << "kova-batches.sqlite" << "the register of written batches";
        QTest::newRow("register's journal") << "kova-batches.sqlite-journal" << "the register of written batches";
        QTest::newRow("register by a link") << "register-link" << "the register of written batches";
        QTest::newRow("settings lock") << "kova.ini.lock" << "a lock file of the settings";
        QTest::newRow("batch lock") << "kova.ini.batch.lock" << "a lock file of the settings";
        QTest::newRow("Header ID lock") << "kova.ini.headerid.lock" << "a lock file of the settings";
    }
    void programFilesAreNeverWritten()
    {
        QFETCH(QString, file);
        QFETCH(QString, what);
        transfer({wdkRow("REF1", "10")});
        QCOMPARE(runTo("first.txt", "transfer").status, 0);   // a register to protect
        QVERIFY(QDir(m_dir.path()).mkpath("sub") && QFile::link(path("kova-batches.sqlite"), path("register-link")));
        QCOMPARE(::link(QFile::encodeName(path("kova.ini")).constData(), QFile::encodeName(path("hard.ini")).constData()), 0);
        const QByteArray ini = expect::fileBytes(path("kova.ini")), batches = expect::fileBytes(path("kova-batches.sqlite"));
        const QString target = path(file);
        const Run asDest = runTo(file, "transfer", {"--effective", "2027-01-01"});
        const Run asReport = runTo("second.txt", "transfer", {"--report", target});
        const Run asTemplate = runProgram(KOVA_EXPORT_PATH, {"template", "payroll", "--dest", target, "--settings", path("kova.ini")});
        QCOMPARE(QString::number(asDest.status) + asDest.err, "2Destination must not be " + what + '\n');
        QCOMPARE(QString::number(asReport.status) + asReport.err,
                 what == "the settings file" ? "2Report must not be the source workbook, the destination or the settings file\n"
                                             : "2Report must not be " + what + '\n');
        QCOMPARE(QString::number(asTemplate.status) + asTemplate.err, "2Template must not be " + what + '\n');
        QCOMPARE(expect::fileBytes(path("kova.ini")) + expect::fileBytes(path("kova-batches.sqlite")), ini + batches);
        QVERIFY(!QFile::exists(path("second.txt")));
    }

    // With --save-mapping (titles kept beside the columns) a workbook in the template's
    // column order exports as it is.
    void templateMapsItsColumns()
    {
        const Run r = runProgram(KOVA_EXPORT_PATH, {"template", "payroll", "--dest", path("t.xlsx"), "--save-mapping",
                                                    "--settings", path("kova.ini")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out + r.err, QString());
        QCOMPARE(stored("Payroll/AccountNumber") + stored("Payroll/AccountNumberHeader") + stored("Payroll/HeaderRow"), QString("3Acc #1"));
        QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", {{"Trx Date", "Employee Name", "Acc #", "Amount", "Employee ID", "Department"},
                                   {QDate::currentDate(), "ANDI", "0012345678", "10", "E1", "D1"}}));
        expect::writeAccounts(path("kova.ini"), "Payroll", {{"1111111111", "1234/56789/ABCD"}});
        QCOMPARE(run("payroll", words("--account 1 --effective 2026-02-03 --holiday after")).status, 0);
        QCOMPARE(upload(), (QStringList{expect::sp(11) + "123406789ABCD0301111111111101000000100000000000010.00022026",
                                        "00012345678000000000001000E1" + expect::sp(8) + "ANDI" + expect::sp(26) + "D1  "}));
    }

    void templateLeavesTheDateUnmapped_data()
    {
        QTest::addColumn<TemplateSheet>("sheet");
        for (const TemplateSheet& sheet : templateSheets())
            QTest::newRow(qPrintable(sheet.type)) << sheet;
    }
    // A template's mapping leaves the date to the user, unmapped and untitled: the date
    // filter stays off, and a filled template pays every row whatever its date.
    void templateLeavesTheDateUnmapped()
    {
        QFETCH(TemplateSheet, sheet);
        saveTemplateMapping(sheet.type);
        const kova::TypeDescriptor& type = *kova::descriptorForKeyword(sheet.type);
        QSettings ini(path("kova.ini"), QSettings::IniFormat);
        ini.beginGroup(type.group);
        QStringList stored, wanted;
        int date = -1;
        for (int i = 0; i < type.fields.size(); ++i) {
            const QString key = type.fields.at(i).key;
            stored << key + "=" + ini.value(key).toString() + " " + ini.value(key + "Header", "-").toString();
            wanted << key + "=" + (key == "TrxDate" ? "0 -" : QString::number(i + 1) + " " + sheet.titles.at(i));
            date = key == "TrxDate" ? i : date;
        }
        QCOMPARE(stored, wanted);
        QVariantList lastMonth = sheet.row, nextYear = sheet.row;
        lastMonth[date] = QDate::currentDate().addMonths(-1);
        nextYear[date] = QDate::currentDate().addYears(1);
        QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", {QVariantList(sheet.titles.cbegin(), sheet.titles.cend()), lastMonth, nextYear}));
        const Run r = runTemplateType(sheet.type);
        QCOMPARE(r.err, QString("Done!\n"));
        QCOMPARE(lines(r.out), (expect::summary("2 of 2", "301,00", 0, 0) << separator));
        QCOMPARE(upload().size(), 3);
    }

    void untitledFieldOnAMovedSheet_data()
    {
        QTest::addColumn<QString>("amountTitle");   // the Amount column's title now
        QTest::addColumn<bool>("inserted");         // a column inserted before the account
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        const QString moved = "Acc #: column C -> D, by its header \"Acc #\"\nEmployee ID: column E -> F, by its header \"Employee ID\"\n"
                              "Department: column F -> G, by its header \"Department\"\n";
        const QString refused = "Amount has no saved column title and the columns moved: map it again\n";
        QTest::newRow("column inserted") << "" << true << 2 << moved + refused;
        QTest::newRow("column inserted, Amount titled since") << "Amount" << true << 2 << moved + refused;
        QTest::newRow("nothing moved") << "" << false << 0 << "Done!\n";
    }
    // The payroll mapping saved while the Amount column had no title. A column inserted
    // before the account would have each employee paid his account number: refused
    // before any row, nothing written. Where nothing moved it exports as saved.
    void untitledFieldOnAMovedSheet()
    {
        QFETCH(QString, amountTitle);
        QFETCH(bool, inserted);
        QFETCH(int, status);
        QFETCH(QString, err);
        saveTemplateMapping("payroll");
        QSettings(path("kova.ini"), QSettings::IniFormat).remove("Payroll/AmountHeader");
        TemplateSheet sheet = templateSheets().at(3);
        sheet.titles[3] = amountTitle;
        if (inserted) {
            sheet.titles.insert(2, "Bank");
            sheet.row.insert(2, "BANK");
        }
        QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", {QVariantList(sheet.titles.cbegin(), sheet.titles.cend()), sheet.row}));
        const Run r = runTemplateType("payroll");
        QCOMPARE(r.status, status);
        QCOMPARE(r.err, err);
        QCOMPARE(lines(r.out), status ? QStringList() : (expect::summary("1 of 1", "150,50", 0, 0) << separator));
        QCOMPARE(QFile::exists(path("out.txt")), status == 0);
    }

    void columnsFollowTheirTitles_data()
    {
        QTest::addColumn<TemplateSheet>("sheet");
        QTest::addColumn<int>("first");   // the two columns swapped, from 0
        QTest::addColumn<QString>("moved");
        const QList<TemplateSheet> sheets = templateSheets();
        QTest::newRow("transfer") << sheets.at(0) << 2 << "From Acc #: column C -> D, by its header \"From Acc #\"\n"
                                                         "To Acc #: column D -> C, by its header \"To Acc #\"\n";
        QTest::newRow("credit") << sheets.at(1) << 1 << "Beneficiary Name: column B -> C, by its header \"Beneficiary Name\"\n"
                                                       "Acc #: column C -> B, by its header \"Acc #\"\n";
        QTest::newRow("collection") << sheets.at(2) << 1 << "Acc Name: column B -> C, by its header \"Acc Name\"\n"
                                                           "Acc #: column C -> B, by its header \"Acc #\"\n";
        QTest::newRow("payroll") << sheets.at(3) << 1 << "Employee Name: column B -> C, by its header \"Employee Name\"\n"
                                                        "Acc #: column C -> B, by its header \"Acc #\"\n";
    }
    // Saved with its titles, a mapping follows two columns that changed places: the
    // upload pays what the sheet in template order pays, and standard error says why.
    void columnsFollowTheirTitles()
    {
        QFETCH(TemplateSheet, sheet);
        QFETCH(int, first);
        QFETCH(QString, moved);
        saveTemplateMapping(sheet.type);
        QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", {QVariantList(sheet.titles.cbegin(), sheet.titles.cend()), sheet.row}));
        const Run inOrder = runTemplateType(sheet.type);
        QCOMPARE(inOrder.err, QString("Done!\n"));
        const QByteArray paid = expect::fileBytes(path("out.txt"));
        QFile::remove(path("out.txt"));
        // The same Header ID again, so the two uploads compare whole.
        QFile::remove(path("kova-batches.sqlite"));
        expect::writeSettings(path("kova.ini"), "Transfer", {{"HeaderID", 7}});
        const QStringList titles = swapped(sheet.titles, first, first + 1);
        QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", {QVariantList(titles.cbegin(), titles.cend()), swapped(sheet.row, first, first + 1)}));
        const Run reordered = runTemplateType(sheet.type);
        QCOMPARE(reordered.err, moved + "Done!\n");
        QCOMPARE(reordered.out, inOrder.out);
        QCOMPARE(expect::fileBytes(path("out.txt")), paid);
    }

    // A sheet wider far below its top rows (past the megabyte read ahead) than in them is read a second
    // time, surveyed first: the export is the one the whole sheet makes, and what moved is told once.
    void sheetReadAgainIsToldOnce()
    {
        saveTemplateMapping("payroll");
        const TemplateSheet sheet = templateSheets().at(3);
        const QStringList titles = swapped(sheet.titles, 1, 2);
        QList<QVariantList> rows{QVariantList(titles.cbegin(), titles.cend())};
        for (int i = 0; i < 12000; ++i)
            rows.append(swapped(sheet.row, 1, 2));
        rows.last() << QVariant() << QVariant() << QVariant() << QVariant() << QVariant() << "note";
        QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", rows));
        const Run r = runTemplateType("payroll");
        QCOMPARE(r.err, QString("Employee Name: column B -> C, by its header \"Employee Name\"\n"
                                "Acc #: column C -> B, by its header \"Acc #\"\nDone!\n"));
        QCOMPARE(lines(r.out), (expect::summary("12000 of 12000", "1.806.000,00", 0, 0) << separator));
        QCOMPARE(upload().size(), 12001);
    }

    void titleMissingOrDoubled_data()
    {
        QTest::addColumn<QString>("to");       // the title of column D
        QTest::addColumn<QString>("extra");    // the titles of two more columns
        QTest::addColumn<QString>("err");
        QTest::newRow("missing") << "Beneficiary Account" << "" << "Column \"To Acc #\" for To Acc # is not in the header row\n";
        QTest::newRow("doubled") << "Notes" << " to acc # " << "Column \"To Acc #\" for To Acc # appears more than once in the header row\n";
    }
    // A saved title the sheet lacks, or holds twice, maps nothing from a guess: the
    // export is refused before any row, nothing written, the Header ID kept.
    void titleMissingOrDoubled()
    {
        QFETCH(QString, to);
        QFETCH(QString, extra);
        QFETCH(QString, err);
        saveTemplateMapping("transfer");
        TemplateSheet sheet = templateSheets().at(0);
        sheet.titles[3] = to;
        sheet.titles << extra << extra;
        QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", {QVariantList(sheet.titles.cbegin(), sheet.titles.cend()), sheet.row}));
        const Run r = run("transfer");
        QCOMPARE(r.status, 2);
        QCOMPARE(r.out + "|" + r.err, "|" + err);
        QVERIFY(!QFile::exists(path("out.txt")));
        QCOMPARE(stored("Transfer/HeaderID"), QString("7"));
    }

    // A title above the table: the saved titles find the header row, or --header-row
    // names it for a mapping saved without them; rows above it are never data. Rows
    // outside the dates, the date mapped as the form maps it, are counted on standard error.
    void titleAboveTheTable()
    {
        saveTemplateMapping("payroll");
        expect::writeSettings(path("kova.ini"), "Payroll", {{"TrxDate", 1}, {"TrxDateHeader", "Trx Date"}});
        const TemplateSheet sheet = templateSheets().at(3);
        QVariantList outside = sheet.row;
        outside[0] = QDate::currentDate().addDays(-1);
        QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", {{"PT MAJU JAYA - PAYROLL DESEMBER 2026"}, {},
                                   QVariantList(sheet.titles.cbegin(), sheet.titles.cend()), sheet.row, outside}));
        const QString today = QLocale::c().toString(QDate::currentDate(), "dd MMM yyyy");
        const QString leftOut = "1 row outside " + today + " - " + today + " left out\n";
        const Run found = runTemplateType("payroll");
        QCOMPARE(found.err, "Header row: row 3, where the saved column titles are\n" + leftOut + "Done!\n");
        QCOMPARE(lines(found.out), (expect::summary("1 of 2", "150,50", 0, 0) << separator));
        const QByteArray paid = expect::fileBytes(path("out.txt"));
        // Saved before titles were kept: the named row.
        QSettings ini(path("kova.ini"), QSettings::IniFormat);
        for (const QString& key : ini.allKeys())
            if (key.endsWith("Header") && !key.endsWith("HasColumnHeader"))
                ini.remove(key);
        ini.sync();
        const Run named = runTemplateType("payroll", words("--header-row 3"));
        QCOMPARE(named.err + named.out, leftOut + "Done!\n" + found.out);
        QCOMPARE(expect::fileBytes(path("out.txt")), paid);
    }

    // Workbooks read as a spreadsheet program shows them, whoever wrote them: each whole export from a crafted file.
    void craftedWorkbooks_data()
    {
        QTest::addColumn<TestPackage>("package");
        QTest::addColumn<QByteArray>("bytes");   // written instead of the package, unless null
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QString>("record");   // the one detail record written
        const QString tail = "\n" + separator + "\n";
        const QString written = expect::summary("1 of 1", "1.500.000,00", 0, 0).join('\n') + tail;
        const QString record = "1|00001|REF1|1234567890|0987654321|1500000.00|||0140397|BANK|BRANCH|NAME|||||1|R|";
        const auto good = [&](const char* name, const TestPackage& package) {
            QTest::newRow(name) << package << QByteArray() << 0 << written << QString("Done!\n") << record;
        };
        good("a cell of another namespace is no cell", craftedBatch("<c r=\"E2\"><v>1500000</v></c><k:c r=\"E2\" xmlns:k=\"urn:k\">"
                                                                     "<k:v>950000000</k:v></k:c>", "E"));
        good("blanks at a text's edges are dropped", craftedBatch("<c r=\"D2\" t=\"inlineStr\"><is><t>\n0987654321     </t></is></c>", "D"));
        good("formulas showing nothing make no rows", craftedBatch({}, "", "<row r=\"3\"><c r=\"A3\" t=\"str\"><f>IF(B3=\"\",\"\",B3)</f>"
                                                                        "<v></v></c></row><row r=\"1000\"><c r=\"A1000\" t=\"str\">"
                                                                        "<f>IF(B1000=\"\",\"\",B1000)</f><v></v></c></row>"));
        good("entries named with backslashes", craftedBatch().withBackslashes());
        QTest::newRow("a result the workbook disowns")
            << craftedBatch("<c r=\"E2\"><f>1000*2</f><v>999999</v></c>", "E").setPart("xl/workbook.xml", TestPackage::part("workbook",
                   "<sheets><sheet name=\"Batch\" sheetId=\"1\" r:id=\"rId1\"/></sheets><calcPr fullCalcOnLoad=\"1\"/>"))
            << QByteArray() << 1 << expect::summary("1 of 1", "0,00", 0, 2).join('\n') + tail
                   + errorText(1, "Formula without a calculated result in Amount: open and save the workbook in a spreadsheet program")
                   + '\n' + errorText(1, "Invalid amount") + '\n'
            << QString("ERROR!\n") << QString();
        QTest::newRow("a string the table does not hold")
            << craftedBatch("<c r=\"J2\" t=\"s\"><v>1</v></c>", "J").setPart("xl/sharedStrings.xml", TestPackage::part("sst", "<si><t>x</t></si>"))
            << QByteArray() << 2 << QString()
            << QString("Error. Unable to select sheet Batch: xl/worksheets/sheet1.xml: a shared string its table does not hold\n")
            << QString();
        QTest::newRow("encrypted") << TestPackage()
                                   << EncryptedStreams::of(expect::fileBytes(QStringLiteral(KOVA_FIXTURES) + "/batch.xlsx"),
                                                           "kova-secret", EncryptedStreams::Kind::Agile).file()
                                   << 2 << QString()
                                   << QString("Workbook is password-protected: give its password with --password-file FILE "
                                              "or the KOVA_PASSWORD environment variable\n") << QString();
        QTest::newRow("encrypted, its header empty") << TestPackage()
                                   << TestPackage::compoundFile({"EncryptionInfo", "EncryptedPackage"}) << 2 << QString()
                                   << QString("Error. Unable to select sheet Batch: the encryption header is damaged\n") << QString();
    }

    void craftedWorkbooks()
    {
        QFETCH(TestPackage, package);
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QString, record);
        transfer({});
        QFile file(path("book.xlsx"));
        QVERIFY(bytes.isNull() ? package.write(path("book.xlsx"))
                               : file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush());
        const Run r = run("transfer", {"--effective", "2026-01-05"});
        QCOMPARE(r.status, status);
        QCOMPARE(r.out, out);
        QCOMPARE(r.err, err);
        QCOMPARE(QFile::exists(path("out.txt")) ? upload().value(1) : QString(), record);
    }

    // A source that cannot be read says why and where on standard error, and nothing is written (exit 2).
    void unreadableSources_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("more");
        QTest::addColumn<QString>("err");
        QTest::newRow("quote never closed") << "payroll.csv" << QByteArray("Ref;Name\nREF1;\"BUDI\nREF2;ANI\n") << QStringList()
                                            << "Error. Unable to select sheet payroll: line 2: a quoted field is never closed\n";
        QTest::newRow("lone quote") << "payroll.csv" << QByteArray("Ref,Name,Note\nREF1,BUDI,\"a\"b,\"c\",d\n") << QStringList()
                                    << "Error. Unable to select sheet payroll: line 2: a quoted field holds a quote that is not doubled\n";
        QTest::newRow("not the encoding chosen") << "payroll.csv" << QByteArray("Ref;Name\r\nREF1;Jos\xE9\r\n") << words("--encoding utf-8")
                                                 << "Error. Unable to select sheet payroll: line 2: bytes that are not UTF-8; "
                                                    "try --encoding windows-1252\n";
        QByteArray package;
        QVERIFY(TestPackage().addSheet("Batch", "<row r=\"1\">\n<c r=\"A1\"><v>1</v></row></c>").write(path("broken.xlsx")));
        package = expect::fileBytes(path("broken.xlsx"));
        QTest::newRow("sheet not well-formed") << "book.xlsx" << package << words("--sheet Batch")
                                               << "Error. Unable to select sheet Batch: xl/worksheets/sheet1.xml: not well-formed XML (line 3)\n";
    }
    void unreadableSources()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, more);
        QFETCH(QString, err);
        transfer({});
        QFile source(path(name));
        QVERIFY(source.open(QIODevice::WriteOnly) && source.write(bytes) == bytes.size());
        source.close();
        const Run r = runProgram(KOVA_EXPORT_PATH, QStringList{"transfer", "--source", path(name), "--dest", path("out.txt"), "--settings",
                                                               path("kova.ini")} + more);
        QCOMPARE(r.status, 2);
        QCOMPARE(r.out, QString());
        QCOMPARE(r.err, err);
        QVERIFY(!QFile::exists(path("out.txt")));
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
        const QStringList common = words("transfer --from 2026-12-01 --to 2026-12-31 --effective 2026-12-07 "
                                         "--allow-duplicate --dest") + QStringList{path("out.txt"), "--settings", path("kova.ini")};
        QStringList uploads;
        for (const QStringList& source : {QStringList{"--source", fixtures + "/batch.xlsx", "--sheet", "Batch"},
                                          QStringList{"--source", fixtures + "/batch.xls", "--sheet", "Batch"},
                                          QStringList{"--source", path("batch.csv")},
                                          QStringList{"--source", path("batch.txt"), "--delimiter", "tab", "--encoding", "utf-16le"}}) {
            // Each run as the first: Header ID 42, nothing in the register.
            expect::writeSettings(path("kova.ini"), "Transfer", {{"HeaderID", 42}});
            QFile::remove(path("kova-batches.sqlite"));
            const Run r = runProgram(KOVA_EXPORT_PATH, common + source);
            QVERIFY2(r.status == 0, qPrintable(r.err));
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

    // The payroll and transfer samples as LibreOffice saves them in .ods (tests/reader/fixtures), and
    // saved with a password, export the same messages and the same upload file as the .xlsx samples.
    void samplesSavedAsOdsOrWithAPasswordWriteTheSameUpload_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("transfer") << "transfer" << QStringList{"--sheet", "Transfers"};
        QTest::newRow("payroll") << "payroll" << QStringList{"--sheet", "Payroll", "--account", "1"};
    }

    void samplesSavedAsOdsOrWithAPasswordWriteTheSameUpload()
    {
        QFETCH(QString, type);
        QFETCH(QStringList, options);
        QProcess examples;
        examples.start("/usr/bin/python3", {QStringLiteral(KOVA_EXAMPLES) + "/make-examples", path("samples")});
        if (!examples.waitForFinished(60000) || examples.exitCode() != 0)
            QSKIP("the samples need python3-xlsxwriter");
        // The same sample saved with a password, opened with it from a file.
        const QByteArray locked = EncryptedStreams::of(expect::fileBytes(path("samples/" + type + "-fixed.xlsx")),
                                                       "kova-secret", EncryptedStreams::Kind::Agile).file();
        QFile lockedFile(path("locked.xlsx")), passwordFile(path("password"));
        QVERIFY(lockedFile.open(QIODevice::WriteOnly) && lockedFile.write(locked) == locked.size());
        QVERIFY(passwordFile.open(QIODevice::WriteOnly) && passwordFile.write("kova-secret\n") == 12);
        lockedFile.close();
        passwordFile.close();
        QStringList runs;
        for (const QStringList& source : {QStringList{"--source", path("samples/" + type + "-fixed.xlsx")},
                                          QStringList{"--source", QStringLiteral(KOVA_FIXTURES) + "/" + type + "-fixed.ods"},
                                          QStringList{"--source", path("locked.xlsx"), "--password-file", path("password")}}) {
            // Each run as the first: the samples' settings, nothing in the register.
            QFile::remove(path("run.ini"));
            QVERIFY(QFile::copy(path("samples/kova.ini"), path("run.ini")));
            QFile::remove(path("kova-batches.sqlite"));
            const Run r = runProgram(KOVA_EXPORT_PATH, QStringList{type} + source + QStringList{"--dest", path("out.txt"),
                                                                   "--settings", path("run.ini")} + options);
            QVERIFY2(r.status == 0, qPrintable(r.out + r.err));
            QVERIFY(upload().size() > 2);
            runs.append(r.out + "\n" + upload().join('\n'));
        }
        QCOMPARE(runs.at(1), runs.first());
        QCOMPARE(runs.at(2), runs.first());
    }


    // The batch saved with a password exports as the plain one, the password from a file (its line end not
    // part of it) or from the environment; a wrong one writes nothing and says so.
    void passwordProtectedWorkbook_data()
    {
        QTest::addColumn<EncryptedStreams::Kind>("kind");
        QTest::addColumn<QByteArray>("passwordFile");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("err");
        const QString done = "1 row outside 01 Dec 2026 - 31 Dec 2026 left out\nDone!\n";
        const QString wrong = "Wrong password for the workbook\n";
        QTest::newRow("agile, file") << EncryptedStreams::Kind::Agile << QByteArray("kova-secret\n") << QString() << done;
        QTest::newRow("standard, file with CRLF") << EncryptedStreams::Kind::Standard << QByteArray("kova-secret\r\nmore")
                                                 << QString() << done;
        QTest::newRow("agile, environment") << EncryptedStreams::Kind::Agile << QByteArray() << "kova-secret" << done;
        QTest::newRow("file before environment") << EncryptedStreams::Kind::Agile << QByteArray("kova-secret")
                                                 << "wrong" << done;
        QTest::newRow("wrong, file") << EncryptedStreams::Kind::Standard << QByteArray("kova-secret ") << QString() << wrong;
        QTest::newRow("wrong, environment") << EncryptedStreams::Kind::Agile << QByteArray() << "Kova-secret" << wrong;
    }
    void passwordProtectedWorkbook()
    {
        QFETCH(EncryptedStreams::Kind, kind);
        QFETCH(QByteArray, passwordFile);
        QFETCH(QString, environment);
        QFETCH(QString, err);
        QVariantMap values{{"HasColumnHeader", true}, {"HeaderID", 42}, {"CompanyID", "ABCDE12345"}};
        const QStringList keys{"TrxRef", "TrxDate", "FromAcc", "ToAcc", "Amount", "Remittance",
                               "BICode", "Bank", "Branch", "Beneficiary", "CustType", "Residence"};
        for (int i = 0; i < keys.size(); ++i)
            values.insert(keys.at(i), i + 1);
        expect::writeSettings(path("kova.ini"), "Transfer", values);
        const QString fixtures = QStringLiteral(KOVA_FIXTURES);
        const QStringList common = words("transfer --from 2026-12-01 --to 2026-12-31 --effective 2026-12-07 "
                                         "--allow-duplicate --sheet Batch --settings") + QStringList{path("kova.ini")};
        QCOMPARE(runProgram(KOVA_EXPORT_PATH, common + QStringList{"--source", fixtures + "/batch.xlsx", "--dest",
                                                                   path("plain.txt")}).status, 0);
        expect::writeSettings(path("kova.ini"), "Transfer", {{"HeaderID", 42}});
        QFile::remove(path("kova-batches.sqlite"));
        const QByteArray encrypted = EncryptedStreams::of(expect::fileBytes(fixtures + "/batch.xlsx"), "kova-secret", kind).file();
        QFile book(path("locked.xlsx"));
        QVERIFY(book.open(QIODevice::WriteOnly) && book.write(encrypted) == encrypted.size());
        book.close();
        QStringList more{"--source", path("locked.xlsx"), "--dest", path("out.txt")};
        if (!passwordFile.isNull()) {
            QFile file(path("password"));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(passwordFile) == passwordFile.size());
            more += QStringList{"--password-file", path("password")};
        }
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("KOVA_PASSWORD");
        if (!environment.isNull())
            env.insert("KOVA_PASSWORD", environment);
        process.setProcessEnvironment(env);
        process.start(KOVA_EXPORT_PATH, common + more);
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()), err);
        const bool written = err.endsWith("Done!\n");
        QCOMPARE(process.exitCode(), written ? 0 : 2);
        if (written)
            QCOMPARE(expect::fileBytes(path("out.txt")), expect::fileBytes(path("plain.txt")));
        else
            QVERIFY(!QFile::exists(path("out.txt")));
    }

    void passwordFileUnreadable()
    {
        const Run r = run("transfer", {"--password-file", path("none")});
        QCOMPARE(r.status, 64);
        QVERIFY2(r.err.startsWith("kova-export: --password-file: cannot read " + path("none") + "\n"), qPrintable(r.err));
    }

    // Delimited text keeps its text; the date filter and the amounts read it by what their columns show: a
    // date only one order reads, an amount only one decimal mark reads. Columns that show both ways, or an
    // amount that reads two ways where nothing settles it, are refused before any row; a date that is no
    // date is an error on its row, never left out. Payroll rows (date, name, account, amount, ID, dept) for
    // 5 Dec 2026; each case's upload amounts in row order, or its refusal.
    void textConventions_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("amounts");   // the detail records' amount fields
        QTest::addColumn<QString>("err");           // standard error, whole
        const auto rows = [](const QList<QByteArray>& dates, const QList<QByteArray>& amounts, char delimiter = ',') {
            const QByteArray d(1, delimiter);
            QByteArray text = "Date" + d + "Name" + d + "Account" + d + "Amount" + d + "ID" + d + "Note\n";
            for (int i = 0; i < dates.size(); ++i)
                text += dates.at(i) + d + "E" + QByteArray::number(i + 1) + d + "00" + QByteArray::number(12345670 + i) + d
                    + amounts.value(i, "100") + d + "01.12.2026" + d + "x\n";
            return text;
        };
        // Dates that read the same either way tell nothing, and need no word.
        const QString open = "Trx Date: no date tells the day from the month; read as day/month/year, the order chosen\n";
        const QString oneLeftOut = "1 row outside 05 Dec 2026 - 05 Dec 2026 left out\n";
        const QString dayFirst = "Trx Date: dates read as day/month/year, as A3 \"25/11/2026\" shows\n";
        QTest::newRow("month first, learned from the column")
            << rows({"12/05/2026", "12/25/2026", "05/12/2026"}, {"1", "2", "3"}) << QStringList() << 0
            << QStringList{"000000000000100"} << "Trx Date: dates read as month/day/year, as A3 \"12/25/2026\" shows\n"
               "2 rows outside 05 Dec 2026 - 05 Dec 2026 left out\nDone!\n";
        QTest::newRow("day first, in the forms clerks write")
            << rows({"2026-12-5", "25/11/2026", " 05/12/2026 ", "05/12/26", "5 Dec 2026", "5 Des 2026", "05.12.2026 00:00"},
                    {"1", "2", "3", "4", "5", "6", "7"})
            << QStringList() << 0
            << QStringList{"000000000000100", "000000000000300", "000000000000400", "000000000000500",
                           "000000000000600", "000000000000700"} << dayFirst + oneLeftOut + "Done!\n";
        QTest::newRow("nothing tells the order: the one chosen, said")
            << rows({"12/05/2026", "05/12/2026"}, {"1", "2"}) << QStringList{"--date-order", "mdy"} << 0
            << QStringList{"000000000000100"}
            << "Trx Date: no date tells the day from the month; read as month/day/year, the order chosen\n" + oneLeftOut
               + "Done!\n";
        QTest::newRow("dates of both orders refused")
            << rows({"25/12/2026", "05/12/2026", "12/25/2026"}, {}) << QStringList() << 2 << QStringList()
            << "Trx Date holds dates written in two orders: A2 \"25/12/2026\" is day/month/year, A4 \"12/25/2026\" "
               "month/day/year\n";
        QTest::newRow("a date that is no date is an error")
            << rows({"05/12/2026", "32/12/2026", ""}, {}) << QStringList() << 1 << QStringList()
            << open + oneLeftOut + "ERROR!\n";
        QTest::newRow("Indonesian amounts") << rows({"05/12/2026", "05/12/2026", "05/12/2026"}, {"750.000", "\"1.250.000,50\"", "125.500"})
            << QStringList() << 0 << QStringList{"000000075000000", "000000125000050", "000000012550000"}
            << open + "Amount: \",\" is the decimal mark, as D3 \"1.250.000,50\" shows\nDone!\n";
        QTest::newRow("Indonesian amounts with semicolons")
            << rows({"05/12/2026", "05/12/2026"}, {"8.693.500,00", "750.000"}, ';') << QStringList() << 0
            << QStringList{"000000869350000", "000000075000000"}
            << open + "Amount: \",\" is the decimal mark, as D2 \"8.693.500,00\" shows\nDone!\n";
        QTest::newRow("English amounts") << rows({"05/12/2026", "05/12/2026"}, {"\"1,234.56\"", "\"750,000\""})
            << QStringList() << 0 << QStringList{"000000000123456", "000000075000000"}
            << open + "Amount: \".\" is the decimal mark, as D2 \"1,234.56\" shows\nDone!\n";
        QTest::newRow("an amount that reads two ways, refused")
            << rows({"05/12/2026", "05/12/2026"}, {"750.000", "125000"}) << QStringList() << 2 << QStringList()
            << open + "Amount D2 \"750.000\" reads as another amount with \".\" or \",\" as the decimal mark: choose it "
               "(Decimal mark beside the sheet; --decimal-mark for kova-export)\n";
        QTest::newRow("the mark chosen") << rows({"05/12/2026", "05/12/2026"}, {"750.000", "125000"})
            << QStringList{"--decimal-mark", "comma"} << 0 << QStringList{"000000075000000", "000000012500000"}
            << open + "Done!\n";
        QTest::newRow("amounts of both marks refused") << rows({"05/12/2026", "05/12/2026"}, {"\"1.250,50\"", "\"1,250.50\""})
            << QStringList() << 2 << QStringList()
            << open + "Amount holds amounts written with two decimal marks: D3 \"1,250.50\" and D2 \"1.250,50\"\n";
    }
    void textConventions()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QStringList, amounts);
        QFETCH(QString, err);
        const Run r = payrollFromText(rows, options);
        QCOMPARE(r.err, err);
        QCOMPARE(r.status, status);
        QCOMPARE(QFile::exists(path("out.txt")), status == 0);
        if (status == 1)
            QVERIFY2(lines(r.out).contains(errorText(2, "Invalid date")), qPrintable(r.out));
        if (status != 0)
            return;
        QStringList written;
        for (const QString& record : upload().mid(1))
            written.append(record.mid(11, 15));
        QCOMPARE(written, amounts);
        // The reference that looks like a date is written as it stands.
        for (const QString& record : upload().mid(1))
            QCOMPARE(record.mid(26, 10), QString("01.12.2026"));
    }

    // kova-export reads delimited text once, taking its top rows' word for how dates and amounts are written;
    // a row far below them that says otherwise is told, or refuses, exactly as when the whole column is read
    // first, and nothing is written or shown of rows read the wrong way.
    void readingDecidedPastTheTopRows_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("err");   // standard error, whole; nothing on standard output when refused
        // 1,500 rows whose date and amount tell nothing, between the row after the header and the last rows.
        const auto rows = [](const QByteArray& second, const QList<QByteArray>& last) {
            QByteArray text = "Date,Name,Account,Amount,ID\n" + second;
            const auto row = [](const QByteArray& date, const QByteArray& amount, int i) {
                return date + ",E" + QByteArray::number(i) + ",00" + QByteArray::number(12345670 + i) + "," + amount + ",X\n";
            };
            for (int i = 0; i < 1500; ++i)
                text += row("05/12/2026", "750.000", i);
            for (int i = 0; i < last.size(); i += 2)
                text += row(last.at(i), last.at(i + 1), 2000 + i);
            return text;
        };
        const QString comma = "Amount: \",\" is the decimal mark, as D1502 \"1.250,50\" shows\n";
        QTest::newRow("the day first, as chosen") << rows({}, {"25/12/2026", "\"1.250,50\""}) << 0 << 1500
            << "Trx Date: dates read as day/month/year, as A1502 \"25/12/2026\" shows\n" + comma
               + "1 row outside 05 Dec 2026 - 05 Dec 2026 left out\nDone!\n";
        QTest::newRow("the month first, against the order chosen")
            << rows({}, {"12/25/2026", "\"1.250,50\"", "12/05/2026", "1"}) << 0 << 1
            << "Trx Date: dates read as month/day/year, as A1502 \"12/25/2026\" shows\n" + comma
               + "1501 rows outside 05 Dec 2026 - 05 Dec 2026 left out\nDone!\n";
        QTest::newRow("both orders") << rows("25/11/2026,E0,0012345678,1,X\n", {"12/25/2026", "1"}) << 2 << 0
            << "Trx Date holds dates written in two orders: A2 \"25/11/2026\" is day/month/year, A1503 \"12/25/2026\" "
               "month/day/year\n";
        QTest::newRow("both marks") << rows({}, {"05/12/2026", "\"1.250,50\"", "05/12/2026", "\"1,250.50\""}) << 2 << 0
            << "Trx Date: no date tells the day from the month; read as day/month/year, the order chosen\n"
               "Amount holds amounts written with two decimal marks: D1503 \"1,250.50\" and D1502 \"1.250,50\"\n";
    }
    void readingDecidedPastTheTopRows()
    {
        QFETCH(QByteArray, rows);
        QFETCH(int, status);
        QFETCH(int, records);
        QFETCH(QString, err);
        const Run r = payrollFromText(rows, {});
        QCOMPARE(r.err, err);
        QCOMPARE(r.status, status);
        QCOMPARE(QFile::exists(path("out.txt")), status == 0);
        if (status != 0) {
            QCOMPARE(r.out, QString());
            return;
        }
        const QStringList written = upload();
        QCOMPARE(written.size(), 1 + records);
        // Every amount read with the decimal mark the last rows decided: 750.000 is 750,000.00.
        QCOMPARE(written.at(1).mid(11, 15), records == 1 ? QString("000000000000100") : QString("000000075000000"));
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
        usage("account with line feed", words("payroll" + full + "--account") << "1\n", "--account must be a row number from 1 to 2147483647: 1\n");
        usage("account on transfer", words("transfer" + full + "--account 1"), "--account does not apply to transfer");
        usage("twice", words("transfer" + full + "--sheet T"), "--sheet given more than once");
        usage("second type", words("transfer" + full + "credit"), "unexpected argument: credit");
        usage("header row 0", words("transfer" + full + "--header-row 0"), "--header-row must be a row number from 1 to 1048575: 0");
        usage("unknown delimiter", words("transfer" + full + "--delimiter colon"),
              "--delimiter must be one of comma|semicolon|tab|pipe: colon");
        usage("unknown encoding", words("transfer" + full + "--encoding latin-1"),
              "--encoding must be one of utf-8|utf-16le|utf-16be|windows-1252: latin-1");
        usage("unknown date order", words("transfer" + full + "--date-order ymd"), "--date-order must be one of dmy|mdy: ymd");
        usage("workbook without sheet", words("transfer --source") + QStringList{path("book.xlsx")} + words("--dest o.txt"),
              "missing --sheet");
        usage("delimiter for a workbook", arguments("transfer") + words("--delimiter tab"),
              "--delimiter, --encoding, --date-order and --decimal-mark apply to delimited text only");
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
            << "2 WDK/LLG rows left out in RTGS mode\nERROR!\n";
        // The Header ID is stored before the upload is written: no lock fits beside so long a name.
        QTest::newRow("settings not saved") << arguments("transfer").mid(0, 8) + QStringList{path(QString(250, 'k') + ".ini")}
            << 2 << expect::summary("1 of 3", "10,00", 0, 0).join('\n') + tail
            << "2 LLG/RTGS rows left out in WDK mode\nSettings could not be saved\n";
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
