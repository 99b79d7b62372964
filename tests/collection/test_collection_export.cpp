#include "core/collection/collectionexport.h"

#include "enginetest.h"

using kova::ExportOutcome;
using namespace expect;

namespace {

// Sheet columns: date (never mapped), name, account, amount, remarks 1 and 2, residence, citizen.
enum { NameCol = 2, AccountCol, AmountCol, Remarks1Col, Remarks2Col, ResidenceCol, CitizenCol };

QString detail(const QString& account, const QString& amount16, const QString& name, const QString& remarks1 = {},
               const QString& remarks2 = {}, const QString& flags = "01")
{
    return "1" + pad(account, 10) + sp(24) + "0000" + amount16 + pad(name, 35) + pad(remarks1, 18) + pad(remarks2, 18)
        + flags + sp(70) + "014";
}

const QString acc1 = "1111111111";

} // namespace

class TestCollectionExport final : public EngineTest
{
    Q_OBJECT

    ExportOutcome run(bool immediate, const QList<QVariantList>& rows)
    {
        CollectionSettings s;
        for (int f = int(CollectionField::AccountName); f < int(CollectionField::Count); ++f)
            s.columns[CollectionField(f)] = f + 1;
        s.creditedAccount = kova::SourceAccount{"0123456789", "1234/56789/ABCD"};
        s.effectiveDate = QDate(2024, 3, 7);
        s.immediate = immediate;
        s.remarks1 = "BATCH ONE";
        s.remarks2 = "exactly 18 chars!!";
        s.settingsPath = m_ini;
        return runCollectionExport(s, writeBook("Data", rows), "Data", m_dest, m_sink);
    }

private slots:
    void init() { freshFolder(); }

    void records_data()
    {
        QTest::addColumn<bool>("immediate");
        QTest::addColumn<QString>("dateField");
        QTest::newRow("immediate") << true << sp(8);
        QTest::newRow("effective date") << false << "20240307";
    }
    void records()
    {
        QFETCH(bool, immediate);
        QFETCH(QString, dateField);
        QCOMPARE(run(immediate, {{QVariant(), "Budi Santoso", acc1, 1500000, "INV 001", QVariant(), 1, 0},
                                 {QVariant(), "PT Maju", "0000000002", "250.505", QVariant(), "second remark", QVariant(), 1}}),
                 ExportOutcome::Written);
        QCOMPARE(fileLines(m_dest), (QStringList{"0CO" + dateField + "0123456789 12346789" + sp(15) + "0000"
                                                     + "0000001500250.51" + "00002" + pad("BATCH ONE", 18)
                                                     + "exactly 18 chars!!" + sp(95),
                                                 detail(acc1, "0000001500000.00", "Budi Santoso", "INV 001", {}, "10"),
                                                 detail("0000000002", "0000000000250.51", "PT Maju", {}, "second remark")}));
        QCOMPARE(m_sink.rows.at(0).values,
                 (QStringList{pad("Budi Santoso", 35), acc1, "1.500.000,00", pad("INV 001", 18), sp(18), "1", "0"}));
        QCOMPARE(m_sink.boxTexts(), QStringList{"Done!"});
    }

    void rowChecks_data()
    {
        QTest::addColumn<RowCase>("c");
        const auto row = [](const char* name, int column, const QVariant& cell, const QStringList& messages,
                            const QVector<int>& marked, int logColumn, const QString& shown, const QString& record = {}) {
            QVariantList cells{QVariant(), "Budi", acc1, 100, QVariant(), QVariant(), 0, 1};
            cells[column - 1] = cell;
            QTest::newRow(name) << RowCase{cells, messages, marked, logColumn, shown, record};
        };
        const QString hundred = "0000000000100.00";
        const QString accLength = error(1, b("Acc # ") + "must be 10 digits");
        const QString badAmount = error(1, "Invalid amount");
        const QString name40 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789wxyz";
        // Only the unmapped date column holds something, so the row is in the used range.
        QTest::newRow("empty row") << RowCase{{"x"}, {accLength, badAmount}, {1, 2}, 5, "0"};
        row("letters in account, no length error", AccountCol, "12345abcde", {invalidChars(1, "Acc #")}, {1}, 1,
            "12345abcde");
        row("eleven digits, not cut", AccountCol, "12345678901", {accLength}, {1}, 1, "12345678901");
        row("amount above the maximum", AmountCol, "10000000000000", {badAmount}, {2}, 2, "10000000000000");
        row("largest amount", AmountCol, "9999999999999.99", {}, {}, 2, "9.999.999.999.999,99",
            detail(acc1, "9999999999999.99", "Budi"));
        row("residence 2", ResidenceCol, 2, {error(1, "Invalid Residence")}, {5}, 5, "2");
        row("citizen 2.5: shown as read", CitizenCol, 2.5, {error(1, "Invalid Citizen")}, {6}, 6, "2.5");
        row("residence as text with spaces", ResidenceCol, " 1 ", {}, {}, 5, "1", detail(acc1, hundred, "Budi", {}, {}, "11"));
        row("citizen true", CitizenCol, true, {}, {}, 6, "1", detail(acc1, hundred, "Budi"));
        row("empty citizen written as 0", CitizenCol, QVariant(), {}, {}, 6, "0", detail(acc1, hundred, "Budi", {}, {}, "00"));
        row("40-character name cut", NameCol, name40, {truncated(1, "Account Name", 35)}, {}, 0, name40.left(35),
            detail(acc1, hundred, name40.left(35)));
    }
    void rowChecks()
    {
        QFETCH(RowCase, c);
        checkRow(run(true, {c.cells}), c);
    }
};

QTEST_GUILESS_MAIN(TestCollectionExport)
#include "test_collection_export.moc"
