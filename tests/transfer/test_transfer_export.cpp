#include "core/transfer/transferexport.h"

#include "enginetest.h"

#include <QFile>
#include <QSettings>
#include <QtTest>

using kova::ExportOutcome;
using namespace expect;

namespace {

// Sheet columns of the test workbooks, one per mapped field.
enum {
    RefCol = 1, DateCol, FromCol, ToCol, AmountCol, Rem1Col, Rem2Col, TypeCol, CodeCol, BankCol,
    BranchCol, NameCol, Addr1Col, Addr2Col, Addr3Col, Addr4Col, CustCol, ResCol };

enum class Mode { WDK, LLG, RTGS };

QString mustBe10(int n, const QString& title) { return error(n, b(title) + " must be 10 characters"); }
QString invalidAmount(int n) { return err(n, ": Error. Invalid amount</span>"); }

// A row that passes every check in WDK mode.
QVariantList goodRow(const QMap<int, QVariant>& changes = {})
{
    QVariantList row{"REF001", QDate(2026, 1, 5), "1234567890", "0987654321", 1500000.5, "Rent", "January", "WDK",
                     "ABCDEFG", "Bank A", "Main", "Budi Santoso", "Jl. Merdeka 1", "Kebayoran", "Jakarta", "12110", 1, "R"};
    for (auto it = changes.begin(); it != changes.end(); ++it)
        row[it.key() - 1] = it.value();
    return row;
}

const QString goodTail = "|Rent|January|ABCDEFG|Bank A|Main|Budi Santoso|Jl. Merdeka 1|Kebayoran|Jakarta|12110|1|R|";

QString goodDetail(int n, const QString& ref = "REF001", const QString& amount = "1500000.50")
{
    return "1|" + QString::number(n).rightJustified(5, '0') + '|' + ref + "|1234567890|0987654321|" + amount + goodTail;
}

using Cells = QVector<kova::MarkedCell>;

} // namespace

Q_DECLARE_METATYPE(kova::MarkedCell)

class TestTransferExport final : public EngineTest
{
    Q_OBJECT

    QString m_ini;
    std::optional<qint64> m_nextHeaderId;

