#include "forms/credit/creditform.h"

#include "formharness.h"
#include "expect.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>


namespace {

const QString asterisk = "<span style=\"color:rgb(255,0,0)\">*</span>";

const QStringList mappingNames{"cboTrxDate", "cboBnfName", "cboBnfAcc",   "cboBICode",   "cboBank",     "cboBranch",
                               "cboAmount",  "cboRemittance", "cboRemarks1", "cboRemarks2", "cboCustType", "cboResidence"};

} // namespace

class TestCreditForm final : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<FormHarness> m_h;
    QTemporaryDir m_dir;
    const QString m_ini = FormHarness::settingsPath();
    QWidget* form = nullptr;

    template <typename T> T* w(const char* name) const { return m_h->w<T>(QString::fromLatin1(name)); }

    void newForm()
    {
        delete form;
        form = m_h->open<CreditForm>();
        m_h->show();   // the in-place editor of a new account row opens on a visible view only
    }

    // Sheet column i + 1 on the i-th mapping combo box, but for the names left out.
    void mapAllBut(const QStringList& unmapped = {})
    {
        QList<int> indexes;
        for (int i = 0; i < mappingNames.size(); ++i)
            indexes.append(unmapped.contains(mappingNames[i]) ? 0 : i + 1);
        m_h->map(mappingNames, indexes);
    }

