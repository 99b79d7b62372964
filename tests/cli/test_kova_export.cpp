// Runs the built kova-export the way a user or a batch script would and
// checks what reaches the streams, the files and the settings file.
#include "expect.h"

#include <QDate>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString separator = QStringLiteral("-------------------------------------");
const QString usage = QStringLiteral("Usage: kova-export TYPE --source WORKBOOK --sheet SHEET --dest FILE [options]");

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

Run runExport(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(KOVA_EXPORT_PATH), arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QStringList lines(const QString& text)
{
    QStringList list = text.split(QLatin1Char('\n'));
    if (!list.isEmpty() && list.last().isEmpty())
        list.removeLast();
    return list;
}

QString fileText(const QString& path)
{
    return QString::fromUtf8(expect::fileBytes(path));
}

// Plain messages as stdout shows them.
QString errorText(int line, const QString& text)
{
    return QStringLiteral("LINE %1: Error. %2").arg(line).arg(text);
}

} // namespace

class TestKovaExport final : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void transferWritesUploadAndAdvancesHeaderId();
    void transferRowErrorsWriteNothing();
    void transferOptionsOverrideTheForm();
    void dateFilterUsesFromAndTo();
    void othersModeUsesClearingAndLimits();
    void reportHoldsTheWholeLog();
    void columnsBeyondTheSheetAreNotMapped();
    void settingsBesideTheExecutableByDefault();
    void unwritableReportIsRefused();
    void refusals_data();
    void refusals();
    void unwritableSettingsIsNotFinished();
    void creditOptionsReachTheHeader();
    void collectionOptionsReachTheHeader();
    void payrollOptionsReachTheHeader();
    void help();
    void badUsage_data();
    void badUsage();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QStringList base(const QString& type, const QString& dest = QStringLiteral("out.txt")) const;
    void writeTransferWorkbook(const QList<QVariantList>& rows);
    void writeTransferSettings(bool dateFilter = false);

    QTemporaryDir m_dir;
    QDate m_today;
};

void TestKovaExport::init()
{
    QVERIFY(m_dir.isValid());
    for (const QString& name : QDir(m_dir.path()).entryList(QDir::Files))
        QFile::remove(path(name));
    m_today = QDate::currentDate();
}

QStringList TestKovaExport::base(const QString& type, const QString& dest) const
{
    return {type, QStringLiteral("--source"), path("book.xlsx"), QStringLiteral("--sheet"),
            QStringLiteral("Batch"), QStringLiteral("--dest"), path(dest), QStringLiteral("--settings"),
            path("kova.ini")};
}

// Columns: Trx Ref, Date, From Acc, To Acc, Amount, Type, BI Code, Bank,
// Branch, Name, Cust Type, Residence; a header row first.
void TestKovaExport::writeTransferWorkbook(const QList<QVariantList>& rows)
{
    const QVariantList titles{"Ref", "Date", "From", "To", "Amount", "Type", "BI", "Bank", "Branch", "Name", "Cust", "Res"};
    QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", QList<QVariantList>{titles} + rows));
}

void TestKovaExport::writeTransferSettings(bool dateFilter)
{
    QVariantMap values{{"HasColumnHeader", true}, {"HeaderID", 7}, {"CompanyID", "ABCDE12345"}};
    const QStringList keys{"TrxRef", "TrxDate", "FromAcc", "ToAcc", "Amount", "Remittance",
                           "BICode", "Bank", "Branch", "Beneficiary", "CustType", "Residence"};
    for (int i = 0; i < keys.size(); ++i)
        values.insert(keys.at(i), i == 1 && !dateFilter ? 0 : i + 1);
    expect::writeSettings(path("kova.ini"), "Transfer", values);
}