    TransferSettings settings(Mode mode = Mode::WDK) const
    {
        TransferSettings s;
        for (int f = 0; f < transferFieldCount; ++f)
            s.columns[std::size_t(f)] = f + 1;
        s.setColumn(TransferField::TrxDate, 0);
        s.dateFrom = s.dateTo = QDate(2026, 1, 5);
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

    QStringList processedRefs() const
    {
        QStringList refs;
        for (const auto& row : m_sink.rows)
            refs.append(row.values.value(0));
        return refs;
    }

private slots:
    void init()
    {
        freshFolder();
        m_ini = m_dir->filePath("kova.ini");
        m_nextHeaderId.reset();
    }

    void wholeRecords()
    {
        TransferSettings s = settings();
        s.hasColumnHeader = true;
        const QVariantList titles{"Ref", "Date", "From"};
        QCOMPARE(run(s, {titles, goodRow(), goodRow({{RefCol, "REF002"}, {AmountCol, 0.1}})}), ExportOutcome::Written);
        QCOMPARE(fileLines(m_dest), (QStringList{"0|FT|00000007|||20260105|ABCDE12345|1500000.60|00002|WDK|IDR|",
                                                 goodDetail(1), goodDetail(2, "REF002", "0.10")}));
        QVERIFY(!QFile::exists(m_dest + ".details"));
        QCOMPARE(m_sink.titles, (QStringList{"Trx Ref", "From Acc", "To Acc", "Amount", "Remarks 1", "Remarks 2",
                                             "Bank Code", "Bank Name", "Branch", "Beneficiary", "Address 1",
                                             "Address 2", "Address 3", "Address 4", "Cust Type", "Residence"}));
        QCOMPARE(m_sink.rows.size(), 2);
        QCOMPARE(m_sink.rows.at(0).values, (QStringList{"REF001", "1234567890", "0987654321", "1.500.000,50", "Rent",
                                                        "January", "ABCDEFG", "Bank A", "Main", "Budi Santoso",
                                                        "Jl. Merdeka 1", "Kebayoran", "Jakarta", "12110", "1", "R"}));
        QCOMPARE(m_sink.rows.at(0).amountColumn, 3);
        QVERIFY(m_sink.rows.at(0).messages.isEmpty());
        QCOMPARE(m_sink.summary, summary("2 of 2", "1.500.000,60", 0, 0));
        QCOMPARE(m_sink.boxTexts(), QStringList{"Done!"});
    }

    void unmappedOptionalFields()
    {
        TransferSettings s = settings();
        for (TransferField f : {TransferField::Remarks1, TransferField::Remarks2, TransferField::BICode,
                                TransferField::Bank, TransferField::Branch, TransferField::Beneficiary,
                                TransferField::Address1, TransferField::Address2, TransferField::Address3,
                                TransferField::Address4, TransferField::CustType, TransferField::Residence})
            s.setColumn(f, 0);
        QCOMPARE(run(s, {goodRow()}), ExportOutcome::Written);
        QCOMPARE(fileLines(m_dest).value(1), QString("1|00001|REF001|1234567890|0987654321|1500000.50|||||||||||||"));
        QCOMPARE(m_sink.rows.at(0).values.mid(4), (QStringList{sp(18), sp(18), sp(7), sp(18), sp(18), sp(70), sp(18),
                                                               sp(18), sp(18), sp(18), " ", " "}));
    }

    void rowChecks_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("column");
        QTest::addColumn<QVariant>("cell");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("marks");     // times the shown cell is marked
        QTest::addColumn<int>("logColumn");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("record");   // the detail record when the batch is written

        const auto row = [](const char* name, Mode mode, int column, const QVariant& cell, const QStringList& messages,
                            int marks, int logColumn, const QString& shown, const QString& record = {}) {
            QTest::newRow(name) << int(mode) << column << cell << messages << marks << logColumn << shown << record;
        };
        // The good detail record with its field-th "|"-separated field replaced.
        const auto with = [](int field, const QString& value) {
            QStringList fields = goodDetail(1).split('|');
            fields[field] = value;
            return fields.join('|');
        };
        const Mode wdk = Mode::WDK;
        const QString ref30 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
        const QString bankCode = err(1, ": Error. Bank Code must be 7 chars</span>");
        const QString residence = err(1, ": Error. Invalid Residence</span>");

        row("trx ref 31 chars: cut with a warning", wdk, RefCol, ref30 + "4", {truncated(1, "Trx Ref", 30)}, 0, 0,
            ref30, "1|00001|" + ref30 + "|1234567890|0987654321|1500000.50" + goodTail);
        row("trx ref 30 chars and trailing spaces: raw length counts", wdk, RefCol, ref30 + "  ",
            {truncated(1, "Trx Ref", 30)}, 0, 0, ref30, with(2, ref30));
        row("trx ref with a bar, too long", wdk, RefCol, "A|" + ref30,
            {truncated(1, "Trx Ref", 30), invalidChars(1, "Trx Ref")}, 1, 0, ("A|" + ref30).left(30));
        row("from acc 9 digits", wdk, FromCol, "123456789", {mustBe10(1, "From Acc")}, 1, 1, "123456789 ");
        row("from acc with letters, 10 chars", wdk, FromCol, "12345abcde", {invalidChars(1, "From Acc")}, 1, 1,
            "12345abcde");
        row("from acc 11 chars with a letter", wdk, FromCol, "123456789x0",
            {invalidChars(1, "From Acc"), mustBe10(1, "From Acc")}, 2, 1, "123456789x");
        row("to acc not 10 in WDK mode", wdk, ToCol, "098765432", {mustBe10(1, "To Acc")}, 1, 2, "098765432");
        row("to acc of 35 digits in Others mode", Mode::LLG, ToCol, QString(35, '1'),
            {err(1, ": Error. String truncated in " + b("To Acc") + ". Exceeding 34 characters</span>")}, 0, 2,
            QString(34, '1'));
        row("to acc of 12 digits in Others mode", Mode::LLG, ToCol, "098765432100", {}, 0, 2, "098765432100",
            with(4, "098765432100"));

        // The parser's own cases are in test_money; these reach it through a row.
        for (const char* amount : {"1,500,000", "-5", "10000000000000"})
            row(amount, wdk, AmountCol, amount, {invalidAmount(1)}, 1, 3, amount);
        row("amount number 0", wdk, AmountCol, 0, {invalidAmount(1)}, 1, 3, "0");
        row("amount empty", wdk, AmountCol, QVariant(), {invalidAmount(1)}, 1, 3, "");
        row("amount 1.005 rounds half away from zero", wdk, AmountCol, "1.005", {}, 0, 3, "1,01", with(5, "1.01"));
        row("amount at the maximum", wdk, AmountCol, "9999999999999.99", {}, 0, 3, "9.999.999.999.999,99",
            with(5, "9999999999999.99"));
        row("LLG above the maximum", Mode::LLG, AmountCol, "500000000.01",
            {err(1, ": Error. LLG amount exceeding max limit 500.000.000</span>")}, 1, 3, "500.000.000,01");
        row("LLG at the maximum", Mode::LLG, AmountCol, "500000000", {}, 0, 3, "500.000.000,00",
            with(5, "500000000.00"));
        row("RTGS below the minimum", Mode::RTGS, AmountCol, "500000000.99",
            {err(1, ": Error. RTGS amount below min limit 500.000.001</span>")}, 1, 3, "500.000.000,99");

        row("remarks 1 of 19 chars", wdk, Rem1Col, "ABCDEFGHIJKLMNOPQ R", {truncated(1, "Remarks 1", 18)}, 0, 4,
            "ABCDEFGHIJKLMNOPQ", with(6, "ABCDEFGHIJKLMNOPQ"));
        row("remarks 2 with a bar", wdk, Rem2Col, "a|b", {invalidChars(1, "Remarks 2")}, 1, 5, "a|b");
        row("bank code mapped and empty", wdk, CodeCol, QVariant(), {bankCode}, 1, 6, "");
        row("bank code with a bar", wdk, CodeCol, "ABC|EFG", {invalidChars(1, "Bank Code")}, 1, 6, "ABC|EFG");
        row("bank code with a line break", wdk, CodeCol, "ABC\nEF", {bankCode, invalidChars(1, "Bank Code")}, 2, 6,
            "ABC\nEF");
        row("bank name of 19 chars", wdk, BankCol, "ABCDEFGHIJKLMNOPQRS", {truncated(1, "Bank Name", 18)}, 0, 7,
            "ABCDEFGHIJKLMNOPQR", with(9, "ABCDEFGHIJKLMNOPQR"));
        row("branch with a carriage return", wdk, BranchCol, "Main\rSt", {invalidChars(1, "Branch")}, 1, 8, "Main\rSt");
        row("beneficiary of 71 chars", wdk, NameCol, QString(71, 'N'), {truncated(1, "Beneficiary", 70)}, 0, 9,
            QString(70, 'N'), with(11, QString(70, 'N')));
        row("beneficiary with a line feed", wdk, NameCol, "Budi\nSantoso", {invalidChars(1, "Beneficiary")}, 1, 9,
            "Budi\nSantoso");
        row("address 4 too long and with a bar", wdk, Addr4Col, "123456789012345678|9",
            {truncated(1, "Address 4", 18), invalidChars(1, "Address 4")}, 1, 13, "123456789012345678");
        row("cust type 4", wdk, CustCol, 4, {err(1, ": Error. Invalid Customer Type</span>")}, 1, 14, "4");
        row("cust type as text 3", wdk, CustCol, "3", {}, 0, 14, "3", with(16, "3"));
        // Not a whole number: shown as read, never read as 0.
        row("cust type 2.5", wdk, CustCol, 2.5, {err(1, ": Error. Invalid Customer Type</span>")}, 1, 14, "2.5");
        row("cust type text 1.0", wdk, CustCol, "1.0", {err(1, ": Error. Invalid Customer Type</span>")}, 1, 14,
            "1.0");
        // Separated fields take any text.
        row("accented beneficiary", wdk, NameCol, QString::fromUtf8("Jos\u00e9"), {}, 0, 9,
            QString::fromUtf8("Jos\u00e9"), with(11, QString::fromUtf8("Jos\u00e9")));
        row("residence lower-case r", wdk, ResCol, "r", {residence}, 1, 15, "r");
        row("residence first char N", wdk, ResCol, "Non-resident", {}, 0, 15, "N", with(17, "N"));
        row("residence a bar", wdk, ResCol, "|R", {residence, invalidChars(1, "Residence")}, 2, 15, "|");
    }

