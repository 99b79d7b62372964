#include "core/credit/creditexport.h"

#include "enginetest.h"

#include <QtTest>

using namespace kova;
using namespace expect;

namespace {

// Sheet columns of the test workbooks.
enum SheetColumn { Name = 1, Acc, Amount, Type, BI, Bank, Branch, Rem1, Rem2, Cust, Res };

CreditSettings settingsFor(BankMode mode, int choice)
{
    CreditSettings s;
    int column = 1;
    using F = CreditField;
    for (F field : {F::BeneficiaryName, F::Account, F::Amount, F::TransferType, F::BICode, F::Bank, F::Branch,
                    F::Remarks1, F::Remarks2, F::CustType, F::Residence})
        s.columns[field] = column++;
    s.sourceAccount = SourceAccount{QStringLiteral("0123456789"), QStringLiteral("1234/56789/ABCD")};
    s.effectiveDate = QDate(2024, 3, 5);
    s.limits.normalise();
    chooseBeneficiaryBank(s, mode, choice);
    return s;
}

// A complete, valid row of the given transfer type.
QVariantList validRow(const QString& type, const QVariant& amount)
{
    return {"PT Maju Jaya", "0123456789", amount, type, "0140011", "BANK KOVA", "JAKARTA", "Invoice 12", "", 2, "R"};
}

} // namespace

class TestCreditExport final : public EngineTest
{
    Q_OBJECT

    ExportOutcome run(const CreditSettings& s, const QList<QVariantList>& rows)
    {
        return runCreditExport(s, writeBook("Sheet1", rows), "Sheet1", m_dest, m_sink);
    }

private slots:
    void init() { freshFolder(); }

    void wholeRecords_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("immediate");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QVariant>("amount");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("detail");

        const QString acc = QStringLiteral("0123456789") + sp(24) + sp(18);
        const QString body = pad("PT Maju Jaya", 70);
        const QString tail = sp(5) + " " + pad("0140011", 7) + sp(4) + pad("BANK KOVA", 18) + pad("JAKARTA", 18)
            + pad("Invoice 12", 18) + sp(18) + sp(18) + "2" + "R";
        const QString batch = sp(15) + pad("Batch one", 18) + pad("Second", 18) + sp(132);
        const QString from = "0123456789 12346789" + sp(15);

