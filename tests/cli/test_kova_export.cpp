// Runs the built kova-export the way a user or a batch script would and
// checks what reaches the streams, the files and the settings file.
#include "expect.h"
#include "export/cells.h"
#include "core/registry.h"
#include "xlsx/document.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString onInput = QStringLiteral("Report must not be the source workbook, the destination or the settings file");
const QString separator = QStringLiteral("-------------------------------------");
const QString usage = QStringLiteral("Usage: kova-export TYPE --source WORKBOOK --sheet SHEET --dest FILE [options]");

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

Run runProgram(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QStringList lines(const QString& text)
{
    QStringList list = text.split('\n');
    if (!list.isEmpty() && list.last().isEmpty())
        list.removeLast();
    return list;
}

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
    QStringList upload() const { return lines(QString::fromUtf8(expect::fileBytes(path("out.txt")))); }

    // The type, its three required options and the settings file, then more.
    Run run(const QString& type, const QStringList& more = {}) const
    {
        return runProgram(KOVA_EXPORT_PATH, QStringList{type, "--source", path("book.xlsx"), "--sheet", "Batch",
                                                        "--dest", path("out.txt"), "--settings", path("kova.ini")}
                                                + more);
    }

    // A header row first; every transfer column but the date mapped.
    void transfer(const QList<QVariantList>& rows)
    {
        const QVariantList titles{"Ref", "Date", "From", "To", "Amount", "Type", "BI", "Bank", "Branch", "Name", "Cust", "Res"};
        QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", QList<QVariantList>{titles} + rows));
        QVariantMap values{{"HasColumnHeader", true}, {"HeaderID", 7}, {"CompanyID", "ABCDE12345"}};
        const QStringList keys{"TrxRef", "TrxDate", "FromAcc", "ToAcc", "Amount", "Remittance",
                               "BICode", "Bank", "Branch", "Beneficiary", "CustType", "Residence"};
        for (int i = 0; i < keys.size(); ++i)
            values.insert(keys.at(i), i == 1 ? 0 : i + 1);
        expect::writeSettings(path("kova.ini"), "Transfer", values);
    }

    void earlierBatch() const
    {
        QFile earlier(path("out.txt"));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier batch\n");
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        for (const QString& name : QDir(m_dir.path()).entryList(QDir::Files | QDir::System))
            QFile::remove(path(name));
    }

    // Typed Header and Corporate IDs are used, not saved, and the next batch
    // never goes below the number just used. A register that is not one is
    // reported and left alone; the export stands.
    void transferWritesTheWholeUpload()
    {
        const QString longRef = QString(31, 'R');
        // Not a WDK transfer: skipped without trace, not even a line number.
        transfer({wdkRow("SKIPPED", "1", "LLG"), wdkRow("REF1", "1500000.5"), wdkRow(longRef, "2.005")});
        // A link planted where a details file might be named must not lead the
        // batch into another file.
        QVERIFY(QFile::link(path("victim.txt"), path("out.txt.details")));
        QFile garbage(path("kova-batches.sqlite"));
        QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write(QByteArray(4096, 'Z')) == 4096);
        garbage.close();
        const Run r = run("transfer", {"--effective", "2026-01-05", "--header-id", "42", "--corporate-id", " CORP00001"});
        QCOMPARE(r.status, 0);
        QCOMPARE(lines(r.out), (expect::summary("2 of 3", "1.500.002,51", 1, 0) + QStringList{separator,
                     "LINE 2: Warning. String truncated in Trx Ref. Exceeding 30 characters"}));
        QCOMPARE(r.err, QString("Batch register could not be opened: file is not a database\nDone!\n"));
        const QString rest = "|||0140397|BANK|BRANCH|NAME|||||1|R|";
        QCOMPARE(upload(), (QStringList{"0|FT|00000042|||20260105| CORP00001|1500002.51|00002|WDK|IDR|",
                                        "1|00001|REF1|1234567890|0987654321|1500000.50" + rest,
                                        "1|00002|" + longRef.left(30) + "|1234567890|0987654321|2.01" + rest}));
        QVERIFY(expect::fileBytes(path("out.txt")).endsWith("|R|\n"));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::System), (QStringList{"book.xlsx", "kova-batches.sqlite",
                 "kova.ini", "out.txt", "out.txt.details"}));
        QCOMPARE(stored("Transfer/HeaderID"), QString("43"));
        QCOMPARE(stored("Transfer/CompanyID"), QString("ABCDE12345"));
        QCOMPARE(expect::fileBytes(path("kova-batches.sqlite")), QByteArray(4096, 'Z'));
    }

    void rowErrorsWriteNothingAndReportTheLog()
    {
        QVariantList bad = wdkRow("REF2", "abc");
        bad[3] = "123";
        transfer({wdkRow("REF1", "10"), bad});
        earlierBatch();
        const Run r = run("transfer", {"--report", path("log.json")});
        QCOMPARE(r.status, 1);
        QCOMPARE(lines(r.out), (expect::summary("2 of 2", "10,00", 0, 2) + QStringList{separator,
                     errorText(2, "To Acc must be 10 characters"), errorText(2, "Invalid amount")}));
        QCOMPARE(r.err, QString("ERROR!\n"));
        QCOMPARE(upload(), QStringList{"earlier batch"});
        QVERIFY(!QFile::exists(path("out.txt.details")));
        QCOMPARE(stored("Transfer/HeaderID"), QString("7"));
        const QJsonObject root = QJsonDocument::fromJson(expect::fileBytes(path("log.json"))).object();
        QCOMPARE(root.keys(), (QStringList{"rows", "summary", "titles"}));
        QCOMPARE(root.value("titles").toArray().size(), 16);
        QCOMPARE(root.value("summary").toVariant().toStringList(), expect::summary("2 of 2", "10,00", 0, 2));
        const QJsonArray rows = root.value("rows").toArray();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).toObject().value("values").toArray().at(3).toString(), QString("10,00"));
        const QJsonObject second = rows.at(1).toObject();
        QCOMPARE(second.value("values").toArray().at(3).toString(), QString("abc"));
        QCOMPARE(second.value("marked").toArray(), (QJsonArray{QJsonArray{1, 2}, QJsonArray{1, 3}}));
        QCOMPARE(second.value("messages").toVariant().toStringList(), (QStringList{
            "<span style=\"color:#e73d4a;\">LINE 2: Error. <span style=\"font-weight:bold;\">To Acc"
            "</span> must be 10 characters</span>",
            "<span style=\"color:#e73d4a;\">LINE 2: Error. Invalid amount</span>"}));
    }

    // RTGS skips the LLG row; a typed minimum wins over the stored one (fresh
    // file: 500.000.001); LLG is the default clearing, named in the header.
    void othersModeUsesClearingAndLimits()
    {
        transfer({wdkRow("REF", "999", "RTG"), wdkRow("REF", "5", "LLG"), wdkRow("REF", "1000", "RTG")});
        const Run r = run("transfer", words("--mode others --clearing rtgs --min 1.000"));
        QCOMPARE(r.status, 1);
        QCOMPARE(lines(r.out), (expect::summary("2 of 3", "1.999,00", 0, 1) + QStringList{separator,
                     errorText(1, "RTGS amount below min limit 1.000")}));
        QCOMPARE(lines(run("transfer", words("--mode others --clearing rtgs")).out).mid(5),
                 (QStringList{errorText(1, "RTGS amount below min limit 500.000.001"),
                              errorText(2, "RTGS amount below min limit 500.000.001")}));
        QCOMPARE(run("transfer", words("--mode others")).status, 0);
        QVERIFY(upload().value(0).endsWith("|00001|LLG|IDR|"));
    }

    // Six columns: the stored columns 7 to 12 are beyond the sheet, so not
    // mapped and not checked.
    void columnsBeyondTheSheetAreNotMapped()
    {
        transfer({});
        QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", {{"Ref"}, wdkRow("REF1", "10").mid(0, 6)}));
        QCOMPARE(run("transfer").status, 0);
        QCOMPARE(upload().value(1), QString("1|00001|REF1|1234567890|0987654321|10.00|||||||||||||"));
    }

    // Without --settings, kova.ini beside the executable. The upload file is
    // written but the log is not where it was asked for: a script that
    // retries on 2 must not send the batch again.
    void settingsBesideTheExecutableAndUnwritableReport()
    {
        QTemporaryDir programDir;
        const QString program = programDir.filePath("kova-export");
        QVERIFY(QFile::copy(KOVA_EXPORT_PATH, program));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        transfer({wdkRow("REF1", "10")});
        QVERIFY(QFile::rename(path("kova.ini"), programDir.filePath("kova.ini")));
        const Run r = runProgram(program, {"transfer", "--source", path("book.xlsx"), "--sheet", "Batch", "--dest",
                                           path("out.txt"), "--report", path("no/log.json")});
        QCOMPARE(r.status, 3);
        QCOMPARE(r.err, "Done!\nUpload file written, but unable to write report " + path("no/log.json") + '\n');
        QCOMPARE(upload().size(), 2);
        QCOMPARE(QSettings(programDir.filePath("kova.ini"), QSettings::IniFormat).value("Transfer/HeaderID").toInt(), 8);
    }

    // Runs started together on one settings file each reserve their own
    // Header ID.
    void concurrentRunsTakeTheirOwnHeaderId()
    {
        transfer({wdkRow("REF1", "10")});
        QList<QProcess*> processes;
        for (int i = 0; i < 6; ++i) {
            processes.append(new QProcess(this));
            processes.last()->start(KOVA_EXPORT_PATH, {"transfer", "--source", path("book.xlsx"), "--sheet", "Batch",
                                    "--dest", path(QString("out%1.txt").arg(i)), "--settings", path("kova.ini"),
                                    "--allow-duplicate"});
        }
        QStringList ids;
        for (int i = 0; i < 6; ++i) {
            QVERIFY(processes[i]->waitForFinished(120000));
            QCOMPARE(processes[i]->exitCode(), 0);
            ids.append(QString(expect::fileBytes(path(QString("out%1.txt").arg(i))).mid(5, 8)));
            delete processes[i];
        }
        ids.sort();
        QCOMPARE(ids, (QStringList{"00000007", "00000008", "00000009", "00000010", "00000011", "00000012"}));
        QCOMPARE(stored("Transfer/HeaderID"), QString("13"));
    }

    // A run stopped while creating a lock file leaves it empty; the next run
    // takes it over at once instead of waiting on it.
    void emptyLockFilesDoNotStall()
    {
        transfer({wdkRow("REF1", "10")});
        for (const char* lock : {"kova.ini.lock", "kova.ini.headerid.lock"})
            QVERIFY(QFile(path(lock)).open(QIODevice::WriteOnly));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(run("transfer").status, 0);
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(stored("Transfer/HeaderID"), QString("8"));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("message");

        QTest::newRow("transfer never saved") << "transfer" << QStringList{"--settings", path("new.ini")}
                                              << "Trx Ref # can not be empty";
        QTest::newRow("header id 0") << "transfer" << words("--header-id 0") << "Invalid Header ID";
        QTest::newRow("source with a tab") << "transfer" << QStringList{"--source", path("book.xlsx\t")}
                                           << "Invalid file name";
        QTest::newRow("report is the source") << "transfer" << QStringList{"--report", path("book.xlsx")} << onInput;
        QTest::newRow("report is the destination") << "transfer" << QStringList{"--report", path("out.txt")} << onInput;
        QTest::newRow("report is the settings") << "transfer" << QStringList{"--report", path("./kova.ini")} << onInput;
        QTest::newRow("credit without account") << "credit" << QStringList{} << "Source Account has not been defined";
        QTest::newRow("collection account beyond table") << "collection" << words("--account 3")
                                                         << "Credited Account has not been defined";
        QTest::newRow("company code, two lines") << "payroll" << words("--account 2")
            << "Company Code must be in the format 1234/56789/ABCD\n(4 numeric / 5 numeric/ 4 letters)";
    }

    // Each refusal is the window's message box text alone; the log stays empty
    // and what the run reads is left as it was.
    void refusals()
    {
        QFETCH(QString, type);
        QFETCH(QStringList, options);
        QFETCH(QString, message);

        transfer({wdkRow("REF1", "10")});
        for (const char* group : {"Credit", "Collection", "Payroll"})
            expect::writeAccounts(path("kova.ini"), group, {{"1234567890", "1234/56789/ABCD"}, {"1234567890", "1234/5678/ABCD"}});
        const QByteArray book = expect::fileBytes(path("book.xlsx")), ini = expect::fileBytes(path("kova.ini"));
        QStringList arguments{type, "--source", path("book.xlsx"), "--sheet", "Batch", "--dest", path("out.txt"),
                              "--settings", path("kova.ini"), "--report", path("log.json")};
        for (int i = 0; i + 1 < options.size(); i += 2) {
            const int at = arguments.indexOf(options.at(i));
            if (at >= 0)
                arguments[at + 1] = options.at(i + 1);
            else
                arguments << options.at(i) << options.at(i + 1);
        }
        const Run r = runProgram(KOVA_EXPORT_PATH, arguments);
        QCOMPARE(r.status, 2);
        QCOMPARE(r.out, QString());
        QCOMPARE(r.err, message + '\n');
        QVERIFY(!QFile::exists(path("out.txt")));
        QCOMPARE(expect::fileBytes(path("book.xlsx")), book);
        QCOMPARE(expect::fileBytes(path("kova.ini")), ini);
        if (!message.startsWith("Report")) {
            const QJsonObject report = QJsonDocument::fromJson(expect::fileBytes(path("log.json"))).object();
            QCOMPARE(report.value("rows"), QJsonValue(QJsonArray()));
            QCOMPARE(report.value("summary"), QJsonValue(QJsonArray()));
        }
    }

    // The Header ID is stored before the upload file is written, or nothing is.
    void unwritableSettingsWritesNothing()
    {
        transfer({wdkRow("REF1", "10")});
        // Readable, but its lock file's name is too long to create, so no write
        // can take (permissions would not stop a superuser).
        const QString locked = path(QString(250, 'k') + ".ini");
        QVERIFY(QFile::rename(path("kova.ini"), locked));
        const Run r = runProgram(KOVA_EXPORT_PATH, {"transfer", "--source", path("book.xlsx"), "--sheet", "Batch",
                                                    "--dest", path("out.txt"), "--settings", locked});
        QCOMPARE(r.status, 2);
        QCOMPARE(lines(r.out).value(0), QString("Total rows processed: 1 of 1"));
        QCOMPARE(r.err, QString("Settings could not be saved\n"));
        QVERIFY(!QFile::exists(path("out.txt")));
        QCOMPARE(QSettings(locked, QSettings::IniFormat).value("Transfer/HeaderID").toInt(), 7);
    }

    void creditAndCollectionOptionsReachTheHeader()
    {
        const auto header = [this](const QString& type, const QVariantList& row, const QVariantMap& mapping,
                                   const QString& options) {
            expect::writeSheet(path("book.xlsx"), "Batch", {row});
            const QString group = type.left(1).toUpper() + type.mid(1);
            expect::writeSettings(path("kova.ini"), group, mapping);
            expect::writeAccounts(path("kova.ini"), group, {{"1111111111", "1234/56789/ABCD"}, {"2222222222", "4321/98765/WXYZ"}});
            const Run r = run(type, words(options));
            return r.status == 0 && r.err == "Done!\n" ? upload().value(0) : r.err;
        };
        QString h = header("credit", {"ANDI", "1234567890", "10", "WDK"},
                           {{"Beneficary", 1}, {"BnfAccount", 2}, {"Amount", 3}, {"Remittance", 4}},
                           "--account 2 --wdk mp --remarks1 FIRST --remarks2 SECOND");
        QCOMPARE(h.size(), 256);
        QCOMPARE(h.left(21), QString("0MP        2222222222"));   // "Immediate On Authorization"
        QCOMPARE(h.mid(22, 8), QString("43218765"));
        QCOMPARE(h.mid(70, 3), QString("WDK"));
        QCOMPARE(h.mid(88, 36), QString("FIRST             SECOND            "));
        h = header("collection", {"ANDI", "1234567890", "10", 1, 0},
                   {{"AccountName", 1}, {"AccountNumber", 2}, {"Amount", 3}, {"Residence", 4}, {"Citizen", 5}},
                   "--account 1 --effective 2026-02-03 --remarks2 R2");
        QCOMPARE(h.size(), 201);
        QCOMPARE(h.left(21), QString("0CO202602031111111111"));
        QCOMPARE(h.mid(70, 36), QString(18, ' ') + "R2" + QString(16, ' '));
    }

    // A batch that pays what an earlier one paid is refused with the earlier
    // batch's text and nothing changes, unless --allow-duplicate is given; one
    // amount changed makes another batch. The history lists them newest first.
    void sameBatchTwice()
    {
        transfer({wdkRow("REF1", "10"), wdkRow("REF2", "20")});
        QCOMPARE(run("transfer").err, QString("Done!\n"));
        const QByteArray first = expect::fileBytes(path("out.txt"));
        Run history = runProgram(KOVA_EXPORT_PATH, {"history", "--settings", path("kova.ini")});
        QCOMPARE(history.status, 0);
        const QStringList fields = history.out.split('\t');
        QCOMPARE(fields.mid(1), (QStringList{"Auto Transfer", "7", "2", "30,00", path("out.txt") + '\n'}));

        Run r = run("transfer");
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err, "These 2 payments (total 30,00) were already written on " + fields.first() + " to "
                            + path("out.txt") + " with Header ID 7. Write them again?\n");
        QCOMPARE(expect::fileBytes(path("out.txt")), first);
        QCOMPARE(QDir(m_dir.path()).entryList({"out.txt*"}, QDir::Files | QDir::Hidden), QStringList{"out.txt"});
        QCOMPARE(stored("Transfer/HeaderID"), QString("8"));
        r = run("transfer", {"--allow-duplicate"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString("Done!\n"));
        QCOMPARE(upload().value(0).left(13), QString("0|FT|00000008"));

        transfer({wdkRow("REF1", "10"), wdkRow("REF2", "20.01")});
        QCOMPARE(run("transfer").status, 0);
        QStringList written;
        for (const QString& line : lines(runProgram(KOVA_EXPORT_PATH, {"history", "--settings", path("kova.ini")}).out))
            written << line.section('\t', 2, 4);
        QCOMPARE(written, (QStringList{"7\t2\t30,01", "8\t2\t30,00", "7\t2\t30,00"}));
    }

    // The template's header row names every field in order, and with
    // --save-mapping a workbook filled from it exports as it is.
    void templateMapsEveryField()
    {
        const Run r = runProgram(KOVA_EXPORT_PATH, {"template", "payroll", "--dest", path("t.xlsx"), "--save-mapping",
                                                    "--settings", path("kova.ini")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out + r.err, QString());
        xlsx::Document book(path("t.xlsx"));
        QVERIFY(book.selectSheet("Payroll"));
        QVariantList captions;
        QStringList expected;
        for (const kova::FieldSpec& column : kova::descriptorOf(kova::BatchType::Payroll).fields) {
            captions << kova::cellText(book, 1, captions.size() + 1);
            expected << column.caption;
        }
        QCOMPARE(QVariant(captions).toStringList(), expected);

        QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch",
                                   {captions, {QDate(2026, 3, 2), "ANDI", "0012345678", "10", "E1", "D1"}}));
        expect::writeAccounts(path("kova.ini"), "Payroll", {{"1111111111", "1234/56789/ABCD"}});
        // Today is outside the sheet: with the default date range nothing
        // passes, and an empty batch is never written.
        earlierBatch();
        const Run empty = run("payroll", words("--account 1"));
        QCOMPARE(empty.status, 2);
        QCOMPARE(lines(empty.out), (expect::summary("0 of 1", "0,00", 0, 0) + QStringList{separator}));
        QCOMPARE(empty.err, QString("No rows to export\n"));
        QCOMPARE(upload(), QStringList{"earlier batch"});
        const Run exported = run("payroll", words("--account 1 --from 2026-03-02 --to 2026-03-02 --effective 2026-02-03 "
                                                  "--holiday after"));
        QCOMPARE(exported.status, 0);
        QCOMPARE(lines(exported.out).value(0), QString("Total rows processed: 1 of 1"));
        // Effective day, account, then "1" for "After Holiday"; account, amount,
        // employee ID, name and department each from their column.
        QCOMPARE(upload().value(0).left(40), QString(11, ' ') + "123406789ABCD0301111111111101");
        QVERIFY(upload().value(0).endsWith("022026"));
        QCOMPARE(upload().value(1), "0" + QString("0012345678") + "000000000001000" + "E1" + QString(8, ' ') + "ANDI"
                                        + QString(26, ' ') + "D1  ");
    }

    // One row per kind of parse rule.
    void badUsage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("problem");

        const QString full = " --source b.xlsx --sheet S --dest o.txt ";
        QTest::newRow("nothing") << QStringList{} << "missing TYPE";
        QTest::newRow("unknown type") << words("debit" + full) << "unknown type: debit";
        QTest::newRow("unknown option") << words("transfer" + full + "--fast") << "Unknown option 'fast'.";
        QTest::newRow("missing source") << words("transfer --sheet S --dest o") << "missing --source";
        QTest::newRow("option without value") << words("transfer" + full + "--from") << "Missing value after '--from'.";
        QTest::newRow("no such day") << words("transfer" + full + "--from 2026-02-30")
                                     << "--from: not a date YYYY-MM-DD: 2026-02-30";
        QTest::newRow("bad mode") << words("transfer" + full + "--mode WDK") << "--mode must be one of wdk|others: WDK";
        QTest::newRow("clearing in wdk mode") << words("transfer" + full + "--clearing rtgs")
                                              << "--clearing needs --mode others";
        QTest::newRow("limit not a number") << words("transfer" + full + "--mode others --min 1,000")
                                            << "--min: not a number: 1,000";
        QTest::newRow("limit beyond 64 bits") << words("transfer" + full + "--mode others --max 18.446.744.073.709.551.616")
                                              << "--max: not a number: 18.446.744.073.709.551.616";
        QTest::newRow("account 0") << words("credit" + full + "--account 0") << "--account must be a positive integer: 0";
        QTest::newRow("account with line feed") << words("payroll" + full + "--account") + QStringList{"1\n"}
                                                << "--account must be a positive integer: 1\n";
        QTest::newRow("account on transfer") << words("transfer" + full + "--account 1")
                                             << "--account does not apply to transfer";
        QTest::newRow("twice") << words("transfer" + full + "--sheet T") << "--sheet given more than once";
        QTest::newRow("second type") << words("transfer" + full + "credit") << "unexpected argument: credit";
        QTest::newRow("history of a type") << words("history payroll") << "unexpected argument: payroll";
        QTest::newRow("history with source") << words("history --source b.xlsx") << "--source does not apply to history";
        QTest::newRow("template without type") << words("template --dest t.xlsx") << "missing TYPE";
        QTest::newRow("template without dest") << words("template credit") << "missing --dest";
    }

    void badUsage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, problem);
        const Run r = runProgram(KOVA_EXPORT_PATH, arguments);
        QCOMPARE(r.status, 64);
        QCOMPARE(r.out, QString());
        QCOMPARE(r.err, "kova-export: " + problem + '\n' + usage + '\n');
    }
};

QTEST_GUILESS_MAIN(TestKovaExport)
#include "test_kova_export.moc"
