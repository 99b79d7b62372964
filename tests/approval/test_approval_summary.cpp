// The approval summary: the total in words, pages numbered for any count of payments with the signature
// lines after the last, and no summary of a file that is not the one committed or does not pass its check.
#include "approval/amountwords.h"
#include "approval/approvalsummary.h"
#include "programrun.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A payroll upload file of count payments of 1,000.00 each, named "EMPLOYEE n".
QByteArray payrollUpload(int count)
{
    const QByteArray total = QByteArray::number(count * 1000) + ".00";
    QByteArray upload = QByteArray(11, ' ') + "123406789ABCD" + "25" + "01" + "1111111111" + "0" + "0" + "00"
                        + QByteArray::number(count).rightJustified(5, '0') + total.rightJustified(17, '0') + "12" + "2026"
                        + '\n';
    for (int i = 1; i <= count; ++i)
        upload += "0" + QByteArray("2222222222") + QByteArray("100000").rightJustified(15, '0')
                  + QByteArray("E").leftJustified(10, ' ') + ("EMPLOYEE " + QByteArray::number(i)).leftJustified(30, ' ')
                  + "D1  " + '\n';
    return upload;
}

QString sha256(const QByteArray& bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(); }

// The text of each page on one line.
QStringList pages(const QString& pdf)
{
    QStringList pages = pdfPages(pdf);
    for (QString& page : pages)
        page = page.simplified();
    return pages;
}

} // namespace

class TestApprovalSummary final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    bool write(const QString& name, const QByteArray& bytes)
    {
        QFile file(path(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void amountInWords_data()
    {
        QTest::addColumn<qint64>("cents");
        QTest::addColumn<QString>("words");
        QTest::newRow("zero") << qint64(0) << "Zero rupiah";
        QTest::newRow("sen only") << qint64(1) << "Zero rupiah and one sen";
        QTest::newRow("teens and tens") << qint64(1995) << "Nineteen rupiah and ninety-five sen";
        QTest::newRow("hundreds") << qint64(10100) << "One hundred one rupiah";
        QTest::newRow("groups skipped") << qint64(100000000050) << "One billion rupiah and fifty sen";
        QTest::newRow("every group") << qint64(123456789012345)
            << "One trillion two hundred thirty-four billion five hundred sixty-seven million eight hundred ninety thousand one "
               "hundred twenty-three rupiah and forty-five sen";
    }

    void amountInWords()
    {
        QFETCH(qint64, cents);
        QFETCH(QString, words);
        QCOMPARE(kova::amountInWords(cents), words);
    }

    // Past 64 bits, where the credit layout's totals go: the largest amount it writes, twice.
    void amountInWordsPast64Bits()
    {
        const kova::Cents largest = kova::Cents(10000000000000000000ULL) - 1;
        QCOMPARE(kova::amountInWords(2 * largest),
                 QStringLiteral("One hundred ninety-nine quadrillion nine hundred ninety-nine trillion nine hundred "
                                "ninety-nine billion nine hundred ninety-nine million nine hundred ninety-nine thousand "
                                "nine hundred ninety-nine rupiah and ninety-eight sen"));
    }

    // Whatever the count, the pages say how many there are, every payment is on one of them in order,
    // and the signature lines come once, after the last payment.
    void pagesNumbered()
    {
        int lastPageCount = 0;
        for (int count = 1; count <= 140; ++count) {
            const QByteArray upload = payrollUpload(count);
            QVERIFY(write("payroll.txt", upload));
            QVERIFY(QFile::remove(path("s.pdf")) || !QFile::exists(path("s.pdf")));
            QCOMPARE(kova::writeApprovalSummary({path("payroll.txt"), path("s.pdf"), sha256(upload)}), QString());
            const QStringList text = pages(path("s.pdf"));
            const int n = text.size();
            QVERIFY2(n >= lastPageCount && n <= lastPageCount + 1, qPrintable(QString::number(count)));
            lastPageCount = n;
            int next = 1;
            for (int page = 1; page <= n; ++page) {
                const QString& on = text.at(page - 1);
                QVERIFY2(on.startsWith(QStringLiteral("Approval summary: Payroll Page %1 of %2 ").arg(page).arg(n)),
                         qPrintable(QString::number(count) + ": " + on.left(60)));
                QVERIFY(on.endsWith("SHA-256 of the upload file: " + sha256(upload)));
                while (next <= count && on.contains(QStringLiteral(" %1 EMPLOYEE %1 2222222222 1.000,00 ").arg(next)))
                    ++next;
                QCOMPARE(on.contains("Prepared by Approved by"), page == n);
            }
            QVERIFY2(next == count + 1, qPrintable(QStringLiteral("%1 payments, %2 found").arg(count).arg(next - 1)));
        }
        QVERIFY(lastPageCount >= 3);
    }

    // Only the bytes the export committed, sound as the bank reads them, are summarised.
    void refused_data()
    {
        QTest::addColumn<QByteArray>("upload");
        QTest::addColumn<QString>("committed");
        QTest::addColumn<QString>("problem");   // %1: the upload file; empty: the check's own words
        const QByteArray sound = payrollUpload(2);
        QByteArray changed = sound;
        changed[sound.indexOf("EMPLOYEE 2")] = 'X';
        QByteArray wrongTotal = payrollUpload(2);
        wrongTotal.replace(wrongTotal.indexOf("2000.00"), 7, "2000.10");
        QTest::newRow("changed since written") << changed << sha256(sound) << "The upload file changed after it was written";
        QTest::newRow("does not check") << wrongTotal << sha256(wrongTotal)
            << "The upload file does not pass its check (kova-export verify %1)";
        QTest::newRow("no upload file") << QByteArray("hello\n") << sha256("hello\n") << QString();
    }

    void refused()
    {
        QFETCH(QByteArray, upload);
        QFETCH(QString, committed);
        QFETCH(QString, problem);
        QVERIFY(write("payroll.txt", upload));
        QFile::remove(path("s.pdf"));
        const QString refusal = kova::writeApprovalSummary({path("payroll.txt"), path("s.pdf"), committed});
        QVERIFY(!refusal.isEmpty());
        if (!problem.isEmpty())
            QCOMPARE(refusal, problem.arg(path("payroll.txt")));
        QVERIFY(!QFile::exists(path("s.pdf")));
    }
};

QTEST_MAIN(TestApprovalSummary)
#include "test_approval_summary.moc"
