#include "forms/payroll/payrollform.h"

#include "export/settingsfile.h"
#include "formharness.h"
#include "expect.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QPointer>
#include <QtTest>

using Box = FormHarness::Box;

namespace {

const QStringList mappingNames{"cboTrxDate", "cboAccName", "cboAcc", "cboAmount", "cboEmpID", "cboDept"};

} // namespace

class TestPayrollForm final : public QObject
{
    Q_OBJECT

    PayrollForm* newForm() { delete m_form; return m_form = m_h->open<PayrollForm>(); }
    template <typename T> T* child(const QString& name) const { return m_h->w<T>(name); }
    QComboBox* combo(const QString& name) const { return m_h->combo(name); }

    QScopedPointer<FormHarness> m_h;
    QPointer<PayrollForm> m_form;
    const QString m_ini = FormHarness::settingsPath();
    QScopedPointer<QTemporaryDir> m_dir;

private slots:
    void init()
    {
        m_h.reset(new FormHarness);
        m_dir.reset(new QTemporaryDir);
    }
    void cleanup() { m_h.reset(); }

    void freshFormDefaults()
    {
        expect::writeSettings(m_ini, "Payroll", {{"HasColumnHeader", true}, {"Amount", 4}});
        newForm();
        const QDate today = QDate::currentDate();
        QCOMPARE(child<QDateEdit>("dteEffDate")->date(), today);
        QVERIFY(child<QRadioButton>("rdbBefore")->isChecked());
        QVERIFY(child<QCheckBox>("chkHeaders")->isChecked());
        for (const QString& name : mappingNames)
            QCOMPARE(combo(name)->count(), 0);

        // The holiday choice and the dates are not kept between forms.
        child<QRadioButton>("rdbAfter")->setChecked(true);
        child<QDateEdit>("dteEffDate")->setDate(QDate(2020, 1, 1));
        newForm();
        QVERIFY(child<QRadioButton>("rdbBefore")->isChecked());
        QCOMPARE(child<QDateEdit>("dteEffDate")->date(), today);
    }

    void mappingLabels_data()
    {
        QTest::addColumn<QString>("combo");
        QTest::addColumn<QString>("labelName");
        QTest::addColumn<QString>("label");

        const QString star = "<span style=\"color:rgb(255,0,0)\">*</span>";
        QTest::newRow("date") << "cboTrxDate" << "label_3" << "Trx Date";
        QTest::newRow("name") << "cboAccName" << "lblAccName" << "Employee Name" + star;
        QTest::newRow("account") << "cboAcc" << "label_4" << "Acc #" + star;
        QTest::newRow("amount") << "cboAmount" << "label_6" << "Amount" + star;
        QTest::newRow("employee ID") << "cboEmpID" << "label_7" << "Employee ID";
        QTest::newRow("department") << "cboDept" << "label_8" << "Department";
    }

    // The named label stands left of its combo box, free to be as wide as its caption, and
    // the red mark of the required ones is shown as rich text, not as its markup.
    void mappingLabels()
    {
        QFETCH(QString, combo);
        QFETCH(QString, labelName);
        QFETCH(QString, label);

        newForm();
        auto* grid = qobject_cast<QGridLayout*>(child<QGroupBox>("gbColMap")->layout());
        QVERIFY(grid);
        const int index = grid->indexOf(m_h->combo(combo));
        QVERIFY(index >= 0);
        int row, column, rowSpan, columnSpan;
        grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        QVERIFY(column > 0);
        QLabel* shown = child<QLabel>(labelName);
        QVERIFY(shown);
        QCOMPARE(grid->itemAtPosition(row, column - 1)->widget(), shown);
        QCOMPARE(shown->text(), label);
        QVERIFY(shown->maximumWidth() >= shown->sizeHint().width());
        if (label.contains('<'))
            QCOMPARE(shown->textFormat(), Qt::RichText);
    }