    void rowChecks()
    {
        QFETCH(int, mode);
        QFETCH(int, column);
        QFETCH(QVariant, cell);
        QFETCH(QStringList, messages);
        QFETCH(int, marks);
        QFETCH(int, logColumn);
        QFETCH(QString, shown);
        QFETCH(QString, record);

        QMap<int, QVariant> changes{{column, cell}};
        if (Mode(mode) != Mode::WDK && column != TypeCol)
            changes.insert(TypeCol, Mode(mode) == Mode::LLG ? "LLG" : "RTG");
        const ExportOutcome outcome = run(settings(Mode(mode)), {goodRow(changes)});

        QCOMPARE(m_sink.rows.size(), 1);
        QCOMPARE(m_sink.rows.at(0).messages, messages);
        QCOMPARE(m_sink.rows.at(0).cells, Cells(marks, {0, logColumn}));
        QCOMPARE(m_sink.rows.at(0).values.value(logColumn), shown);
        if (record.isEmpty()) {
            QCOMPARE(outcome, ExportOutcome::RowErrors);
            QVERIFY(!QFile::exists(m_dest));
            QCOMPARE(m_sink.boxTexts(), QStringList{"ERROR!"});
        } else {
            QCOMPARE(outcome, ExportOutcome::Written);
            QCOMPARE(fileLines(m_dest), (QStringList{fileLines(m_dest).value(0), record}));
        }
    }

