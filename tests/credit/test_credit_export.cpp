#include "core/credit/creditexport.h"

#include "enginetest.h"

using namespace kova;
using namespace expect;

namespace {

// Sheet columns of the test workbooks.
enum SheetColumn { Name = 1, Acc, Amount, Type, BI, Bank, Branch, Rem1, Rem2, Cust, Res };

QVariantList validRow(const QString& type, const QVariant& amount = 1)
{
    return {"PT Maju Jaya", "0123456789", amount, type, "0140011", "BANK KOVA", "JAKARTA", "Invoice 12", "", 2, "R"};
}

// The detail record of validRow in WDK or Others mode, with text put in at position at.
QString detail(bool wdk, const QString& amount = "00000000000000001.00", int at = 0, const QString& text = "1")
{
    return QString("1" + pad("0123456789", 52) + amount + pad("PT Maju Jaya", 70) + (wdk ? "B" : "N") + sp(6) + "0140011"
                   + sp(4) + pad("BANK KOVA", 18) + pad("JAKARTA", 18) + pad("Invoice 12", 18) + sp(36) + "2R"
                   + (wdk ? "014" : "888"))
        .replace(at, text.size(), text);
}

} // namespace

class TestCreditExport final : public EngineTest
{
    Q_OBJECT

    // WDK mode with one to one (0) or one to many (1), or Others mode with LLG (2) or RTGS (3).
    ExportOutcome run(int choice, const QList<QVariantList>& rows)
    {
        CreditSettings s;
        int column = 1;
        using F = CreditField;
        for (F field : {F::BeneficiaryName, F::Account, F::Amount, F::TransferType, F::BICode, F::Bank, F::Branch,
                        F::Remarks1, F::Remarks2, F::CustType, F::Residence})
            s.columns[field] = column++;
        s.sourceAccount = SourceAccount{"0123456789", "1234/56789/ABCD"};
        s.effectiveDate = QDate(2024, 3, 5);
        s.immediate = choice % 2 == 0;
        s.batchRemarks1 = "Batch one";
        s.batchRemarks2 = "Second";
        s.limits.normalise();
        s.settingsPath = m_ini;
        chooseBeneficiaryBank(s, choice < 2 ? BankMode::WDK : BankMode::Others, choice % 2);
        return runCreditExport(s, writeBook("Sheet1", rows), "Sheet1", m_dest, m_sink);
    }

private slots:
    void init() { freshFolder(); }

