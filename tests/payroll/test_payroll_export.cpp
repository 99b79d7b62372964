#include "core/payroll/payrollexport.h"

#include "enginetest.h"

#include <QFile>
#include <QtTest>

using kova::ExportOutcome;
using namespace expect;

namespace {

// Sheet columns of the test workbooks.
enum { DateCol = 1, NameCol, AccountCol, AmountCol, EmpIdCol, DeptCol };

QString detail(const QString& account, const QString& amount15, const QString& empId, const QString& name,
               const QString& dept)
{
    return "0" + pad(account, 10) + amount15 + pad(empId, 10) + pad(name, 30) + pad(dept, 4);
}

// Header for company code "1234/56789/ABCD", account 0123456789, 7 March 2024.
QString header(const QString& holiday, const QString& count5, const QString& total17)
{
    return sp(11) + QStringLiteral("1234") + QStringLiteral("0") + QStringLiteral("6789") + "ABCD"
        + QStringLiteral("07") + QStringLiteral("01") + QStringLiteral("0123456789") + "0" + holiday
        + "00" + count5 + total17 + QStringLiteral("03") + "2024";
}

PayrollSettings baseSettings()
{
    PayrollSettings s;
    s.employeeNameColumn = NameCol;
    s.accountColumn = AccountCol;
    s.amountColumn = AmountCol;
    s.employeeIdColumn = EmpIdCol;
    s.departmentColumn = DeptCol;
    s.sourceAccount = kova::SourceAccount{"0123456789", "1234/56789/ABCD"};
    s.effectiveDate = QDate(2024, 3, 7);
    s.dateFrom = QDate(2024, 1, 1);
    s.dateTo = QDate(2024, 12, 31);
    return s;
}

const QString acc1 = "1111111111";

} // namespace

class TestPayrollExport final : public EngineTest
{
    Q_OBJECT

    ExportOutcome run(const PayrollSettings& settings, const QList<QVariantList>& rows)
    {
        return runPayrollExport(settings, writeBook("Staff", rows), "Staff", m_dest, m_sink);
    }

private slots:
    void init() { freshFolder(); }

    void records_data()
    {
        QTest::addColumn<bool>("afterHoliday");
        QTest::addColumn<bool>("hasColumnHeader");
        QTest::addColumn<QString>("holidayFlag");

        QTest::newRow("before holiday, header row") << false << true << "0";
        QTest::newRow("after holiday, no header row") << true << false << "1";
    }

    void records()
    {
        QFETCH(bool, afterHoliday);
        QFETCH(bool, hasColumnHeader);
        QFETCH(QString, holidayFlag);

        PayrollSettings s = baseSettings();
        s.afterHoliday = afterHoliday;
        s.hasColumnHeader = hasColumnHeader;
        QList<QVariantList> rows;
        if (hasColumnHeader)
            rows.append({"Date", "Name", "Account", "Amount", "ID", "Dept"});
        rows.append({QVariant(), "Budi Santoso", acc1, 1234567.5, "EMP001", "FIN"});
        rows.append({QVariant(), "Siti", "0000000002", "0.015", QVariant(), QVariant()});

        QCOMPARE(run(s, rows), ExportOutcome::Written);
        const QStringList expected{
            header(holidayFlag, "00002", "00000001234567.52"),
            detail(acc1, "000000123456750", "EMP001", "Budi Santoso", "FIN"),
            detail("0000000002", "000000000000002", QString(), "Siti", QString()),
        };
        QCOMPARE(fileLines(m_dest), expected);
        for (const QString& record : expected)
            QCOMPARE(record.size(), 70);
        QVERIFY(!QFile::exists(m_dest + ".details"));

        QCOMPARE(m_sink.titles, (QStringList{"Employee Name", "Acc #", "Amount", "EmpolyeeID", "Department"}));
        QCOMPARE(m_sink.rows.size(), 2);
        QCOMPARE(m_sink.rows.at(0).values,
                 (QStringList{pad("Budi Santoso", 30), acc1, "1.234.567,50", pad("EMP001", 10), "FIN "}));
        QCOMPARE(m_sink.rows.at(0).amountColumn, 2);
        QCOMPARE(m_sink.summary, summary("2 of 2", "1.234.567,52", 0, 0));
        QCOMPARE(m_sink.boxTexts(), QStringList{"Done!"});
    }