    void dateFilterBoundsAndLineNumbers()
    {
        TransferSettings s = settings();
        s.setColumn(TransferField::TrxDate, DateCol);
        s.dateFrom = QDate(2026, 1, 5);
        s.dateTo = QDate(2026, 1, 9);
        s.hasColumnHeader = true;
        const auto dated = [](const char* ref, const QVariant& date, const QVariant& amount = 10,
                              const QString& type = "WDK") {
            return goodRow({{RefCol, QString::fromLatin1(ref)}, {DateCol, date}, {AmountCol, amount}, {TypeCol, type}});
        };
        run(s, {{"Ref"}, dated("before", QDate(2026, 1, 4)), dated("first", QDate(2026, 1, 5)),
                dated("no date", QVariant()), dated("text date", "06/01/2026"), dated("middle", QDate(2026, 1, 7), "x"),
                dated("clearing", QDate(2026, 1, 7), 10, "LLG"), dated("last", QDate(2026, 1, 9), "0"),
                dated("after", QDate(2026, 1, 10))});
        // Skipped rows do not count: the line numbers are those of processed rows.
        QCOMPARE(processedRefs(), (QStringList{"first", "middle", "last"}));
        QCOMPARE(m_sink.allMessages(), (QStringList{invalidAmount(2), invalidAmount(3)}));
        QCOMPARE(m_sink.rows.at(2).cells, (Cells{{2, 3}}));
        QCOMPARE(m_sink.summary, summary("3 of 8", "10,00", 0, 2));
    }

