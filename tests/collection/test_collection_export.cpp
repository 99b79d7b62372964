#include "core/collection/collectionexport.h"

#include "enginetest.h"

#include <QFile>
#include <QtTest>

using kova::ExportOutcome;
using namespace expect;

namespace {

// Sheet columns of the test workbooks.
enum { DateCol = 1, NameCol, AccountCol, AmountCol, Remarks1Col, Remarks2Col, ResidenceCol, CitizenCol };

// A detail record as the bank reads it, field by field.
QString detail(const QString& account, const QString& amount16, const QString& name, const QString& remarks1,
               const QString& remarks2, const QString& residence, const QString& citizen)
{
    return "1" + pad(account, 10) + sp(24) + "0000" + amount16 + pad(name, 35)
        + pad(remarks1, 18) + pad(remarks2, 18) + residence + citizen + sp(70) + "014";
}

CollectionSettings baseSettings()
{
    CollectionSettings s;
    s.accountNameColumn = NameCol;
    s.accountColumn = AccountCol;
    s.amountColumn = AmountCol;
    s.remarks1Column = Remarks1Col;
    s.remarks2Column = Remarks2Col;
    s.residenceColumn = ResidenceCol;
    s.citizenColumn = CitizenCol;
    s.creditedAccount = kova::SourceAccount{"0123456789", "1234/56789/ABCD"};
    s.effectiveDate = QDate(2024, 3, 7);
    s.dateFrom = QDate(2024, 1, 1);
    s.dateTo = QDate(2024, 12, 31);
    return s;
}

const QString acc1 = "1111111111";

} // namespace

class TestCollectionExport final : public EngineTest
{
    Q_OBJECT

    ExportOutcome run(const CollectionSettings& settings, const QList<QVariantList>& rows)
    {
        return runCollectionExport(settings, writeBook("Data", rows), "Data", m_dest, m_sink);
    }

private slots:
    void init() { freshFolder(); }

    void records_data()
    {
        QTest::addColumn<bool>("immediate");
        QTest::addColumn<bool>("hasColumnHeader");
        QTest::addColumn<QString>("dateField");
        QTest::addColumn<QString>("summaryOf");

        QTest::newRow("immediate, header row") << true << true << sp(8) << " of 2";
        QTest::newRow("effective date, no header row") << false << false << "20240307" << " of 2";
    }

    void records()
    {
        QFETCH(bool, immediate);
        QFETCH(bool, hasColumnHeader);
        QFETCH(QString, dateField);
        QFETCH(QString, summaryOf);

        CollectionSettings s = baseSettings();
        s.immediate = immediate;
        s.hasColumnHeader = hasColumnHeader;
        s.remarks1 = "BATCH ONE";
        s.remarks2 = "exactly 18 chars!!";

        QList<QVariantList> rows;
        if (hasColumnHeader)
            rows.append({"Date", "Name", "Acc", "Amount"});
        rows.append({QVariant(), "Budi Santoso", acc1, 1500000, "INV 001", QVariant(), 1, 0});
        rows.append({QVariant(), "PT Maju", "0000000002", "250.505", QVariant(), "second remark", QVariant(), 1});

        QCOMPARE(run(s, rows), ExportOutcome::Written);

        const QString header = "0CO" + dateField + QStringLiteral("0123456789") + " "
            + QStringLiteral("1234") + "6789" + sp(15) + "0000"
            + QStringLiteral("0000001500250.51") + "00002" + pad("BATCH ONE", 18)
            + "exactly 18 chars!!" + sp(95);
        const QStringList expected{
            header,
            detail(acc1, "0000001500000.00", "Budi Santoso", "INV 001", QString(), "1", "0"),
            detail("0000000002", "0000000000250.51", "PT Maju", QString(), "second remark", "0", "1"),
        };
        QCOMPARE(fileLines(m_dest), expected);
        for (const QString& record : expected)
            QCOMPARE(record.size(), 201);
        QVERIFY(!QFile::exists(m_dest + ".details"));

        QCOMPARE(m_sink.titles, (QStringList{"Account Name", "Acc #", "Amount", "Remarks 1", "Remarks 2", "Residence",
                                             "Citizen"}));
        QCOMPARE(m_sink.rows.size(), 2);
        QCOMPARE(m_sink.rows.at(0).values,
                 (QStringList{pad("Budi Santoso", 35), acc1, "1.500.000,00", pad("INV 001", 18), sp(18), "1", "0"}));
        QCOMPARE(m_sink.rows.at(1).values.at(2), QString("250,51"));
        QCOMPARE(m_sink.rows.at(0).amountColumn, 2);
        QCOMPARE(m_sink.summary, summary("2" + summaryOf, "1.500.250,51", 0, 0));
        QCOMPARE(m_sink.boxTexts(), QStringList{"Done!"});
    }

