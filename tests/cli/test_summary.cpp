// kova-export --summary: the approval summary of a written batch, its text read back out of the PDF as an
// approver's PDF reader shows it, for the four types; and no summary where no batch was written.
#include "expect.h"
#include "programrun.h"
#include "foursheets.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

Run kovaExport(const QStringList& arguments) { return runProgram(KOVA_EXPORT_PATH, arguments); }

// The PDF's lines, every page's.
QStringList pdfText(const QString& path) { return pdfPages(path).join(QString()).split('\n', Qt::SkipEmptyParts); }

Sheet sheetOf(const QString& type)
{
    for (const Sheet& sheet : sheets())
        if (sheet.type == type)
            return sheet;
    return {};
}

} // namespace

class TestSummary final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // kova-export of the type's sheet with more options, from a fresh settings file.
    Run exportBatch(const QString& type, const QStringList& more)
    {
        QFile::remove(path("kova.ini"));
        for (const QString& name : QDir(m_dir.path()).entryList({"kova-batches*"}))
            QFile::remove(path(name));
        expect::writeSettings(path("kova.ini"), "Transfer", {{"HeaderID", 7}, {"CompanyID", "ABCDE12345"}});
        for (const char* group : {"Credit", "Collection", "Payroll"})
            expect::writeAccounts(path("kova.ini"), group, {{"1111111111", "1234/56789/ABCD"}});
        const QStringList settings{"--settings", path("kova.ini")};
        if (kovaExport(QStringList{"template", type, "--dest", path("t.xlsx"), "--save-mapping"} + settings).status != 0)
            return {};
        QStringList extra{"--effective", "2026-12-25"};
        if (type != "transfer")
            extra << "--account" << "1";
        return kovaExport(QStringList{type, "--source", path("book.xlsx"), "--sheet", "Batch", "--dest", path(type + ".txt")}
                          + settings + extra + more);
    }

    bool writeBook(const Sheet& sheet, const QList<QVariantList>& rows)
    {
        return expect::writeSheet(path("book.xlsx"), "Batch",
                                  QList<QVariantList>{QVariantList(sheet.titles.cbegin(), sheet.titles.cend())} + rows);
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void summaryOfEveryType_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("facts");      // from the Company line to the Total in words line
        QTest::addColumn<QStringList>("payments");   // the table, its heading first
        const QStringList total{"Payments: 2", "Total: IDR 1.500.250,50",
                                "Total in words: One million five hundred thousand two hundred fifty rupiah and fifty sen"};
        QTest::newRow("transfer") << "transfer"
            << QStringList{"Company: ABCDE12345", "Account: 1234567890", "Effective date: 2026-12-25", "Header ID: 7"} + total
            << QStringList{"No. Name From account To account Amount", "1 NAME 1234567890 0987654321 1.500.000,50",
                           "2 SITI 1234567890 1122334455 250,00"};
        QTest::newRow("credit") << "credit"
            << QStringList{"Company: 12346789", "Account: 1111111111", "Effective date: 2026-12-25"} + total
            << QStringList{"No. Name Account Amount", "1 ANDI 1122334455 1.500.000,50", "2 SITI 5544332211 250,00"};
        QTest::newRow("collection") << "collection"
            << QStringList{"Company: 12346789", "Account: 1111111111", "Effective date: 2026-12-25"} + total
            << QStringList{"No. Name Account Amount", "1 SITI 1000000001 1.500.000,50", "2 ANDI 1000000002 250,00"};
        QTest::newRow("payroll") << "payroll"
            << QStringList{"Company: 123406789ABCD", "Account: 1111111111", "Effective date: 2026-12-25"} + total
            << QStringList{"No. Name Account Amount", "1 DEWI 3333333333 1.500.000,50", "2 BUDI 4444444444 250,00"};
    }

    // Every figure is the upload file's, its SHA-256 on the first page and under every page.
    void summaryOfEveryType()
    {
        QFETCH(QString, type);
        QFETCH(QStringList, facts);
        QFETCH(QStringList, payments);
        const Sheet sheet = sheetOf(type);
        QVERIFY(writeBook(sheet, sheet.rows));
        const Run run = exportBatch(type, {"--summary", path(type + ".pdf")});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        // The offscreen platform's start says nothing on standard error.
        QCOMPARE(run.err, QString("Done!\n"));
        const QString sha = QCryptographicHash::hash(expect::fileBytes(path(type + ".txt")), QCryptographicHash::Sha256).toHex();

        QStringList text = pdfText(path(type + ".pdf"));
        const QString typeName = text.value(1).section(": ", 1);
        QCOMPARE(text.value(0), "Approval summary: " + typeName + " Page 1 of 1");
        QCOMPARE(text.value(1), "Transaction type: " + typeName);
        QCOMPARE(text.mid(2, facts.size()), facts);
        text = text.mid(2 + facts.size());
        QCOMPARE(text.value(0), "Upload file: " + path(type + ".txt"));
        QCOMPARE(text.value(1), "SHA-256 of the upload file: " + sha);
        QVERIFY(QRegularExpression("^Written: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$").match(text.value(2)).hasMatch());
        QVERIFY(QRegularExpression("^Summary made: \\d{4}-").match(text.value(3)).hasMatch());
        QCOMPARE(text.mid(4, payments.size()), payments);
        QCOMPARE(text.mid(4 + payments.size()),
                 QStringList({"Prepared by Approved by", "Name Name", "Date Date", "Signature Signature",
                              "SHA-256 of the upload file: " + sha}));
    }

    // A summary only of a batch written: row errors, a refusal and a summary path that would destroy a
    // file leave none behind.
    void noSummaryWithoutBatch_data()
    {
        QTest::addColumn<QString>("summary");
        QTest::addColumn<bool>("rowError");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("lastLine");
        QTest::newRow("row errors") << "s.pdf" << true << 1 << "ERROR!";
        QTest::newRow("the destination") << "payroll.txt" << false << 2
            << "Summary must not be the source workbook, the destination, the report or the settings file";
        QTest::newRow("the source") << "book.xlsx" << false << 2
            << "Summary must not be the source workbook, the destination, the report or the settings file";
        QTest::newRow("the report") << "r.json" << false << 2
            << "Summary must not be the source workbook, the destination, the report or the settings file";
    }

    void noSummaryWithoutBatch()
    {
        QFETCH(QString, summary);
        QFETCH(bool, rowError);
        QFETCH(int, status);
        QFETCH(QString, lastLine);
        Sheet sheet = sheetOf("payroll");
        if (rowError)
            sheet.rows[1][3] = "-5";
        QVERIFY(writeBook(sheet, sheet.rows));
        const QByteArray book = expect::fileBytes(path("book.xlsx"));
        QFile::remove(path("payroll.txt"));
        QFile::remove(path("s.pdf"));
        const Run run = exportBatch("payroll", {"--summary", path(summary), "--report", path("r.json")});
        QCOMPARE(run.status, status);
        QCOMPARE(run.err.trimmed().split('\n').last(), lastLine);
        QVERIFY(!QFile::exists(path("payroll.txt")));
        QVERIFY(!QFile::exists(path("s.pdf")));
        QCOMPARE(expect::fileBytes(path("book.xlsx")), book);
    }

    // A summary that cannot be written leaves the batch written and says so: exit 3, as for the report.
    void summaryUnwritable()
    {
        const Sheet sheet = sheetOf("collection");
        QVERIFY(writeBook(sheet, sheet.rows));
        const Run run = exportBatch("collection", {"--summary", path("missing/s.pdf")});
        QCOMPARE(run.status, 3);
        QVERIFY2(run.err.contains("Upload file written, but unable to write summary " + path("missing/s.pdf") + ": "),
                 qPrintable(run.err));
        QVERIFY(QFile::exists(path("collection.txt")));
    }
};

QTEST_GUILESS_MAIN(TestSummary)
#include "test_summary.moc"