private slots:
    void init()
    {
        m_h.reset(new FormHarness);
        form = nullptr;
        newForm();
    }

    void cleanup() { m_h.reset(); }

    void freshFormIsInWdkMode()
    {
        QVERIFY(w<QRadioButton>("rdbWDK")->isChecked());
        QVERIFY(!w<QComboBox>("cboWDK")->isHidden());
        QCOMPARE(w<QComboBox>("cboWDK")->currentText(), QString("One To One (SP)"));
        QCOMPARE(w<QComboBox>("cboWDK")->count(), 2);
        QCOMPARE(w<QComboBox>("cboOthers")->currentIndex(), -1);
        for (const char* name : {"cboOthers", "lblMin", "lblMax", "txtMinRTGS", "txtMaxRTGS", "btnMinLock", "btnMaxLock"})
            QVERIFY2(form->findChild<QWidget*>(name)->isHidden(), name);
        QVERIFY(w<QRadioButton>("rdbAnytime")->isChecked());
        QVERIFY(!w<QCheckBox>("chkHeaders")->isChecked());
        QCOMPARE(m_h->accounts()->rowCount(), 0);
        QVERIFY(w<QLineEdit>("txtRemarks1")->text().isEmpty());
        QVERIFY(m_h->boxes.isEmpty());
    }

    void othersModeAndBack()
    {
        w<QRadioButton>("rdbOthers")->click();
        QCOMPARE(w<QLineEdit>("txtMinRTGS")->text(), QString("1"));
        QCOMPARE(w<QLineEdit>("txtMaxRTGS")->text(), QString("500.000.000"));
        QCOMPARE(w<QComboBox>("cboOthers")->currentText(), QString("LLG"));
        QCOMPARE(w<QComboBox>("cboWDK")->currentIndex(), -1);
        QVERIFY(w<QComboBox>("cboWDK")->isHidden());
        for (const char* name : {"cboOthers", "lblMin", "lblMax", "txtMinRTGS", "txtMaxRTGS", "btnMinLock", "btnMaxLock"})
            QVERIFY2(!form->findChild<QWidget*>(name)->isHidden(), name);
        QCOMPARE(w<QLabel>("lblBICode")->text(), "BI Code" + asterisk);
        QCOMPARE(w<QLabel>("lblResidence")->text(), "Cust Residence" + asterisk);

        w<QComboBox>("cboOthers")->setCurrentIndex(1);
        QCOMPARE(w<QLineEdit>("txtMinRTGS")->text(), QString("500.000.001"));
        QCOMPARE(w<QLineEdit>("txtMaxRTGS")->text(), QString("999.999.999.999.999"));
        // A click on the mode already chosen changes nothing.
        QTest::mouseClick(w<QRadioButton>("rdbOthers"), Qt::LeftButton);
        QCOMPARE(w<QComboBox>("cboOthers")->currentIndex(), 1);
        QCOMPARE(w<QLineEdit>("txtMinRTGS")->text(), QString("500.000.001"));

        w<QRadioButton>("rdbWDK")->click();
        QCOMPARE(w<QComboBox>("cboWDK")->currentIndex(), 0);
        QCOMPARE(w<QComboBox>("cboOthers")->currentIndex(), -1);
        QVERIFY(w<QLineEdit>("txtMinRTGS")->isHidden());
        QCOMPARE(w<QLabel>("lblBICode")->text(), QString("BI Code"));
        w<QComboBox>("cboWDK")->setCurrentIndex(1);
        QTest::mouseClick(w<QRadioButton>("rdbWDK"), Qt::LeftButton);
        QCOMPARE(w<QComboBox>("cboWDK")->currentText(), QString("One To Many (MP)"));
        // A real change of mode starts the mode afresh.
        QTest::mouseClick(w<QRadioButton>("rdbOthers"), Qt::LeftButton);
        QTest::mouseClick(w<QRadioButton>("rdbWDK"), Qt::LeftButton);
        QCOMPARE(w<QComboBox>("cboWDK")->currentText(), QString("One To One (SP)"));
    }

    void readSettingsNormalisesLimits()
    {
        expect::writeSettings(m_ini, {}, {{"MinLLG", 0}, {"MaxLLG", 0}, {"MinRTGS", 5}, {"Credit/HasColumnHeader", true}});
        newForm();
        QVERIFY(w<QCheckBox>("chkHeaders")->isChecked());
        w<QRadioButton>("rdbOthers")->click();
        QCOMPARE(w<QLineEdit>("txtMinRTGS")->text(), QString("1"));
        QCOMPARE(w<QLineEdit>("txtMaxRTGS")->text(), QString("500.000.000"));
        w<QComboBox>("cboOthers")->setCurrentIndex(1);
        QCOMPARE(w<QLineEdit>("txtMinRTGS")->text(), QString("500.000.001"));
    }

    void validateSettingsOrder_data()
    {
        QTest::addColumn<bool>("others");
        QTest::addColumn<QStringList>("unmapped");
        QTest::addColumn<QString>("minimum");   // empty: as shown
        QTest::addColumn<QString>("message");

        QTest::newRow("account") << false << QStringList{"cboBnfAcc", "cboAmount"} << "" << "Beneficiary Account can not be empty";
        QTest::newRow("amount") << false << QStringList{"cboAmount", "cboRemittance"} << "" << "Amount can not be empty";
        QTest::newRow("type") << false << QStringList{"cboRemittance"} << "" << "Transfer Type can not be empty";
        const QStringList optional{"cboBICode", "cboBank", "cboBranch", "cboBnfName", "cboCustType", "cboResidence"};
        QTest::newRow("wdk needs no more") << false << optional << "" << "Settings have been saved!";
        const char* const messages[] = {"BI Code can not be empty",     "Bank can not be empty",
                                        "Branch can not be empty",      "Beneficiary can not be empty",
                                        "Cust Type can not be empty",   "Cust Residence can not be empty"};
        for (int i = 0; i < optional.size(); ++i)
            QTest::addRow("others, %s", messages[i]) << true << QStringList(optional.mid(i)) << "" << messages[i];
        QTest::newRow("minimum") << true << QStringList{} << "0" << "Invalid minimum limit";
        QTest::newRow("all set") << true << QStringList{} << "" << "Settings have been saved!";
    }

    void validateSettingsOrder()
    {
        QFETCH(bool, others);
        QFETCH(QStringList, unmapped);
        QFETCH(QString, minimum);
        QFETCH(QString, message);

        if (others)
            w<QRadioButton>("rdbOthers")->click();
        mapAllBut(unmapped);
        if (!minimum.isEmpty())
            w<QLineEdit>("txtMinRTGS")->setText(minimum);
        w<QPushButton>("btnSave")->click();
        QCOMPARE(m_h->boxTexts(), QStringList{message});
        QCOMPARE(m_h->boxes.first().kind,
                 message.startsWith("Settings") ? Messages::Kind::Information : Messages::Kind::Critical);
        QCOMPARE(QFile::exists(m_ini), message.startsWith("Settings"));
    }

    void saveWritesTheCreditKeys()
    {
        mapAllBut();
        w<QCheckBox>("chkHeaders")->setChecked(true);
        m_h->addAccount("0123456789", "1234/56789/ABCD");
        m_h->addAccount("x", "");
        w<QPushButton>("btnSave")->click();
        QCOMPARE(m_h->boxTexts(), QStringList{"Settings have been saved!"});

        QSettings settings(m_ini, QSettings::IniFormat);
        QCOMPARE(settings.childKeys(), QStringList{});   // WDK mode writes no limit
        settings.beginGroup("Credit");
        const QStringList keys{"TrxDate", "Beneficary", "BnfAccount", "BICode",   "Bank",     "Branch",
                               "Amount",  "Remittance", "Remarks1",   "Remarks2", "CustType", "Residence"};
        for (int i = 0; i < keys.size(); ++i)
            QCOMPARE(settings.value(keys[i]).toInt(), i + 1);
        QCOMPARE(settings.value("HasColumnHeader").toBool(), true);
        QCOMPARE(settings.beginReadArray("Accounts"), 2);
        settings.setArrayIndex(0);
        QCOMPARE(settings.value("Account").toString(), QString("0123456789"));
        QCOMPARE(settings.value("CompID").toString(), QString("1234/56789/ABCD"));
        settings.setArrayIndex(1);
        QCOMPARE(settings.value("Account").toString(), QString("x"));
        settings.endArray();
    }

    void saveInOthersRtgsStoresTheRtgsLimitsOnly()
    {
        expect::writeSettings(m_ini, {}, {{"MinLLG", 7}, {"MaxLLG", 900}});
        newForm();
        w<QRadioButton>("rdbOthers")->click();
        w<QComboBox>("cboOthers")->setCurrentIndex(1);
        w<QLineEdit>("txtMinRTGS")->setText("600.000.000");
        w<QLineEdit>("txtMaxRTGS")->setText("2000000000");
        mapAllBut();
        w<QPushButton>("btnSave")->click();
        QCOMPARE(m_h->boxTexts(), QStringList{"Settings have been saved!"});
        QSettings settings(m_ini, QSettings::IniFormat);
        QCOMPARE(settings.value("MinRTGS").toULongLong(), 600000000ULL);
        QCOMPARE(settings.value("MaxRTGS").toULongLong(), 2000000000ULL);
        QCOMPARE(settings.value("MinLLG").toULongLong(), 7ULL);
        QCOMPARE(settings.value("MaxLLG").toULongLong(), 900ULL);
    }

    void unwritableSettingsFile()
    {
        QVERIFY(QDir().mkpath(m_ini));   // a folder where the file should be
        newForm();
        mapAllBut();
        w<QPushButton>("btnSave")->click();
        QCOMPARE(m_h->boxTexts(), QStringList{"Settings could not be saved"});
        QCOMPARE(m_h->boxes.first().kind, Messages::Kind::Critical);
    }

    void batchChecksInOrder_data()
    {
        QTest::addColumn<QString>("account");   // "-": no row at all, "?": a row, none checked
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("remarks1");
        QTest::addColumn<QString>("remarks2");
        QTest::addColumn<QString>("message");

        const QString code = "1234/56789/ABCD";
        const QString longText(19, 'r');
        QTest::newRow("empty table") << "-" << code << longText << "" << "Source Account has not been defined";
        QTest::newRow("none checked") << "?" << code << longText << "" << "Source Account has not been defined";
        QTest::newRow("characters") << "01234 6789" << code << longText << "" << "Source Acc contains invalid chars";
        QTest::newRow("length") << "012345678" << code << longText << "" << "Source Acc must be 10 chars";
        QTest::newRow("company code") << "0123456789" << "1234/5678/ABCD" << longText << ""
                                      << "Company Code must be in the format 1234/56789/ABCD\n(4 numeric / 5 numeric/ 4 letters)";
        QTest::newRow("remarks 1") << "0123456789" << code << longText << longText
                                   << "Trx Remarks 1 is exceeding 18 chars";
        QTest::newRow("remarks 2") << "0123456789" << code << "" << longText << "Trx Remarks 2 is exceeding 18 chars";
        QTest::newRow("remarks line break") << "0123456789" << code << "a\nb" << ""
                                            << "Trx Remarks 1 contains invalid chars";
        QTest::newRow("settings") << "0123456789" << code << "" << "" << "Beneficiary Account can not be empty";
    }

    void batchChecksInOrder()
    {
        QFETCH(QString, account);
        QFETCH(QString, code);
        QFETCH(QString, remarks1);
        QFETCH(QString, remarks2);
        QFETCH(QString, message);

        if (account == "?") {
            m_h->addAccount("0123456789", code);
        } else if (account != "-") {
            m_h->addAccount("9999999999", code);
            m_h->addAccount(account, code);
            m_h->radio(1)->setChecked(true);
        }
        w<QLineEdit>("txtRemarks1")->setText(remarks1);
        w<QLineEdit>("txtRemarks2")->setText(remarks2);
        const QString dest = m_dir.filePath("refused.txt");
        emit m_h->SIG_Export(m_dir.filePath("none.xlsx"), dest);
        QCOMPARE(m_h->boxTexts(), QStringList{message});
        QVERIFY(m_h->headers.isEmpty());
        QVERIFY(!QFile::exists(dest + ".details"));
    }

    void exportThroughTheWindowSignals()
    {
        const QString book = m_dir.filePath("credit.xlsx");
        QVERIFY(expect::writeSheet(book, "Data", {{"Name", "Acc", "Amount", "Type"}, {"Ann", "0123456789", "10.5", "WDK"},
                                                  {"Bob", "012345678", 20, "wdk"}, {"Cid", "1111111111", 30, "LLG"}}));
        {
            QSettings settings(m_ini, QSettings::IniFormat);
            settings.beginGroup("Credit");
            settings.setValue("Beneficary", 1);
            settings.setValue("BnfAccount", 2);
            settings.setValue("Amount", 3);
            settings.setValue("Remittance", 4);
            settings.setValue("HasColumnHeader", true);
            kova::saveAccounts(settings, {{"0123456789", "1234/56789/ABCD"}});
        }
        newForm();
        emit m_h->SIG_Excel_Changed(book, "Data");
        QCOMPARE(w<QComboBox>("cboAmount")->currentText(), QString("Amount"));
        m_h->radio(0)->setChecked(true);

        const QString dest = m_dir.filePath("credit.txt");
        emit m_h->SIG_Export(book, dest);
        QCOMPARE(m_h->headers.value(0).size(), 10);
        QCOMPARE(m_h->rows.size(), 2);
        QCOMPARE(m_h->rows[0].values[0], QString("Ann"));
        QCOMPARE(m_h->rows[0].values[2], QString("10,50"));
        QCOMPARE(m_h->rows[0].amountColumn, 2);
        QVERIFY(m_h->rows[0].points.isEmpty());
        QCOMPARE(m_h->rows[1].points, QList<QPoint>{QPoint(1, 1)});
        QCOMPARE(m_h->rows[1].messages,
                 QStringList{"<span style=\"color:#e73d4a;\">LINE 2: Error. <span style=\"font-weight:bold;\">To Acc"
                             "</span> must be 10 digits</span>"});
        QCOMPARE(m_h->summaries, QList<QStringList>{expect::summary("2 of 3", "30,50", 0, 1)});
        QCOMPARE(m_h->boxTexts(), QStringList{"ERROR!"});
        QVERIFY(!QFile::exists(dest));
    }
};

QTEST_MAIN(TestCreditForm)
#include "test_credit_form.moc"