    void rowChecks_data()
    {
        QTest::addColumn<QVariantList>("cells");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QVector<int>>("marked");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("record");   // the detail record when the row passes

        const QString name = "Budi";
        const QVariantList good{QVariant(), name, acc1, 100, QVariant(), QVariant(), 0, 1};
        auto with = [&good](int column, const QVariant& v) {
            QVariantList cells = good;
            cells[column - 1] = v;
            return cells;
        };
        auto values = [&](const QString& n, const QString& a, const QString& amount, const QString& r1,
                          const QString& r2, const QString& res, const QString& cit) {
            return QStringList{pad(n, 35), pad(a, 10), amount, pad(r1, 18), pad(r2, 18), res, cit};
        };
        const QString hundred = "0000000000100.00";
        const QString accDigits = ": Error. Invalid characters found in <span style=\"font-weight:bold;\">Acc #</span></span>";
        const QString accLength = ": Error. <span style=\"font-weight:bold;\">Acc # </span>must be 10 digits</span>";
        const QString badAmount = ": Error. Invalid amount</span>";

        // Only the unmapped date column holds something, so the row is in the used range.
        QTest::newRow("empty row") << QVariantList{"x"} << QStringList{err(1, accLength), err(1, badAmount)}
                                   << QVector<int>{1, 2} << values("", "", "", "", "", "0", "0") << QString();
        QTest::newRow("letters in account") << with(AccountCol, "12345abcde") << QStringList{err(1, accDigits)}
                                            << QVector<int>{1}
                                            << values(name, "12345abcde", "100,00", "", "", "0", "1") << QString();
        QTest::newRow("nine-digit account number") << with(AccountCol, 123456789) << QStringList{err(1, accLength)}
                                                   << QVector<int>{1}
                                                   << values(name, "123456789", "100,00", "", "", "0", "1") << QString();
        QTest::newRow("eleven digits, not cut") << with(AccountCol, "12345678901") << QStringList{err(1, accLength)}
                                                << QVector<int>{1}
                                                << values(name, "12345678901", "100,00", "", "", "0", "1") << QString();
        for (const char* amount : {"0", "-5", "10000000000000"})
            QTest::newRow(qPrintable(QString("amount ") + amount))
                << with(AmountCol, QString::fromLatin1(amount)) << QStringList{err(1, badAmount)}
                << QVector<int>{2} << values(name, acc1, QString::fromLatin1(amount), "", "", "0", "1") << QString();
        QTest::newRow("largest amount") << with(AmountCol, "9999999999999.99") << QStringList() << QVector<int>()
                                        << values(name, acc1, "9.999.999.999.999,99", "", "", "0", "1")
                                        << detail(acc1, "9999999999999.99", name, "", "", "0", "1");
        QTest::newRow("half a cent rounds up") << with(AmountCol, "0.005") << QStringList() << QVector<int>()
                                               << values(name, acc1, "0,01", "", "", "0", "1")
                                               << detail(acc1, "0000000000000.01", name, "", "", "0", "1");
        for (int flag : {2, -1}) {
            QTest::newRow(qPrintable(QStringLiteral("residence %1").arg(flag)))
                << with(ResidenceCol, flag) << QStringList{err(1, ": Error. Invalid Residence</span>")}
                << QVector<int>{5} << values(name, acc1, "100,00", "", "", QString::number(flag), "1") << QString();
            QTest::newRow(qPrintable(QStringLiteral("citizen %1").arg(flag)))
                << with(CitizenCol, flag) << QStringList{err(1, ": Error. Invalid Citizen</span>")}
                << QVector<int>{6} << values(name, acc1, "100,00", "", "", "0", QString::number(flag)) << QString();
        }
        // Not a whole number: the field's error, the cell shown as read.
        QTest::newRow("residence R") << with(ResidenceCol, "R") << QStringList{err(1, ": Error. Invalid Residence</span>")}
                                     << QVector<int>{5} << values(name, acc1, "100,00", "", "", "R", "1") << QString();
        QTest::newRow("citizen 2.5") << with(CitizenCol, 2.5) << QStringList{err(1, ": Error. Invalid Citizen</span>")}
                                     << QVector<int>{6} << values(name, acc1, "100,00", "", "", "0", "2.5") << QString();
        QTest::newRow("flags as text with spaces") << with(ResidenceCol, " 1 ").mid(0, 7) + QVariantList{true}
                                                   << QStringList() << QVector<int>()
                                                   << values(name, acc1, "100,00", "", "", "1", "1")
                                                   << detail(acc1, hundred, name, "", "", "1", "1");
        QTest::newRow("accented name") << with(NameCol, QString::fromUtf8("Andr\u00e9"))
                                       << QStringList{invalidChars(1, "Account Name")} << QVector<int>{0}
                                       << values(QString::fromUtf8("Andr\u00e9"), acc1, "100,00", "", "", "0", "1")
                                       << QString();
        QTest::newRow("empty flags written as 0")
            << with(CitizenCol, QVariant()) << QStringList() << QVector<int>() << values(name, acc1, "100,00", "", "", "0", "0")
            << detail(acc1, hundred, name, "", "", "0", "0");
        const QString name40 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789wxyz";
        QTest::newRow("40-character name cut") << with(NameCol, name40)
                                               << QStringList{truncated(1, "Account Name", 35)} << QVector<int>()
                                               << values(name40.left(35), acc1, "100,00", "", "", "0", "1")
                                               << detail(acc1, hundred, name40.left(35), "", "", "0", "1");
        const QString remarks20 = "12345678901234567890";
        QTest::newRow("remarks cut") << with(Remarks1Col, remarks20).mid(0, 5) + QVariantList{remarks20, 0, 1}
                                     << QStringList{truncated(1, "Remarks 1", 18), truncated(1, "Remarks 2", 18)}
                                     << QVector<int>()
                                     << values(name, acc1, "100,00", remarks20.left(18), remarks20.left(18), "0", "1")
                                     << detail(acc1, hundred, name, remarks20.left(18), remarks20.left(18), "0", "1");
        QTest::newRow("line feed in name") << with(NameCol, "Budi\nSantoso") << QStringList{invalidChars(1, "Account Name")}
                                           << QVector<int>{0} << values("Budi\nSantoso", acc1, "100,00", "", "", "0", "1")
                                           << QString();
        QTest::newRow("carriage return in remarks 1")
            << with(Remarks1Col, "a\rb") << QStringList{invalidChars(1, "Remarks 1")} << QVector<int>{3}
            << values(name, acc1, "100,00", "a\rb", "", "0", "1") << QString();
        const QString longBroken = "first line of many\nsecond";
        QTest::newRow("long remarks 2 with a line feed") << with(Remarks2Col, longBroken)
            << QStringList{truncated(1, "Remarks 2", 18), invalidChars(1, "Remarks 2")} << QVector<int>{4}
            << values(name, acc1, "100,00", "", longBroken.left(18), "0", "1") << QString();
    }