QVariantList wdkRow(const QString& ref, const QString& amount)
{
    return {ref, QVariant(), QStringLiteral("1234567890"), QStringLiteral("0987654321"), amount,
            QStringLiteral("WDK"), QStringLiteral("0140397"), QStringLiteral("BANK"), QStringLiteral("BRANCH"),
            QStringLiteral("NAME"), 1, QStringLiteral("R")};
}

void TestKovaExport::transferWritesUploadAndAdvancesHeaderId()
{
    const QString longRef = QStringLiteral("R").repeated(31);
    // Not a WDK transfer: skipped without trace.
    QVariantList other = wdkRow("SKIPPED", "1");
    other[5] = QStringLiteral("LLG");
    writeTransferWorkbook({wdkRow("REF1", "1500000.5"),
                           wdkRow(longRef, QStringLiteral("2.005")), other});
    writeTransferSettings();

    const Run run = runExport(base("transfer") << "--effective"
                                                              << "2026-01-05");
    QCOMPARE(run.status, 0);
    QCOMPARE(lines(run.out), (expect::summary("2 of 3", "1.500.002,51", 1, 0) + QStringList{
        separator,
        QStringLiteral("LINE 2: Warning. String truncated in Trx Ref. Exceeding 30 characters"),
    }));
    QCOMPARE(run.err, QStringLiteral("Done!\n"));
    const QString rest = QStringLiteral("|||0140397|BANK|BRANCH|NAME|||||1|R|\n");
    QCOMPARE(fileText(path("out.txt")),
             QStringLiteral("0|FT|00000007|||20260105|ABCDE12345|1500002.51|00002|WDK|IDR|\n"
                            "1|00001|REF1|1234567890|0987654321|1500000.50") + rest
                 + QStringLiteral("1|00002|") + longRef.left(30) + QStringLiteral("|1234567890|0987654321|2.01")
                 + rest);
    QVERIFY(!QFile::exists(path("out.txt.details")));

    QSettings settings(path("kova.ini"), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("Transfer/HeaderID")).toInt(), 8);
}

void TestKovaExport::transferRowErrorsWriteNothing()
{
    QVariantList bad = wdkRow("REF2", "1,500");
    bad[2] = QStringLiteral("12345abcde");
    writeTransferWorkbook({wdkRow("REF1", "10"), bad});
    writeTransferSettings();
    {
        QFile earlier(path("out.txt"));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier batch\n");
    }

    const Run run = runExport(base("transfer"));
    QCOMPARE(run.status, 1);
    QCOMPARE(lines(run.out), (expect::summary("2 of 2", "10,00", 0, 2) + QStringList{
        separator,
        errorText(2, QStringLiteral("Invalid characters found in From Acc")),
        errorText(2, QStringLiteral("Invalid amount")),
    }));
    QCOMPARE(run.err, QStringLiteral("ERROR!\n"));
    QCOMPARE(fileText(path("out.txt")), QStringLiteral("earlier batch\n"));
    QVERIFY(!QFile::exists(path("out.txt.details")));
    QSettings settings(path("kova.ini"), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("Transfer/HeaderID")).toInt(), 7);
}

void TestKovaExport::transferOptionsOverrideTheForm()
{
    writeTransferWorkbook({wdkRow("REF1", "10")});
    writeTransferSettings();

    const Run run = runExport(base("transfer")
                              << "--header-id" << "42"
                              << "--corporate-id" << " CORP00001");
    QCOMPARE(run.status, 0);
    QCOMPARE(lines(fileText(path("out.txt"))).value(0),
             QStringLiteral("0|FT|00000042|||") + m_today.toString(QStringLiteral("yyyyMMdd"))
                 + QStringLiteral("| CORP00001|10.00|00001|WDK|IDR|"));
    // The stored Header ID is the base of the advance, not the typed one.
    QSettings settings(path("kova.ini"), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("Transfer/HeaderID")).toInt(), 8);
    // Typed values are not saved.
    QCOMPARE(settings.value(QStringLiteral("Transfer/CompanyID")).toString(), QStringLiteral("ABCDE12345"));
}

