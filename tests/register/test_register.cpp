#include "register/batchfingerprint.h"
#include "register/batchguard.h"
#include "register/batchregister.h"
#include "register/batchtexts.h"
#include "register/detailmask.h"
#include "types/templateworkbook.h"
#include "types/registry.h"
#include "reader/document.h"
#include "reader/containers/ziparchive.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace kova;

namespace {

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

// A fingerprint or a guard takes a record as the upload file holds it, in UTF-8.
template <typename Taker>
void addDetail(Taker& taker, const QString& record)
{
    const QByteArray bytes = record.toUtf8();
    taker.addDetail(bytes.constData(), bytes.size());
}

const BatchKey december{"2026-12-25", "0123456789 1234/56789/ABCD"};

std::unique_ptr<BatchGuard> guardOver(const QString& settings, BatchType type, const QVector<Payment>& payments,
                                      const BatchKey& key = december, int first = 1)
{
    auto guard = std::make_unique<BatchGuard>(settings, type, key);
    for (int i = 0; i < payments.size(); ++i)
        addDetail(*guard, detail(type, payments.at(i), first + i));
    return guard;
}

// A SHA-256 that stands for the bytes of the file at destination.
QString fileSha256(const QString& destination)
{
    return QCryptographicHash::hash(destination.toUtf8(), QCryptographicHash::Sha256).toHex();
}

// The guard's whole way for a batch that is written: started, then finished.
QString written(BatchGuard& guard, const QString& destination, Cents total, const QString& headerId = QString())
{
    guard.started(headerId, destination, total);
    return guard.finished(fileSha256(destination));
}

QString localMinute(const QDateTime& utc) { return utc.toLocalTime().toString("yyyy-MM-dd HH:mm"); }

// The first column of what select gives, read from the register file on a connection of its own.
QVariantList column(const QString& path, const QString& select)
{
    QVariantList values;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "peek");
        db.setDatabaseName(path);
        QSqlQuery q(db);
        if (db.open() && q.exec(select))
            while (q.next())
                values.append(q.value(0));
    }
    QSqlDatabase::removeDatabase("peek");
    return values;
}

// A register as KOVA kept it before totals went past 64 bits (schema version 2), holding the entry of values
// (its columns in table order, the id aside); as a KOVA of that time writes an entry, when the register is there.
bool makeSecondVersion(const QString& path, const QString& values)
{
    bool made = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "second");
        db.setDatabaseName(path);
        QSqlQuery q(db);
        made = db.open()
            && q.exec("CREATE TABLE IF NOT EXISTS batches (id INTEGER PRIMARY KEY AUTOINCREMENT, written_at TEXT NOT NULL,"
                      " type TEXT NOT NULL, header_id TEXT NOT NULL, destination TEXT NOT NULL, records INTEGER NOT NULL,"
                      " total_cents INTEGER NOT NULL, fingerprint TEXT NOT NULL, effective_date TEXT, account TEXT,"
                      " finished INTEGER NOT NULL DEFAULT 1)")
            && q.exec("CREATE INDEX IF NOT EXISTS batches_type_fingerprint ON batches (type, fingerprint)")
            && q.exec("PRAGMA user_version = 2")
            && q.exec("INSERT INTO batches (written_at, type, header_id, destination, records, total_cents, fingerprint,"
                      " effective_date, account, finished) VALUES (" + values + ")");
    }
    QSqlDatabase::removeDatabase("second");
    return made;
}

QByteArray part(const QString& xlsxPath, const char* name)
{
    QByteArray bytes;
    reader::ZipArchive(xlsxPath).stream(name, [&](const char* data, std::size_t size) { return bytes.append(data, int(size)), true; });
    return bytes;
}

} // namespace