    void totalIsTheSumOfWrittenAmounts()
    {
        // Each 0.005 is written as 0.01; the header must add up to what the bank
        // reads in the details (0.03), not to the rounded unrounded sum (0.02).
        const QList<QVariantList> rows{
            {QVariant(), "A", acc1, "0.005"}, {QVariant(), "B", acc1, "0.005"}, {QVariant(), "C", acc1, "0.005"}};
        QCOMPARE(run(baseSettings(), rows), ExportOutcome::Written);
        QCOMPARE(fileLines(m_dest).value(0), header("0", "00003", "00000000000000.03"));
        QCOMPARE(m_sink.summary.value(1), QString("Total amounts: 0,03"));
    }

    void rowChecks_data()
    {
        QTest::addColumn<QVariantList>("cells");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QVector<int>>("marked");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("record");   // the detail record when the row passes

        const QString name = "Budi";
        const QVariantList good{QVariant(), name, acc1, 100, "E1", "HR"};
        auto with = [&good](int column, const QVariant& v) {
            QVariantList cells = good;
            cells[column - 1] = v;
            return cells;
        };
        auto values = [](const QString& n, const QString& a, const QString& amount, const QString& id,
                         const QString& dept) {
            return QStringList{n.size() > 30 ? n : pad(n, 30), pad(a, 10), amount, pad(id, 10), pad(dept, 4)};
        };
        const QString hundred = "000000000010000";
        const QString accDigits = ": Error. Invalid characters found in <span style=\"font-weight:bold;\">Acc #</span></span>";
        const QString accLength = ": Error. <span style=\"font-weight:bold;\">Account Number </span>must be 10 digits</span>";
        const QString badAmount = ": Error. Invalid amount</span>";

        QTest::newRow("empty row") << QVariantList{"x"} << QStringList{err(1, accLength), err(1, badAmount)}
                                   << QVector<int>{1, 2} << values("", "", "", "", "") << QString();
        QTest::newRow("letters in account") << with(AccountCol, "12345abcde") << QStringList{err(1, accDigits)}
                                            << QVector<int>{1} << values(name, "12345abcde", "100,00", "E1", "HR")
                                            << QString();
        QTest::newRow("leading zero lost") << with(AccountCol, 123456789) << QStringList{err(1, accLength)}
                                           << QVector<int>{1} << values(name, "123456789", "100,00", "E1", "HR")
                                           << QString();
        for (const char* amount : {"0", "-5", "1000000000000"})
            QTest::newRow(qPrintable(QString("amount ") + amount))
                << with(AmountCol, QString::fromLatin1(amount)) << QStringList{err(1, badAmount)}
                << QVector<int>{2} << values(name, acc1, QString::fromLatin1(amount), "E1", "HR") << QString();
        QTest::newRow("largest amount") << with(AmountCol, "999999999999.99") << QStringList() << QVector<int>()
                                        << values(name, acc1, "999.999.999.999,99", "E1", "HR")
                                        << detail(acc1, "099999999999999", "E1", name, "HR");
        const QString name35 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345678";
        QTest::newRow("35-character name shown whole")
            << with(NameCol, name35) << QStringList{err(1, ": Error. Employee Name is exceeding 30 chars</span>")}
            << QVector<int>{0} << values(name35, acc1, "100,00", "E1", "HR") << QString();
        const QString name30 = name35.left(30);
        QTest::newRow("30-character name") << with(NameCol, name30) << QStringList() << QVector<int>()
                                           << values(name30, acc1, "100,00", "E1", "HR")
                                           << detail(acc1, hundred, "E1", name30, "HR");
        QTest::newRow("12-character employee ID cut") << with(EmpIdCol, "EMP-12345678")
            << QStringList{warn(1, ": Warning. String truncated in <span style=\"font-weight:bold;\">Employee ID</span>. Exceeding 10 characters</span>")}
            << QVector<int>() << values(name, acc1, "100,00", "EMP-123456", "HR")
            << detail(acc1, hundred, "EMP-123456", name, "HR");
        QTest::newRow("department cut") << with(DeptCol, "Finance")
            << QStringList{warn(1, ": Warning. String truncated in <span style=\"font-weight:bold;\">Department</span>. Exceeding 4 characters</span>")}
            << QVector<int>() << values(name, acc1, "100,00", "E1", "Fina") << detail(acc1, hundred, "E1", name, "Fina");
        QTest::newRow("line feed in employee ID") << with(EmpIdCol, "E\n1") << QStringList{invalidChars(1, "EmpolyeeID")}
                                                  << QVector<int>{3} << values(name, acc1, "100,00", "E\n1", "HR")
                                                  << QString();
        QTest::newRow("carriage return in name") << with(NameCol, "Bu\rdi") << QStringList{invalidChars(1, "Employee Name")}
                                                 << QVector<int>{0} << values("Bu\rdi", acc1, "100,00", "E1", "HR")
                                                 << QString();
        QTest::newRow("line feed in department") << with(DeptCol, "H\nR") << QStringList{invalidChars(1, "Department")}
                                                 << QVector<int>{4} << values(name, acc1, "100,00", "E1", "H\nR")
                                                 << QString();
        QTest::newRow("accented name") << with(NameCol, QString::fromUtf8("Andr\u00e9"))
                                       << QStringList{invalidChars(1, "Employee Name")} << QVector<int>{0}
                                       << values(QString::fromUtf8("Andr\u00e9"), acc1, "100,00", "E1", "HR")
                                       << QString();
        QTest::newRow("tab in department") << with(DeptCol, "H\tR") << QStringList{invalidChars(1, "Department")}
                                           << QVector<int>{4} << values(name, acc1, "100,00", "E1", "H\tR")
                                           << QString();
        QTest::newRow("every problem, in field order")
            << QVariantList{QVariant(), name35 + "\n", "12a", "x", "ID-0123456789", "Dept\n"}
            << QStringList{err(1, accDigits), err(1, badAmount), truncated(1, "Employee ID", 10),
                           error(1, "Employee Name is exceeding 30 chars"), invalidChars(1, "Employee Name"),
                           truncated(1, "Department", 4), invalidChars(1, "Department")}
            << QVector<int>{1, 2, 0, 0, 4} << values(name35 + "\n", "12a", "x", "ID-0123456", "Dept") << QString();
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
            QCOMPARE(m_sink.boxTexts(), QStringList{"ERROR!"});
            QVERIFY(!QFile::exists(m_dest));
        } else {
            QCOMPARE(outcome, ExportOutcome::Written);
            QCOMPARE(fileLines(m_dest).value(1), record);
            QCOMPARE(record.size(), 70);
        }
    }

    void dateFilterBoundsAndLineNumbers()
    {
        PayrollSettings s = baseSettings();
        s.trxDateColumn = DateCol;
        s.hasColumnHeader = true;
        s.dateFrom = QDate(2024, 5, 1);
        s.dateTo = QDate(2024, 5, 31);
        const QList<QVariantList> rows{
            {"Date"},
            {QDate(2024, 4, 30), "Too early", acc1, 1},
            {},
            {42, "Plain number", acc1, 3},
            {QDate(2024, 5, 1), "First day", acc1, 10},
            {QDate(2024, 5, 31), "Last day", acc1, 20},
            {QDate(2024, 6, 1), "Too late", acc1, 5},
        };
        QCOMPARE(run(s, rows), ExportOutcome::Written);
        QCOMPARE(m_sink.rows.size(), 2);
        QCOMPARE(m_sink.summary.first(), QString("Total rows processed: 2 of 6"));
        QCOMPARE(fileLines(m_dest), (QStringList{header("0", "00002", "00000000000030.00"),
                                             detail(acc1, "000000000001000", "", "First day", ""),
                                             detail(acc1, "000000000002000", "", "Last day", "")}));
    }

    void totalField_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("expectedHeader");   // empty: refused

        QTest::newRow("largest total") << 100 << header("0", "00100", "99999999999999.00");
        QTest::newRow("one row too many") << 101 << QString();
    }

    void totalField()
    {
        QFETCH(int, rows);
        QFETCH(QString, expectedHeader);

        QList<QVariantList> sheet;
        for (int i = 0; i < rows; ++i)
            sheet.append({QVariant(), "Max", acc1, "999999999999.99"});
        const ExportOutcome outcome = run(baseSettings(), sheet);
        if (expectedHeader.isEmpty()) {
            QCOMPARE(outcome, ExportOutcome::Refused);
            QCOMPARE(m_sink.boxTexts(), QStringList{"Total amount does not fit the header record"});
            QVERIFY(!QFile::exists(m_dest));
            QVERIFY(!QFile::exists(m_dest + ".details"));
        } else {
            QCOMPARE(outcome, ExportOutcome::Written);
            QCOMPARE(fileLines(m_dest).value(0), expectedHeader);
            QCOMPARE(expectedHeader.size(), 70);
        }
    }

    void recordCountLimit()
    {
        const PayrollExport job(baseSettings(), *baseSettings().sourceAccount);
        QCOMPARE(job.overflow({kova::wholeUnits(1), 99999}), QString());
        QCOMPARE(job.overflow({kova::wholeUnits(1), 100000}), QString("Record count exceeds 99999"));
        QCOMPARE(job.headerRecord({kova::wholeUnits(1), 99999}).size(), 70);
    }
};

QTEST_GUILESS_MAIN(TestPayrollExport)
#include "test_payroll_export.moc"