    void validationOrder_data()
    {
        QTest::addColumn<QVector<int>>("unmapped");   // indexes into mappingNames left on entry 0
        QTest::addColumn<QString>("message");

        QTest::newRow("name first, whatever else") << QVector<int>{1, 2, 3} << "Account Name can not be empty";
        QTest::newRow("account") << QVector<int>{2, 3} << "Account Number can not be empty";
        QTest::newRow("amount") << QVector<int>{3} << "Amount can not be empty";
    }

    void validationOrder()
    {
        QFETCH(QVector<int>, unmapped);
        QFETCH(QString, message);

        newForm();
        m_h->mapAll(mappingNames);
        for (int i : unmapped)
            combo(mappingNames.at(i))->setCurrentIndex(0);
        child<QPushButton>("btnSave")->click();
        QCOMPARE(m_h->boxes, (QList<Box>{{Messages::Kind::Critical, message}}));
        QVERIFY(!QFile::exists(m_ini));
    }

    void savedKeys()
    {
        newForm();
        m_h->map(mappingNames, {}, 6);
        combo("cboAccName")->setCurrentIndex(2);
        combo("cboAcc")->setCurrentIndex(3);
        combo("cboAmount")->setCurrentIndex(6);
        m_h->addAccount("0123456789", "1234/56789/ABCD");
        child<QPushButton>("btnSave")->click();
        QCOMPARE(m_h->boxes, (QList<Box>{{Messages::Kind::Information, "Settings have been saved!"}}));

        QSettings ini(m_ini, QSettings::IniFormat);
        ini.beginGroup("Payroll");
        const QList<QPair<QString, int>> expected{{"TrxDate", 0}, {"AccountName", 2}, {"AccountNumber", 3},
                                                  {"Amount", 6},  {"EmployeeID", 0},  {"Department", 0}};
        for (const auto& key : expected) {
            QVERIFY2(ini.contains(key.first), qPrintable(key.first));
            QCOMPARE(ini.value(key.first).toInt(), key.second);
        }
        QVERIFY(ini.contains("HasColumnHeader"));
        QCOMPARE(ini.value("HasColumnHeader").toBool(), false);
        QCOMPARE(ini.beginReadArray("Accounts"), 1);
        ini.setArrayIndex(0);
        QCOMPARE(ini.value("Account").toString(), QString("0123456789"));
        QCOMPARE(ini.value("CompID").toString(), QString("1234/56789/ABCD"));
        ini.endArray();
    }

    void unwritableSettingsFile()
    {
        newForm();
        m_h->mapAll(mappingNames);
        QVERIFY(QDir().mkpath(m_ini));   // a folder where the file should be
        child<QPushButton>("btnSave")->click();
        QCOMPARE(m_h->boxes, (QList<Box>{{Messages::Kind::Critical, "Settings could not be saved"}}));
    }

    void batchCheckOrder_data()
    {
        QTest::addColumn<bool>("check");   // the second row's radio button
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("message");

        const QString code = "1234/56789/ABCD";
        QTest::newRow("no row checked") << false << "0123456789" << code << "Source Acc has not been defined";
        QTest::newRow("invalid chars") << true << "0123 56789" << "" << "Source Acc contains invalid chars";
        QTest::newRow("empty account: length") << true << "" << "" << "Source Acc must be 10 chars";
        QTest::newRow("company code") << true << "0123456789" << "1234/56789/AB1D"
                                      << "Company Code must be in the format 1234/56789/ABCD\n(4 numeric / 5 numeric/ 4 letters)";
        QTest::newRow("mapping last") << true << "0123456789" << code << "Account Name can not be empty";
    }

