#include "core/transfer/transferexport.h"

#include "enginetest.h"

using kova::ExportOutcome;
using namespace expect;

namespace {

// Sheet columns of the fields changed; the others follow the field order too.
enum { RefCol = 1, FromCol = 3, ToCol, AmountCol, TypeCol = 8, CodeCol, CustCol = 17, ResCol };

// A row that passes every check in WDK mode.
QVariantList goodRow(const QMap<int, QVariant>& changes = {})
{
    QVariantList row{"REF001", QDate(2026, 1, 5), "1234567890", "0987654321", 1500000.5, "Rent", "January", "WDK",
                     "ABCDEFG", "Bank A", "Main", "Budi Santoso", "Jl. Merdeka 1", "Kebayoran", "Jakarta", "12110", 1, "R"};
    for (auto it = changes.begin(); it != changes.end(); ++it)
        row[it.key() - 1] = it.value();
    return row;
}

// Its detail record as batch row n, with field at replaced by value.
QString detail(int n, int at = 5, const QString& value = "1500000.50")
{
    QStringList fields = ("1|" + QString::number(n).rightJustified(5, '0') + "|REF001|1234567890|0987654321|1500000.50"
                          "|Rent|January|ABCDEFG|Bank A|Main|Budi Santoso|Jl. Merdeka 1|Kebayoran|Jakarta|12110|1|R|")
                             .split('|');
    fields[at] = value;
    return fields.join('|');
}

QString header(const QString& id, const QString& corporateId = "ABCDE12345", const QString& tail = "1500000.50|00001|WDK")
{
    return "0|FT|" + id + "|||20260105|" + corporateId + "|" + tail + "|IDR|";
}

} // namespace

class TestTransferExport final : public EngineTest
{
    Q_OBJECT

    std::optional<qint64> m_nextHeaderId;

    // Every field mapped but the date; WDK mode (-1), LLG (0) or RTGS (1).
    TransferSettings settings(int clearing = -1) const
    {
        TransferSettings s;
        for (int i = 0; i < int(TransferField::Count); ++i)
            s.columns[TransferField(i)] = i == int(TransferField::TrxDate) ? 0 : i + 1;
        s.effectiveDate = QDate(2026, 1, 5);
        s.limits.normalise();
        s.chooseClearing(clearing);
        s.headerIdText = "7";
        s.corporateId = "ABCDE12345";
        s.settingsPath = m_ini;
        return s;
    }

    ExportOutcome run(const TransferSettings& s, const QList<QVariantList>& rows)
    {
        return runTransferExport(s, writeBook("Data", rows), "Data", m_dest, m_sink, &m_nextHeaderId);
    }

private slots:
    void init()
    {
        freshFolder();
        m_nextHeaderId.reset();
    }

    // Each amount rounds to the cent before it is added; the clearing filter ignores case.
    // An unmapped field is empty in the record.
    void wholeRecords_data()
    {
        QTest::addColumn<int>("clearing");
        QTest::addColumn<bool>("optional");   // the optional fields mapped
        QTest::addColumn<QStringList>("amounts");
        QTest::addColumn<QStringList>("upload");
        QTest::newRow("WDK") << -1 << true << QStringList{"1500000.5", "0.1"}
                             << QStringList{header("00000007", "ABCDE12345", "1500000.60|00002|WDK"), detail(1), detail(2, 5, "0.10")};
        QTest::newRow("Others, LLG") << 0 << true << QStringList{"1000000", "499999.995", "0.505"}
                                     << QStringList{header("00000007", "ABCDE12345", "1500000.51|00003|LLG"), detail(1, 5, "1000000.00"),
                                                    detail(2, 5, "500000.00"), detail(3, 5, "0.51")};
        QTest::newRow("WDK, optional fields unmapped") << -1 << false << QStringList{"1500000.5"}
            << QStringList{header("00000007"), "1|00001|REF001|1234567890|0987654321|1500000.50|||||||||||||"};
    }
    void wholeRecords()
    {
        QFETCH(int, clearing);
        QFETCH(bool, optional);
        QFETCH(QStringList, amounts);
        QFETCH(QStringList, upload);
        TransferSettings s = settings(clearing);
        s.hasColumnHeader = true;
        for (int f = int(TransferField::Remarks1); !optional && f < int(TransferField::Count); ++f)
            s.columns[TransferField(f)] = f == int(TransferField::Remittance) ? f + 1 : 0;
        QList<QVariantList> rows{{"Ref", "Date", "From"}};
        for (const QString& amount : amounts)
            rows.append(goodRow({{AmountCol, amount}, {TypeCol, clearing < 0 ? "WDK" : "llg"}}));
        QCOMPARE(run(s, rows), ExportOutcome::Written);
        QCOMPARE(fileLines(m_dest), upload);
        QCOMPARE(m_sink.boxTexts(), QStringList{"Done!"});
    }