class TestRegister final : public QObject
{
    Q_OBJECT

private slots:
    void recordsAndFindsBatches()
    {
        QTemporaryDir dir;
        const QString path = registerPathFor(dir.filePath("kova.ini"));
        QCOMPARE(path, dir.filePath("kova-batches.sqlite"));
        BatchRegister batches(path);
        QVERIFY(!batches.findSame("Auto Transfer", "aa", december) && batches.problem().isEmpty());   // none yet
        QVERIFY(!QFile::exists(path));   // and looking did not make one
        const QDateTime march5 = QDateTime(QDate(2026, 3, 5), QTime(14, 30), Qt::LocalTime).toUTC();
        const auto entry = [&](const QString& type, const QString& headerId, const QString& destination = "/data/out/batch.txt",
                               Cents total = 300050) {
            BatchEntry e;
            e.writtenAt = march5, e.type = type, e.headerId = headerId, e.destination = destination;
            e.records = 2, e.total = total, e.fingerprint = "aa", e.key = december;
            return e;
        };
        QVERIFY(batches.record(entry("Auto Transfer", "7")) && batches.record(entry("Auto Credit", ""))
                && batches.record(entry("Auto Transfer", "8", "relative.txt")));
        QCOMPARE(batches.findSame("Auto Transfer", "aa", december)->headerId, QString("8"));
        QVERIFY(!batches.findSame("Payroll", "aa", december) && !batches.findSame("Auto Transfer", "ab", december));
        QCOMPARE(batches.highestHeaderId("Auto Transfer"), 8);
        QCOMPARE(historyText(batches.history()),
                 "2026-03-05 14:30\tAuto Transfer\t8\t2\t3.000,50\t" + QDir::current().filePath("relative.txt")
                     + "\n2026-03-05 14:30\tAuto Credit\t\t2\t3.000,50\t/data/out/batch.txt"
                       "\n2026-03-05 14:30\tAuto Transfer\t7\t2\t3.000,50\t/data/out/batch.txt\n");
        QVERIFY(batches.problem().isEmpty());
    }