    void batchCheckOrder()
    {
        QFETCH(bool, check);
        QFETCH(QString, account);
        QFETCH(QString, code);
        QFETCH(QString, message);

        newForm();
        m_h->addAccount("1111111111", "1234/56789/ABCD");
        m_h->addAccount(account, code);
        m_h->radio(1)->setChecked(check);
        emit m_h->SIG_Export(m_dir->filePath("in.xlsx"), m_dir->filePath("out.txt"));
        QCOMPARE(m_h->boxes, (QList<Box>{{Messages::Kind::Critical, message}}));
        QVERIFY(m_h->headers.isEmpty());
    }

    void exportWiring_data()
    {
        QTest::addColumn<bool>("after");
        QTest::addColumn<bool>("filterOn");
        QTest::addColumn<QString>("holidayFlag");
        QTest::addColumn<int>("rows");

        QTest::newRow("before holiday, no date filter") << false << false << "0" << 2;
        QTest::newRow("after holiday, date filter on") << true << true << "1" << 1;
    }

    void exportWiring()
    {
        QFETCH(bool, after);
        QFETCH(bool, filterOn);
        QFETCH(QString, holidayFlag);
        QFETCH(int, rows);

        const QString book = m_dir->filePath("in.xlsx");
        {
            TestWorkbook wb(book);
            wb.addSheet("Other").addSheet("Staff");
            wb.setRow(1, {QDate(2024, 5, 1), "Budi", "1111111111", 1500000, "E1", "FIN"});
            wb.setRow(2, {QDate(2024, 6, 1), "Siti", "2222222222", 1, "E2", "HR"});
            QVERIFY(wb.save());
        }
        const QString dest = m_dir->filePath("out.txt");
        newForm();
        emit m_h->SIG_Excel_Changed(book, "Staff");
        QCOMPARE(combo("cboDept")->count(), 7);
        m_h->mapAll(mappingNames);
        if (!filterOn)
            combo("cboTrxDate")->setCurrentIndex(0);
        m_h->addAccount("5555555555", "9876/54321/Abcd");
        m_h->addAccount("0123456789", "1234/56789/ABCD");
        m_h->addAccount("7777777777", "1111/22222/QQQQ");
        m_h->radio(1)->setChecked(true);
        child<QRadioButton>(after ? "rdbAfter" : "rdbBefore")->setChecked(true);
        child<QDateEdit>("dteEffDate")->setDate(QDate(2024, 5, 25));
        child<QDateEdit>("dteFrom")->setDate(QDate(2024, 5, 1));
        child<QDateEdit>("dteTo")->setDate(QDate(2024, 5, 31));

        child<QPushButton>("btnExport")->click();
        QCOMPARE(m_h->exportClicks, 1);
        QVERIFY(m_h->headers.isEmpty());   // the button only asks the window

        emit m_h->SIG_Export(book, dest);
        QCOMPARE(m_h->headers, (QList<QStringList>{{"Employee Name", "Acc #", "Amount", "EmpolyeeID", "Department"}}));
        QCOMPARE(m_h->rows.size(), rows);
        QCOMPARE(m_h->rows.first().values.at(2), QString("1.500.000,00"));
        QCOMPARE(m_h->rows.first().amountColumn, 2);
        QCOMPARE(m_h->summaries.size(), 1);
        QCOMPARE(m_h->boxes, (QList<Box>{{Messages::Kind::Information, "Done!"}}));

        QFile out(dest);
        QVERIFY(out.open(QIODevice::ReadOnly));
        const QString total = rows == 2 ? "00000001500001.00" : "00000001500000.00";
        QCOMPARE(QString::fromUtf8(out.readLine()),
                 QString(11, ' ') + "1234" + "0" + "6789" + "ABCD" + "25" + "01" + "0123456789" + "0" + holidayFlag
                     + "00" + "0000" + QString::number(rows) + total + "05" + "2024" + "\n");
        QCOMPARE(QString::fromUtf8(out.readLine()),
                 "01111111111000000150000000E1        " + QString("Budi").leftJustified(30) + "FIN \n");
    }
};

QTEST_MAIN(TestPayrollForm)
#include "test_payroll_form.moc"
