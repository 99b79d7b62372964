#include "forms/credit/creditform.h"

#include "forms/common/messages.h"
#include "testworkbook.h"

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

#include <memory>

// The main window as the form sees it: the two signals it listens to, and the
// four it sends, recorded.
class FakeWindow final : public QWidget
{
    Q_OBJECT

public:
    struct Row
    {
        QStringList values;
        QList<QPoint> points;
        QStringList messages;
        int amountColumn = -1;
    };

    void attach(QWidget* form)
    {
        connect(form, SIGNAL(SIG_HEADER_CHANGE(QStringList)), this, SLOT(onHeader(QStringList)));
        connect(form, SIGNAL(SIG_TRX_PROC(QStringList,QList<QPoint*>,QStringList,int)), this,
                SLOT(onRow(QStringList,QList<QPoint*>,QStringList,int)));
        connect(form, SIGNAL(SIG_TRX_DONE(QStringList)), this, SLOT(onDone(QStringList)));
        connect(form, SIGNAL(SIG_EXPBTN_CLICK()), this, SLOT(onExportClick()));
    }

    QStringList titles;
    QList<Row> rows;
    QStringList summary;
    int exportClicks = 0;

signals:
    void SIG_Export(QString sourcePath, QString destinationPath);
    void SIG_Excel_Changed(QString path, QString sheet);

private slots:
    void onHeader(QStringList t) { titles = t; }
    void onRow(QStringList values, QList<QPoint*> points, QStringList messages, int amountColumn)
    {
        Row row{values, {}, messages, amountColumn};
        for (const QPoint* p : points)
            row.points.append(*p);
        rows.append(row);
    }
    void onDone(QStringList lines) { summary = lines; }
    void onExportClick() { ++exportClicks; }
};

namespace {

const QString asterisk = QStringLiteral("<span style=\"color:rgb(255,0,0)\">*</span>");

const QStringList mappingNames{"cboTrxDate", "cboBnfName", "cboBnfAcc",   "cboBICode",   "cboBank",     "cboBranch",
                               "cboAmount",  "cboRemittance", "cboRemarks1", "cboRemarks2", "cboCustType", "cboResidence"};

QString settingsPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kova.ini"));
}

} // namespace

class TestCreditForm final : public QObject
{
    Q_OBJECT

private:
    QList<QPair<Messages::Kind, QString>> m_boxes;
    std::unique_ptr<FakeWindow> m_window;
    QTemporaryDir m_dir;

    QWidget* form = nullptr;

    template <typename T>
    T* w(const char* name) const
    {
        T* widget = form->findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }

    void newForm()
    {
        m_window = std::make_unique<FakeWindow>();
        form = new CreditForm(m_window.get());
        m_window->show();   // the in-place editor of a new account row opens on a visible view only
        m_window->attach(form);
        m_boxes.clear();
    }

    QStringList boxTexts() const
    {
        QStringList texts;
        for (const auto& box : m_boxes)
            texts.append(box.second);
        return texts;
    }

    // Offers columns A..L in every mapping combo box and maps the named ones
    // to the given columns; all others stay on the empty entry.
    void map(const QMap<QString, int>& columns)
    {
        for (const QString& name : mappingNames) {
            auto* combo = form->findChild<QComboBox*>(name);
            combo->clear();
            combo->addItem(QString());
            for (char c = 'A'; c <= 'L'; ++c)
                combo->addItem(QString(QLatin1Char(c)));
            combo->setCurrentIndex(columns.value(name, 0));
        }
    }

    QMap<QString, int> allMapped() const
    {
        QMap<QString, int> columns;
        for (int i = 0; i < mappingNames.size(); ++i)
            columns.insert(mappingNames[i], i + 1);
        return columns;
    }

    QStandardItemModel* accounts() const
    {
        return qobject_cast<QStandardItemModel*>(w<QTableView>("tblAcc")->model());
    }