        QTest::newRow("WDK, one to one, immediate") << int(BankMode::WDK) << 0 << true << "WDK" << QVariant("1500000.50")
            << "0SP" + sp(8) + from + "00000000001500000.50" + "00001" + "WDK" + batch
            << "1" + acc + "00000000001500000.50" + body + "B" + tail + "014";
        QTest::newRow("WDK, one to many, on a date") << int(BankMode::WDK) << 1 << false << "wdk" << QVariant(1500000.5)
            << "0MP20240305" + from + "00000000001500000.50" + "00001" + "WDK" + batch
            << "1" + acc + "00000000001500000.50" + body + "B" + tail + "014";
        QTest::newRow("Others, LLG") << int(BankMode::Others) << 0 << true << "LLG" << QVariant(250000000)
            << "0MP" + sp(8) + from + "00000000250000000.00" + "00001" + "LLG" + batch
            << "1" + acc + "00000000250000000.00" + body + "N" + tail + "888";
        QTest::newRow("Others, RTGS") << int(BankMode::Others) << 1 << false << "RTG" << QVariant("750000000.25")
            << "0MP20240305" + from + "00000000750000000.25" + "00001" + "RTG" + batch
            << "1" + acc + "00000000750000000.25" + body + "Y" + tail + "888";
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
        QCOMPARE(fileLines(m_dest), (QStringList{header, detail}));
        QCOMPARE(header.size() + detail.size(), 512);
        QCOMPARE(m_sink.titles, (QStringList{"Beneficiary Name", "Acc #", "Amount", "BI Code", "Bank Name",
                                             "Branch Name", "Remarks 1", "Remarks 2", "Cust Type", "Residence"}));
        QCOMPARE(m_sink.rows[0].amountColumn, 2);
        QCOMPARE(m_sink.rows[0].values.mid(0, 2), (QStringList{"PT Maju Jaya", "0123456789" + sp(24)}));
        QCOMPARE(m_sink.rows[0].values.mid(3), (QStringList{"0140011", pad("BANK KOVA", 18), pad("JAKARTA", 18),
                                                            pad("Invoice 12", 18), sp(18), "2", "R"}));
        QCOMPARE(m_sink.boxTexts(), QStringList{"Done!"});
    }

    // One row changed in one cell, in WDK mode or in Others mode (LLG, the
    // rows typed "llg": the filter and the limit ignore case).
    void rowChecks_data()
    {
        QTest::addColumn<bool>("wdk");
        QTest::addColumn<RowCase>("c");
        const auto row = [](const char* name, bool wdk, int column, const QVariant& cell, const QStringList& messages,
                            int marks, int logColumn, const QString& shown, const QString& record = {}) {
            QVariantList cells = validRow(wdk ? "WDK" : "llg", 1);
            cells[column - 1] = cell;
            QTest::newRow(name) << wdk
                                << RowCase{cells, messages, QVector<int>(marks, logColumn), logColumn, shown, record};
        };
        // The detail record of validRow with an amount of 1, text put in at position at.
        const auto with = [](bool wdk, int at, const QString& text) {
            return QString("1" + pad("0123456789", 34) + sp(18) + "00000000000000001.00" + pad("PT Maju Jaya", 70)
                    + (wdk ? "B" : "N") + sp(6) + "0140011" + sp(4) + pad("BANK KOVA", 18) + pad("JAKARTA", 18)
                    + pad("Invoice 12", 18) + sp(36) + "2R" + (wdk ? "014" : "888"))
                .replace(at, text.size(), text);
        };
        const QString residence = error(1, "Invalid Residence");
        const QString custType = error(1, "Invalid Customer Type");
        const QString invalidAmount = error(1, "Invalid amount");

        row("account of 9 digits padded", false, Acc, "123456789", {}, 0, 1, pad("123456789", 34),
            with(false, 1, pad("123456789", 34)));
        row("account of 9 digits in WDK mode", true, Acc, "123456789",
            {error(1, b("To Acc") + " must be 10 digits")}, 1, 1, pad("123456789", 34));
        row("account with a space", false, Acc, "12345 6789", {invalidChars(1, "To Acc")}, 1, 1, pad("12345 6789", 34));
        row("account of 37 digits", false, Acc, "0123456789012345678901234567890123456",
            {truncated(1, "Acc #", 34)}, 0, 1, "0123456789012345678901234567890123",
            with(false, 1, "0123456789012345678901234567890123"));
        row("amount above the maximum", true, Amount, "100000000000000000", {invalidAmount}, 1, 2, "100000000000000000");
        row("largest amount rounds up to above it", true, Amount, "99999999999999999.995", {invalidAmount}, 1, 2,
            "99999999999999999.995");
        row("largest amount", true, Amount, "99999999999999999.99", {}, 0, 2, "99.999.999.999.999.999,99",
            with(true, 53, "99999999999999999.99"));
        row("LLG above the maximum", false, Amount, "500000000.01",
            {error(1, "LLG amount exceeding max limit 500.000.000")}, 1, 2, "500.000.000,01");
        row("BI code of 6", false, BI, "014001", {error(1, "BI Code must be 7 chars")}, 1, 3, "014001 ");
        row("carriage return in the BI code", false, BI, "014\r001", {invalidChars(1, "BI Code")}, 1, 3, "014\r001");
        row("line break after the truncation", false, Bank, QString(20, 'b') + "\n",
            {truncated(1, "Bank Name", 18), invalidChars(1, "Bank Name")}, 1, 4, QString(18, 'b'));
        row("tab in the branch", false, Branch, "JAKAR\tTA", {invalidChars(1, "Branch Name")}, 1, 5, pad("JAKAR\tTA", 18));
        row("carriage return in remarks 2", false, Rem2, "x\r", {invalidChars(1, "Remarks 2")}, 1, 7, pad("x\r", 18));
        row("cust type text 2", true, Cust, "2", {}, 0, 8, "2", with(true, 251, "2"));
        row("cust type 0", true, Cust, 0, {custType}, 1, 8, "0");
        row("cust type 4", true, Cust, 4, {custType}, 1, 8, "4");
        // Not a whole number: shown as read, never read as 0.
        row("cust type 2.5", true, Cust, 2.5, {custType}, 1, 8, "2.5");
        row("cust type text 1.0", true, Cust, "1.0", {custType}, 1, 8, "1.0");
        row("residence N, only the first character", true, Res, "Nonresident", {}, 0, 9, "N", with(true, 252, "N"));
        // The first character of nothing is nothing: no space is made up for it.
        row("residence empty", true, Res, "", {residence}, 1, 9, "");
        row("residence lower case", true, Res, "r", {residence}, 1, 9, "r");
        row("residence line feed first", true, Res, "\nR", {residence, invalidChars(1, "Residence")}, 2, 9, "\n");
    }

    void rowChecks()
    {
        QFETCH(bool, wdk);
        QFETCH(RowCase, c);
        checkRow(run(settingsFor(wdk ? BankMode::WDK : BankMode::Others, 0), {c.cells}), c);
    }

    void unmappedOptionalFields()
    {
        CreditSettings s = settingsFor(BankMode::WDK, 0);
        s.columns[CreditField::BeneficiaryName] = s.columns[CreditField::BICode] = s.columns[CreditField::Bank] = s.columns[CreditField::Branch] = 0;
        s.columns[CreditField::Remarks1] = s.columns[CreditField::Remarks2] = s.columns[CreditField::CustType] = s.columns[CreditField::Residence] = 0;
        QCOMPARE(run(s, {validRow("WDK", 7)}), ExportOutcome::Written);
        QCOMPARE(m_sink.rows[0].values, (QStringList{"", "0123456789" + sp(24), "7,00", sp(7), sp(18), sp(18), sp(18),
                                                     sp(18), " ", " "}));
        QCOMPARE(fileLines(m_dest).at(1), "1" + QStringLiteral("0123456789") + sp(24) + sp(18) + "00000000000000007.00"
                                              + sp(70) + "B" + sp(6) + sp(7) + sp(4) + sp(18 * 4) + sp(18) + "  014");
    }

    // Truncation warnings name the fields as the layout does, not as the log.
    void warningsAloneStillWrite()
    {
        QVariantList row = validRow("llg", 1);
        row[Name - 1] = QString(71, 'n');
        for (int column : {Bank, Branch, Rem1, Rem2})
            row[column - 1] = QString(19, 'b');
        QCOMPARE(run(settingsFor(BankMode::Others, 0), {row}), ExportOutcome::Written);
        QCOMPARE(m_sink.allMessages(), (QStringList{truncated(1, "Beneficiary", 70), truncated(1, "Bank Name", 18),
                                                    truncated(1, "Branch", 18), truncated(1, "Remarks 1", 18),
                                                    truncated(1, "Remarks 2", 18)}));
        QCOMPARE(m_sink.rows[0].values[0], QString(71, 'n'));
        QCOMPARE(fileLines(m_dest).at(1).mid(73, 71), QString(70, 'n') + "N");
    }

    void initialSettings()
    {
        const QDate today(2024, 7, 1);
        CreditSettings fresh = initialCreditSettings(m_ini, today);
        QCOMPARE(fresh.mode, BankMode::WDK);
        QCOMPARE(fresh.effectiveDate, today);
        chooseBeneficiaryBank(fresh, BankMode::Others, 0);
        QCOMPARE(fresh.minLimitText + " " + fresh.maxLimitText, QString("1 500.000.000"));
        QCOMPARE(fresh.wdkIndex, -1);
        {
            QSettings settings(m_ini, QSettings::IniFormat);
            settings.setValue("MaxLLG", 1000);
            settings.setValue("MinRTGS", 10);
            settings.beginGroup("Credit");
            saveAccounts(settings, {{"111", "a"}});
        }
        CreditSettings stored = initialCreditSettings(m_ini, today);
        QCOMPARE(stored.minLimitText, QStringLiteral("1.001"));
        QCOMPARE(kova::storedAccounts(m_ini, "Credit"), (QVector<SourceAccount>{{"111", "a"}}));
    }
};

QTEST_GUILESS_MAIN(TestCreditExport)
#include "test_credit_export.moc"