void TestKovaExport::dateFilterUsesFromAndTo()
{
    QList<QVariantList> rows;
    for (int day : {1, 2, 3}) {
        QVariantList row = wdkRow(QString("REF%1").arg(day), QString::number(day));
        row[1] = QDate(2026, 3, day);
        rows.append(row);
    }
    writeTransferWorkbook(rows);
    writeTransferSettings(true);

    // Today is outside the sheet: with the default range nothing passes.
    Run run = runExport(base("transfer"));
    QCOMPARE(run.status, 0);
    QCOMPARE(lines(run.out).value(0), QStringLiteral("Total rows processed: 0 of 3"));

    run = runExport(base("transfer") << "--from" << "2026-03-02"
                                                    << "--to" << "2026-03-03");
    QCOMPARE(run.status, 0);
    QCOMPARE(lines(run.out).mid(0, 2), (QStringList{QStringLiteral("Total rows processed: 2 of 3"),
                                                    QStringLiteral("Total amounts: 5,00")}));
}

void TestKovaExport::othersModeUsesClearingAndLimits()
{
    const auto others = [](const QString& type, const QString& amount) {
        return QVariantList{QStringLiteral("REF"), QVariant(), QStringLiteral("1234567890"),
                            QStringLiteral("0987654321"), amount, type, QStringLiteral("0140397"),
                            QStringLiteral("BANK"), QStringLiteral("BRANCH"), QStringLiteral("NAME"), 1,
                            QStringLiteral("R")};
    };
    writeTransferWorkbook({others(QStringLiteral("RTG"), QStringLiteral("999")),
                           others(QStringLiteral("LLG"), QStringLiteral("5")),
                           others(QStringLiteral("RTG"), QStringLiteral("1000"))});
    writeTransferSettings();

    // RTGS skips the LLG row; the typed minimum, not the stored one, applies.
    const Run run = runExport(base("transfer")
                              << "--mode" << "others" << "--clearing"
                              << "rtgs" << "--min" << "1.000");
    QCOMPARE(run.status, 1);
    QCOMPARE(lines(run.out), (expect::summary("2 of 3", "1.999,00", 0, 1) + QStringList{
        separator,
        errorText(1, QStringLiteral("RTGS amount below min limit 1.000")),
    }));

    // Without --min the stored RTGS minimum (fresh file: 500.000.001) is used.
    const Run stored = runExport(base("transfer")
                                 << "--mode" << "others"
                                 << "--clearing" << "rtgs");
    QCOMPARE(stored.status, 1);
    QCOMPARE(lines(stored.out).mid(5), (QStringList{
        errorText(1, QStringLiteral("RTGS amount below min limit 500.000.001")),
        errorText(2, QStringLiteral("RTGS amount below min limit 500.000.001")),
    }));

    // LLG in Others mode: the header names the clearing.
    const Run llg = runExport(base("transfer") << "--mode" << "others");
    QCOMPARE(llg.status, 0);
    QVERIFY(lines(fileText(path("out.txt"))).value(0).endsWith(QStringLiteral("|00001|LLG|IDR|")));
}