    void addAccount(const QString& account, const QString& code)
    {
        w<QPushButton>("btnAdd")->click();
        const int row = accounts()->rowCount() - 1;
        accounts()->item(row, 1)->setText(account);
        accounts()->item(row, 2)->setText(code);
    }

    QRadioButton* radio(int row) const
    {
        return qobject_cast<QRadioButton*>(w<QTableView>("tblAcc")->indexWidget(accounts()->index(row, 0)));
    }

    void removeSettingsFile()
    {
        const QString path = settingsPath();
        if (QFileInfo(path).isDir())
            QDir(path).removeRecursively();
        else
            QFile::remove(path);
    }

private slots:
    void initTestCase()
    {
        Messages::setPresenter([this](QWidget*, Messages::Kind kind, const QString& text) {
            m_boxes.append({kind, text});
        });
    }

    void init()
    {
        removeSettingsFile();
        newForm();
    }

    void cleanup()
    {
        m_window.reset();
        form = nullptr;
        removeSettingsFile();
    }

    void freshFormIsInWdkMode()
    {
        QVERIFY(w<QRadioButton>("rdbWDK")->isChecked());
        QVERIFY(!w<QComboBox>("cboWDK")->isHidden());
        QCOMPARE(w<QComboBox>("cboWDK")->currentText(), QStringLiteral("One To One (SP)"));
        QCOMPARE(w<QComboBox>("cboWDK")->count(), 2);
        QCOMPARE(w<QComboBox>("cboOthers")->currentIndex(), -1);
        for (const char* name : {"cboOthers", "lblMin", "lblMax", "txtMinRTGS", "txtMaxRTGS", "btnMinLock", "btnMaxLock"})
            QVERIFY2(form->findChild<QWidget*>(name)->isHidden(), name);
        QVERIFY(w<QRadioButton>("rdbAnytime")->isChecked());
        QVERIFY(!w<QCheckBox>("chkHeaders")->isChecked());
        QCOMPARE(accounts()->rowCount(), 0);
        QVERIFY(w<QLineEdit>("txtRemarks1")->text().isEmpty());
        QVERIFY(m_boxes.isEmpty());
    }

    void othersModeAndBack()
    {
        w<QRadioButton>("rdbOthers")->click();
        QCOMPARE(w<QLineEdit>("txtMinRTGS")->text(), QStringLiteral("1"));
        QCOMPARE(w<QLineEdit>("txtMaxRTGS")->text(), QStringLiteral("500.000.000"));
        QCOMPARE(w<QComboBox>("cboOthers")->currentText(), QStringLiteral("LLG"));
        QCOMPARE(w<QComboBox>("cboWDK")->currentIndex(), -1);
        QVERIFY(w<QComboBox>("cboWDK")->isHidden());
        for (const char* name : {"cboOthers", "lblMin", "lblMax", "txtMinRTGS", "txtMaxRTGS", "btnMinLock", "btnMaxLock"})
            QVERIFY2(!form->findChild<QWidget*>(name)->isHidden(), name);
        QCOMPARE(w<QLabel>("lblBICode")->text(), "BI Code" + asterisk);
        QCOMPARE(w<QLabel>("lblResidence")->text(), "Cust Residence" + asterisk);

        w<QComboBox>("cboOthers")->setCurrentIndex(1);
        QCOMPARE(w<QLineEdit>("txtMinRTGS")->text(), QStringLiteral("500.000.001"));
        QCOMPARE(w<QLineEdit>("txtMaxRTGS")->text(), QStringLiteral("999.999.999.999.999"));
        // Any click on a mode button resets that mode's combo box.
        w<QRadioButton>("rdbOthers")->click();
        QCOMPARE(w<QComboBox>("cboOthers")->currentIndex(), 0);

        w<QRadioButton>("rdbWDK")->click();
        QCOMPARE(w<QComboBox>("cboWDK")->currentIndex(), 0);
        QCOMPARE(w<QComboBox>("cboOthers")->currentIndex(), -1);
        QVERIFY(w<QLineEdit>("txtMinRTGS")->isHidden());
        QCOMPARE(w<QLabel>("lblBICode")->text(), QStringLiteral("BI Code"));
        w<QComboBox>("cboWDK")->setCurrentIndex(1);
        w<QRadioButton>("rdbWDK")->click();
        QCOMPARE(w<QComboBox>("cboWDK")->currentText(), QStringLiteral("One To One (SP)"));
    }

