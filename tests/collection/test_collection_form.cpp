#include "forms/collection/collectionform.h"

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

const QStringList mappingNames{"cboTrxDate", "cboAccName", "cboAcc", "cboAmount", "cboRemarks1", "cboRemarks2",
                               "cboResidence", "cboCitizen"};

} // namespace

class TestCollectionForm final : public QObject
{
    Q_OBJECT

    CollectionForm* newForm() { delete m_form; return m_form = m_h->open<CollectionForm>(); }
    template <typename T> T* child(const QString& name) const { return m_h->w<T>(name); }
    QComboBox* combo(const QString& name) const { return m_h->combo(name); }

    QScopedPointer<FormHarness> m_h;
    QPointer<CollectionForm> m_form;
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
        expect::writeSettings(m_ini, "Collection", {{"HasColumnHeader", true}, {"AccountName", 2}});
        newForm();
        const QDate today = QDate::currentDate();
        QCOMPARE(child<QDateEdit>("dteEffDate")->date(), today);
        QVERIFY(child<QRadioButton>("rdbAnytime")->isChecked());
        QVERIFY(child<QLineEdit>("txtRemarks1")->text().isEmpty());
        QVERIFY(child<QCheckBox>("chkHeaders")->isChecked());
        // The mapping waits for a sheet.
        for (const QString& name : mappingNames)
            QCOMPARE(combo(name)->count(), 0);

