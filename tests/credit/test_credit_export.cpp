#include "export/sourceaccount.h"
#include "core/credit/creditexport.h"

#include "recordingsink.h"
#include "expect.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace kova;
using namespace expect;

namespace {

// Sheet columns of the test workbooks.
enum SheetColumn { Name = 1, Acc, Amount, Type, BI, Bank, Branch, Rem1, Rem2, Cust, Res, Date };

const QString sheet = QStringLiteral("Sheet1");

CreditSettings settingsFor(BankMode mode, int choice)
{
    CreditSettings s;
    s.columns.beneficiaryName = Name;
    s.columns.account = Acc;
    s.columns.amount = Amount;
    s.columns.transferType = Type;
    s.columns.biCode = BI;
    s.columns.bank = Bank;
    s.columns.branch = Branch;
    s.columns.remarks1 = Rem1;
    s.columns.remarks2 = Rem2;
    s.columns.custType = Cust;
    s.columns.residence = Res;
    s.sourceAccount = SourceAccount{QStringLiteral("0123456789"), QStringLiteral("1234/56789/ABCD")};
    s.effectiveDate = QDate(2024, 3, 5);
    s.dateFrom = s.dateTo = QDate(2024, 3, 5);
    s.limits.normalise();
    chooseBeneficiaryBank(s, mode, choice);
    return s;
}

// A complete, valid row of the given transfer type.
QVariantList validRow(const QString& type, const QVariant& amount, const QString& account = "0123456789")
{
    return {"PT Maju Jaya", account, amount, type, "0140011", "BANK KOVA", "JAKARTA", "Invoice 12", "", 2, "R"};
}

} // namespace

class TestCreditExport final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_files = 0;

    QString workbook(const QList<QVariantList>& rows)
    {
        const QString path = m_dir.filePath(QStringLiteral("book%1.xlsx").arg(++m_files));
        writeSheet(path, sheet, rows);
        return path;
    }

    // Runs one export of rows into m_sink and m_dest; returns the outcome.
    ExportOutcome run(const CreditSettings& s, const QList<QVariantList>& rows)
    {
        return runCreditExport(s, workbook(rows), sheet, m_dest, m_sink);
    }

    RecordingSink m_sink;
    QString m_dest;

