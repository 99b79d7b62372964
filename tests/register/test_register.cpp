#include "core/registry.h"
#include "register/batchfingerprint.h"
#include "register/batchguard.h"
#include "register/batchregister.h"
#include "register/batchtexts.h"
#include "register/templateworkbook.h"
#include "xlsx/document.h"
#include "xlsx/ziparchive.h"

#include <QDir>
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

std::unique_ptr<BatchGuard> guardOver(const QString& settings, BatchType type, const QVector<Payment>& payments, int first = 1)
{
    auto guard = std::make_unique<BatchGuard>(settings, type);
    for (int i = 0; i < payments.size(); ++i)
        guard->addDetail(detail(type, payments.at(i), first + i));
    return guard;
}

QByteArray part(const QString& xlsxPath, const char* name)
{
    QByteArray bytes;
    xlsx::ZipArchive(xlsxPath).stream(name, [&](const char* data, std::size_t size) { return bytes.append(data, int(size)), true; });
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
        const QDateTime march5 = QDateTime(QDate(2026, 3, 5), QTime(14, 30), Qt::LocalTime).toUTC();
        const auto entry = [&](const QString& type, const QString& headerId, const QString& destination = "/data/out/batch.txt",
                               Cents total = 300050) { return BatchEntry{march5, type, headerId, destination, 2, total, "aa"}; };
        QVERIFY(batches.record(entry("Auto Transfer", "7")) && batches.record(entry("Auto Credit", ""))
                && batches.record(entry("Auto Transfer", "8", "relative.txt")));
        QCOMPARE(batches.findSame("Auto Transfer", "aa")->headerId, QString("8"));
        QVERIFY(!batches.findSame("Payroll", "aa") && !batches.findSame("Auto Transfer", "ab"));
        QCOMPARE(historyText(batches.history()),
                 "2026-03-05 14:30\tAuto Transfer\t8\t2\t3.000,50\t" + QDir::current().filePath("relative.txt")
                     + "\n2026-03-05 14:30\tAuto Credit\t\t2\t3.000,50\t/data/out/batch.txt"
                       "\n2026-03-05 14:30\tAuto Transfer\t7\t2\t3.000,50\t/data/out/batch.txt\n");
        QVERIFY(batches.problem().isEmpty());
        QVERIFY(!batches.record(entry("Auto Credit", "", "a.txt", Cents(std::numeric_limits<qint64>::max()) + 1)));
        QCOMPARE(batches.problem(), QString("Batch register could not be written: the total 9223372036854775808 is too large"));
        QCOMPARE(batches.history().size(), 3);
    }

    // Each type asks only about its own earlier batch, and only about the same payments.
    void asksBeforeWritingTheSamePaymentsAgain()
    {
        QTemporaryDir dir;
        const QString settings = dir.filePath("kova.ini");
        const QVector<Payment> rows = {{"0012345678", "1000.50", "ANI", "R1"}, {"0087654321", "2000.00", "BUDI", "R2"}};
        QCOMPARE(guardOver(settings, BatchType::Payroll, rows)->written(QString(), dir.filePath("p.txt"), 300050), QString());
        const QDateTime when = BatchRegister(registerPathFor(settings)).history().value(0).writtenAt.toLocalTime();
        QCOMPARE(guardOver(settings, BatchType::Payroll, {rows.at(1), rows.at(0)})->duplicateQuestion(),
                 "These 2 payments (total 3.000,50) were already written on " + when.toString("yyyy-MM-dd HH:mm") + " to "
                     + dir.filePath("p.txt") + ". Write them again?");
        QVERIFY(guardOver(settings, BatchType::Transfer, rows)->duplicateQuestion().isEmpty());
        QVERIFY(guardOver(settings, BatchType::Payroll, {rows.at(0)})->duplicateQuestion().isEmpty());
        // A batch without payments pays nothing twice.
        QCOMPARE(guardOver(settings, BatchType::Payroll, {})->written(QString(), dir.filePath("e.txt"), 0), QString());
        QVERIFY(guardOver(settings, BatchType::Payroll, {})->duplicateQuestion().isEmpty());
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
                    fingerprint.addDetail(detail(type, payments.at(i), first + i));
                return fingerprint.hex();
            };
            const QString ab = print({a, b});
            QVERIFY2(ab.size() == 64 && print({a, b}, 41) == ab && print({b, a}) == ab, word);
            QVERIFY2(print({otherAmount, b}) != ab && print({otherAccount, b}) != ab && print({a, b, b}) != ab, word);
        }
    }

    // Over all four types: every column of the template but the date and the amount is text, so that what is
    // typed into it (an account's leading zeros) stays as typed.
    void templateKeepsEachFieldAsTyped()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("template.xlsx");
        for (const TypeDescriptor* type : transactionTypes()) {
            QCOMPARE(writeTemplate(type->type, path), QString());
            xlsx::Document book(path);
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
