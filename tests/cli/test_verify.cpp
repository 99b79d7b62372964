// kova-export verify on upload files of the four types: as kova-export wrote them, and changed as a
// hand, another program or a transfer changes them.
#include "expect.h"
#include "foursheets.h"
#include "programrun.h"

#include <QCryptographicHash>
#include <QDate>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

Run verify(const QStringList& arguments) { return runProgram(KOVA_EXPORT_PATH, QStringList{"verify"} + arguments); }

QStringList lines(const QString& text) { return text.isEmpty() ? QStringList() : text.chopped(text.endsWith('\n')).split('\n'); }

QString sha256(const QByteArray& bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(); }

const QString separator = QStringLiteral("-------------------------------------");
const QString notWritten = QStringLiteral("Register: no batch written with this SHA-256");

// The upload's lines, without their line feeds.
QList<QByteArray> split(const QByteArray& upload) { return upload.chopped(1).split('\n'); }
QByteArray joined(const QList<QByteArray>& lines) { return lines.join('\n') + '\n'; }

// text written over the upload from line and column (both from 1) on.
QByteArray overwritten(const QByteArray& upload, int line, int column, const QByteArray& text)
{
    QList<QByteArray> all = split(upload);
    all[line - 1].replace(column - 1, text.size(), text);
    return joined(all);
}

QByteArray withoutLine(const QByteArray& upload, int line)
{
    QList<QByteArray> all = split(upload);
    all.removeAt(line - 1);
    return joined(all);
}

// Line cut short by count bytes at its end.
QByteArray shortened(const QByteArray& upload, int line, int count)
{
    QList<QByteArray> all = split(upload);
    all[line - 1].chop(count);
    return joined(all);
}

} // namespace

class TestVerify final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QMap<QString, QByteArray> m_uploads;   // by type, as kova-export wrote them

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QStringList settings() const { return {"--settings", path("kova.ini")}; }
    // The whole output from the register line on.
    static QStringList tail(const QString& out) { return lines(out).mid(lines(out).indexOf(QRegularExpression("^Register: .*"))); }

    void addRow(const char* name, const QByteArray& bytes, const QStringList& problems)
    {
        QTest::newRow(name) << bytes << QStringList{notWritten, "Problems: " + QString::number(problems.size()), separator} + problems;
    }

