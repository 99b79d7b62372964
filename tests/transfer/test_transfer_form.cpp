#include "forms/transfer/transferform.h"

#include "formharness.h"
#include "testworkbook.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using Box = FormHarness::Box;

// The transfer form's own rules; what it shares with the other forms is in tests/common/test_forms.cpp.
class TestTransferForm final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QScopedPointer<FormHarness> m_h;
    const QString m_ini = FormHarness::settingsPath();

    QLineEdit* text(const char* name) { return m_h->w<QLineEdit>(name); }

private slots:
    void init() { m_h.reset(new FormHarness); }
    void cleanup() { m_h.reset(); }

    void batchData_data()
    {
        QTest::addColumn<bool>("others");
        QTest::addColumn<QString>("maxLimit");
        QTest::addColumn<QString>("headerId");
        QTest::addColumn<QString>("corporateId");
        QTest::addColumn<QString>("message");   // empty: saved

        const QString ok = "ABCDE12345";
        const QString invalidId = "Invalid Header ID";
        const QString maxId = "Max value of Header ID is 99999999";
        QTest::newRow("maximum 0 before Header ID") << true << "0" << "" << "" << "Invalid maximum limit";
        QTest::newRow("Header ID 0 before Corporate ID") << false << "1" << "0" << "" << invalidId;
        QTest::newRow("Header ID text") << false << "1" << "abc" << ok << invalidId;
        QTest::newRow("Header ID 99999999") << false << "1" << "99999999" << ok << "";
        QTest::newRow("Header ID 100000000") << false << "1" << "100000000" << ok << maxId;
        QTest::newRow("Header ID -5") << false << "1" << "-5" << ok << maxId;
        QTest::newRow("Corporate ID ten spaces") << false << "1" << "1" << QString(10, ' ') << "Corporate ID can not be empty";
        QTest::newRow("Corporate ID nine chars") << false << "1" << "1" << "ABCDE1234" << "Corporate ID must be 10 chars";
        // Either would split the header record.
        QTest::newRow("Corporate ID with a separator") << false << "1" << "1" << "ABCDE|2345" << "Corporate ID contains invalid chars";
        QTest::newRow("Corporate ID with a line feed") << false << "1" << "1" << "ABCDE\n2345" << "Corporate ID contains invalid chars";
        QTest::newRow("Corporate ID with a leading space") << false << "1" << "1" << " BCDE12345" << "";
    }
    void batchData()
    {
        QFETCH(bool, others);
        QFETCH(QString, maxLimit);
        QFETCH(QString, headerId);
        QFETCH(QString, corporateId);
        QFETCH(QString, message);

        m_h->open<TransferForm>();
        m_h->mapAll({"cboTrxRef", "cboFrom", "cboTo", "cboAmount", "cboRemittance", "cboBICode", "cboBank", "cboBranch",
                     "cboName", "cboCustType", "cboResidence"});
        if (others)
            m_h->w<QAbstractButton>("rdbOthers")->click();
        text("txtMaxRTGS")->setText(maxLimit);
        text("txtHeaderID")->setText(headerId);
        text("txtCompID")->setText(corporateId);
        m_h->w<QPushButton>("btnSave")->click();
        const Box box = message.isEmpty() ? Box(Messages::Kind::Information, "Settings has been saved")
                                          : Box(Messages::Kind::Critical, message);
        QCOMPARE(m_h->boxes, QList<Box>{box});
        QCOMPARE(QFile::exists(m_ini), message.isEmpty());
    }

    void headerIdAfterExport_data()
    {
        QTest::addColumn<QVariant>("stored");    // invalid: a blocked settings file
        QTest::addColumn<QString>("shown");      // when the form opens
        QTest::addColumn<QString>("typed");      // empty: as shown
        QTest::addColumn<bool>("workbook");      // false: the export names a missing workbook
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("used");       // in the upload's header; empty: no upload
        QTest::addColumn<QString>("next");       // shown and stored afterwards

        QTest::newRow("none stored") << QVariant(0) << "1" << "" << true << "Done!" << "00000001" << "2";
        // The next number follows both the one stored and the one used.
        QTest::newRow("stored behind the typed") << QVariant(-1) << "-1" << "5" << true << "Done!" << "00000005" << "6";
        QTest::newRow("stored ahead of the typed") << QVariant(9) << "9" << "5" << true << "Done!" << "00000005" << "10";
        QTest::newRow("the last one allowed") << QVariant(99999999) << "99999999" << "" << true << "Done!" << "99999999"
                                              << "100000000";
        QTest::newRow("settings file blocked") << QVariant() << "1" << "5" << true << "Settings could not be saved" << ""
                                               << "5";
        // The workbook is the one the export request names; the sheet the one last announced.
        QTest::newRow("workbook of the request") << QVariant(3) << "3" << "" << false << "Error. Unable to select sheet Data"
                                                 << "" << "3";
    }
    void headerIdAfterExport()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        QFETCH(bool, workbook);
        QFETCH(QString, box);
        QFETCH(QString, used);
        QFETCH(QString, next);

        if (stored.isValid())
            QSettings(m_ini, QSettings::IniFormat).setValue("Transfer/HeaderID", stored);
        else
            QVERIFY(QDir().mkpath(m_ini));
        const QString book = m_dir.filePath("book.xlsx");
        QVERIFY(TestWorkbook(book).addSheet("Data").setRow(1, {"REF1", "1234567890", "0987654321", "1", "WDK"}).save());
        m_h->open<TransferForm>();
        QCOMPARE(text("txtHeaderID")->text(), shown);
        emit m_h->SIG_Excel_Changed(book, "Data");
        m_h->mapAll({"cboTrxRef", "cboFrom", "cboTo", "cboAmount", "cboRemittance"});
        text("txtCompID")->setText("ABCDE12345");
        if (!typed.isEmpty())
            text("txtHeaderID")->setText(typed);

        const QString dest = m_dir.filePath("upload.txt");
        QFile::remove(dest);
        emit m_h->SIG_Export(workbook ? book : m_dir.filePath("missing.xlsx"), dest);
        QCOMPARE(m_h->boxTexts(), QStringList{box});
        QFile upload(dest);
        QCOMPARE(upload.open(QIODevice::ReadOnly), !used.isEmpty());
        if (!used.isEmpty())
            QCOMPARE(QString::fromLatin1(upload.readAll()),
                     "0|FT|" + used + "|||" + QDate::currentDate().toString("yyyyMMdd")
                         + "|ABCDE12345|1.00|00001|WDK|IDR|\n1|00001|REF1|1234567890|0987654321|1.00|||||||||||||\n");
        QCOMPARE(text("txtHeaderID")->text(), next);
        if (used.isEmpty())
            return;
        QCOMPARE(QSettings(m_ini, QSettings::IniFormat).value("Transfer/HeaderID").toString(), next);
        // Past the largest number, the next export or save is refused until a smaller one is typed.
        m_h->boxes.clear();
        m_h->w<QPushButton>("btnSave")->click();
        QCOMPARE(m_h->boxTexts().value(0) == "Max value of Header ID is 99999999", next == "100000000");
    }
};

QTEST_MAIN(TestTransferForm)
#include "test_transfer_form.moc"