    void readSettingsNormalisesLimits()
    {
        {
            QSettings settings(settingsPath(), QSettings::IniFormat);
            settings.setValue("MinLLG", 0);
            settings.setValue("MaxLLG", 0);
            settings.setValue("MinRTGS", 5);
            settings.setValue("Credit/HasColumnHeader", true);
        }
        newForm();
        QVERIFY(w<QCheckBox>("chkHeaders")->isChecked());
        w<QRadioButton>("rdbOthers")->click();
        QCOMPARE(w<QLineEdit>("txtMinRTGS")->text(), QStringLiteral("1"));
        QCOMPARE(w<QLineEdit>("txtMaxRTGS")->text(), QStringLiteral("500.000.000"));
        w<QComboBox>("cboOthers")->setCurrentIndex(1);
        QCOMPARE(w<QLineEdit>("txtMinRTGS")->text(), QStringLiteral("500.000.001"));
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
        QMap<QString, int> columns = allMapped();
        for (const QString& name : unmapped)
            columns.remove(name);
        map(columns);
        if (!minimum.isEmpty())
            w<QLineEdit>("txtMinRTGS")->setText(minimum);
        w<QPushButton>("btnSave")->click();
        QCOMPARE(boxTexts(), QStringList{message});
        QCOMPARE(m_boxes.first().first,
                 message.startsWith("Settings") ? Messages::Kind::Information : Messages::Kind::Critical);
        QCOMPARE(QFile::exists(settingsPath()), message.startsWith("Settings"));
    }

    void saveWritesTheCreditKeys()
    {
        map(allMapped());
        w<QCheckBox>("chkHeaders")->setChecked(true);
        addAccount("0123456789", "1234/56789/ABCD");
        addAccount("x", "");
        w<QPushButton>("btnSave")->click();
        QCOMPARE(boxTexts(), QStringList{"Settings have been saved!"});

        QSettings settings(settingsPath(), QSettings::IniFormat);
        QCOMPARE(settings.childKeys(), QStringList{});   // WDK mode writes no limit
        settings.beginGroup("Credit");
        const QStringList keys{"TrxDate", "Beneficary", "BnfAccount", "BICode",   "Bank",     "Branch",
                               "Amount",  "Remittance", "Remarks1",   "Remarks2", "CustType", "Residence"};
        for (int i = 0; i < keys.size(); ++i)
            QCOMPARE(settings.value(keys[i]).toInt(), i + 1);
        QCOMPARE(settings.value("HasColumnHeader").toBool(), true);
        QCOMPARE(settings.beginReadArray("Accounts"), 2);
        settings.setArrayIndex(0);
        QCOMPARE(settings.value("Account").toString(), QStringLiteral("0123456789"));
        QCOMPARE(settings.value("CompID").toString(), QStringLiteral("1234/56789/ABCD"));
        settings.setArrayIndex(1);
        QCOMPARE(settings.value("Account").toString(), QStringLiteral("x"));
        settings.endArray();
    }

    void saveInOthersRtgsStoresTheRtgsLimitsOnly()
    {
        {
            QSettings settings(settingsPath(), QSettings::IniFormat);
            settings.setValue("MinLLG", 7);
            settings.setValue("MaxLLG", 900);
        }
        newForm();
        w<QRadioButton>("rdbOthers")->click();
        w<QComboBox>("cboOthers")->setCurrentIndex(1);
        w<QLineEdit>("txtMinRTGS")->setText("600.000.000");
        w<QLineEdit>("txtMaxRTGS")->setText("2000000000");
        map(allMapped());
        w<QPushButton>("btnSave")->click();
        QCOMPARE(boxTexts(), QStringList{"Settings have been saved!"});
        QSettings settings(settingsPath(), QSettings::IniFormat);
        QCOMPARE(settings.value("MinRTGS").toULongLong(), 600000000ULL);
        QCOMPARE(settings.value("MaxRTGS").toULongLong(), 2000000000ULL);
        QCOMPARE(settings.value("MinLLG").toULongLong(), 7ULL);
        QCOMPARE(settings.value("MaxLLG").toULongLong(), 900ULL);
    }