    void rowChecks()
    {
        QFETCH(QVariantList, cells);
        QFETCH(QStringList, messages);
        QFETCH(QVector<int>, marked);
        QFETCH(QStringList, values);
        QFETCH(QString, record);

        const ExportOutcome outcome = run(baseSettings(), {cells});
        QCOMPARE(m_sink.rows.size(), 1);
        const kova::RowReport& report = m_sink.rows.first();
        QCOMPARE(report.messages, messages);
        QVector<kova::MarkedCell> cellsExpected;
        for (int column : marked)
            cellsExpected.append({0, column});
        QCOMPARE(report.cells, cellsExpected);
        QCOMPARE(report.values, values);
        if (record.isEmpty()) {
            QCOMPARE(outcome, ExportOutcome::RowErrors);
            QVERIFY(!QFile::exists(m_dest));
        } else {
            QCOMPARE(outcome, ExportOutcome::Written);
            QCOMPARE(fileLines(m_dest).value(1), record);
            QCOMPARE(record.size(), 201);
        }
    }

    void rowErrorsRefuseTheBatch()
    {
        const QList<QVariantList> rows{
            {QVariant(), "Good", acc1, 100, QVariant(), QVariant(), 0, 0},
            {},
            {QVariant(), "Also good", acc1, 200, QVariant(), QVariant(), 1, 1},
        };
        // The empty row in the middle of the used range is processed like any other.
        QCOMPARE(run(baseSettings(), rows), ExportOutcome::RowErrors);
        QCOMPARE(m_sink.rows.size(), 3);
        QCOMPARE(m_sink.rows.at(1).cells, (QVector<kova::MarkedCell>{{1, 1}, {1, 2}}));
        QCOMPARE(m_sink.summary, summary("3 of 3", "300,00", 0, 2));
        QCOMPARE(m_sink.boxTexts(), QStringList{"ERROR!"});
        QVERIFY(!QFile::exists(m_dest));
        QVERIFY(!QFile::exists(m_dest + ".details"));
    }