    void rowChecks_data()
    {
        QTest::addColumn<int>("clearing");
        QTest::addColumn<RowCase>("c");
        // marks: times the shown cell (log column at) is marked.
        const auto row = [](const char* name, int clearing, int column, const QVariant& cell, const QStringList& messages,
                            int marks, int at, const QString& shown, const QString& record = {}) {
            const QVariantList cells = goodRow({{column, cell}, {TypeCol, clearing < 0 ? "WDK" : clearing ? "rtg" : "llg"}});
            QTest::newRow(name) << clearing << RowCase{cells, messages, QVector<int>(marks, at), at, shown, record};
        };
        const QString ref30 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
        const QString custType = error(1, "Invalid Customer Type");
        row("trx ref: trailing spaces count", -1, RefCol, ref30 + "  ", {truncated(1, "Trx Ref", 30)}, 0, 0, ref30,
            detail(1, 2, ref30));
        row("trx ref with a bar, too long", -1, RefCol, "A|" + ref30,
            {truncated(1, "Trx Ref", 30), invalidChars(1, "Trx Ref")}, 1, 0, ("A|" + ref30).left(30));
        row("from acc 11 chars with a letter", -1, FromCol, "123456789x0",
            {invalidChars(1, "From Acc"), error(1, b("From Acc") + " must be 10 characters")}, 2, 1, "123456789x");
        row("to acc of 12 digits in Others mode", 0, ToCol, "098765432100", {}, 0, 2, "098765432100",
            detail(1, 4, "098765432100"));
        row("to acc of 35 digits in Others mode", 0, ToCol, QString(35, '1'),
            {error(1, "String truncated in " + b("To Acc") + ". Exceeding 34 characters")}, 0, 2, QString(34, '1'));
        row("largest amount", -1, AmountCol, "9999999999999.99", {}, 0, 3, "9.999.999.999.999,99",
            detail(1, 5, "9999999999999.99"));
        row("amount above it", -1, AmountCol, "10000000000000", {error(1, "Invalid amount")}, 1, 3, "10000000000000");
        row("bank code mapped and empty", -1, CodeCol, QVariant(), {error(1, "Bank Code must be 7 chars")}, 1, 6, "");
        row("cust type 4", -1, CustCol, 4, {custType}, 1, 14, "4");
        row("cust type 2.5: never read as 0", -1, CustCol, 2.5, {custType}, 1, 14, "2.5");
        row("residence: its first char", -1, ResCol, "Non-resident", {}, 0, 15, "N", detail(1, 17, "N"));
    }
    void rowChecks()
    {
        QFETCH(int, clearing);
        QFETCH(RowCase, c);
        checkRow(run(settings(clearing), {c.cells}), c);
    }

    // The batch's own data is checked first. The Header ID is reserved only for a batch that is written,
    // never behind the one stored (7), so that no number is used twice; an upload that then fails skips it.
    void batchData_data()
    {
        QTest::addColumn<QString>("typed");   // empty: the stored one is taken
        QTest::addColumn<QString>("corporateId");
        QTest::addColumn<QString>("fromAcc");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("next");        // 0: nothing reserved
        const QString id = "ABCDE12345", acc = "1234567890", maxId = "Max value of Header ID is 99999999";
        QTest::newRow("3 typed to send again") << "3" << id << acc << "Done!" << 8;
        QTest::newRow("largest") << "99999999" << id << acc << "Done!" << 100000000;
        QTest::newRow("stored one taken") << "" << id << acc << "Done!" << 8;
        QTest::newRow("row errors") << "3" << id << "12" << "ERROR!" << 0;
        QTest::newRow("upload fails") << "3" << id << acc << "Failed open file for writing" << 8;
        QTest::newRow("Header ID 0") << "0" << id << acc << "Invalid Header ID" << 0;
        QTest::newRow("Header ID 100000000") << "100000000" << id << acc << maxId << 0;
        QTest::newRow("Header ID -5") << "-5" << id << acc << maxId << 0;
        QTest::newRow("Corporate ID of spaces") << "3" << sp(10) << acc << "Corporate ID can not be empty" << 0;
        QTest::newRow("Corporate ID of 9") << "3" << "ABCDE1234" << acc << "Corporate ID must be 10 chars" << 0;
        // It goes into the "|"-separated header as it is.
        QTest::newRow("Corporate ID with a bar") << "3" << "ABCDE|2345" << acc << "Corporate ID contains invalid chars" << 0;
        QTest::newRow("Corporate ID with a leading space") << "3" << " BCDE12345" << acc << "Done!" << 8;
    }
    void batchData()
    {
        QFETCH(QString, typed);
        QFETCH(QString, corporateId);
        QFETCH(QString, fromAcc);
        QFETCH(QString, box);
        QFETCH(int, next);
        QSettings(m_ini, QSettings::IniFormat).setValue("Transfer/HeaderID", 7);
        if (box.startsWith("Failed"))
            QVERIFY(QDir().mkpath(m_dest));   // a folder stands where the file should go
        TransferSettings s = settings();
        s.useStoredHeaderId = typed.isEmpty();
        s.headerIdText = typed.isEmpty() ? s.headerIdText : typed;
        s.corporateId = corporateId;
        run(s, {goodRow({{FromCol, fromAcc}})});
        QCOMPARE(m_sink.boxTexts(), QStringList{box});
        const QString used = QString::number(typed.isEmpty() ? 7 : typed.toInt()).rightJustified(8, '0');
        QCOMPARE(fileLines(m_dest).value(0), box == "Done!" ? header(used, corporateId) : "<no final line feed>");
        QCOMPARE(m_nextHeaderId, next ? std::optional<qint64>(next) : std::nullopt);
        QCOMPARE(QSettings(m_ini, QSettings::IniFormat).value("Transfer/HeaderID").toInt(), next ? next : 7);
    }
};

QTEST_GUILESS_MAIN(TestTransferExport)
#include "test_transfer_export.moc"