private slots:
    void init()
    {
        m_sink = RecordingSink();
        m_dest = m_dir.filePath(QStringLiteral("credit%1.txt").arg(++m_files));
    }

    void wholeRecords_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("immediate");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QVariant>("amount");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("detail");

        const QString acc = QStringLiteral("0123456789") + sp(24);
        const QString bodyTail = pad("0140011", 7) + sp(4) + pad("BANK KOVA", 18) + pad("JAKARTA", 18)
            + pad("Invoice 12", 18) + sp(18) + sp(18) + "2" + "R";
        const QString name = pad("PT Maju Jaya", 70);
        const QString batch = pad("Batch one", 18) + pad("Second", 18) + sp(132);

        QTest::newRow("WDK, one to one, immediate")
            << int(BankMode::WDK) << 0 << true << "WDK" << QVariant("1500000.50")
            << "0SP" + sp(8) + "0123456789" + " " + "1234" + "6789" + sp(15) + "00000000001500000.50" + "00001"
                   + "WDK" + sp(15) + batch
            << "1" + acc + sp(18) + "00000000001500000.50" + name + "B" + sp(5) + " " + bodyTail + "014";
        QTest::newRow("WDK, one to many, on a date") << int(BankMode::WDK) << 1 << false << "wdk" << QVariant(1500000.5)
            << "0MP20240305" + QStringLiteral("0123456789") + " " + "12346789" + sp(15) + "00000000001500000.50"
                   + "00001" + "WDK" + sp(15) + batch
            << "1" + acc + sp(18) + "00000000001500000.50" + name + "B" + sp(5) + " " + bodyTail + "014";
        QTest::newRow("Others, LLG") << int(BankMode::Others) << 0 << true << "LLG" << QVariant(250000000)
            << "0MP" + sp(8) + "0123456789 12346789" + sp(15) + "00000000250000000.00" + "00001" + "LLG" + sp(15)
                   + batch << "1" + acc + sp(18) + "00000000250000000.00" + name + "N" + sp(5) + " " + bodyTail + "888";
        QTest::newRow("Others, RTGS") << int(BankMode::Others) << 1 << false << "RTG" << QVariant("750000000.25")
            << "0MP20240305" + QStringLiteral("0123456789 12346789") + sp(15) + "00000000750000000.25" + "00001"
                   + "RTG" + sp(15) + batch
            << "1" + acc + sp(18) + "00000000750000000.25" + name + "Y" + sp(5) + " " + bodyTail + "888";
    }

    void wholeRecords()
    {
        QFETCH(int, mode);
        QFETCH(int, choice);
        QFETCH(bool, immediate);
        QFETCH(QString, type);
        QFETCH(QVariant, amount);
        QFETCH(QString, header);
        QFETCH(QString, detail);

        CreditSettings s = settingsFor(BankMode(mode), choice);
        s.immediate = immediate;
        s.batchRemarks1 = QStringLiteral("Batch one");
        s.batchRemarks2 = QStringLiteral("Second");
        QCOMPARE(run(s, {validRow(type, amount)}), ExportOutcome::Written);

        const QStringList written = fileLines(m_dest);
        QCOMPARE(written, (QStringList{header, detail}));
        for (const QString& record : written)
            QCOMPARE(record.size(), 256);

        QCOMPARE(m_sink.titles, (QStringList{"Beneficiary Name", "Acc #", "Amount", "BI Code", "Bank Name",
                                           "Branch Name", "Remarks 1", "Remarks 2", "Cust Type", "Residence"}));
        QCOMPARE(m_sink.rows.size(), 1);
        QCOMPARE(m_sink.rows[0].amountColumn, 2);
        QCOMPARE(m_sink.rows[0].values.size(), 10);
        QCOMPARE(m_sink.rows[0].values.mid(0, 2), (QStringList{"PT Maju Jaya", "0123456789" + sp(24)}));
        QCOMPARE(m_sink.rows[0].values.mid(5), (QStringList{pad("JAKARTA", 18), pad("Invoice 12", 18), sp(18), "2", "R"}));
        QVERIFY(m_sink.rows[0].messages.isEmpty());
        QCOMPARE(m_sink.boxTexts(), QStringList{"Done!"});
        QVERIFY(!QFile::exists(m_dest + ".details"));
    }

    void headerOnlySheet()
    {
        CreditSettings s = settingsFor(BankMode::WDK, 0);
        s.hasColumnHeader = true;
        QCOMPARE(run(s, {{"Name", "Acc", "Amount", "Type"}}), ExportOutcome::Refused);
        QCOMPARE(m_sink.rows.size(), 0);
        QCOMPARE(m_sink.summary, summary("0 of 0", "0,00", 0, 0));
        QCOMPARE(m_sink.boxTexts(), QStringList{"No rows to export"});
        QVERIFY(!QFile::exists(m_dest));
    }

    void skippedRowsTakeNoLineNumber()
    {
        CreditSettings s = settingsFor(BankMode::WDK, 0);
        s.hasColumnHeader = true;
        s.columns.trxDate = Date;
        s.dateFrom = QDate(2024, 3, 1);
        s.dateTo = QDate(2024, 3, 31);
        auto row = [](const QString& type, const QVariant& amount, const QVariant& date) {
            QVariantList r = validRow(type, amount);
            r << date;
            return r;
        };
        QCOMPARE(run(s, {{"header"}, row("WDK", 10, QDate(2024, 2, 29)),    // before the range
                      row("WDK", 11, QDate(2024, 3, 1)),     // line 1, first day inclusive
                      row("LLG", 12, QDate(2024, 3, 2)),     // not WDK
                      row("WDK", 13, "3 March 2024"),        // text, no date
                      row("WDK", 14, QDate(2024, 3, 31)),    // line 2, last day inclusive
                      row("WDK", "x", QDate(2024, 3, 15))}),  // line 3
                 ExportOutcome::RowErrors);
        QCOMPARE(m_sink.rows.size(), 3);
        QCOMPARE(m_sink.rows[2].messages, QStringList{err(3, ": Error. Invalid amount</span>")});
        QCOMPARE(m_sink.rows[2].cells, (QVector<MarkedCell>{{2, 2}}));
        QCOMPARE(m_sink.rows[2].values[2], QStringLiteral("x"));
        QCOMPARE(m_sink.summary, summary("3 of 6", "25,00", 0, 1));
    }

    void clearingFilterAndLimits_data()
    {
        QTest::addColumn<int>("clearing");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QVariantList>("amounts");
        QTest::addColumn<QStringList>("processedAmounts");
        QTest::addColumn<QStringList>("messages");

        QTest::newRow("LLG") << 0 << QStringList{"rtg", "RTGS", "llg", "LLG", "WDK", "", "LLG"}
            << QVariantList{1, 2, "500000000.01", "500000000.01", 3, 4, 500000000}
            << QStringList{"2,00", "500.000.000,01", "500.000.000,01", "4,00", "500.000.000,00"}
            << QStringList{err(2, ": Error. LLG amount exceeding max limit 500.000.000</span>"),
                           err(3, ": Error. LLG amount exceeding max limit 500.000.000</span>")};
        QTest::newRow("RTGS") << 1 << QStringList{"LLG", "llg", "rtg", "RTG", "wdk", "RTG"}
            << QVariantList{1, 2, 3, "500000000.99", 5, 500000001}
            << QStringList{"3,00", "500.000.000,99", "500.000.001,00"}
            << QStringList{err(1, ": Error. RTGS amount below min limit 500.000.001</span>"),
                           err(2, ": Error. RTGS amount below min limit 500.000.001</span>")};
    }

    void clearingFilterAndLimits()
    {
        QFETCH(int, clearing);
        QFETCH(QStringList, types);
        QFETCH(QVariantList, amounts);
        QFETCH(QStringList, processedAmounts);
        QFETCH(QStringList, messages);

        QList<QVariantList> rows;
        for (int i = 0; i < types.size(); ++i)
            rows.append(validRow(types[i], amounts[i]));
        run(settingsFor(BankMode::Others, clearing), rows);
        QStringList seen;
        for (const RowReport& r : m_sink.rows)
            seen.append(r.values[2]);
        QCOMPARE(seen, processedAmounts);
        QCOMPARE(m_sink.allMessages(), messages);
        for (int i = 0; i < m_sink.rows.size(); ++i)
            if (!m_sink.rows[i].messages.isEmpty())
                QCOMPARE(m_sink.rows[i].cells, (QVector<MarkedCell>{{i, 2}}));
    }

    void wdkTakesOnlyWdkRowsOfTenDigits()
    {
        QCOMPARE(run(settingsFor(BankMode::WDK, 0),
                     {validRow("LLG", 1, "123456789"), validRow("Wdk", 2, "123456789"), validRow("WDK", 3, "")}),
                 ExportOutcome::RowErrors);
        QCOMPARE(m_sink.rows.size(), 2);
        const QString tenDigits = QStringLiteral(": Error. ") + b("To Acc") + QStringLiteral(" must be 10 digits</span>");
        QCOMPARE(m_sink.allMessages(), (QStringList{err(1, tenDigits), err(2, tenDigits)}));
        QCOMPARE(m_sink.rows[0].cells, (QVector<MarkedCell>{{0, 1}}));
        QCOMPARE(m_sink.rows[1].cells, (QVector<MarkedCell>{{1, 1}}));
        QVERIFY(!QFile::exists(m_dest));
    }

    // One row changed in one cell, in WDK mode or in Others mode (LLG).
    void rowChecks_data()
    {
        QTest::addColumn<bool>("wdk");
        QTest::addColumn<int>("column");
        QTest::addColumn<QVariant>("cell");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("marks");     // times the shown cell is marked
        QTest::addColumn<int>("logColumn");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("record");   // the detail record when the batch is written

        const auto row = [](const char* name, bool wdk, int column, const QVariant& cell, const QStringList& messages,
                            int marks, int logColumn, const QString& shown, const QString& record = {}) {
            QTest::newRow(name) << wdk << column << cell << messages << marks << logColumn << shown << record;
        };
        // The detail record of validRow with an amount of 1, text put in at position at.
        const auto with = [](bool wdk, int at, const QString& text) {
            return QString("1" + pad("0123456789", 34) + sp(18) + "00000000000000001.00" + pad("PT Maju Jaya", 70)
                    + (wdk ? "B" : "N") + sp(6) + "0140011" + sp(4) + pad("BANK KOVA", 18) + pad("JAKARTA", 18)
                    + pad("Invoice 12", 18) + sp(36) + "2R" + (wdk ? "014" : "888"))
                .replace(at, text.size(), text);
        };
        const QString residence = err(1, ": Error. Invalid Residence</span>");
        const QString custType = err(1, ": Error. Invalid Customer Type</span>");
        const QString biCode = err(1, ": Error. BI Code must be 7 chars</span>");

        row("account of 9 digits padded", false, Acc, "123456789", {}, 0, 1, pad("123456789", 34),
            with(false, 1, pad("123456789", 34)));
        row("empty account padded", false, Acc, "", {}, 0, 1, sp(34), with(false, 1, sp(34)));
        row("account with a space", false, Acc, "12345 6789", {invalidChars(1, "To Acc")}, 1, 1, pad("12345 6789", 34));
        row("account of 37 digits", false, Acc, "0123456789012345678901234567890123456",
            {warn(1, ": Warning. String truncated in " + b("Acc #") + ". Exceeding 34 characters</span>")}, 0, 1,
            "0123456789012345678901234567890123", with(false, 1, "0123456789012345678901234567890123"));

        row("residence R", true, Res, "R", {}, 0, 9, "R", with(true, 0, "1"));
        row("residence N, only the first character", true, Res, "Nonresident", {}, 0, 9, "N", with(true, 252, "N"));
        // The first character of nothing is nothing: no space is made up for it.
        row("residence empty", true, Res, "", {residence}, 1, 9, "");
        row("residence lower case", true, Res, "r", {error(1, "Invalid Residence")}, 1, 9, "r");
        row("residence line feed first", true, Res, "\nR", {residence, invalidChars(1, "Residence")}, 2, 9, "\n");

        row("cust type text 2", true, Cust, "2", {}, 0, 8, "2", with(true, 251, "2"));
        row("cust type number 3", true, Cust, 3, {}, 0, 8, "3", with(true, 251, "3"));
        row("cust type 0", true, Cust, 0, {custType}, 1, 8, "0");
        row("cust type 4", true, Cust, 4, {custType}, 1, 8, "4");
        row("cust type text x", true, Cust, "x", {custType}, 1, 8, "x");
        row("cust type 2.5", true, Cust, 2.5, {custType}, 1, 8, "2.5");
        row("cust type text 1.0", true, Cust, "1.0", {custType}, 1, 8, "1.0");

        row("BI code of 6", false, BI, "014001", {biCode}, 1, 3, "014001 ");
        row("BI code empty", false, BI, QVariant(), {error(1, "BI Code must be 7 chars")}, 1, 3, sp(7));

        // Line breaks cannot split a record.
        row("line feed in the name", false, Name, "PT\nMaju", {invalidChars(1, "Beneficiary Name")}, 1, 0, "PT\nMaju");
        row("carriage return in the BI code", false, BI, "014\r001", {invalidChars(1, "BI Code")}, 1, 3, "014\r001");
        row("CR LF in the bank", false, Bank, "BANK\r\nKOVA", {invalidChars(1, "Bank Name")}, 1, 4,
            pad("BANK\r\nKOVA", 18));
        row("line feed first in the branch", false, Branch, "\nJAKARTA", {invalidChars(1, "Branch Name")}, 1, 5,
            pad("\nJAKARTA", 18));
        row("line feed in remarks 1", false, Rem1, "Inv\n12", {invalidChars(1, "Remarks 1")}, 1, 6, pad("Inv\n12", 18));
        row("carriage return in remarks 2", false, Rem2, "x\r", {invalidChars(1, "Remarks 2")}, 1, 7, pad("x\r", 18));
        // A fixed-width record counts bytes at the bank.
        row("accented letter in the name", false, Name, QString::fromUtf8("Jos\u00e9"),
            {invalidChars(1, "Beneficiary Name")}, 1, 0, QString::fromUtf8("Jos\u00e9"));
        row("tab in the branch", false, Branch, "JAKAR\tTA", {invalidChars(1, "Branch Name")}, 1, 5,
            pad("JAKAR\tTA", 18));
        row("line break after the truncation", false, Bank, QString(20, 'b') + "\n",
            {truncated(1, "Bank Name", 18), invalidChars(1, "Bank Name")}, 1, 4, QString(18, 'b'));
    }

    void rowChecks()
    {
        QFETCH(bool, wdk);
        QFETCH(int, column);
        QFETCH(QVariant, cell);
        QFETCH(QStringList, messages);
        QFETCH(int, marks);
        QFETCH(int, logColumn);
        QFETCH(QString, shown);
        QFETCH(QString, record);

        QVariantList row = validRow(wdk ? "WDK" : "LLG", 1);
        row[column - 1] = cell;
        const ExportOutcome outcome = run(settingsFor(wdk ? BankMode::WDK : BankMode::Others, 0), {row});
        QCOMPARE(m_sink.rows.size(), 1);
        QCOMPARE(m_sink.rows[0].messages, messages);
        QCOMPARE(m_sink.rows[0].cells, QVector<MarkedCell>(marks, {0, logColumn}));
        QCOMPARE(m_sink.rows[0].values[logColumn], shown);
        if (record.isEmpty()) {
            QCOMPARE(outcome, ExportOutcome::RowErrors);
            QVERIFY(!QFile::exists(m_dest));
        } else {
            QCOMPARE(outcome, ExportOutcome::Written);
            QCOMPARE(fileLines(m_dest).mid(1), QStringList{record});
        }
    }

    void amounts_data()
    {
        QTest::addColumn<QVariant>("cell");
        QTest::addColumn<QString>("field");     // empty: invalid
        QTest::addColumn<QString>("shown");

        QTest::newRow("zero") << QVariant(0) << "" << "0";
        QTest::newRow("negative") << QVariant("-5") << "" << "-5";
        QTest::newRow("ten to the seventeen") << QVariant("100000000000000000") << "" << "100000000000000000";
        QTest::newRow("largest") << QVariant("99999999999999999.99") << "99999999999999999.99"
                                 << "99.999.999.999.999.999,99";
        QTest::newRow("largest rounds up to the limit") << QVariant("99999999999999999.995") << ""
                                                          << "99999999999999999.995";
        QTest::newRow("half away from zero") << QVariant("1.005") << "00000000000000001.01" << "1,01";
        QTest::newRow("number cell") << QVariant(1234.5) << "00000000000001234.50" << "1.234,50";
    }

    void amounts()
    {
        QFETCH(QVariant, cell);
        QFETCH(QString, field);
        QFETCH(QString, shown);

        const ExportOutcome outcome = run(settingsFor(BankMode::WDK, 0), {validRow("WDK", cell)});
        QCOMPARE(m_sink.rows.size(), 1);
        QCOMPARE(m_sink.rows[0].values[2], shown);
        if (field.isEmpty()) {
            QCOMPARE(outcome, ExportOutcome::RowErrors);
            QCOMPARE(m_sink.rows[0].messages, QStringList{err(1, ": Error. Invalid amount</span>")});
            QCOMPARE(m_sink.rows[0].cells, (QVector<MarkedCell>{{0, 2}}));
            QCOMPARE(m_sink.summary[1], QStringLiteral("Total amounts: 0,00"));
        } else {
            QCOMPARE(outcome, ExportOutcome::Written);
            QCOMPARE(fileLines(m_dest).at(1).mid(53, 20), field);
            QCOMPARE(fileLines(m_dest).at(0).mid(45, 20), field);
            QCOMPARE(m_sink.summary[1], "Total amounts: " + shown);
        }
    }

    void totalIsTheSumOfTheWrittenAmounts()
    {
        QCOMPARE(run(settingsFor(BankMode::WDK, 0),
                     {validRow("WDK", "0.105"), validRow("WDK", "0.105"), validRow("WDK", "0.105")}),
                 ExportOutcome::Written);
        QCOMPARE(fileLines(m_dest).at(0).mid(45, 25), QStringLiteral("00000000000000000.3300003"));
        QCOMPARE(m_sink.summary[1], QStringLiteral("Total amounts: 0,33"));
    }

    void unmappedOptionalFields()
    {
        CreditSettings s = settingsFor(BankMode::WDK, 0);
        s.columns.beneficiaryName = s.columns.biCode = s.columns.bank = s.columns.branch = 0;
        s.columns.remarks1 = s.columns.remarks2 = s.columns.custType = s.columns.residence = 0;
        QCOMPARE(run(s, {validRow("WDK", 7)}), ExportOutcome::Written);
        QCOMPARE(m_sink.rows[0].values, (QStringList{"", "0123456789" + sp(24), "7,00", sp(7), sp(18), sp(18), sp(18),
                                                   sp(18), " ", " "}));
        QCOMPARE(fileLines(m_dest).at(1), "1" + QStringLiteral("0123456789") + sp(24) + sp(18) + "00000000000000007.00"
                                        + sp(70) + "B" + sp(6) + sp(7) + sp(4) + sp(18 * 4) + sp(18) + "  014");
    }

    void warningsAloneStillWrite()
    {
        QVariantList row = validRow("LLG", 1);
        row[Name - 1] = QString(71, 'n');
        row[Bank - 1] = QString(19, 'b');
        row[Branch - 1] = QString(19, 'c');
        row[Rem1 - 1] = QString(19, '1');
        row[Rem2 - 1] = QString(19, '2');
        QCOMPARE(run(settingsFor(BankMode::Others, 0), {row}), ExportOutcome::Written);
        QCOMPARE(m_sink.allMessages(), (QStringList{truncated(1, "Beneficiary", 70), truncated(1, "Bank Name", 18),
                                                  truncated(1, "Branch", 18), truncated(1, "Remarks 1", 18),
                                                  truncated(1, "Remarks 2", 18)}));
        QVERIFY(m_sink.rows[0].cells.isEmpty());
        QCOMPARE(m_sink.rows[0].values[0], QString(71, 'n'));
        QCOMPARE(m_sink.rows[0].values[4], QString(18, 'b'));
        QCOMPARE(m_sink.summary[2], QStringLiteral("Total warnings: 5"));
        QCOMPARE(fileLines(m_dest).at(1).size(), 256);
        QCOMPARE(fileLines(m_dest).at(1).mid(73, 70), QString(70, 'n'));
    }

    void oneErrorInThreeRowsWritesNothing()
    {
        {
            QFile f(m_dest);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("yesterday's batch\n");
        }
        QCOMPARE(run(settingsFor(BankMode::WDK, 0), {validRow("WDK", 1), validRow("WDK", 0), validRow("WDK", 3)}),
                 ExportOutcome::RowErrors);
        QCOMPARE(m_sink.rows.size(), 3);
        QCOMPARE(m_sink.summary, summary("3 of 3", "4,00", 0, 1));
        QCOMPARE(m_sink.boxTexts(), QStringList{"ERROR!"});
        QVERIFY(!QFile::exists(m_dest + ".details"));
        QCOMPARE(fileLines(m_dest), QStringList{"yesterday's batch"});
    }

    void overflow_data()
    {
        QTest::addColumn<qint64>("units");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("refusal");

        QTest::newRow("fits") << qint64(99999999999999999LL) << 99999 << "";
        QTest::newRow("total") << qint64(100000000000000000LL) << 1 << "Total amount does not fit the header record";
        QTest::newRow("count") << qint64(1) << 100000 << "Record count exceeds 99999";
        QTest::newRow("both: the amount first") << qint64(100000000000000000LL) << 100000
                                                << "Total amount does not fit the header record";
    }

    void overflow()
    {
        QFETCH(qint64, units);
        QFETCH(int, count);
        QFETCH(QString, refusal);
        const CreditExport job(settingsFor(BankMode::WDK, 0));
        ExportTotals totals;
        totals.total = wholeUnits(units);
        totals.count = count;
        QCOMPARE(job.overflow(totals), refusal);
        if (refusal.isEmpty()) {
            totals.total += 99;   // 99999999999999999.99, the largest that fits
            QVERIFY(job.overflow(totals).isEmpty());
            QCOMPARE(job.headerRecord(totals).mid(45, 25), QStringLiteral("99999999999999999.9999999"));
            QCOMPARE(job.headerRecord(totals).size(), job.recordWidth());
        }
    }

    void initialSettings()
    {
        const QString ini = m_dir.filePath(QStringLiteral("initial.ini"));
        const QDate today(2024, 7, 1);
        CreditSettings fresh = initialCreditSettings(ini, today);
        QCOMPARE(fresh.mode, BankMode::WDK);
        QCOMPARE(fresh.effectiveDate, today);
        chooseBeneficiaryBank(fresh, BankMode::Others, 0);
        QCOMPARE(fresh.minLimitText, QStringLiteral("1"));
        QCOMPARE(fresh.maxLimitText, QStringLiteral("500.000.000"));
        QCOMPARE(fresh.wdkIndex, -1);
        QVERIFY(kova::storedAccounts(ini, creditGroup()).isEmpty());

        {
            QSettings settings(ini, QSettings::IniFormat);
            settings.setValue("MaxLLG", 1000);
            settings.setValue("MinRTGS", 10);
            settings.beginGroup("Credit");
            settings.setValue("Beneficary", 4);
            settings.setValue("BnfAccount", 2);
            settings.setValue("Residence", 9);
            settings.setValue("HasColumnHeader", true);
            saveAccounts(settings, {{"111", "a"}, {"0123456789", "1234/56789/ABCD"}});
        }
        CreditSettings stored = initialCreditSettings(ini, today);
        QVERIFY(stored.hasColumnHeader);
        QCOMPARE(stored.columns.beneficiaryName, 4);
        QCOMPARE(stored.columns.account, 2);
        QCOMPARE(stored.columns.residence, 9);
        QCOMPARE(stored.columns.amount, 0);
        QCOMPARE(stored.limits.minRTGS, quint64(1001));
        QCOMPARE(stored.minLimitText, QStringLiteral("1.001"));
        fitColumnsToSheet(stored.columns, 8);
        QCOMPARE(stored.columns.residence, 0);
        QCOMPARE(stored.columns.beneficiaryName, 4);
        QCOMPARE(kova::storedAccounts(ini, creditGroup()), (QVector<SourceAccount>{{"111", "a"}, {"0123456789", "1234/56789/ABCD"}}));
    }
};

QTEST_GUILESS_MAIN(TestCreditExport)
#include "test_credit_export.moc"
