#include "core/registry.h"
#include "register/batchfingerprint.h"
#include "register/batchguard.h"
#include "register/batchregister.h"
#include "register/batchtexts.h"
#include "register/templateworkbook.h"
#include "xlsx/document.h"
#include "xlsx/ziparchive.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using namespace kova;

Q_DECLARE_METATYPE(kova::BatchType)

namespace {

const QString settingsName = "kova.ini";
const QDateTime march5 = QDateTime(QDate(2026, 3, 5), QTime(14, 30), Qt::LocalTime).toUTC();

BatchEntry entry(const QString& type, const QString& headerId, const QString& fingerprint)
{
    return {march5, type, headerId, "/data/out/batch.txt", 2, 300050, fingerprint};
}

struct Payment
{
    QString account, amount, name, reference;
};

// A detail record of type laid out as the bank reads it; n is its sequence
// number, which only the transfer record carries.
QString detail(BatchType type, const Payment& p, int n)
{
    const auto left = [](const QString& s, int w) { return s.leftJustified(w, ' ', true); };
    const auto zeros = [](const QString& s, int w) { return s.rightJustified(w, '0'); };
    switch (type) {
    case BatchType::Transfer:
        return "1|" + zeros(QString::number(n), 5) + "|" + p.reference + "|1234567890|" + p.account + "|" + p.amount
            + "||||||" + p.name + "|||||||";
    case BatchType::Credit:
        return "1" + left(p.account, 34) + left({}, 18) + zeros(p.amount, 20) + left(p.name, 70) + "B      0140397    "
            + left({}, 36) + left(p.reference, 18) + left({}, 36) + "1R014";
    case BatchType::Collection:
        return "1" + left(p.account, 10) + left({}, 24) + "0000" + zeros(p.amount, 16) + left(p.name, 35)
            + left(p.reference, 18) + left({}, 18) + "11" + left({}, 70) + "014";
    case BatchType::Payroll:
        return "0" + left(p.account, 10) + zeros(QString(p.amount).remove('.'), 15) + left(p.reference, 10)
            + left(p.name, 30) + "IT  ";
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(QVector<Payment>)

namespace {

QString fingerprint(BatchType type, const QVector<Payment>& payments, int firstNumber)
{
    BatchFingerprint print(type);
    for (int i = 0; i < payments.size(); ++i)
        print.addDetail(detail(type, payments.at(i), firstNumber + i));
    return print.hex();
}

QByteArray part(const QString& xlsxPath, const char* name)
{
    QByteArray bytes;
    xlsx::ZipArchive(xlsxPath).stream(name, [&](const char* data, std::size_t size) {
        bytes.append(data, int(size));
        return true;
    });
    return bytes;
}

// The number format of every cellXfs entry, by position.
QStringList cellFormats(const QByteArray& stylesXml)
{
    QMap<QString, QString> codes{{"0", "General"}, {"2", "0.00"}, {"49", "@"}};
    QStringList formats;
    bool inCellXfs = false;
    for (QXmlStreamReader xml(stylesXml); !xml.atEnd();) {
        xml.readNext();
        const auto a = xml.attributes();
        if (xml.isStartElement() && xml.name() == QString("numFmt"))
            codes[a.value("numFmtId").toString()] = a.value("formatCode").toString();
        else if (xml.name() == QString("cellXfs"))
            inCellXfs = xml.isStartElement();
        else if (inCellXfs && xml.isStartElement() && xml.name() == QString("xf"))
            formats.append(codes.value(a.value("numFmtId").toString()));
    }
    return formats;
}

} // namespace

class TestRegister final : public QObject
{
    Q_OBJECT

private slots:
    void recordsAndFindsBatches()
    {
        QTemporaryDir dir;
        const QString path = registerPathFor(dir.filePath(settingsName));
        QCOMPARE(path, dir.filePath("kova-batches.sqlite"));
        BatchRegister batches(path);
        BatchEntry later = entry("Auto Transfer", "8", "aa");
        later.destination = "relative.txt";
        QVERIFY(batches.record(entry("Auto Transfer", "7", "aa")) && batches.record(entry("Auto Credit", "", "aa"))
                && batches.record(later));
        QCOMPARE(batches.findSame("Auto Transfer", "aa")->headerId, QString("8"));
        QVERIFY(!batches.findSame("Payroll", "aa") && !batches.findSame("Auto Transfer", "ab"));
        QCOMPARE(historyText(batches.history()),
                 "2026-03-05 14:30\tAuto Transfer\t8\t2\t3.000,50\t" + QDir::current().filePath("relative.txt")
                     + "\n2026-03-05 14:30\tAuto Credit\t\t2\t3.000,50\t/data/out/batch.txt"
                       "\n2026-03-05 14:30\tAuto Transfer\t7\t2\t3.000,50\t/data/out/batch.txt\n");
        QCOMPARE(batches.problem(), QString());

        BatchEntry huge = entry("Auto Credit", "", "bb");
        huge.total = Cents(std::numeric_limits<qint64>::max()) + 1;
        QVERIFY(!batches.record(huge));
        QCOMPARE(batches.problem(), QString("Batch register could not be written: the total 9223372036854775808 is too large"));
        QCOMPARE(batches.history().size(), 3);
    }

    void asksBeforeWritingTheSamePaymentsAgain()
    {
        QTemporaryDir dir;
        const QString settings = dir.filePath(settingsName);
        const QVector<Payment> rows = {{"0012345678", "1000.50", "ANI", "R1"}, {"0087654321", "2000.00", "BUDI", "R2"}};
        const auto guardOver = [&](const QVector<Payment>& payments, BatchType type) {
            auto guard = std::make_unique<BatchGuard>(settings, type);
            for (int i = 0; i < payments.size(); ++i)
                guard->addDetail(detail(type, payments.at(i), i + 1));
            return guard;
        };
        QVERIFY(!QFile::exists(registerPathFor(settings)));
        auto first = guardOver(rows, BatchType::Transfer);
        QCOMPARE(first->duplicateQuestion(), QString());
        QCOMPARE(first->written("7", dir.filePath("a.txt"), 300050), QString());
        QCOMPARE(guardOver(rows, BatchType::Payroll)->written(QString(), dir.filePath("p.txt"), 300050), QString());

        const QVector<BatchEntry> written = BatchRegister(registerPathFor(settings)).history();
        const auto when = [&](int i) { return written.at(i).writtenAt.toLocalTime().toString("yyyy-MM-dd HH:mm"); };
        QCOMPARE(guardOver(rows, BatchType::Transfer)->duplicateQuestion(),
                 "These 2 payments (total 3.000,50) were already written on " + when(1) + " to "
                     + dir.filePath("a.txt") + " with Header ID 7. Write them again?");
        QCOMPARE(guardOver({rows.at(1), rows.at(0)}, BatchType::Payroll)->duplicateQuestion(),
                 "These 2 payments (total 3.000,50) were already written on " + when(0) + " to "
                     + dir.filePath("p.txt") + ". Write them again?");
        QCOMPARE(guardOver({rows.at(0)}, BatchType::Transfer)->duplicateQuestion(), QString());
        // A batch without payments pays nothing twice.
        QCOMPARE(guardOver({}, BatchType::Transfer)->written("8", dir.filePath("e.txt"), 0), QString());
        QCOMPARE(guardOver({}, BatchType::Transfer)->duplicateQuestion(), QString());
    }

    void unusableRegisterIsReported_data()
    {
        QTest::addColumn<QString>("setup");     // what stands where the register belongs
        QTest::addColumn<QString>("problem");   // empty: the register opens
        const QString notOpened = QString("Batch register could not be opened: ");
        QTest::newRow("empty file") << "empty" << QString();
        QTest::newRow("garbage") << "garbage" << notOpened + "file is not a database";
        QTest::newRow("folder") << "folder" << notOpened + "unable to open database file";
        QTest::newRow("newer schema") << "newer" << notOpened + "it was made by a newer KOVA (schema version 9)";
    }

    void unusableRegisterIsReported()
    {
        QFETCH(QString, setup);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString settings = dir.filePath(settingsName);
        const QString path = registerPathFor(settings);
        QByteArray bytes;
        if (setup == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (setup == "newer") {
            {
                QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "newer");
                db.setDatabaseName(path);
                QVERIFY(db.open());
                QSqlQuery("PRAGMA user_version = 9", db);
            }
            QSqlDatabase::removeDatabase("newer");
        } else {
            bytes = setup == "garbage" ? QByteArray(4096, '\x5a') : QByteArray();
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }

        BatchGuard guard(settings, BatchType::Payroll);
        guard.addDetail("record");
        QCOMPARE(guard.duplicateQuestion(), QString());
        QCOMPARE(guard.written(QString(), dir.filePath("p.txt"), 100), problem);
        QCOMPARE(BatchRegister(path).history().size(), problem.isEmpty() ? 1 : 0);
        QFile file(path);   // garbage is never overwritten
        QVERIFY(setup != "garbage" || (file.open(QIODevice::ReadOnly) && file.readAll() == bytes));
    }

    void fingerprintKeepsOnlyThePayments_data()
    {
        QTest::addColumn<BatchType>("type");
        QTest::addColumn<QVector<Payment>>("second");
        QTest::addColumn<int>("firstNumber");
        QTest::addColumn<bool>("same");
        const Payment a{"0012345678", "1000.50", "ANI", "INV-1"};
        const Payment b{"0087654321", "2000.00", "BUDI", "INV-2"};
        const auto with = [](Payment p, QString Payment::*field, const QString& value) {
            p.*field = value;
            return p;
        };
        for (const char* word : {"transfer", "credit", "collection", "payroll"}) {
            const BatchType type = descriptorForKeyword(QString::fromLatin1(word))->type;
            const auto row = [&](const char* name, const QVector<Payment>& second, int firstNumber, bool same) {
                QTest::addRow("%s: %s", word, name) << type << second << firstNumber << same;
            };
            row("renumbered", {a, b}, 41, true);
            row("reordered", {b, a}, 1, true);
            row("amount", {with(a, &Payment::amount, "1000.51"), b}, 1, false);
            row("account", {with(a, &Payment::account, "0012345679"), b}, 1, false);
            row("name", {a, with(b, &Payment::name, "BUDY")}, 1, false);
            row("reference", {a, with(b, &Payment::reference, "INV-3")}, 1, false);
            row("repeated", {a, b, b}, 1, false);
        }
    }

    void fingerprintKeepsOnlyThePayments()
    {
        QFETCH(BatchType, type);
        QFETCH(QVector<Payment>, second);
        QFETCH(int, firstNumber);
        QFETCH(bool, same);
        const QString print = fingerprint(type, {{"0012345678", "1000.50", "ANI", "INV-1"}, {"0087654321", "2000.00", "BUDI", "INV-2"}}, 1);
        QCOMPARE(print.size(), 64);
        QCOMPARE(fingerprint(type, second, firstNumber) == print, same);
    }

    void templateKeepsEachFieldAsTyped_data()
    {
        // Rows named by the kova-export TYPE word; columns as "caption [number format]".
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QStringList>("columns");
        const auto cols = [](const char* list) { return QString::fromLatin1(list).split(QLatin1Char('|')); };
        QTest::newRow("transfer") << "Auto Transfer" << cols(
            "Trx Ref # [@]|Date [yyyy-mm-dd]|From Acc # [@]|To Acc # [@]|Amount [0.00]|Remarks 1 [@]|Remarks 2 [@]|"
            "Transfer Type [@]|BI Code [@]|Bank Name [@]|Bank Branch [@]|Name [@]|Address 1 [@]|Address 2 [@]|"
            "Address 3 [@]|Address 4 [@]|Cust Type [@]|Cust Residence [@]");
        QTest::newRow("credit") << "Auto Credit" << cols(
            "Trx Date [yyyy-mm-dd]|Beneficiary Name [@]|Acc # [@]|BI Code [@]|Bank [@]|Branch [@]|Amount [0.00]|"
            "Transfer Type [@]|Remarks 1 [@]|Remarks 2 [@]|Cust Type [@]|Cust Residence [@]");
        QTest::newRow("collection") << "Auto Collection" << cols(
            "Trx Date [yyyy-mm-dd]|Acc Name [@]|Acc # [@]|Amount [0.00]|Remarks 1 [@]|Remarks 2 [@]|"
            "Residence Status [@]|Citizen Status [@]");
        QTest::newRow("payroll") << "Payroll" << cols(
            "Trx Date [yyyy-mm-dd]|Employee Name [@]|Acc # [@]|Amount [0.00]|Employee ID [@]|Department [@]");
    }

    void templateKeepsEachFieldAsTyped()
    {
        const BatchType type = descriptorForKeyword(QString::fromLatin1(QTest::currentDataTag()))->type;
        QFETCH(QString, sheet);
        QFETCH(QStringList, columns);
        QTemporaryDir dir;
        const QString path = dir.filePath("template.xlsx");
        QCOMPARE(writeTemplate(type, path), QString());

        xlsx::Document book(path);
        QCOMPARE(book.sheetNames(), QStringList{sheet});
        QVERIFY(book.selectSheet(sheet));
        QCOMPARE(book.dimension().lastRow(), 1);

        // Each column's own format, the one a cell typed into it takes.
        const QStringList formats = cellFormats(part(path, "xl/styles.xml"));
        QStringList actual;
        bool frozen = false;
        for (QXmlStreamReader xml(part(path, "xl/worksheets/sheet1.xml")); !xml.atEnd();) {
            xml.readNext();
            const auto a = xml.attributes();
            if (xml.isStartElement() && xml.name() == QString("col")) {
                for (int c = a.value("min").toInt(); c <= a.value("max").toInt(); ++c) {
                    const QString caption = book.read(1, c).toString();
                    QVERIFY2(a.value("width").toDouble() >= caption.size(), qPrintable(caption));
                    actual.append(caption + " [" + formats.value(a.value("style").toInt()) + "]");
                }
            }
            if (xml.isStartElement() && xml.name() == QString("pane"))
                frozen = a.value("ySplit") == QString("1") && a.value("state") == QString("frozen");
        }
        QCOMPARE(actual, columns);
        QVERIFY(frozen);
        QCOMPARE(writeTemplate(type, dir.filePath("missing/template.xlsx")).left(31),
                 QString("Template could not be written: "));
    }
};

QTEST_GUILESS_MAIN(TestRegister)
#include "test_register.moc"