    // The WDK choice or the clearing names the header; the mode marks the detail record.
    void wholeRecords_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QVariant>("amount");
        QTest::addColumn<QStringList>("upload");
        const QString batch = sp(15) + pad("Batch one", 18) + pad("Second", 18) + sp(132);
        const QString from = "0123456789 12346789" + sp(15);
        const QString amount = "00000000001500000.50";
        QTest::newRow("WDK, one to one, immediate") << 0 << QVariant("1500000.50")
            << QStringList{"0SP" + sp(8) + from + amount + "00001WDK" + batch, detail(true, amount)};
        QTest::newRow("WDK, one to many, on a date") << 1 << QVariant(1500000.5)
            << QStringList{"0MP20240305" + from + amount + "00001WDK" + batch, detail(true, amount)};
        QTest::newRow("Others, LLG, immediate") << 2 << QVariant(250000000)
            << QStringList{"0MP" + sp(8) + from + "00000000250000000.0000001LLG" + batch,
                           detail(false, "00000000250000000.00")};
        QTest::newRow("Others, RTGS, on a date") << 3 << QVariant("750000000.25")
            << QStringList{"0MP20240305" + from + "00000000750000000.2500001RTG" + batch,
                           detail(false, "00000000750000000.25", 143, "Y")};
    }
    void wholeRecords()
    {
        QFETCH(int, choice);
        QFETCH(QVariant, amount);
        QFETCH(QStringList, upload);
        // The transfer type filter ignores case.
        QCOMPARE(run(choice, {validRow(QStringList{"WDK", "wdk", "LLG", "RTG"}.at(choice), amount)}), ExportOutcome::Written);
        QCOMPARE(fileLines(m_dest), upload);
        QCOMPARE(m_sink.boxTexts(), QStringList{"Done!"});
    }

    // One cell changed, in WDK mode (one to one) or in Others mode (LLG).
    void rowChecks_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<RowCase>("c");
        const auto row = [](const char* name, bool wdk, int column, const QVariant& cell, const QStringList& messages,
                            int marks, int at, const QString& shown, const QString& record = {}) {
            QVariantList cells = validRow(wdk ? "WDK" : "LLG");
            cells[column - 1] = cell;
            QTest::newRow(name) << (wdk ? 0 : 2) << RowCase{cells, messages, QVector<int>(marks, at), at, shown, record};
        };
        const QString one = "00000000000000001.00";
        row("account of 9 digits in Others mode", false, Acc, "123456789", {}, 0, 1, pad("123456789", 34),
            detail(false, one, 1, pad("123456789", 34)));
        row("account of 9 digits in WDK mode", true, Acc, "123456789", {error(1, b("To Acc") + " must be 10 digits")}, 1,
            1, pad("123456789", 34));
        row("largest amount", true, Amount, "99999999999999999.99", {}, 0, 2, "99.999.999.999.999.999,99",
            detail(true, "99999999999999999.99"));
        row("largest amount rounds up to above it", true, Amount, "99999999999999999.995", {error(1, "Invalid amount")},
            1, 2, "99999999999999999.995");
        row("BI code of 6", false, BI, "014001", {error(1, "BI Code must be 7 chars")}, 1, 3, "014001 ");
        row("cust type text 2", true, Cust, "2", {}, 0, 8, "2", detail(true, one, 251, "2"));
        row("cust type 0", true, Cust, 0, {error(1, "Invalid Customer Type")}, 1, 8, "0");
        row("residence: its first character", true, Res, "Nonresident", {}, 0, 9, "N", detail(true, one, 252, "N"));
        // The first character of nothing is nothing: no space is made up for it.
        row("residence empty", true, Res, "", {error(1, "Invalid Residence")}, 1, 9, "");
    }
    void rowChecks()
    {
        QFETCH(int, choice);
        QFETCH(RowCase, c);
        checkRow(run(choice, {c.cells}), c);
    }

    // Warnings alone still write; they name the fields as the layout does, not as the log.
    void truncationWarnings()
    {
        QVariantList row = validRow("LLG");
        row[Name - 1] = QString(71, 'n');
        for (int column : {Bank, Branch, Rem1, Rem2})
            row[column - 1] = QString(19, 'b');
        QCOMPARE(run(2, {row}), ExportOutcome::Written);
        QCOMPARE(m_sink.allMessages(), (QStringList{truncated(1, "Beneficiary", 70), truncated(1, "Bank Name", 18),
                                                    truncated(1, "Branch", 18), truncated(1, "Remarks 1", 18),
                                                    truncated(1, "Remarks 2", 18)}));
        QCOMPARE(fileLines(m_dest).at(1).mid(73, 71), QString(70, 'n') + "N");
    }

    // A stated array size is only text a person may edit: it never sizes memory, and entry
    // numbers past 1,000 are not read.
    void storedAccounts()
    {
        writeSettings(m_ini, "Credit", {{"Accounts/size", "300000000"}, {"Accounts/1/Account", "a1"},
                                        {"Accounts/3/Account", "a3"}, {"Accounts/1001/Account", "a1001"}});
        QCOMPARE(kova::storedAccounts(m_ini, "Credit"), (QVector<SourceAccount>{{"a1", ""}, {"", ""}, {"a3", ""}}));
    }
};

QTEST_GUILESS_MAIN(TestCreditExport)
#include "test_credit_export.moc"