void TestKovaExport::reportHoldsTheWholeLog()
{
    QVariantList bad = wdkRow("REF2", "abc");
    bad[3] = QStringLiteral("123");
    writeTransferWorkbook({wdkRow("REF1", "10"), bad});
    writeTransferSettings();

    const Run run = runExport(base("transfer") << "--report"
                                                              << path("log.json"));
    QCOMPARE(run.status, 1);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(fileText(path("log.json")).toUtf8(), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject root = doc.object();
    QCOMPARE(root.keys(), (QStringList{"rows", "summary", "titles"}));
    QCOMPARE(root.value("titles").toArray().size(), 16);
    QCOMPARE(root.value(QStringLiteral("summary")).toVariant().toStringList(), (QStringList{
        QStringLiteral("Total rows processed: 2 of 2"), QStringLiteral("Total amounts: 10,00"),
        QStringLiteral("Total warnings: 0"), QStringLiteral("Total errors: 2")}));

    const QJsonArray rows = root.value(QStringLiteral("rows")).toArray();
    QCOMPARE(rows.size(), 2);
    const QJsonObject first = rows.at(0).toObject();
    QCOMPARE(first.value(QStringLiteral("values")).toArray().size(), 16);
    QCOMPARE(first.value(QStringLiteral("values")).toArray().at(3).toString(), QStringLiteral("10,00"));
    QCOMPARE(first.value(QStringLiteral("marked")).toArray(), QJsonArray());
    QCOMPARE(first.value(QStringLiteral("messages")).toArray(), QJsonArray());

    const QJsonObject second = rows.at(1).toObject();
    QCOMPARE(second.value(QStringLiteral("values")).toArray().at(3).toString(), QStringLiteral("abc"));
    QCOMPARE(second.value(QStringLiteral("marked")).toArray(),
             (QJsonArray{QJsonArray{1, 2}, QJsonArray{1, 3}}));
    QCOMPARE(second.value(QStringLiteral("messages")).toVariant().toStringList(), (QStringList{
        QStringLiteral("<span style=\"color:#e73d4a;\">LINE 2: Error. <span style=\"font-weight:bold;\">To Acc"
                       "</span> must be 10 characters</span>"),
        QStringLiteral("<span style=\"color:#e73d4a;\">LINE 2: Error. Invalid amount</span>")}));
}

void TestKovaExport::columnsBeyondTheSheetAreNotMapped()
{
    // Six columns: the stored bank code, name, type and residence columns
    // (7 to 12) are beyond the sheet, so not mapped and not checked.
    QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", {{"Ref"}, wdkRow("REF1", "10").mid(0, 6)}));
    writeTransferSettings();

    const Run run = runExport(base("transfer"));
    QCOMPARE(run.status, 0);
    QCOMPARE(lines(fileText(path("out.txt"))).value(1),
             QStringLiteral("1|00001|REF1|1234567890|0987654321|10.00|||||||||||||"));
}

// Without --settings, kova.ini beside the executable, as for the window.
void TestKovaExport::settingsBesideTheExecutableByDefault()
{
    QTemporaryDir programDir;
    QVERIFY(programDir.isValid());
    const QString program = programDir.filePath(QStringLiteral("kova-export"));
    QVERIFY(QFile::copy(QStringLiteral(KOVA_EXPORT_PATH), program));
    QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    writeTransferWorkbook({wdkRow("REF1", "10")});
    writeTransferSettings();
    QVERIFY(QFile::rename(path("kova.ini"), programDir.filePath(QStringLiteral("kova.ini"))));

    QProcess process;
    process.start(program, base("transfer").mid(0, 7));
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(process.readAllStandardError()), QStringLiteral("Done!\n"));
    QCOMPARE(process.exitCode(), 0);
    QSettings settings(programDir.filePath(QStringLiteral("kova.ini")), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("Transfer/HeaderID")).toInt(), 8);
}

// The upload file is written, but the run's log is not where it was asked for.
void TestKovaExport::unwritableReportIsRefused()
{
    writeTransferWorkbook({wdkRow("REF1", "10")});
    writeTransferSettings();
    const QString report = path("no/log.json");

    const Run run = runExport(base("transfer") << "--report" << report);
    QCOMPARE(run.status, 2);
    QCOMPARE(run.err, QStringLiteral("Done!\nUnable to write report ") + report + QLatin1Char('\n'));
    QVERIFY(QFile::exists(path("out.txt")));
}