    void noDateColumnTakesEveryRow()
    {
        TransferSettings s = settings();
        s.dateFrom = s.dateTo = QDate(1999, 1, 1);
        QCOMPARE(run(s, {goodRow({{DateCol, QVariant()}}), goodRow({{DateCol, QDate(2030, 1, 1)}})}),
                 ExportOutcome::Written);
        QCOMPARE(fileLines(m_dest), (QStringList{"0|FT|00000007|||20260105|ABCDE12345|3000001.00|00002|WDK|IDR|",
                                             goodDetail(1), goodDetail(2)}));
    }

    void headerRecordOfAClearingBatch()
    {
        TransferSettings s = settings(Mode::LLG);
        const auto row = [](const char* amount) {
            return goodRow({{TypeCol, "LLG"}, {AmountCol, QString::fromLatin1(amount)}});
        };
        QCOMPARE(run(s, {row("1000000"), row("499999.995"), row("0.505")}), ExportOutcome::Written);
        QCOMPARE(fileLines(m_dest).value(0), QString("0|FT|00000007|||20260105|ABCDE12345|1500000.51|00003|LLG|IDR|"));
        QCOMPARE(fileLines(m_dest).mid(1), (QStringList{goodDetail(1, "REF001", "1000000.00"),
                                                    goodDetail(2, "REF001", "500000.00"), goodDetail(3, "REF001", "0.51")}));

        init();
        s = settings(Mode::RTGS);
        s.corporateId = " BCDE12345";
        QCOMPARE(run(s, {goodRow({{TypeCol, "RTG"}, {AmountCol, "600000000"}})}), ExportOutcome::Written);
        QCOMPARE(fileLines(m_dest).value(0), QString("0|FT|00000007|||20260105| BCDE12345|600000000.00|00001|RTG|IDR|"));
    }

    void emptyBatchIsRefused()
    {
        QSettings(m_ini, QSettings::IniFormat).setValue("Transfer/HeaderID", 7);
        QCOMPARE(run(settings(), {goodRow({{TypeCol, "LLG"}})}), ExportOutcome::Refused);
        QVERIFY(!QFile::exists(m_dest));
        QCOMPARE(m_sink.summary, summary("0 of 1", "0,00", 0, 0));
        QCOMPARE(m_sink.boxTexts(), QStringList{"No rows to export"});
        QVERIFY(!m_nextHeaderId);
        QCOMPARE(QSettings(m_ini, QSettings::IniFormat).value("Transfer/HeaderID").toInt(), 7);
    }

    // The number is reserved before the file is committed; a file that then
    // fails skips it rather than leaving it to be used twice.
    void failedUploadSkipsItsHeaderId()
    {
        QSettings(m_ini, QSettings::IniFormat).setValue("Transfer/HeaderID", 7);
        QVERIFY(QDir().mkpath(m_dest));   // a folder stands where the file should go
        QCOMPARE(run(settings(), {goodRow()}), ExportOutcome::Refused);
        QCOMPARE(m_sink.boxTexts(), QStringList{"Failed open file for writing"});
        QCOMPARE(m_nextHeaderId, std::optional<qint64>(8));
        QCOMPARE(QSettings(m_ini, QSettings::IniFormat).value("Transfer/HeaderID").toInt(), 8);
    }

    void headerIdTypedVersusStored_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("headerId");
        QTest::addColumn<int>("next");