        // Remarks typed into a form are gone when the type is chosen again.
        child<QLineEdit>("txtRemarks1")->setText("typed");
        newForm();
        QVERIFY(child<QLineEdit>("txtRemarks1")->text().isEmpty());
    }

    void mappingLabels_data()
    {
        QTest::addColumn<QString>("combo");
        QTest::addColumn<QString>("label");

        const QString star = "<span style=\"color:rgb(255,0,0)\">*</span>";
        QTest::newRow("date") << "cboTrxDate" << "Trx Date";
        QTest::newRow("name") << "cboAccName" << "Acc Name" + star;
        QTest::newRow("account") << "cboAcc" << "Acc #" + star;
        QTest::newRow("amount") << "cboAmount" << "Amount" + star;
        QTest::newRow("remarks 1") << "cboRemarks1" << "Remarks 1";
        QTest::newRow("remarks 2") << "cboRemarks2" << "Remarks 2";
        QTest::newRow("residence") << "cboResidence" << "Residence Status" + star;
        QTest::newRow("citizen") << "cboCitizen" << "Citizen Status" + star;
    }

    // The label that stands left of each mapping combo box, and the red mark of
    // the required ones shown as rich text, not as its markup.
    void mappingLabels()
    {
        QFETCH(QString, combo);
        QFETCH(QString, label);

        newForm();
        auto* grid = qobject_cast<QGridLayout*>(child<QGroupBox>("gbColMap")->layout());
        QVERIFY(grid);
        const int index = grid->indexOf(m_h->combo(combo));
        QVERIFY(index >= 0);
        int row, column, rowSpan, columnSpan;
        grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        QVERIFY(column > 0);
        auto* shown = qobject_cast<QLabel*>(grid->itemAtPosition(row, column - 1)->widget());
        QVERIFY(shown);
        QCOMPARE(shown->text(), label);
        if (label.contains('<'))
            QCOMPARE(shown->textFormat(), Qt::RichText);
    }

    void validationOrder_data()
    {
        QTest::addColumn<QVector<int>>("unmapped");   // indexes into mappingNames left on entry 0
        QTest::addColumn<QString>("message");

        QTest::newRow("name first, citizen ignored") << QVector<int>{1, 7} << "Account Name can not be empty";
        QTest::newRow("account") << QVector<int>{2, 3, 6} << "Account Number can not be empty";
        QTest::newRow("amount") << QVector<int>{3, 6, 7} << "Amount can not be empty";
        QTest::newRow("residence") << QVector<int>{6, 7} << "Residence can not be empty";
        QTest::newRow("citizen") << QVector<int>{7} << "Citizen can not be empty";
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
        m_h->map(mappingNames, {}, 8);
        combo("cboAccName")->setCurrentIndex(3);
        combo("cboAcc")->setCurrentIndex(1);
        combo("cboAmount")->setCurrentIndex(8);
        combo("cboResidence")->setCurrentIndex(4);
        combo("cboCitizen")->setCurrentIndex(5);
        child<QCheckBox>("chkHeaders")->setChecked(true);
        for (int i = 0; i < 5; ++i)
            m_h->addAccount(QString::number(i), "code");
        child<QPushButton>("btnSave")->click();
        QCOMPARE(m_h->boxes, (QList<Box>{{Messages::Kind::Information, "Settings have been saved!"}}));

        // Fewer rows later leave exactly those rows in the array.
        auto* table = child<QTableView>("tblAcc");
        for (int i = 0; i < 3; ++i) {
            table->setCurrentIndex(table->model()->index(0, 1));
            child<QPushButton>("btnDel")->click();
        }
        child<QPushButton>("btnSave")->click();

        QSettings ini(m_ini, QSettings::IniFormat);
        ini.beginGroup("Collection");
        const QList<QPair<QString, int>> expected{{"TrxDate", 0},   {"AccountName", 3}, {"AccountNumber", 1},
                                                  {"Amount", 8},    {"Remarks1", 0},    {"Remarks2", 0},
                                                  {"Residence", 4}, {"Citizen", 5}};
        for (const auto& key : expected) {
            QVERIFY2(ini.contains(key.first), qPrintable(key.first));
            QCOMPARE(ini.value(key.first).toInt(), key.second);
        }
        QCOMPARE(ini.value("HasColumnHeader").toBool(), true);
        QCOMPARE(ini.beginReadArray("Accounts"), 2);
        ini.setArrayIndex(0);
        QCOMPARE(ini.value("Account").toString(), QString("3"));
        ini.setArrayIndex(1);
        QCOMPARE(ini.value("Account").toString(), QString("4"));
        QCOMPARE(ini.value("CompID").toString(), QString("code"));
        ini.endArray();
        QVERIFY(!ini.contains("Accounts/3/Account"));
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
        QTest::addColumn<QString>("remarks1");
        QTest::addColumn<QString>("remarks2");
        QTest::addColumn<QString>("message");

        const QString code = "1234/56789/ABCD";
        const QString r19 = "1234567890123456789";
        QTest::newRow("no row checked") << false << QString() << code << r19 << r19 
                                        << "Credited Account has not been defined";
        QTest::newRow("invalid chars") << true << "01234x6789" << code << r19 << r19 
                                       << "Credited Acc contains invalid chars";
        QTest::newRow("empty account: length") << true << "" << "x" << r19 << r19 << "Credited Acc must be 10 chars";
        QTest::newRow("company code") << true << "0123456789" << "1234-56789-ABCD" << r19 << r19 
                                      << "Company Code must be in the format 1234/56789/ABCD\n(4 numeric / 5 numeric/ 4 letters)";
        QTest::newRow("remarks 1") << true << "0123456789" << code << r19 << r19 << "Trx Remarks 1 is exceeding 18 chars";
        QTest::newRow("remarks 1 line feed") << true << "0123456789" << code << "one\ntwo" << r19 
                                             << "Trx Remarks 1 contains invalid chars";
        QTest::newRow("remarks 2") << true << "0123456789" << code << r19.left(18) << r19 
                                   << "Trx Remarks 2 is exceeding 18 chars";
        QTest::newRow("remarks 2 line feed") << true << "0123456789" << code << "" << "x\r" 
                                             << "Trx Remarks 2 contains invalid chars";
        QTest::newRow("mapping last") << true << "0123456789" << code << "" << "" << "Account Name can not be empty";
    }

    void batchCheckOrder()
    {
        QFETCH(bool, check);
        QFETCH(QString, account);
        QFETCH(QString, code);
        QFETCH(QString, remarks1);
        QFETCH(QString, remarks2);
        QFETCH(QString, message);

        newForm();
        m_h->addAccount("1111111111", "1234/56789/ABCD");
        m_h->addAccount(account, code);
        m_h->radio(1)->setChecked(check);
        child<QLineEdit>("txtRemarks1")->setText(remarks1);
        child<QLineEdit>("txtRemarks2")->setText(remarks2);
        emit m_h->SIG_Export(m_dir->filePath("in.xlsx"), m_dir->filePath("out.txt"));
        QCOMPARE(m_h->boxes, (QList<Box>{{Messages::Kind::Critical, message}}));
        QVERIFY(m_h->headers.isEmpty());
        QVERIFY(!QFile::exists(m_dir->filePath("out.txt.details")));
    }

    void exportWiring()
    {
        const QString book = m_dir->filePath("in.xlsx");
        {
            TestWorkbook wb(book);
            wb.addSheet("Other").addSheet("Data");
            wb.setRow(1, {QDate(2024, 5, 1), "Budi", "1111111111", 1500000, "R1", "R2", 1, 0});
            QVERIFY(wb.save());
        }
        const QString dest = m_dir->filePath("out.txt");
        newForm();
        emit m_h->SIG_Excel_Changed(book, "Data");
        QCOMPARE(combo("cboCitizen")->count(), 9);
        for (int i = 0; i < mappingNames.size(); ++i)
            combo(mappingNames.at(i))->setCurrentIndex(i + 1);
        m_h->addAccount("5555555555", "9876/54321/Abcd");
        m_h->addAccount("0123456789", "1234/56789/ABCD");
        m_h->addAccount("7777777777", "1111/22222/QQQQ");
        m_h->radio(1)->setChecked(true);
        child<QRadioButton>("radioButton_3")->setChecked(true);
        child<QDateEdit>("dteEffDate")->setDate(QDate(2024, 5, 20));
        child<QDateEdit>("dteFrom")->setDate(QDate(2024, 5, 1));
        child<QDateEdit>("dteTo")->setDate(QDate(2024, 5, 1));
        child<QLineEdit>("txtRemarks1")->setText("MAY");

        child<QPushButton>("btnExport")->click();
        QCOMPARE(m_h->exportClicks, 1);
        QVERIFY(m_h->headers.isEmpty());   // the button only asks the window

        emit m_h->SIG_Export(book, dest);
        QCOMPARE(m_h->headers, (QList<QStringList>{{"Account Name", "Acc #", "Amount", "Remarks 1", "Remarks 2", "Residence",
                                                 "Citizen"}}));
        QCOMPARE(m_h->rows.size(), 1);
        QCOMPARE(m_h->rows.first().values.at(2), QString("1.500.000,00"));
        QCOMPARE(m_h->rows.first().amountColumn, 2);
        QCOMPARE(m_h->summaries.size(), 1);
        QCOMPARE(m_h->summaries.first().first(), QString("Total rows processed: 1 of 1"));
        QCOMPARE(m_h->boxes, (QList<Box>{{Messages::Kind::Information, "Done!"}}));

        QFile out(dest);
        QVERIFY(out.open(QIODevice::ReadOnly));
        const QString header = QString::fromUtf8(out.readLine()).chopped(1);
        QCOMPARE(header, "0CO202405200123456789 12346789" + QString(15, ' ') + "0000"
                             + "0000001500000.00" + "00001" + QString("MAY").leftJustified(18) + QString(18 + 95, ' '));
    }
};

QTEST_MAIN(TestCollectionForm)
#include "test_collection_form.moc"