void TestKovaExport::refusals_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("message");

    const QString unset = QStringLiteral("unset");
    QTest::newRow("transfer never saved") << "transfer" << QStringList{unset}
                                          << "Trx Ref # can not be empty";
    QTest::newRow("unknown sheet") << "transfer"
                                   << QStringList{QStringLiteral("--sheet"), QStringLiteral("Nope")}
                                   << "Error. Unable to select sheet Nope";
    QTest::newRow("header id 0") << "transfer"
                                 << QStringList{QStringLiteral("--header-id"), QStringLiteral("0")}
                                 << "Invalid Header ID";
    QTest::newRow("destination folder missing")
        << "transfer" << QStringList{QStringLiteral("--dest"), path("no/out.txt")}
        << "Failed open file for writing";
    QTest::newRow("credit without account") << "credit" << QStringList{}
                                            << "Source Account has not been defined";
    QTest::newRow("collection account beyond table")
        << "collection" << QStringList{QStringLiteral("--account"), QStringLiteral("3")}
        << "Credited Account has not been defined";
    QTest::newRow("company code, two lines")
        << "payroll" << QStringList{QStringLiteral("--account"), QStringLiteral("2")}
        << "Company Code must be in the format 1234/56789/ABCD\n(4 numeric / 5 numeric/ 4 letters)";
}

// Each refusal is the window's message box text alone; the log stays empty.
void TestKovaExport::refusals()
{
    QFETCH(QString, type);
    QFETCH(QStringList, options);
    QFETCH(QString, message);

    writeTransferWorkbook({wdkRow("REF1", "10")});
    for (const char* group : {"Credit", "Collection", "Payroll"})
        expect::writeAccounts(path("kova.ini"), group, {{"1234567890", "1234/56789/ABCD"}, {"1234567890", "1234/5678/ABCD"}});
    if (options.value(0) == QLatin1String("unset"))
        options.clear();
    else
        writeTransferSettings();

    QStringList arguments = base(type);
    for (int i = 0; i + 1 < options.size(); i += 2) {
        const int at = arguments.indexOf(options.at(i));
        if (at >= 0)
            arguments[at + 1] = options.at(i + 1);
        else
            arguments << options.at(i) << options.at(i + 1);
    }
    arguments << "--report" << path("log.json");
    const Run run = runExport(arguments);
    QCOMPARE(run.status, 2);
    QCOMPARE(run.out, QString());
    QCOMPARE(run.err, message + QLatin1Char('\n'));
    QVERIFY(!QFile::exists(path("out.txt")));
    const QJsonObject report = QJsonDocument::fromJson(fileText(path("log.json")).toUtf8()).object();
    QCOMPARE(report.value(QStringLiteral("rows")), QJsonValue(QJsonArray()));
    QCOMPARE(report.value(QStringLiteral("summary")), QJsonValue(QJsonArray()));
}

void TestKovaExport::unwritableSettingsIsNotFinished()
{
    writeTransferWorkbook({wdkRow("REF1", "10")});
    writeTransferSettings();
    // Readable, but its lock file's name is too long to create, so no write
    // can take (permissions would not stop a superuser).
    const QString locked = path(QString(250, QLatin1Char('k')) + QStringLiteral(".ini"));
    QVERIFY(QFile::copy(path("kova.ini"), locked));
    QStringList arguments = base("transfer");
    arguments[arguments.indexOf(QStringLiteral("--settings")) + 1] = locked;

    const Run run = runExport(arguments);
    QCOMPARE(run.status, 2);
    QCOMPARE(lines(run.out).value(0), QStringLiteral("Total rows processed: 1 of 1"));
    QCOMPARE(run.err, QStringLiteral("Upload file written, but Header ID could not be stored\n"));
    QVERIFY(QFile::exists(path("out.txt")));
    QCOMPARE(QSettings(locked, QSettings::IniFormat).value(QStringLiteral("Transfer/HeaderID")).toInt(), 7);
}