    // Every total a batch can reach reads back as it was and is asked about again. Totals beyond 64 bits
    // mark the register with a version an older KOVA refuses, so it never reads them as other numbers;
    // below that the register stays one it uses, and once marked it stays so.
    void keepsTotalsOfAnySize_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("version");
        QTest::newRow("largest in 64 bits") << "92233720368547758.07" << "92.233.720.368.547.758,07" << 2;
        QTest::newRow("past 64 bits") << "92233720368547758.08" << "92.233.720.368.547.758,08" << 3;
        QTest::newRow("largest credit total") << "99999999999999999.99" << "99.999.999.999.999.999,99" << 3;
        QTest::newRow("past 2^64") << "184467440737095516.17" << "184.467.440.737.095.516,17" << 3;
        QTest::newRow("largest there is") << "1701411834604692317316873037158841057.27"
                                          << "1.701.411.834.604.692.317.316.873.037.158.841.057,27" << 3;
    }
    void keepsTotalsOfAnySize()
    {
        QFETCH(QString, amount);
        QFETCH(QString, shown);
        QFETCH(int, version);
        QTemporaryDir dir;
        const QString settings = dir.filePath("kova.ini"), path = registerPathFor(settings);
        const QVector<Payment> rows = {{"0012345678", amount, "ANI", "R1"}};
        const Cents total = *parseCents(amount);
        QCOMPARE(written(*guardOver(settings, BatchType::Credit, rows), dir.filePath("c.txt"), total), QString());
        const QVector<BatchEntry> history = BatchRegister(path).history();
        QCOMPARE(history.size(), 1);
        QCOMPARE(fixedText(history.at(0).total), amount);
        QCOMPARE(guardOver(settings, BatchType::Credit, rows)->lookUp().question(),
                 "These 1 payments (total " + shown + ") for effective date 2026-12-25 were already written on "
                     + localMinute(history.at(0).writtenAt) + " to " + dir.filePath("c.txt") + ". Write them again?");
        QCOMPARE(column(path, "PRAGMA user_version"), QVariantList{version});
        QCOMPARE(written(*guardOver(settings, BatchType::Payroll, rows), dir.filePath("p.txt"), 100050), QString());
        QCOMPARE(column(path, "PRAGMA user_version"), QVariantList{version});
        QCOMPARE(fixedText(BatchRegister(path).history().value(1).total), amount);
    }

    // Totals sort in the register as numbers do, beyond 64 bits too.
    void totalsKeepTheirOrder()
    {
        QTemporaryDir dir;
        const QString path = registerPathFor(dir.filePath("kova.ini"));
        const QStringList ascending = {"0.05", "92233720368547758.07", "92233720368547758.08", "99999999999999999.99",
                                       "184467440737095516.17", "1701411834604692317316873037158841057.27"};
        BatchRegister batches(path);
        for (int i : {3, 0, 5, 2, 4, 1}) {
            BatchEntry entry;
            entry.writtenAt = QDateTime::currentDateTimeUtc(), entry.type = "Auto Credit", entry.destination = "/data/c.txt";
            entry.records = 1, entry.fingerprint = QString::number(i);
            entry.total = *parseCents(ascending.at(i));
            QVERIFY2(batches.record(entry), qPrintable(batches.problem()));
        }
        QStringList sorted;
        for (const QVariant& fingerprint : column(path, "SELECT fingerprint FROM batches ORDER BY total_cents"))
            sorted.append(ascending.at(fingerprint.toInt()));
        QCOMPARE(sorted, ascending);
    }

    // A batch is its payments, in any order, plus the effective date and the account its header names.
    void asksBeforeWritingTheSameBatchAgain()
    {
        QTemporaryDir dir;
        const QString settings = dir.filePath("kova.ini");
        const QVector<Payment> rows = {{"0012345678", "1000.50", "ANI", "R1"}, {"0087654321", "2000.00", "BUDI", "R2"}};
        QCOMPARE(written(*guardOver(settings, BatchType::Payroll, rows), dir.filePath("p.txt"), 300050), QString());
        const QString when = localMinute(BatchRegister(registerPathFor(settings)).history().value(0).writtenAt);
        const QString again = "These 2 payments (total 3.000,50) for effective date 2026-12-25 were already written on " + when
            + " to " + dir.filePath("p.txt") + ". Write them again?";
        QCOMPARE(guardOver(settings, BatchType::Payroll, {rows.at(1), rows.at(0)})->lookUp().question(), again);
        const BatchKey january{"2027-01-25", december.account}, otherAccount{december.effectiveDate, "0123456780 1234/56789/ABCD"};
        for (const BatchKey& key : {january, otherAccount, BatchKey{QString(), december.account}})
            QVERIFY2(guardOver(settings, BatchType::Payroll, rows, key)->lookUp().question().isEmpty(), qPrintable(key.effectiveDate));
        QVERIFY(guardOver(settings, BatchType::Transfer, rows)->lookUp().question().isEmpty());
        QVERIFY(guardOver(settings, BatchType::Payroll, {rows.at(0)})->lookUp().question().isEmpty());
        // Paid on authorization, the header names no date.
        QCOMPARE(written(*guardOver(settings, BatchType::Credit, rows, {QString(), december.account}), dir.filePath("c.txt"), 300050),
                 QString());
        QVERIFY(guardOver(settings, BatchType::Credit, rows, {QString(), december.account})->lookUp().question()
                    .contains(" (total 3.000,50) for payment on authorization were already written on "));
        // A batch without payments pays nothing twice.
        QCOMPARE(written(*guardOver(settings, BatchType::Payroll, {}), dir.filePath("e.txt"), 0), QString());
        QVERIFY(guardOver(settings, BatchType::Payroll, {})->lookUp().question().isEmpty());
    }

    // A run stopped between taking its Header ID and committing the file leaves its batch as possibly
    // written; one whose file failed leaves nothing.
    void stoppedRunLeavesItsBatchInDoubt()
    {
        QTemporaryDir dir;
        const QString settings = dir.filePath("kova.ini");
        const QVector<Payment> rows = {{"0012345678", "1000.50", "ANI", "R1"}};
        guardOver(settings, BatchType::Transfer, rows)->started("41", dir.filePath("t.txt"), 100050);
        const QString when = localMinute(BatchRegister(registerPathFor(settings)).history().value(0).writtenAt);
        QCOMPARE(guardOver(settings, BatchType::Transfer, rows)->lookUp().question(),
                 "These 1 payments (total 1.000,50) for effective date 2026-12-25 may have been written by a run that stopped on "
                     + when + " to " + dir.filePath("t.txt") + " with Header ID 41. Write them again?");
        const auto failed = guardOver(settings, BatchType::Payroll, rows);
        failed->started(QString(), dir.filePath("p.txt"), 100050);
        failed->abandoned();
        QVERIFY(guardOver(settings, BatchType::Payroll, rows)->lookUp().question().isEmpty());
        QCOMPARE(BatchRegister(registerPathFor(settings)).history().size(), 1);
    }

    // A register of the first schema keeps no date or account: its batches are asked about whatever the
    // key, without a date; writing brings it up to date. One that is no register is asked about.
    void olderAndUnreadableRegisters()
    {
        QTemporaryDir dir;
        const QString settings = dir.filePath("kova.ini");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "first");
            db.setDatabaseName(registerPathFor(settings));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("CREATE TABLE batches (id INTEGER PRIMARY KEY AUTOINCREMENT, written_at TEXT NOT NULL, type TEXT NOT NULL,"
                           " header_id TEXT NOT NULL, destination TEXT NOT NULL, records INTEGER NOT NULL,"
                           " total_cents INTEGER NOT NULL, fingerprint TEXT NOT NULL)")
                    && q.exec("PRAGMA user_version = 1"));
            BatchFingerprint print(BatchType::Payroll);
            addDetail(print, detail(BatchType::Payroll, {"0012345678", "1000.50", "ANI", "R1"}, 1));
            QVERIFY(q.exec("INSERT INTO batches (written_at, type, header_id, destination, records, total_cents, fingerprint)"
                           " VALUES ('2026-03-05T07:30:00Z', 'Payroll', '', '/data/p.txt', 1, 100050, '" + print.hex() + "')"));
        }
        QSqlDatabase::removeDatabase("first");
        const QVector<Payment> rows = {{"0012345678", "1000.50", "ANI", "R1"}};
        const QString march5 = localMinute(QDateTime(QDate(2026, 3, 5), QTime(7, 30), Qt::UTC));
        QCOMPARE(guardOver(settings, BatchType::Payroll, rows, {"2027-01-25", "x"})->lookUp().question(),
                 "These 1 payments (total 1.000,50) were already written on " + march5 + " to /data/p.txt. Write them again?");
        QCOMPARE(written(*guardOver(settings, BatchType::Payroll, rows), dir.filePath("p2.txt"), 100050), QString());
        QVERIFY(guardOver(settings, BatchType::Payroll, rows)->lookUp().question()
                    .startsWith("These 1 payments (total 1.000,50) for effective date 2026-12-25 were already written on "));

        QFile garbage(registerPathFor(settings));
        QVERIFY(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate) && garbage.write(QByteArray(4096, 'Z')) == 4096);
        garbage.close();
        QCOMPARE(guardOver(settings, BatchType::Payroll, rows)->lookUp().question(),
                 QString("The register of written batches cannot be read (file is not a database). KOVA cannot tell whether these"
                         " payments were written before. Write them anyway?"));
    }

    // A register as KOVA kept it before totals went past 64 bits: its batches read and are asked about, and
    // it takes a wide total beside them. A total no write of KOVA leaves is refused rather than read.
    void registerOfIntegerTotals()
    {
        QTemporaryDir dir;
        const QString settings = dir.filePath("kova.ini"), path = registerPathFor(settings);
        const QVector<Payment> rows = {{"0012345678", "92233720368547758.07", "ANI", "R1"}};
        BatchFingerprint print(BatchType::Credit);
        addDetail(print, detail(BatchType::Credit, rows.at(0), 1));
        QVERIFY(makeSecondVersion(path, "'2026-03-05T07:30:00Z', 'Auto Credit', '', '/data/c.txt', 1, 9223372036854775807, '"
                                            + print.hex() + "', '" + december.effectiveDate + "', '" + december.account + "', 1"));
        const QString again = "These 1 payments (total 92.233.720.368.547.758,07) for effective date 2026-12-25 were already written on "
            + localMinute(QDateTime(QDate(2026, 3, 5), QTime(7, 30), Qt::UTC)) + " to /data/c.txt. Write them again?";
        QCOMPARE(guardOver(settings, BatchType::Credit, rows)->lookUp().question(), again);
        QCOMPARE(written(*guardOver(settings, BatchType::Transfer, rows), dir.filePath("t.txt"), 100050, "7"), QString());
        QCOMPARE(column(path, "PRAGMA user_version"), QVariantList{2});   // still an older KOVA's

        const Cents wide = *parseCents("99999999999999999.99");
        QCOMPARE(written(*guardOver(settings, BatchType::Payroll, rows), dir.filePath("p.txt"), wide), QString());
        QCOMPARE(column(path, "PRAGMA user_version"), QVariantList{3});
        QCOMPARE(guardOver(settings, BatchType::Credit, rows)->lookUp().question(), again);
        const QVector<BatchEntry> history = BatchRegister(path).history();
        QCOMPARE(history.size(), 3);
        QVERIFY(history.at(0).total == wide && history.at(1).total == 100050 && history.at(2).total == std::numeric_limits<qint64>::max());

        QVERIFY(column(path, "UPDATE batches SET total_cents = x'0102' WHERE id = 1").isEmpty());
        QCOMPARE(guardOver(settings, BatchType::Credit, rows)->lookUp().question(),
                 QString("The register of written batches cannot be read (the total of entry 1 is damaged). KOVA cannot tell whether"
                         " these payments were written before. Write them anyway?"));
    }

    // Each upload file is known by the SHA-256 of its bytes once it is in place, whatever its type; one still
    // being written has none yet.
    void knowsEachFileBySha256()
    {
        QTemporaryDir dir;
        const QString settings = dir.filePath("kova.ini"), path = registerPathFor(settings);
        const QVector<Payment> rows = {{"0012345678", "1000.50", "ANI", "R1"}};
        QCOMPARE(written(*guardOver(settings, BatchType::Payroll, rows), dir.filePath("p.txt"), 100050), QString());
        QCOMPARE(written(*guardOver(settings, BatchType::Transfer, rows), dir.filePath("t.txt"), 100050, "41"), QString());
        guardOver(settings, BatchType::Credit, rows)->started(QString(), dir.filePath("c.txt"), 100050);
        BatchRegister batches(path);
        const std::optional<BatchEntry> payroll = batches.findFile(fileSha256(dir.filePath("p.txt")));
        QVERIFY(payroll && payroll->type == "Payroll" && payroll->destination == dir.filePath("p.txt"));
        const std::optional<BatchEntry> transfer = batches.findFile(fileSha256(dir.filePath("t.txt")));
        QVERIFY(transfer && transfer->headerId == "41" && transfer->fileSha256 == fileSha256(dir.filePath("t.txt")));
        QVERIFY(!batches.findFile(fileSha256(dir.filePath("c.txt"))) && !batches.findFile(QString()));
        QCOMPARE(batches.batchesWithoutFileSha256(), 0);
        const QVector<BatchEntry> history = batches.history();
        QCOMPARE(history.size(), 3);
        QVERIFY(history.at(0).fileSha256.isEmpty() && history.at(2).fileSha256 == fileSha256(dir.filePath("p.txt")));
        QVERIFY(batches.problem().isEmpty());
    }

    // A register an older KOVA keeps stays its own: the files' SHA-256s lie in a table it never reads, so no
    // schema version shuts it out, and the batches it records are told apart as those without one.
    void olderRegisterKeepsItsVersion()
    {
        QTemporaryDir dir;
        const QString settings = dir.filePath("kova.ini"), path = registerPathFor(settings);
        const QString older = "'2026-03-05T07:30:00Z', 'Payroll', '', '/data/p.txt', 1, 100050, 'aa', '2026-12-25', 'x', 1";
        QVERIFY(makeSecondVersion(path, older));
        QVERIFY(!BatchRegister(path).findFile(fileSha256("/data/p.txt")));
        QCOMPARE(BatchRegister(path).batchesWithoutFileSha256(), 1);
        const QVector<Payment> rows = {{"0012345678", "1000.50", "ANI", "R1"}};
        QCOMPARE(written(*guardOver(settings, BatchType::Payroll, rows), dir.filePath("p.txt"), 100050), QString());
        QCOMPARE(column(path, "PRAGMA user_version"), QVariantList{2});
        QVERIFY(makeSecondVersion(path, older));   // the older KOVA writes again
        BatchRegister batches(path);
        QCOMPARE(batches.findFile(fileSha256(dir.filePath("p.txt")))->destination, dir.filePath("p.txt"));
        QCOMPARE(batches.batchesWithoutFileSha256(), 2);
        QCOMPARE(batches.history().size(), 3);
        QVERIFY(batches.problem().isEmpty());
    }

    // Over all four types: only the payments count, not their numbers or order.
    void fingerprintKeepsOnlyThePayments()
    {
        const Payment a{"0012345678", "1000.50", "ANI", "INV-1"}, b{"0087654321", "2000.00", "BUDI", "INV-2"};
        Payment otherAmount = a, otherAccount = a;
        otherAmount.amount = "1000.51";
        otherAccount.account = "0012345679";
        for (const char* word : {"transfer", "credit", "collection", "payroll"}) {
            const BatchType type = descriptorForKeyword(QString::fromLatin1(word))->type;
            const auto print = [type](const QVector<Payment>& payments, int first = 1) {
                BatchFingerprint fingerprint(type);
                for (int i = 0; i < payments.size(); ++i)
                    addDetail(fingerprint, detail(type, payments.at(i), first + i));
                return fingerprint.hex();
            };
            const QString ab = print({a, b});
            QVERIFY2(ab.size() == 64 && print({a, b}, 41) == ab && print({b, a}) == ab, word);
            QVERIFY2(print({otherAmount, b}) != ab && print({otherAccount, b}) != ab && print({a, b, b}) != ab, word);
            // Asked for on the way, it still takes the records added after.
            BatchFingerprint growing(type);
            addDetail(growing, detail(type, b, 1));
            const QString first = growing.hex();
            addDetail(growing, detail(type, a, 2));
            QVERIFY2(first == print({b}) && growing.hex() == ab && growing.hex() == ab, word);
        }
    }

    // Registers written by earlier runs hold fingerprints taken over these bytes: the same payments must give
    // the same fingerprint still, text beyond ASCII included.
    void fingerprintIsTheOneStored_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("hex");
        QTest::newRow("transfer") << "transfer" << "49802a5d425622492d59bd2121146b84179c5073bbd3a5bb1507d48566c7c5a1";
        QTest::newRow("credit") << "credit" << "825a3891d44d61891de2942a84919c4d0596a26fe191acc225b912a4dc758c26";
        QTest::newRow("collection") << "collection" << "890ed654cc6238ef29fa03237d856aa7a808d36454c70d6f0a9666ba2d59bcb3";
        QTest::newRow("payroll") << "payroll" << "b03098c01df6372194bfdd85edff44e55ab1d1d8666f20fb169dc5bce6ba5c45";
    }

    void fingerprintIsTheOneStored()
    {
        QFETCH(QString, type);
        QFETCH(QString, hex);
        const BatchType batchType = descriptorForKeyword(type)->type;
        BatchFingerprint fingerprint(batchType);
        addDetail(fingerprint, detail(batchType, {"0012345678", "1000.50", QString::fromUtf8("Ani Müller"), "INV-1"}, 7));
        addDetail(fingerprint, detail(batchType, {"0087654321", "2000.00", "BUDI", QString::fromUtf8("Ré-2")}, 8));
        QCOMPARE(fingerprint.hex(), hex);
    }

    // The transfer's sequence number (its second field) is the batch's: taken out, its bars kept, however short
    // the record; a fixed-width record is all payment.
    void paymentPartLeavesOutTheBatchFields_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QByteArray>("payment");
        QTest::newRow("sequence number") << "transfer" << QByteArray("1|00007|INV-1|x") << QByteArray("1||INV-1|x");
        QTest::newRow("last field") << "transfer" << QByteArray("1|00007") << QByteArray("1|");
        QTest::newRow("empty field") << "transfer" << QByteArray("1||INV-1") << QByteArray("1||INV-1");
        QTest::newRow("one field") << "transfer" << QByteArray("1") << QByteArray("1");
        QTest::newRow("none") << "transfer" << QByteArray() << QByteArray();
        QTest::newRow("bars only") << "transfer" << QByteArray("||") << QByteArray("||");
        QTest::newRow("beyond ASCII") << "transfer" << QByteArray("\xc3\xa9|\xc3\xa9|\xc3\xa9") << QByteArray("\xc3\xa9||\xc3\xa9");
        QTest::newRow("fixed width") << "payroll" << QByteArray("0|0012|34") << QByteArray("0|0012|34");
    }

    void paymentPartLeavesOutTheBatchFields()
    {
        QFETCH(QString, type);
        QFETCH(QByteArray, record);
        QFETCH(QByteArray, payment);
        QByteArray part;
        PaymentPart(descriptorForKeyword(type)->type).forEachRun(record.constData(), record.size(),
                                                                 [&part](const char* run, int size) {
                                                                     QVERIFY(size > 0);
                                                                     part.append(run, size);
                                                                 });
        QCOMPARE(part, payment);
    }

    // Over all four types: every column of the template but the date and the amount is text, so that what is
    // typed into it (an account's leading zeros) stays as typed.
    void templateKeepsEachFieldAsTyped()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("template.xlsx");
        for (const TypeDescriptor* type : transactionTypes()) {
            QCOMPARE(writeTemplate(type->type, path), QString());
            reader::Document book(path, {});
            QVERIFY(book.sheetNames() == QStringList{type->displayName} && book.selectSheet(type->displayName));
            QCOMPARE(book.dimension().lastRow(), 1);
            const QByteArray styles = part(path, "xl/styles.xml");
            QStringList formats, notText; // the number format id of every cellXfs entry, by position
            for (auto m = QRegularExpression("<xf numFmtId=\"(\\d+)\"").globalMatch(styles.mid(styles.indexOf("<cellXfs"))); m.hasNext();)
                formats.append(m.next().captured(1));
            int columns = 0;
            const QByteArray sheet = part(path, "xl/worksheets/sheet1.xml");
            for (auto m = QRegularExpression("<col min=\"(\\d+)\" max=\"(\\d+)\"[^>]* style=\"(\\d+)\"").globalMatch(sheet); m.hasNext();) {
                const auto col = m.next();
                for (int c = col.captured(1).toInt(); c <= col.captured(2).toInt(); ++c, ++columns)
                    if (formats.value(col.captured(3).toInt()) != "49") // "@"
                        notText.append(book.text(1, c));
            }
            QCOMPARE(columns, type->fields.size());
            QCOMPARE(notText, (QStringList{type->type == BatchType::Transfer ? "Date" : "Trx Date", "Amount"}));
        }
        QCOMPARE(writeTemplate(BatchType::Payroll, dir.filePath("missing/template.xlsx")).left(31),
                 QString("Template could not be written: "));
    }
};

QTEST_GUILESS_MAIN(TestRegister)
#include "test_register.moc"