private slots:
    // One batch of each type written by kova-export, every one recorded in the register beside kova.ini.
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        expect::writeSettings(path("kova.ini"), "Transfer", {{"HeaderID", 7}, {"CompanyID", "ABCDE12345"}});
        for (const char* group : {"Credit", "Collection", "Payroll"})
            expect::writeAccounts(path("kova.ini"), group, {{"1111111111", "1234/56789/ABCD"}});
        for (const Sheet& sheet : sheets()) {
            QProcess templ;
            templ.start(KOVA_EXPORT_PATH, QStringList{"template", sheet.type, "--dest", path("t.xlsx"), "--save-mapping"} + settings());
            QVERIFY(templ.waitForFinished(120000) && templ.exitCode() == 0);
            QVERIFY(expect::writeSheet(path("book.xlsx"), "Batch",
                                       QList<QVariantList>{QVariantList(sheet.titles.cbegin(), sheet.titles.cend())} + sheet.rows));
            QStringList more{"--effective", "2026-12-25"};
            if (sheet.type != "transfer")
                more << "--account" << "1";
            QProcess run;
            run.start(KOVA_EXPORT_PATH, QStringList{sheet.type, "--source", path("book.xlsx"), "--sheet", "Batch", "--dest",
                                                    path(sheet.type + ".txt")} + settings() + more);
            QVERIFY(run.waitForFinished(120000));
            QVERIFY2(run.exitCode() == 0, run.readAllStandardError().constData());
            m_uploads.insert(sheet.type, expect::fileBytes(path(sheet.type + ".txt")));
        }
    }

    void writtenUploadsAreSound_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("facts");
        QTest::newRow("transfer") << "transfer" << QStringList{"Type: Auto Transfer", "Header ID: 7", "Effective date: 2026-12-25"};
        QTest::newRow("credit") << "credit" << QStringList{"Type: Auto Credit", "Effective date: 2026-12-25"};
        QTest::newRow("collection") << "collection" << QStringList{"Type: Auto Collection", "Effective date: 2026-12-25"};
        QTest::newRow("payroll") << "payroll" << QStringList{"Type: Payroll", "Effective date: 2026-12-25"};
    }
    // Each upload as kova-export wrote it is sound, and the register knows it: where and when, and its Header ID.
    void writtenUploadsAreSound()
    {
        QFETCH(QString, type);
        QFETCH(QStringList, facts);
        const QString file = path(type + ".txt");
        const Run r = verify(QStringList{file} + settings());
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QProcess history;
        history.start(KOVA_EXPORT_PATH, QStringList{"history"} + settings());
        QVERIFY(history.waitForFinished(120000));
        QString written;
        for (const QString& line : lines(QString::fromUtf8(history.readAllStandardOutput())))
            if (line.endsWith('\t' + file))
                written = line.section('\t', 0, 0);
        QVERIFY(!written.isEmpty());
        const QString headerId = type == "transfer" ? " with Header ID 7" : "";
        QCOMPARE(lines(r.out), (facts + QStringList{"Records: 2", "Total: 1.500.250,50", "SHA-256: " + sha256(m_uploads.value(type)),
                                                     "Register: written on " + written + " to " + file + headerId, "Problems: 0",
                                                     separator}));
    }

    void changedUploads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        const QByteArray transfer = m_uploads.value("transfer"), credit = m_uploads.value("credit"),
                         collection = m_uploads.value("collection"), payroll = m_uploads.value("payroll");
        const auto crlf = [](QByteArray upload) { return upload.replace("\n", "\r\n"); };
        const QStringList crlfLines{"LINE 1: ends in CR LF", "LINE 2: ends in CR LF", "LINE 3: ends in CR LF"};

        // Transfer: 0|FT|00000007|||20261225|ABCDE12345|1500250.50|00002|WDK|IDR|
        //           1|00001|REF1|1234567890|0987654321|1500000.50|R1||0140397|BANK|BRANCH|NAME|A1||||1|R|
        //           1|00002|REF2|1234567890|1122334455|250.00|||0140397|||SITI|||||2|N|
        QCOMPARE(split(transfer).value(2), QByteArray("1|00002|REF2|1234567890|1122334455|250.00|||0140397|||SITI|||||2|N|"));
        addRow("transfer: a byte of an account", overwritten(transfer, 2, 16, "X"), {"LINE 2: from account 12X4567890 is not 10 digits"});
        addRow("transfer: a byte of an amount", overwritten(transfer, 3, 36, "3"),
               {"LINE 1: total 1500250.50, but the records add up to 1500350.50"});
        addRow("transfer: a record removed", withoutLine(transfer, 2),
               {"LINE 1: record count 00002, but 1 detail record follows", "LINE 1: total 1500250.50, but the records add up to 250.00",
                "LINE 2: sequence number 00002 is not 00001"});
        addRow("transfer: header total", overwritten(transfer, 1, 46, "1"),
               {"LINE 1: total 1500250.51, but the records add up to 1500250.50"});
        addRow("transfer: CR LF", crlf(transfer), crlfLines);
        addRow("transfer: a short record", shortened(transfer, 3, 2), {"LINE 3: has 17 fields, not 18"});
        addRow("transfer: one decimal", QByteArray(transfer).replace("|1500000.50|", "|1500000.5|"),
               {"LINE 2: amount 1500000.5 is not two decimals"});
        addRow("transfer: no closing |", shortened(transfer, 2, 1), {"LINE 2: does not end in |"});
        addRow("transfer: a tab", overwritten(transfer, 2, 59, "\t"), {"LINE 2: control character U+0009 at column 59"});
        addRow("transfer: bytes that are no UTF-8", overwritten(transfer, 2, 59, "\xff"), {"LINE 2: is not UTF-8 text"});
        addRow("transfer: text beyond ASCII", QByteArray(transfer).replace("|SITI|", "|S\xc3\x8dTI|"), {});
        addRow("transfer: Header ID zero", overwritten(transfer, 1, 6, "00000000"), {"LINE 1: Header ID 00000000 is zero"});
        addRow("transfer: Corporate ID short", QByteArray(transfer).replace("ABCDE12345", "ABCDE1234"),
               {"LINE 1: Corporate ID ABCDE1234 is not 10 characters"});
        addRow("transfer: no date", overwritten(transfer, 1, 17, "20261232"), {"LINE 1: effective date 20261232 is not a date"});
        addRow("transfer: leading zero", QByteArray(transfer).replace("|250.00|", "|0250.00|"), {"LINE 3: amount 0250.00 has a leading zero"});
        addRow("transfer: no amount", QByteArray(transfer).replace("|250.00|", "|250,00|"), {"LINE 3: amount 250,00 is not a number"});
        addRow("transfer: amount zero", QByteArray(transfer).replace("|250.00|", "|0.00|"), {"LINE 3: amount 0.00 is zero"});
        addRow("transfer: a sequence number doubled", overwritten(transfer, 3, 7, "1"), {"LINE 3: sequence number 00001 is not 00002"});
        addRow("transfer: WDK account of 9 digits", QByteArray(transfer).replace("|1122334455|", "|112233445|"),
               {"LINE 3: to account 112233445 is not 10 digits"});
        // WDK mode leaves the bank code, customer type and residence to the user; LLG and RTG need them.
        const QByteArray unmapped = QByteArray(transfer).replace("|0140397|||SITI|||||2|N|", "||||SITI|||||||");
        addRow("transfer: WDK without a bank code", unmapped, {});
        addRow("transfer: LLG without a bank code", QByteArray(unmapped).replace("|WDK|", "|LLG|"),
               {"LINE 3: BI code (empty) is not 7 characters", "LINE 3: customer type (empty) is not 1, 2 or 3",
                "LINE 3: residence (empty) is not R or N"});
        addRow("transfer: residence", QByteArray(transfer).replace("|1|R|", "|4|r|"),
               {"LINE 2: customer type 4 is not 1, 2 or 3", "LINE 2: residence r is not R or N"});
        addRow("transfer: remarks too long", QByteArray(transfer).replace("|R1|", "|" + QByteArray(19, 'R') + "|"),
               {"LINE 2: remarks 1 is 19 characters, more than 18"});
        addRow("transfer: a byte order mark", "\xef\xbb\xbf" + transfer, {"LINE 1: starts with a byte order mark"});
        addRow("transfer: an empty line at the end", transfer + "\n", {"LINE 4: is empty"});
        addRow("transfer: no line feed at the end", transfer.chopped(1), {"LINE 3: has no line feed at its end"});
        addRow("transfer: no detail record", split(transfer).first().replace("00002", "00000") + '\n',
               {"LINE 1: no detail record follows the header"});

        // Credit, 256 bytes: the header's total at 46-65, the detail's account at 2-35 and amount at 54-73.
        QCOMPARE(split(credit).value(0).mid(45, 20), QByteArray("00000000001500250.50"));
        addRow("credit: a byte of an account", overwritten(credit, 2, 3, "X"), {"LINE 2: account 1X22334455 is not digits"});
        addRow("credit: a record removed", withoutLine(credit, 2),
               {"LINE 1: record count 00002, but 1 detail record follows",
                "LINE 1: total 00000000001500250.50, but the records add up to 250.00"});
        addRow("credit: header total", overwritten(credit, 1, 65, "1"),
               {"LINE 1: total 00000000001500250.51, but the records add up to 1500250.50"});
        addRow("credit: CR LF", crlf(credit), crlfLines);
        addRow("credit: a short record", shortened(credit, 3, 1), {"LINE 3: is 255 bytes long, not 256"});
        addRow("credit: text beyond ASCII", QByteArray(credit).replace("SITI  ", "S\xc3\x8dTI "),
               {"LINE 3: byte 0xC3 at column 75 is not printable ASCII"});
        addRow("credit: amount one decimal", overwritten(credit, 2, 54, "000000000001500000.5"),
               {"LINE 2: amount 000000000001500000.5 is not two decimals"});
        addRow("credit: clearing code", overwritten(credit, 2, 144, "N"), {"LINE 2: clearing code N is not B"});
        addRow("credit: SP in LLG", overwritten(credit, 1, 71, "LLG"),
               {"LINE 1: SP is for WDK, not LLG", "LINE 2: clearing code B is not N", "LINE 2: columns 254-256 are not 888",
                "LINE 3: clearing code B is not N", "LINE 3: columns 254-256 are not 888"});
        const QByteArray unmappedCredit = overwritten(overwritten(credit, 3, 151, "       "), 3, 252, "  ");
        addRow("credit: WDK without a bank code", unmappedCredit, {});
        QByteArray llg = overwritten(overwritten(unmappedCredit, 1, 2, "MP"), 1, 71, "LLG");
        for (const int line : {2, 3})
            llg = overwritten(overwritten(llg, line, 144, "N"), line, 254, "888");
        addRow("credit: LLG without a bank code", llg,
               {"LINE 3: BI code is blank for LLG", "LINE 3: customer type (blank) is not 1, 2 or 3",
                "LINE 3: residence (blank) is not R or N"});
        addRow("credit: filler", overwritten(credit, 2, 40, "x"), {"LINE 2: columns 36-53 are not spaces"});
        addRow("credit: on authorization", overwritten(credit, 1, 4, "        "), {});

        // Collection, 201 bytes: total at 50-65, account at 2-11, amount at 40-55, residence 127, citizen 128.
        QCOMPARE(split(collection).value(0).mid(49, 16), QByteArray("0000001500250.50"));
        addRow("collection: a byte of an account", overwritten(collection, 2, 2, "X"), {"LINE 2: account X000000001 is not 10 digits"});
        addRow("collection: a record removed", withoutLine(collection, 3),
               {"LINE 1: record count 00002, but 1 detail record follows",
                "LINE 1: total 0000001500250.50, but the records add up to 1500000.50"});
        addRow("collection: header total", overwritten(collection, 1, 65, "1"),
               {"LINE 1: total 0000001500250.51, but the records add up to 1500250.50"});
        addRow("collection: CR LF", crlf(collection), crlfLines);
        addRow("collection: a short record", shortened(collection, 3, 1), {"LINE 3: is 200 bytes long, not 201"});
        addRow("collection: residence", overwritten(collection, 2, 127, "2"), {"LINE 2: residence 2 is not 0 or 1"});
        addRow("collection: closing code", overwritten(collection, 3, 199, "888"), {"LINE 3: columns 199-201 are not 014"});
        addRow("collection: record type", overwritten(collection, 3, 1, "0"), {"LINE 3: record type 0 is not 1"});

        // Payroll, 70 bytes: count at 43-47, total at 48-64, account at 2-11, amount in hundredths at 12-26.
        QCOMPARE(split(payroll).value(0).mid(47, 17), QByteArray("00000001500250.50"));
        addRow("payroll: a byte of an account", overwritten(payroll, 2, 2, "X"), {"LINE 2: account X333333333 is not 10 digits"});
        addRow("payroll: a record removed", withoutLine(payroll, 2),
               {"LINE 1: record count 00002, but 1 detail record follows",
                "LINE 1: total 00000001500250.50, but the records add up to 250.00"});
        addRow("payroll: header total", overwritten(payroll, 1, 64, "1"),
               {"LINE 1: total 00000001500250.51, but the records add up to 1500250.50"});
        addRow("payroll: CR LF", crlf(payroll), crlfLines);
        addRow("payroll: a short record", shortened(payroll, 3, 1), {"LINE 3: is 69 bytes long, not 70"});
        addRow("payroll: amount zero", overwritten(payroll, 2, 12, "000000000000000"), {"LINE 2: amount 000000000000000 is zero"});
        addRow("payroll: amount too large", overwritten(payroll, 2, 12, "100000000000000"),
               {"LINE 2: amount 100000000000000 is above 999999999999.99"});
        addRow("payroll: month 13", overwritten(payroll, 1, 65, "13"), {"LINE 1: effective date 20261325 is not a date"});
        addRow("payroll: company code", overwritten(payroll, 1, 16, "9"),
               {"LINE 1: company code 123496789ABCD is not 4 digits, 0, 4 digits and 4 letters"});
        addRow("payroll: count not digits", overwritten(payroll, 1, 43, "0000x"),
               {"LINE 1: record count 0000x is not 5 digits"});
    }
    // Each change is told on its line, and the register has written no such file.
    void changedUploads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QFile file(path("changed.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
        file.close();
        const Run r = verify(QStringList{path("changed.txt")} + settings());
        QCOMPARE(r.err, QString());
        QCOMPARE(tail(r.out), expected);
        QCOMPARE(r.status, expected.size() > 3 ? 1 : 0);
        QVERIFY2(lines(r.out).contains("SHA-256: " + sha256(bytes)), qPrintable(r.out));
    }

    void unreadableFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");   // none: no such file
        QTest::addColumn<QString>("error");
        const QString upload = " is not an upload file: its first line is no header record of Auto Transfer, Auto Credit, Auto Collection or Payroll\n";
        QTest::newRow("missing") << "missing.txt" << QByteArray() << "Unable to read %1: No such file or directory\n";
        QTest::newRow("folder") << "." << QByteArray() << "Unable to read %1: file to open is a directory\n";
        QTest::newRow("empty") << "empty.txt" << QByteArray("") << "%1" + upload;
        QTest::newRow("text") << "notes.txt" << QByteArray("Payroll December\n0000\n") << "%1" + upload;
        QTest::newRow("one long line") << "long.txt" << QByteArray(3 << 20, '0') << "%1" + upload;
        QTest::newRow("a workbook") << "book.xlsx" << QByteArray() << "%1" + upload;
    }
    // What is no upload file of the four layouts is not checked at all.
    void unreadableFiles()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        if (!bytes.isNull()) {
            QFile file(path(name));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
        }
        const Run r = verify(QStringList{path(name)} + settings());
        QCOMPARE(r.out, QString());
        QCOMPARE(r.err, error.arg(path(name)));
        QCOMPARE(r.status, 2);
    }

    // Without a register, with one kova-export cannot read, and with a batch written before the register
    // kept the SHA-256 of its file: the file's own checks are the same.
    void registerLines()
    {
        const QString file = path("payroll.txt");
        QVERIFY(QDir().mkpath(path("elsewhere")));
        Run r = verify({file, "--settings", path("elsewhere/kova.ini")});
        QCOMPARE(tail(r.out).value(0), "Register: none at " + path("elsewhere/kova-batches.sqlite"));
        QCOMPARE(r.status, 0);
        QVERIFY(QFile::copy(path("kova-batches.sqlite"), path("elsewhere/kova-batches.sqlite")));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "older");
            db.setDatabaseName(path("elsewhere/kova-batches.sqlite"));
            QSqlQuery q(db);
            QVERIFY(db.open() && q.exec("DELETE FROM batch_files"));
        }
        QSqlDatabase::removeDatabase("older");
        r = verify({file, "--settings", path("elsewhere/kova.ini")});
        QCOMPARE(tail(r.out).value(0), notWritten + " (4 recorded without one)");
        QFile garbage(path("elsewhere/kova-batches.sqlite"));
        QVERIFY(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate) && garbage.write(QByteArray(4096, 'Z')) == 4096);
        garbage.close();
        r = verify({file, "--settings", path("elsewhere/kova.ini")});
        QCOMPARE(tail(r.out).mid(0, 2), (QStringList{"Register: cannot be read (file is not a database)", "Problems: 0"}));
        QCOMPARE(r.status, 0);
    }

    // A file of many records saved with CR LF has a problem a line: all are told, in order, past what is held in memory.
    void problemOnEveryLine()
    {
        QByteArray upload = split(m_uploads.value("payroll")).first().replace(42, 5, "00000") + "\r\n";
        const QByteArray record = split(m_uploads.value("payroll")).value(2) + "\r\n";
        const int count = 100000;
        upload.reserve(upload.size() + count * record.size());
        for (int i = 0; i < count; ++i)
            upload += record;
        QFile file(path("many.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(upload) == upload.size());
        file.close();
        const Run r = verify(QStringList{path("many.txt")} + settings());
        QCOMPARE(r.status, 1);
        QStringList expected{notWritten, "Problems: 100003", separator, "LINE 1: ends in CR LF",
                             "LINE 1: record count 00000, but 100000 detail records follow",
                             "LINE 1: total 00000001500250.50, but the records add up to 25000000.00"};
        for (int line = 2; line <= count + 1; ++line)
            expected.append(QString("LINE %1: ends in CR LF").arg(line));
        QCOMPARE(tail(r.out), expected);
    }

    // The command line: --help tells of verify, FILE is needed, and only --settings is taken.
    void commandLine()
    {
        Run r = verify({"--help"});
        QCOMPARE(r.status, 0);
        QVERIFY(lines(r.out).contains("  or:  kova-export verify FILE [--settings FILE]"));
        const QString usage = "Usage: kova-export TYPE --source WORKBOOK --sheet SHEET --dest FILE [options]\n";
        r = verify({});
        QCOMPARE(QString::number(r.status) + r.err, "64kova-export: missing FILE\n" + usage);
        r = verify({path("payroll.txt"), "--dest", "x"});
        QCOMPARE(QString::number(r.status) + r.err, "64kova-export: Unknown option 'dest'.\n" + usage);
        r = verify({path("payroll.txt"), path("credit.txt")});
        QCOMPARE(QString::number(r.status) + r.err, "64kova-export: unexpected argument: " + path("credit.txt") + "\n" + usage);
        // The options may come first, as they may for an export.
        const Run after = verify(QStringList{path("payroll.txt")} + settings());
        const Run before = runProgram(KOVA_EXPORT_PATH, settings() + QStringList{"verify", path("payroll.txt")});
        QCOMPARE(QString::number(before.status) + before.out + before.err,
                 QString::number(after.status) + after.out + after.err);
        QCOMPARE(after.status, 0);
    }
};

QTEST_GUILESS_MAIN(TestVerify)
#include "test_verify.moc"
