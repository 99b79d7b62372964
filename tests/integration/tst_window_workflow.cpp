// What a user meets around the exports: switching the transaction type after
// a run, running again after fixing the sheet, and the Header ID that moves on
// with every transfer batch written.

#include "expect.h"
#include "windowdriver.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A transfer row of the sheet: Trx Ref, From Acc, To Acc, Amount, transfer type.
QVariantList transferRow(const QString& ref, const QString& from, const QVariant& amount)
{
    return {ref, from, "0987654321", amount, "WDK"};
}

QByteArray transferUpload(const QString& headerId, const QString& ref)
{
    return ("0|FT|" + headerId + "|||20250203|ABCDE12345|100.00|00001|WDK|IDR|\n"
            "1|00001|" + ref + "|1234567890|0987654321|100.00|||||||||||||\n")
        .toLatin1();
}

} // namespace

class TestWindowWorkflow final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString workbook(const QString& name, const QList<QVariantList>& rows)
    {
        if (!expect::writeSheet(m_dir.filePath(name), "Data", rows))
            qFatal("workbook not written");
        return m_dir.filePath(name);
    }

    // Browses book, picks dest and exports with the transfer form as saved.
    void exportTransfer(WindowDriver& user, const QString& book, const QString& dest)
    {
        user.browseSource(book);
        user.browseDestination(dest);
        user.field<QDateEdit>("dteEffDate")->setDate(QDate(2025, 2, 3));
        user.clickExport();
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QSettings ini(WindowDriver::settingsPath(), QSettings::IniFormat);
        ini.clear();
        ini.beginGroup("Transfer");
        ini.setValue("TrxRef", 1);
        ini.setValue("FromAcc", 2);
        ini.setValue("ToAcc", 3);
        ini.setValue("Amount", 4);
        ini.setValue("Remittance", 5);
        ini.setValue("HasColumnHeader", false);
        ini.setValue("CompanyID", "ABCDE12345");
        ini.setValue("HeaderID", 41);
        ini.endGroup();
        ini.beginGroup("Credit");
        ini.setValue("BnfAccount", 2);
        ini.endGroup();
        ini.beginGroup("Collection");
        ini.setValue("AccountNumber", 2);
        ini.endGroup();
        ini.beginGroup("Payroll");
        ini.setValue("AccountNumber", 2);
        ini.endGroup();
        ini.sync();
        QCOMPARE(ini.status(), QSettings::NoError);
    }

    void cleanup()
    {
        QFile::remove(WindowDriver::settingsPath());
    }

    void typeSwitchAfterAnExport_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("accountCombo");
        QTest::newRow("to Auto Credit") << 1 << "cboBnfAcc";
        QTest::newRow("to Auto Collection") << 2 << "cboAcc";
        QTest::newRow("to Payroll") << 3 << "cboAcc";
    }

    void typeSwitchAfterAnExport()
    {
        QFETCH(int, type);
        QFETCH(QString, accountCombo);

        const QString book = workbook("switch.xlsx", {transferRow("R1", "12", 100)});
        WindowDriver user;
        exportTransfer(user, book, m_dir.filePath("switch.txt"));
        QCOMPARE(user.log()->rowCount(), 1);
        QVERIFY(!user.logText().isEmpty());

        user.chooseType(type);

        QCOMPARE(user.widget<QLineEdit>("txtSource")->text(), QString());
        QCOMPARE(user.widget<QLineEdit>("txtDest")->text(), QString());
        QCOMPARE(user.widget<QComboBox>("cboSheets")->count(), 0);
        QCOMPARE(user.log()->rowCount(), 0);
        QCOMPARE(user.log()->columnCount(), 0);
        QCOMPARE(user.logText(), QString());
        // The new form knows no workbook: its mapping offers nothing yet.
        QCOMPARE(user.field<QComboBox>(accountCombo)->count(), 0);

        // Pressing Export now stops at the window's own check.
        user.boxes.clear();
        user.clickExport();
        QCOMPARE(user.boxes.size(), 1);
        QCOMPARE(user.boxes.at(0).parent, static_cast<QWidget*>(user.window()));
        QCOMPARE(user.boxes.at(0).text, QString("Source can not be empty"));
        QCOMPARE(user.log()->columnCount(), 0);

        // Browsing again tells the new form, which applies its own saved mapping.
        user.browseSource(book);
        QCOMPARE(user.field<QComboBox>(accountCombo)->count(), 6);
        QCOMPARE(user.field<QComboBox>(accountCombo)->currentIndex(), 2);
    }

    void headerIdAdvances()
    {
        const auto stored = [] {
            return QSettings(WindowDriver::settingsPath(), QSettings::IniFormat).value("Transfer/HeaderID");
        };
        const QString good = workbook("good.xlsx", {transferRow("REF", "1234567890", 100)});
        WindowDriver user;
        auto* headerId = user.field<QLineEdit>("txtHeaderID");
        QCOMPARE(headerId->text(), QString("41"));

        exportTransfer(user, good, m_dir.filePath("one.txt"));
        QCOMPARE(fileBytes(m_dir.filePath("one.txt")), transferUpload("00000041", "REF"));
        QCOMPARE(headerId->text(), QString("42"));
        QCOMPARE(stored().toInt(), 42);

        // A number typed without saving goes into the batch; the count goes on from the stored one.
        // Another payment, so it is not asked about as a repeat.
        headerId->setText("7");
        exportTransfer(user, workbook("other.xlsx", {transferRow("REF2", "1234567890", 100)}), m_dir.filePath("two.txt"));
        QCOMPARE(fileBytes(m_dir.filePath("two.txt")), transferUpload("00000007", "REF2"));
        QCOMPARE(headerId->text(), QString("43"));
        QCOMPARE(stored().toInt(), 43);

        // A refused batch uses no number.
        exportTransfer(user, workbook("bad.xlsx", {transferRow("REF", "123", 100)}), m_dir.filePath("three.txt"));
        QVERIFY(!QFile::exists(m_dir.filePath("three.txt")));
        QCOMPARE(headerId->text(), QString("43"));
        QCOMPARE(stored().toInt(), 43);
        QCOMPARE(user.boxes.size(), 3);
        QCOMPARE(user.boxes.at(2).text, QString("ERROR!"));
    }
};

QTEST_MAIN(TestWindowWorkflow)
#include "tst_window_workflow.moc"
