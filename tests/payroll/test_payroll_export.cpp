#include "core/payroll/payrollexport.h"

#include "enginetest.h"

using kova::ExportOutcome;
using namespace expect;

namespace {

// Sheet columns: date (never mapped), name, account, amount, employee ID, department.
enum { NameCol = 2, AccountCol, AmountCol, EmpIdCol, DeptCol };

QString detail(const QString& account, const QString& amount15, const QString& empId, const QString& name,
               const QString& dept)
{
    return "0" + pad(account, 10) + amount15 + pad(empId, 10) + pad(name, 30) + pad(dept, 4);
}

const QString acc1 = "1111111111";

} // namespace

class TestPayrollExport final : public EngineTest
{
    Q_OBJECT

    ExportOutcome run(bool afterHoliday, const QList<QVariantList>& rows)
    {
        PayrollSettings s;
        for (int f = int(PayrollField::AccountName); f < int(PayrollField::Count); ++f)
            s.columns[PayrollField(f)] = f + 1;
        s.sourceAccount = kova::SourceAccount{"0123456789", "1234/56789/ABCD"};
        s.effectiveDate = QDate(2024, 3, 7);
        s.afterHoliday = afterHoliday;
        s.settingsPath = m_ini;
        return runPayrollExport(s, writeBook("Staff", rows), "Staff", m_dest, m_sink);
    }

private slots:
    void init() { freshFolder(); }

    // Each amount rounds to the cent before it is added to the header's total.
    void records_data()
    {
        QTest::addColumn<bool>("afterHoliday");
        QTest::addColumn<QString>("holidayFlag");
        QTest::newRow("before holiday") << false << "0";
        QTest::newRow("after holiday") << true << "1";
    }
    void records()
    {
        QFETCH(bool, afterHoliday);
        QFETCH(QString, holidayFlag);
        QCOMPARE(run(afterHoliday, {{QVariant(), "Budi Santoso", acc1, "1234567.505", "EMP001", "FIN"},
                                    {QVariant(), "Siti", "0000000002", "0.005", QVariant(), QVariant()}}),
                 ExportOutcome::Written);
        QCOMPARE(fileLines(m_dest), (QStringList{sp(11) + "1234" + "0" + "6789" + "ABCD" + "07" + "01" + "0123456789" + "0"
                                                     + holidayFlag + "00" + "00002" + "00000001234567.52" + "03" + "2024",
                                                 detail(acc1, "000000123456751", "EMP001", "Budi Santoso", "FIN"),
                                                 detail("0000000002", "000000000000001", {}, "Siti", {})}));
        QCOMPARE(m_sink.rows.at(0).values,
                 (QStringList{pad("Budi Santoso", 30), acc1, "1.234.567,51", pad("EMP001", 10), "FIN "}));
        QCOMPARE(m_sink.boxTexts(), QStringList{"Done!"});
    }

    void rowChecks_data()
    {
        QTest::addColumn<RowCase>("c");
        const auto row = [](const char* name, int column, const QVariant& cell, const QStringList& messages,
                            const QVector<int>& marked, int logColumn, const QString& shown, const QString& record = {}) {
            QVariantList cells{QVariant(), "Budi", acc1, 100, "E1", "HR"};
            cells[column - 1] = cell;
            QTest::newRow(name) << RowCase{cells, messages, marked, logColumn, shown, record};
        };
        const QString hundred = "000000000010000";
        const QString accLength = error(1, b("Account Number ") + "must be 10 digits");
        const QString badAmount = error(1, "Invalid amount");
        const QString name35 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345678";
        const QString nameTooLong = error(1, "Employee Name is exceeding 30 chars");
        QTest::newRow("empty row") << RowCase{{"x"}, {accLength, badAmount}, {1, 2}, 2, ""};
        row("amount above the maximum", AmountCol, "1000000000000", {badAmount}, {2}, 2, "1000000000000");
        row("largest amount", AmountCol, "999999999999.99", {}, {}, 2, "999.999.999.999,99",
            detail(acc1, "099999999999999", "E1", "Budi", "HR"));
        // A name is never cut: too long is an error, shown whole.
        row("35-character name shown whole", NameCol, name35, {nameTooLong}, {0}, 0, name35);
        row("30-character name", NameCol, name35.left(30), {}, {}, 0, name35.left(30),
            detail(acc1, hundred, "E1", name35.left(30), "HR"));
        row("12-character employee ID cut", EmpIdCol, "EMP-12345678", {truncated(1, "Employee ID", 10)}, {}, 3,
            "EMP-123456", detail(acc1, hundred, "EMP-123456", "Budi", "HR"));
        QTest::newRow("every problem, in field order")
            << RowCase{{QVariant(), name35 + "\n", "12a", "x", "ID-0123456789", "Dept\n"},
                       {invalidChars(1, "Acc #"), badAmount, truncated(1, "Employee ID", 10), nameTooLong,
                        invalidChars(1, "Employee Name"), truncated(1, "Department", 4), invalidChars(1, "Department")},
                       {1, 2, 0, 0, 4}, 4, "Dept"};
    }
    void rowChecks()
    {
        QFETCH(RowCase, c);
        checkRow(run(false, {c.cells}), c);
    }
};

QTEST_GUILESS_MAIN(TestPayrollExport)
#include "test_payroll_export.moc"