        // Never behind the number just used, so it is never used again.
        QTest::newRow("nothing stored, 5 typed") << QVariant() << "5" << "00000005" << 6;
        QTest::newRow("not a number stored, 5 typed") << QVariant("x") << "5" << "00000005" << 6;
        QTest::newRow("7 stored, 3 typed to send again") << QVariant(7) << "3" << "00000003" << 8;
        QTest::newRow("41 stored, 5 typed") << QVariant(41) << "5" << "00000005" << 42;
        QTest::newRow("largest") << QVariant(99999999) << "99999999" << "99999999" << 100000000;
        QTest::newRow("typed with leading zeros") << QVariant(3) << "000000003" << "00000003" << 4;
    }

    void headerIdTypedVersusStored()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, typed);
        QFETCH(QString, headerId);
        QFETCH(int, next);

        if (stored.isValid())
            QSettings(m_ini, QSettings::IniFormat).setValue("Transfer/HeaderID", stored);
        TransferSettings s = settings();
        s.headerIdText = typed;
        QCOMPARE(run(s, {goodRow()}), ExportOutcome::Written);
        QCOMPARE(fileLines(m_dest).value(0), "0|FT|" + headerId + "|||20260105|ABCDE12345|1500000.50|00001|WDK|IDR|");
        QCOMPARE(m_nextHeaderId, std::optional<qint64>(next));
        QCOMPARE(QSettings(m_ini, QSettings::IniFormat).value("Transfer/HeaderID").toInt(), next);
    }

    void rowErrorsLeaveTheDestination()
    {
        {
            QFile old(m_dest);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("earlier batch\n");
        }
        QSettings(m_ini, QSettings::IniFormat).setValue("Transfer/HeaderID", 9);
        QCOMPARE(run(settings(), {goodRow(), goodRow({{FromCol, "12"}}), goodRow()}), ExportOutcome::RowErrors);
        QCOMPARE(m_sink.rows.size(), 3);
        QCOMPARE(m_sink.allMessages(), QStringList{mustBe10(2, "From Acc")});
        QCOMPARE(m_sink.boxTexts(), QStringList{"ERROR!"});
        QCOMPARE(fileLines(m_dest), QStringList{"earlier batch"});
        QVERIFY(!QFile::exists(m_dest + ".details"));
        QVERIFY(!m_nextHeaderId);
        QCOMPARE(QSettings(m_ini, QSettings::IniFormat).value("Transfer/HeaderID").toInt(), 9);
    }

    void settingsRefusal()
    {
        TransferSettings s = settings(Mode::LLG);
        s.maxLimitText = "0";
        QCOMPARE(run(s, {goodRow()}), ExportOutcome::Refused);
        QCOMPARE(m_sink.boxTexts(), QStringList{"Invalid maximum limit"});
        QCOMPARE(m_sink.headerReports, 0);
        QVERIFY(!QFile::exists(m_dest + ".details"));
    }

    void settingsAfterConstruction()
    {
        TransferSettings fresh = readTransferSettings(m_ini);
        QCOMPARE(fresh.headerIdText, QString("1"));
        QCOMPARE(fresh.corporateId, QString());
        QCOMPARE(fresh.mode, kova::BankMode::WDK);
        fresh.chooseClearing(0);
        QCOMPARE(fresh.mode, kova::BankMode::Others);
        QCOMPARE(fresh.minLimitText, QString("1"));
        QCOMPARE(fresh.maxLimitText, QString("500.000.000"));

        {
            QSettings ini(m_ini, QSettings::IniFormat);
            ini.setValue("MaxLLG", 100000000);
            ini.beginGroup("Transfer");
            ini.setValue("HeaderID", "42");
            ini.setValue("CompanyID", "ABCDE12345");
            ini.setValue("HasColumnHeader", true);
            ini.setValue("Amount", 5);
            ini.setValue("Residence", 18);
        }
        TransferSettings stored = readTransferSettings(m_ini);
        QCOMPARE(stored.headerIdText, QString("42"));
        QCOMPARE(stored.hasColumnHeader, true);
        QCOMPARE(stored.limits.maxLLG, quint64(100000000));
        QCOMPARE(stored.limits.minRTGS, quint64(100000001));
        QCOMPARE(stored.column(TransferField::Amount), 5);
        QCOMPARE(stored.column(TransferField::Residence), 18);
        QCOMPARE(stored.column(TransferField::TrxRef), 0);
    }
};

QTEST_GUILESS_MAIN(TestTransferExport)
#include "test_transfer_export.moc"
