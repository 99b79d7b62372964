#include "forms/payroll/payrollform.h"

#include "formharness.h"
#include "testworkbook.h"

#include <QDateEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

// The payroll form's own widgets reach its export; what it shares with the other
// forms is in tests/common/test_forms.cpp.
class TestPayrollForm final : public QObject
{
    Q_OBJECT

private slots:
    // Before the holiday, with the date filter on: the June row is left out.
    void holidayAndDateFilterReachTheUpload()
    {
        QTemporaryDir dir;
        FormHarness h;
        const QString book = dir.filePath("in.xlsx");
        {
            TestWorkbook wb(book);
            wb.addSheet("Other").addSheet("Staff");
            wb.setRow(1, {QDate(2024, 5, 1), "Budi", "1111111111", 1500000, "E1", "FIN"});
            wb.setRow(2, {QDate(2024, 6, 1), "Siti", "2222222222", 1, "E2", "HR"});
            QVERIFY(wb.save());
        }
        h.open<PayrollForm>();
        h.show();
        emit h.SIG_Excel_Changed(book, "Staff");
        h.mapAll({"cboTrxDate", "cboAccName", "cboAcc", "cboAmount", "cboEmpID", "cboDept"});
        h.addAccount("5555555555", "9876/54321/Abcd");
        h.addAccount("0123456789", "1234/56789/ABCD");
        h.radio(1)->setChecked(true);
        h.w<QRadioButton>("rdbAfter")->setChecked(true);
        h.w<QRadioButton>("rdbBefore")->setChecked(true);
        h.w<QDateEdit>("dteEffDate")->setDate(QDate(2024, 5, 25));
        h.w<QDateEdit>("dteFrom")->setDate(QDate(2024, 5, 1));
        h.w<QDateEdit>("dteTo")->setDate(QDate(2024, 5, 31));

        const QString dest = dir.filePath("out.txt");
        emit h.SIG_Export(book, dest);
        QCOMPARE(h.boxTexts(), QStringList{"Done!"});
        QFile out(dest);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(out.readAll()),
                 QString(11, ' ') + "1234" + "0" + "6789" + "ABCD" + "25" + "01" + "0123456789" + "0" + "0" + "00" + "00001"
                     + "00000001500000.00" + "05" + "2024" + "\n"
                     + "01111111111000000150000000E1        " + QString("Budi").leftJustified(30) + "FIN \n");
    }
};

QTEST_MAIN(TestPayrollForm)
#include "test_payroll_form.moc"