void TestKovaExport::creditOptionsReachTheHeader()
{
    // Name, account, amount, transfer type.
    QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", {{"ANDI", "1234567890", "10", "WDK"}}));
    expect::writeSettings(path("kova.ini"), "Credit", {{"Beneficary", 1}, {"BnfAccount", 2}, {"Amount", 3}, {"Remittance", 4}});
    expect::writeAccounts(path("kova.ini"), "Credit", {{"1111111111", "1234/56789/ABCD"}, {"2222222222", "4321/98765/WXYZ"}});

    Run run = runExport(base("credit") << "--account" << "2"
                                                      << "--wdk" << "mp"
                                                      << "--remarks1" << "FIRST"
                                                      << "--remarks2" << "SECOND");
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QStringLiteral("Done!\n"));
    QString header = lines(fileText(path("out.txt"))).value(0);
    QCOMPARE(header.size(), 256);
    QCOMPARE(header.left(21), QStringLiteral("0MP        2222222222"));   // "Immediate On Authorization"
    QCOMPARE(header.mid(22, 8), QStringLiteral("43218765"));
    QCOMPARE(header.mid(70, 3), QStringLiteral("WDK"));
    QCOMPARE(header.mid(88, 36), QStringLiteral("FIRST             SECOND            "));

    run = runExport(base("credit") << "--account" << "1"
                                                  << "--effective" << "2026-12-31");
    QCOMPARE(run.status, 0);
    header = lines(fileText(path("out.txt"))).value(0);
    QCOMPARE(header.left(21), QStringLiteral("0SP202612311111111111"));
}

void TestKovaExport::collectionOptionsReachTheHeader()
{
    // Name, account, amount, residence, citizen.
    QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", {{"ANDI", "1234567890", "10", 1, 0}}));
    expect::writeSettings(path("kova.ini"), "Collection",
                          {{"AccountName", 1}, {"AccountNumber", 2}, {"Amount", 3}, {"Residence", 4}, {"Citizen", 5}});
    expect::writeAccounts(path("kova.ini"), "Collection", {{"1111111111", "1234/56789/ABCD"}});

    const Run run = runExport(base("collection")
                              << "--account" << "1" << "--effective"
                              << "2026-02-03" << "--remarks2" << "R2");
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QStringLiteral("Done!\n"));
    const QString header = lines(fileText(path("out.txt"))).value(0);
    QCOMPARE(header.size(), 201);
    QCOMPARE(header.left(21), QStringLiteral("0CO202602031111111111"));
    QCOMPARE(header.mid(70, 36), QString(18, QLatin1Char(' ')) + QStringLiteral("R2") + QString(16, QLatin1Char(' ')));
}

void TestKovaExport::payrollOptionsReachTheHeader()
{
    // Name, account, amount.
    QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch", {{"ANDI", "1234567890", "10"}}));
    expect::writeSettings(path("kova.ini"), "Payroll", {{"AccountName", 1}, {"AccountNumber", 2}, {"Amount", 3}});
    expect::writeAccounts(path("kova.ini"), "Payroll", {{"1111111111", "1234/56789/ABCD"}});

    const Run run = runExport(base("payroll")
                              << "--account" << "1" << "--effective"
                              << "2026-02-03" << "--holiday" << "after");
    QCOMPARE(run.status, 0);
    const QString header = lines(fileText(path("out.txt"))).value(0);
    QCOMPARE(header.size(), 70);
    // Effective day, account, then "1" for "After Holiday".
    QCOMPARE(header.left(40), QString(11, QLatin1Char(' ')) + QStringLiteral("123406789ABCD0301111111111101"));
    QVERIFY(header.endsWith(QStringLiteral("022026")));
}

void TestKovaExport::help()
{
    const Run run = runExport({QStringLiteral("--help")});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QString());
    const QStringList text = lines(run.out);
    QCOMPARE(text.value(0), usage);
    QVERIFY(text.value(text.size() - 1).startsWith(QStringLiteral("  64")));
}