    void dateFilterBoundsAndLineNumbers()
    {
        CollectionSettings s = baseSettings();
        s.trxDateColumn = DateCol;
        s.hasColumnHeader = true;
        s.dateFrom = QDate(2024, 5, 1);
        s.dateTo = QDate(2024, 5, 31);
        const QList<QVariantList> rows{
            {"Date", "Name"},
            {QDate(2024, 4, 30), "Too early", acc1, 1, QVariant(), QVariant(), 0, 0},
            {QVariant(), "No date", acc1, 2, QVariant(), QVariant(), 0, 0},
            {"10 May 2024", "Text date", acc1, 3, QVariant(), QVariant(), 0, 0},
            {QDate(2024, 5, 1), "First day", acc1, 10, QVariant(), QVariant(), 0, 0},
            {QDate(2024, 5, 31), "Last day", "bad", 20, QVariant(), QVariant(), 0, 0},
            {QDate(2024, 6, 1), "Too late", acc1, 5, QVariant(), QVariant(), 0, 0},
        };
        QCOMPARE(run(s, rows), ExportOutcome::RowErrors);
        QCOMPARE(m_sink.rows.size(), 2);
        QCOMPARE(m_sink.rows.at(0).values.at(0), pad("First day", 35));
        QCOMPARE(m_sink.rows.at(1).values.at(0), pad("Last day", 35));
        QCOMPARE(m_sink.rows.at(1).messages,
                 QStringList{err(2, ": Error. Invalid characters found in <span style=\"font-weight:bold;\">Acc #</span></span>")});
        QCOMPARE(m_sink.rows.at(1).cells, (QVector<kova::MarkedCell>{{1, 1}}));
        QCOMPARE(m_sink.summary.first(), QString("Total rows processed: 2 of 6"));
    }

    void reversedRangeWritesNothing()
    {
        CollectionSettings s = baseSettings();
        s.trxDateColumn = DateCol;
        s.dateFrom = QDate(2024, 5, 2);
        s.dateTo = QDate(2024, 5, 1);
        QCOMPARE(run(s, {{QDate(2024, 5, 1), "A", acc1, 1, QVariant(), QVariant(), 0, 0}}), ExportOutcome::Refused);
        QCOMPARE(m_sink.rows.size(), 0);
        QCOMPARE(m_sink.summary, summary("0 of 1", "0,00", 0, 0));
        QCOMPARE(m_sink.boxTexts(), QStringList{"No rows to export"});
        QVERIFY(!QFile::exists(m_dest));
    }

    void recordCountLimit()
    {
        const CollectionExport job(baseSettings(), *baseSettings().creditedAccount);
        QCOMPARE(job.overflow({kova::wholeUnits(1), 99999}), QString());
        QCOMPARE(job.overflow({kova::wholeUnits(1), 100000}), QString("Record count exceeds 99999"));
        QCOMPARE(job.overflow({kova::wholeUnits(10000000000000LL) - 1, 1}), QString());
        QCOMPARE(job.headerRecord({kova::wholeUnits(10000000000000LL) - 1, 99999}).size(), 201);
    }
};

QTEST_GUILESS_MAIN(TestCollectionExport)
#include "test_collection_export.moc"
