#include "core/transfer/transferexport.h"

#include "enginetest.h"

#include <QtTest>

using kova::ExportOutcome;
using namespace expect;

namespace {

// Sheet columns of the test workbooks, one per mapped field.
enum {
    RefCol = 1, DateCol, FromCol, ToCol, AmountCol, Rem1Col, Rem2Col, TypeCol, CodeCol, BankCol,
    BranchCol, NameCol, Addr1Col, Addr2Col, Addr3Col, Addr4Col, CustCol, ResCol };

enum class Mode { WDK, LLG, RTGS };

// A row that passes every check in WDK mode.
QVariantList goodRow(const QMap<int, QVariant>& changes = {})
{
    QVariantList row{"REF001", QDate(2026, 1, 5), "1234567890", "0987654321", 1500000.5, "Rent", "January", "WDK",
                     "ABCDEFG", "Bank A", "Main", "Budi Santoso", "Jl. Merdeka 1", "Kebayoran", "Jakarta", "12110", 1, "R"};
    for (auto it = changes.begin(); it != changes.end(); ++it)
        row[it.key() - 1] = it.value();
    return row;
}

QString goodDetail(int n, const QString& amount = "1500000.50")
{
    return "1|" + QString::number(n).rightJustified(5, '0') + "|REF001|1234567890|0987654321|" + amount
        + "|Rent|January|ABCDEFG|Bank A|Main|Budi Santoso|Jl. Merdeka 1|Kebayoran|Jakarta|12110|1|R|";
}

QString header(const QString& id, const QString& tail = "ABCDE12345|1500000.50|00001|WDK")
{
    return "0|FT|" + id + "|||20260105|" + tail + "|IDR|";
}

QString mustBe10(const QString& title) { return error(1, b(title) + " must be 10 characters"); }

} // namespace

class TestTransferExport final : public EngineTest
{
    Q_OBJECT

    std::optional<qint64> m_nextHeaderId;

    TransferSettings settings(Mode mode = Mode::WDK) const
    {
        TransferSettings s;
        int column = 1;
        for (int& c : s.columns)
            c = column++;
        s.columns[TransferField::TrxDate] = 0;
        s.effectiveDate = QDate(2026, 1, 5);
        s.limits.normalise();
        s.chooseClearing(mode == Mode::WDK ? -1 : mode == Mode::LLG ? 0 : 1);
        s.headerIdText = "7";
        s.corporateId = "ABCDE12345";
        s.settingsPath = m_ini;
        return s;
    }

    ExportOutcome run(const TransferSettings& settings, const QList<QVariantList>& rows)
    {
        return runTransferExport(settings, writeBook("Data", rows), "Data", m_dest, m_sink, &m_nextHeaderId);
    }

    int storedHeaderId() const { return QSettings(m_ini, QSettings::IniFormat).value("Transfer/HeaderID").toInt(); }

private slots:
    void init()
    {
        freshFolder();
        m_nextHeaderId.reset();
    }

    // The clearing filter and limits ignore case, so the batch's rows may be typed "llg".
    void wholeRecords_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("corporateId");
        QTest::addColumn<QStringList>("amounts");
        QTest::addColumn<QStringList>("upload");