void TestKovaExport::badUsage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("problem");

    const QStringList full{QStringLiteral("--source"), QStringLiteral("b.xlsx"), QStringLiteral("--sheet"),
                           QStringLiteral("S"), QStringLiteral("--dest"), QStringLiteral("o.txt")};
    const auto transfer = [&](const QStringList& more) { return QStringList{QStringLiteral("transfer")} + full + more; };
    const auto with = [&](const QString& type, const QStringList& more) { return QStringList{type} + full + more; };

    QTest::newRow("nothing") << QStringList{} << "missing TYPE";
    QTest::newRow("unknown type") << with(QStringLiteral("debit"), {}) << "unknown type: debit";
    QTest::newRow("unknown option") << transfer({QStringLiteral("--fast")})
                                    << "Unknown option 'fast'.";
    QTest::newRow("missing source") << QStringList{QStringLiteral("transfer"), QStringLiteral("--sheet"),
                                                   QStringLiteral("S"), QStringLiteral("--dest"), QStringLiteral("o")}
                                    << "missing --source";
    QTest::newRow("option without value") << transfer({QStringLiteral("--from")})
                                          << "Missing value after '--from'.";
    QTest::newRow("no such day") << transfer({QStringLiteral("--from"), QStringLiteral("2026-02-30")})
                                 << "--from: not a date YYYY-MM-DD: 2026-02-30";
    QTest::newRow("bad mode") << transfer({QStringLiteral("--mode"), QStringLiteral("WDK")})
                              << "--mode must be one of wdk|others: WDK";
    QTest::newRow("clearing in wdk mode") << transfer({QStringLiteral("--clearing"), QStringLiteral("rtgs")})
                                          << "--clearing needs --mode others";
    QTest::newRow("wdk choice in others mode")
        << with(QStringLiteral("credit"), {QStringLiteral("--mode"), QStringLiteral("others"), QStringLiteral("--wdk"),
                                           QStringLiteral("mp")})
        << "--wdk needs --mode wdk";
    QTest::newRow("limit not a number")
        << transfer({QStringLiteral("--mode"), QStringLiteral("others"), QStringLiteral("--min"), QStringLiteral("1,000")})
        << "--min: not a number: 1,000";
    QTest::newRow("account 0") << with(QStringLiteral("credit"), {QStringLiteral("--account"), QStringLiteral("0")})
                               << "--account must be a positive integer: 0";
    QTest::newRow("account with line feed") << with(QStringLiteral("payroll"), {QStringLiteral("--account"),
                                                                               QStringLiteral("1\n")})
                                            << "--account must be a positive integer: 1\n";
    QTest::newRow("limit beyond 64 bits")
        << transfer({QStringLiteral("--mode"), QStringLiteral("others"), QStringLiteral("--max"),
                     QStringLiteral("18.446.744.073.709.551.616")})
        << "--max: not a number: 18.446.744.073.709.551.616";
    QTest::newRow("account on transfer") << transfer({QStringLiteral("--account"), QStringLiteral("1")})
                                         << "--account does not apply to transfer";
    QTest::newRow("remarks on payroll") << with(QStringLiteral("payroll"), {QStringLiteral("--remarks1"),
                                                                           QStringLiteral("x")})
                                        << "--remarks1 does not apply to payroll";
    QTest::newRow("twice") << transfer({QStringLiteral("--sheet"), QStringLiteral("T")})
                           << "--sheet given more than once";
    QTest::newRow("second type") << with(QStringLiteral("transfer"), {QStringLiteral("credit")})
                                 << "unexpected argument: credit";
}

void TestKovaExport::badUsage()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, problem);

    const Run run = runExport(arguments);
    QCOMPARE(run.status, 64);
    QCOMPARE(run.out, QString());
    QCOMPARE(run.err, QStringLiteral("kova-export: ") + problem + QLatin1Char('\n') + usage + QLatin1Char('\n'));
}

QTEST_GUILESS_MAIN(TestKovaExport)
#include "test_kova_export.moc"