    void unwritableSettingsFile()
    {
        QVERIFY(QDir().mkpath(settingsPath()));   // a folder where the file should be
        newForm();
        map(allMapped());
        w<QPushButton>("btnSave")->click();
        QCOMPARE(boxTexts(), QStringList{"Settings could not be saved"});
        QCOMPARE(m_boxes.first().first, Messages::Kind::Critical);
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
            addAccount("0123456789", code);
        } else if (account != "-") {
            addAccount("9999999999", code);
            addAccount(account, code);
            radio(1)->setChecked(true);
        }
        w<QLineEdit>("txtRemarks1")->setText(remarks1);
        w<QLineEdit>("txtRemarks2")->setText(remarks2);
        const QString dest = m_dir.filePath("refused.txt");
        emit m_window->SIG_Export(m_dir.filePath("none.xlsx"), dest);
        QCOMPARE(boxTexts(), QStringList{message});
        QVERIFY(m_window->titles.isEmpty());
        QVERIFY(!QFile::exists(dest + ".details"));
    }

    void exportThroughTheWindowSignals()
    {
        const QString book = m_dir.filePath("credit.xlsx");
        {
            TestWorkbook workbook(book);
            workbook.addSheet("Data");
            workbook.setRow(1, {"Name", "Acc", "Amount", "Type"});
            workbook.setRow(2, {"Ann", "0123456789", "10.5", "WDK"});
            workbook.setRow(3, {"Bob", "012345678", 20, "wdk"});
            workbook.setRow(4, {"Cid", "1111111111", 30, "LLG"});
            QVERIFY(workbook.save());
        }
        {
            QSettings settings(settingsPath(), QSettings::IniFormat);
            settings.beginGroup("Credit");
            settings.setValue("Beneficary", 1);
            settings.setValue("BnfAccount", 2);
            settings.setValue("Amount", 3);
            settings.setValue("Remittance", 4);
            settings.setValue("HasColumnHeader", true);
            kova::saveAccounts(settings, {{"0123456789", "1234/56789/ABCD"}});
        }
        newForm();
        emit m_window->SIG_Excel_Changed(book, "Data");
        QCOMPARE(w<QComboBox>("cboAmount")->currentText(), QStringLiteral("Amount"));
        radio(0)->setChecked(true);

        const QString dest = m_dir.filePath("credit.txt");
        emit m_window->SIG_Export(book, dest);
        QCOMPARE(m_window->titles.size(), 10);
        QCOMPARE(m_window->rows.size(), 2);
        QCOMPARE(m_window->rows[0].values[0], QStringLiteral("Ann"));
        QCOMPARE(m_window->rows[0].values[2], QStringLiteral("10,50"));
        QCOMPARE(m_window->rows[0].amountColumn, 2);
        QVERIFY(m_window->rows[0].points.isEmpty());
        QCOMPARE(m_window->rows[1].points, QList<QPoint>{QPoint(1, 1)});
        QCOMPARE(m_window->rows[1].messages,
                 QStringList{"<span style=\"color:#e73d4a;\">LINE 2: Error. <span style=\"font-weight:bold;\">To Acc"
                             "</span> must be 10 digits</span>"});
        QCOMPARE(m_window->summary, (QStringList{"Total rows processed: 2 of 3", "Total amounts: 30,50",
                                                 "Total warnings: 0", "Total errors: 1"}));
        QCOMPARE(boxTexts(), QStringList{"ERROR!"});
        QVERIFY(!QFile::exists(dest));
    }
};

QTEST_MAIN(TestCreditForm)
#include "test_credit_form.moc"