        QTest::newRow("WDK") << int(Mode::WDK) << "WDK" << "ABCDE12345" << QStringList{"1500000.5", "0.1"}
                             << QStringList{header("00000007", "ABCDE12345|1500000.60|00002|WDK"), goodDetail(1),
                                            goodDetail(2, "0.10")};
        // Each amount rounds to the cent before it is added to the total.
        QTest::newRow("LLG") << int(Mode::LLG) << "llg" << "ABCDE12345" << QStringList{"1000000", "499999.995", "0.505"}
                             << QStringList{header("00000007", "ABCDE12345|1500000.51|00003|LLG"),
                                            goodDetail(1, "1000000.00"), goodDetail(2, "500000.00"), goodDetail(3, "0.51")};
        QTest::newRow("RTGS") << int(Mode::RTGS) << "RTG" << " BCDE12345" << QStringList{"600000000"}
                              << QStringList{header("00000007", " BCDE12345|600000000.00|00001|RTG"),
                                             goodDetail(1, "600000000.00")};
    }

    void wholeRecords()
    {
        QFETCH(int, mode);
        QFETCH(QString, type);
        QFETCH(QString, corporateId);
        QFETCH(QStringList, amounts);
        QFETCH(QStringList, upload);

        TransferSettings s = settings(Mode(mode));
        s.hasColumnHeader = true;
        s.corporateId = corporateId;
        QList<QVariantList> rows{{"Ref", "Date", "From"}};
        for (const QString& amount : amounts)
            rows.append(goodRow({{AmountCol, amount}, {TypeCol, type}}));
        QCOMPARE(run(s, rows), ExportOutcome::Written);
        QCOMPARE(fileLines(m_dest), upload);
        QCOMPARE(m_sink.titles, (QStringList{"Trx Ref", "From Acc", "To Acc", "Amount", "Remarks 1", "Remarks 2",
                                             "Bank Code", "Bank Name", "Branch", "Beneficiary", "Address 1",
                                             "Address 2", "Address 3", "Address 4", "Cust Type", "Residence"}));
        QCOMPARE(m_sink.rows.at(0).values.mid(4), (QStringList{"Rent", "January", "ABCDEFG", "Bank A", "Main",
                                                               "Budi Santoso", "Jl. Merdeka 1", "Kebayoran", "Jakarta",
                                                               "12110", "1", "R"}));
        QCOMPARE(m_sink.rows.at(0).values.mid(0, 3), (QStringList{"REF001", "1234567890", "0987654321"}));
        QCOMPARE(m_sink.rows.at(0).amountColumn, 3);
        QCOMPARE(m_sink.boxTexts(), QStringList{"Done!"});
    }

    void unmappedOptionalFields()
    {
        TransferSettings s = settings();
        for (int f = int(TransferField::Remarks1); f < int(TransferField::Count); ++f)
            if (TransferField(f) != TransferField::Remittance)
                s.columns[TransferField(f)] = 0;
        QCOMPARE(run(s, {goodRow()}), ExportOutcome::Written);
        QCOMPARE(fileLines(m_dest).value(1), QString("1|00001|REF001|1234567890|0987654321|1500000.50|||||||||||||"));
        QCOMPARE(m_sink.rows.at(0).values.mid(4), (QStringList{sp(18), sp(18), sp(7), sp(18), sp(18), sp(70), sp(18),
                                                               sp(18), sp(18), sp(18), " ", " "}));
    }

    void rowChecks_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<RowCase>("c");
        // marks: times the shown cell is marked.
        const auto row = [](const char* name, Mode mode, int column, const QVariant& cell, const QStringList& messages,
                            int marks, int logColumn, const QString& shown, const QString& record = {}) {
            QMap<int, QVariant> changes{{column, cell}};
            if (mode != Mode::WDK)
                changes.insert(TypeCol, mode == Mode::LLG ? "llg" : "rtg");
            QTest::newRow(name) << int(mode)
                                << RowCase{goodRow(changes), messages, QVector<int>(marks, logColumn), logColumn, shown,
                                           record};
        };
        const auto with = [](int field, const QString& value) {
            QStringList fields = goodDetail(1).split('|');
            fields[field] = value;
            return fields.join('|');
        };
        const Mode wdk = Mode::WDK;
        const QString ref30 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
        const QString bankCode = error(1, "Bank Code must be 7 chars");
        const QString custType = error(1, "Invalid Customer Type");
        const QString residence = error(1, "Invalid Residence");
        const QString invalidAmount = error(1, "Invalid amount");

        row("trx ref 30 chars and trailing spaces: raw length counts", wdk, RefCol, ref30 + "  ",
            {truncated(1, "Trx Ref", 30)}, 0, 0, ref30, with(2, ref30));
        row("trx ref with a bar, too long", wdk, RefCol, "A|" + ref30,
            {truncated(1, "Trx Ref", 30), invalidChars(1, "Trx Ref")}, 1, 0, ("A|" + ref30).left(30));
        row("from acc 9 digits", wdk, FromCol, "123456789", {mustBe10("From Acc")}, 1, 1, "123456789 ");
        row("from acc 11 chars with a letter", wdk, FromCol, "123456789x0",
            {invalidChars(1, "From Acc"), mustBe10("From Acc")}, 2, 1, "123456789x");
        row("to acc not 10 in WDK mode", wdk, ToCol, "098765432", {mustBe10("To Acc")}, 1, 2, "098765432");
        row("to acc of 35 digits in Others mode", Mode::LLG, ToCol, QString(35, '1'),
            {error(1, "String truncated in " + b("To Acc") + ". Exceeding 34 characters")}, 0, 2,
            QString(34, '1'));
        row("to acc of 12 digits in Others mode", Mode::LLG, ToCol, "098765432100", {}, 0, 2, "098765432100",
            with(4, "098765432100"));
        // The parser's own cases are in test_money; these reach it through a row.
        row("amount not a number", wdk, AmountCol, "1,500,000", {invalidAmount}, 1, 3, "1,500,000");
        row("amount above the maximum", wdk, AmountCol, "10000000000000", {invalidAmount}, 1, 3, "10000000000000");
        row("amount at the maximum", wdk, AmountCol, "9999999999999.99", {}, 0, 3, "9.999.999.999.999,99",
            with(5, "9999999999999.99"));
        row("LLG above the maximum", Mode::LLG, AmountCol, "500000000.01",
            {error(1, "LLG amount exceeding max limit 500.000.000")}, 1, 3, "500.000.000,01");
        row("RTGS below the minimum", Mode::RTGS, AmountCol, "500000000.99",
            {error(1, "RTGS amount below min limit 500.000.001")}, 1, 3, "500.000.000,99");
        row("remarks 1 of 19 chars", wdk, Rem1Col, "ABCDEFGHIJKLMNOPQ R", {truncated(1, "Remarks 1", 18)}, 0, 4,
            "ABCDEFGHIJKLMNOPQ", with(6, "ABCDEFGHIJKLMNOPQ"));
        row("branch with a carriage return", wdk, BranchCol, "Main\rSt", {invalidChars(1, "Branch")}, 1, 8, "Main\rSt");
        row("address 4 too long and with a bar", wdk, Addr4Col, "123456789012345678|9",
            {truncated(1, "Address 4", 18), invalidChars(1, "Address 4")}, 1, 13, "123456789012345678");
        row("bank code mapped and empty", wdk, CodeCol, QVariant(), {bankCode}, 1, 6, "");
        row("bank code with a line break", wdk, CodeCol, "ABC\nEF", {bankCode, invalidChars(1, "Bank Code")}, 2, 6,
            "ABC\nEF");
        row("cust type 4", wdk, CustCol, 4, {custType}, 1, 14, "4");
        row("cust type as text 3", wdk, CustCol, "3", {}, 0, 14, "3", with(16, "3"));
        // Not a whole number: shown as read, never read as 0.
        row("cust type 2.5", wdk, CustCol, 2.5, {custType}, 1, 14, "2.5");
        row("cust type text 1.0", wdk, CustCol, "1.0", {custType}, 1, 14, "1.0");
        row("residence lower-case r", wdk, ResCol, "r", {residence}, 1, 15, "r");
        row("residence first char N", wdk, ResCol, "Non-resident", {}, 0, 15, "N", with(17, "N"));
        row("residence a bar", wdk, ResCol, "|R", {residence, invalidChars(1, "Residence")}, 2, 15, "|");
    }

    void rowChecks()
    {
        QFETCH(int, mode);
        QFETCH(RowCase, c);
        checkRow(run(settings(Mode(mode)), {c.cells}), c);
    }

    // The Header ID is reserved only for a batch that is written, never behind
    // the one stored so that no number is used twice; an upload that then
    // fails skips its number.
    void headerIds_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("typed");      // empty: the stored one is taken
        QTest::addColumn<int>("sheet");          // 0 good, 1 nothing to export, 2 a row error, 3 upload fails
        QTest::addColumn<QString>("headerId");   // empty: no upload
        QTest::addColumn<int>("next");           // 0: nothing reserved

        QTest::newRow("nothing stored, 5 typed") << QVariant() << "5" << 0 << "00000005" << 6;
        QTest::newRow("7 stored, 3 typed to send again") << QVariant(7) << "3" << 0 << "00000003" << 8;
        QTest::newRow("largest") << QVariant(99999999) << "99999999" << 0 << "99999999" << 100000000;
        QTest::newRow("typed with leading zeros") << QVariant(3) << "000000003" << 0 << "00000003" << 4;
        QTest::newRow("stored one taken") << QVariant(41) << "" << 0 << "00000041" << 42;
        QTest::newRow("nothing to export") << QVariant(7) << "3" << 1 << "" << 0;
        QTest::newRow("row errors") << QVariant(7) << "3" << 2 << "" << 0;
        QTest::newRow("upload fails") << QVariant(7) << "3" << 3 << "" << 8;
    }

    void headerIds()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, typed);
        QFETCH(int, sheet);
        QFETCH(QString, headerId);
        QFETCH(int, next);

        if (stored.isValid())
            QSettings(m_ini, QSettings::IniFormat).setValue("Transfer/HeaderID", stored);
        if (sheet == 3)
            QVERIFY(QDir().mkpath(m_dest));   // a folder stands where the file should go
        TransferSettings s = settings();
        if (typed.isEmpty())
            s.useStoredHeaderId = true;
        else
            s.headerIdText = typed;
        const QList<QVariant> fromAcc{"1234567890", "1234567890", "12", "1234567890"};
        const QList<QVariant> type{"WDK", "LLG", "WDK", "WDK"};
        run(s, {goodRow({{FromCol, fromAcc.at(sheet)}, {TypeCol, type.at(sheet)}})});
        if (headerId.isEmpty())
            QVERIFY(!QFile::exists(m_dest) || sheet == 3);
        else
            QCOMPARE(fileLines(m_dest).value(0), header(headerId));
        QCOMPARE(m_nextHeaderId, next ? std::optional<qint64>(next) : std::nullopt);
        QCOMPARE(storedHeaderId(), next ? next : stored.toInt());
        if (sheet == 3)
            QCOMPARE(m_sink.boxTexts(), QStringList{"Failed open file for writing"});
    }

    void settingsAfterConstruction()
    {
        TransferSettings fresh = readTransferSettings(m_ini);
        QCOMPARE(fresh.headerIdText + fresh.corporateId, QString("1"));
        QCOMPARE(fresh.mode, kova::BankMode::WDK);
        fresh.chooseClearing(0);
        QCOMPARE(fresh.minLimitText + " " + fresh.maxLimitText, QString("1 500.000.000"));

        QSettings ini(m_ini, QSettings::IniFormat);
        ini.setValue("MaxLLG", 100000000);
        ini.setValue("Transfer/HeaderID", "42");
        ini.sync();
        const TransferSettings stored = readTransferSettings(m_ini);
        QCOMPARE(stored.headerIdText, QString("42"));
        QCOMPARE(stored.limits.minRTGS, quint64(100000001));
    }
};

QTEST_GUILESS_MAIN(TestTransferExport)
#include "test_transfer_export.moc"
