#include "forms/transfer/transferform.h"

#include "formharness.h"
#include "expect.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Box = FormHarness::Box;

const QString star = "<span style=\"color:rgb(255,0,0)\">*</span>";

// The mapping combo boxes in the order of their settings keys.
const QStringList comboNames{"cboTrxRef",   "cboDate",     "cboFrom",       "cboTo",       "cboAmount",   "cboRemarks1",
                             "cboRemarks2", "cboRemittance", "cboBICode",   "cboBank",     "cboBranch",   "cboName",
                             "cboAddress1", "cboAddress2", "cboAddress3",   "cboAddress4", "cboCustType", "cboResidence"};

const QStringList keys{"TrxRef", "TrxDate",  "FromAcc",  "ToAcc",    "Amount",   "Remarks1", "Remarks2", "Remittance", "BICode",
                       "Bank",   "Branch",   "Beneficiary", "Address1", "Address2", "Address3", "Address4", "CustType", "Residence"};

// The combo boxes Validate_Settings requires, in its order, with the message of each.
const QList<QPair<QString, QString>> alwaysRequired{{"cboTrxRef", "Trx Ref # can not be empty"},
                                                     {"cboFrom", "From Acc # can not be empty"},
                                                     {"cboTo", "To Acc # can not be empty"},
                                                     {"cboAmount", "Amount can not be empty"},
                                                     {"cboRemittance", "Transfer Type can not be empty"}};
const QList<QPair<QString, QString>> othersRequired{{"cboBICode", "BI Code can not be empty"},
                                                     {"cboBank", "Bank can not be empty"},
                                                     {"cboBranch", "Branch can not be empty"},
                                                     {"cboName", "Name can not be empty"},
                                                     {"cboCustType", "Cust Type can not be empty"},
                                                     {"cboResidence", "Cust Residence can not be empty"}};

} // namespace

class TestTransferForm final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QScopedPointer<FormHarness> m_h;
    const QString m_ini = FormHarness::settingsPath();

    QString text(const char* name) { return m_h->w<QLineEdit>(name)->text(); }
    void setText(const char* name, const QString& t) { m_h->w<QLineEdit>(name)->setText(t); }
    void click(const char* name) { m_h->w<QAbstractButton>(name)->click(); }
    void mapAll() { m_h->mapAll(comboNames, 20); }
    QString writeBook(const QList<QVariantList>& rows)
    {
        static int n = 0;
        const QString path = m_dir.filePath(QString("book%1.xlsx").arg(++n));
        if (!expect::writeSheet(path, "Data", rows))
            qFatal("workbook not written");
        return path;
    }
    // A form on a one-row WDK sheet with the fields every export needs mapped; returns the workbook.
    QString openOnOneRow()
    {
        m_h->open<TransferForm>();
        const QString book = writeBook({{"REF1", "1234567890", "0987654321", "1", "WDK"}});
        emit m_h->SIG_Excel_Changed(book, "Data");
        int column = 0;
        for (const auto& required : alwaysRequired)
            m_h->combo(required.first)->setCurrentIndex(++column);
        setText("txtCompID", "ABCDE12345");
        return book;
    }

private slots:
    void init() { m_h.reset(new FormHarness); }
    void cleanup() { m_h.reset(); }

    void newSettingsDefaults()
    {
        m_h->open<TransferForm>();
        QCOMPARE(text("txtHeaderID"), QString("1"));
        QCOMPARE(text("txtCompID"), QString());
        QVERIFY(!m_h->w<QCheckBox>("chkHeaders")->isChecked());
        QVERIFY(m_h->w<QRadioButton>("rdbWDK")->isChecked());
        QCOMPARE(m_h->w<QComboBox>("cboOthers")->currentIndex(), -1);
        QCOMPARE(m_h->w<QLabel>("label")->text(), "Trx Ref #" + star);

        // A sheet arrives: every mapping combo box shows the empty entry.
        m_h->open<TransferForm>();
        emit m_h->SIG_Excel_Changed(writeBook({{"a", "b", "c"}}), "Data");
        for (const QString& name : comboNames) {
            QComboBox* combo = m_h->w<QComboBox>(name);
            QCOMPARE(combo->count(), 4);
            QCOMPARE(combo->currentIndex(), 0);
        }
        QCOMPARE(m_h->w<QComboBox>("cboOthers")->count(), 2);
    }

    void storedSettingsAreShown()
    {
        expect::writeSettings(m_ini, "Transfer", {{"HeaderID", "0"}, {"CompanyID", " BCDE12345"}, {"HasColumnHeader", true}});
        {
            m_h->open<TransferForm>();
            QCOMPARE(text("txtHeaderID"), QString("1"));
            QCOMPARE(text("txtCompID"), QString(" BCDE12345"));
            QVERIFY(m_h->w<QCheckBox>("chkHeaders")->isChecked());
        }
        QSettings(m_ini, QSettings::IniFormat).setValue("Transfer/HeaderID", 314);
        m_h->open<TransferForm>();
        QCOMPARE(text("txtHeaderID"), QString("314"));
    }

    void modeSwitching()
    {
        m_h->open<TransferForm>();
        m_h->show();
        const QStringList limitWidgets{"btnMinLock", "btnMaxLock", "cboOthers", "lblMin", "lblMax", "txtMinRTGS",
                                       "txtMaxRTGS"};
        const auto captions = [&] {
            QStringList c;
            for (const char* name : {"lblBICode", "lblBank", "lblRemittance", "lblBranch", "lblBenef", "lblCustType", "lblResidence"})
                c.append(m_h->w<QLabel>(QLatin1String(name))->text());
            return c;
        };
        const QStringList plain{"BI Code", "Bank Name", "Transfer Type" + star, "Branch Name", "Name", "Type",
                                "Residence"};
        QCOMPARE(captions(), plain);
        for (const QString& name : limitWidgets)
            QVERIFY2(m_h->w<QWidget>(name)->isHidden(), qPrintable(name));

        click("rdbOthers");
        QStringList required;
        for (const QString& c : plain)
            required.append(c.endsWith(star) ? c : c + star);
        QCOMPARE(captions(), required);
        QCOMPARE(m_h->w<QComboBox>("cboOthers")->currentIndex(), 0);
        for (const QString& name : limitWidgets)
            QVERIFY2(!m_h->w<QWidget>(name)->isHidden(), qPrintable(name));
        QCOMPARE(text("txtMinRTGS"), QString("1"));
        QCOMPARE(text("txtMaxRTGS"), QString("500.000.000"));

        m_h->w<QComboBox>("cboOthers")->setCurrentIndex(1);
        QCOMPARE(text("txtMinRTGS"), QString("500.000.001"));
        QCOMPARE(text("txtMaxRTGS"), QString("999.999.999.999.999"));
        // A click on the mode already chosen keeps the clearing chosen.
        QTest::mouseClick(m_h->w<QRadioButton>("rdbOthers"), Qt::LeftButton);
        QCOMPARE(m_h->w<QComboBox>("cboOthers")->currentIndex(), 1);
        QCOMPARE(text("txtMaxRTGS"), QString("999.999.999.999.999"));

        click("rdbWDK");
        QCOMPARE(captions(), plain);
        QCOMPARE(m_h->w<QComboBox>("cboOthers")->currentIndex(), -1);
        for (const QString& name : limitWidgets)
            QVERIFY2(m_h->w<QWidget>(name)->isHidden(), qPrintable(name));
    }

    void validation_data()
    {
        QTest::addColumn<bool>("others");
        QTest::addColumn<QStringList>("unmapped");
        QTest::addColumn<QString>("minLimit");
        QTest::addColumn<QString>("maxLimit");
        QTest::addColumn<QString>("headerId");
        QTest::addColumn<QString>("corporateId");
        QTest::addColumn<QString>("message");   // empty: saved

        const QString ok10 = "ABCDE12345";
        const QString one = "1";

        // Each required field reported first while it and every later one is unmapped.
        QList<QPair<QString, QString>> order = alwaysRequired + othersRequired;
        for (int i = 0; i < order.size(); ++i) {
            QStringList unmapped;
            for (int j = i; j < order.size(); ++j)
                unmapped.append(order.at(j).first);
            QTest::newRow(qPrintable("Others, " + order.at(i).second))
                << true << unmapped << "0" << "0" << QString() << QString() << order.at(i).second;
            if (i < alwaysRequired.size())
                QTest::newRow(qPrintable("WDK, " + order.at(i).second))
                    << false << unmapped << one << one << QString() << QString() << order.at(i).second;
        }
        QStringList beneficiary;
        for (const auto& r : othersRequired)
            beneficiary.append(r.first);
        QTest::newRow("WDK needs no beneficiary field") << false << beneficiary << "0" << "0"
                                                        << one << ok10 << QString();
        QTest::newRow("optional fields unmapped") << true << QStringList{"cboDate", "cboRemarks1", "cboRemarks2",
                                   "cboAddress1", "cboAddress2", "cboAddress3", "cboAddress4"}
            << one << one << one << ok10 << QString();

        QTest::newRow("minimum 0 before maximum 0") << true << QStringList{} << "0" << "0"
                                                    << QString() << QString() << "Invalid minimum limit";
        QTest::newRow("minimum not a number") << true << QStringList{} << "abc" << one << one << ok10
                                              << "Invalid minimum limit";
        QTest::newRow("maximum 0 before Header ID") << true << QStringList{} << one << "0.000" << QString()
                                                    << QString() << "Invalid maximum limit";
        QTest::newRow("grouped limits") << true << QStringList{} << "1.000" << "2.000.000" << one << ok10 << QString();

        const QString invalidId = "Invalid Header ID";
        const QString maxId = "Max value of Header ID is 99999999";
        QTest::newRow("Header ID 0 before Corporate ID") << false << QStringList{} << one << one << "0"
                                                         << QString() << invalidId;
        QTest::newRow("Header ID text") << false << QStringList{} << one << one << "abc" << ok10 << invalidId;
        QTest::newRow("Header ID 99999999") << false << QStringList{} << one << one << "99999999" << ok10 << QString();
        QTest::newRow("Header ID 100000000") << false << QStringList{} << one << one << "100000000" << ok10 << maxId;
        QTest::newRow("Header ID -5") << false << QStringList{} << one << one << "-5" << ok10 << maxId;

        QTest::newRow("Corporate ID ten spaces") << false << QStringList{} << one << one << one << QString(10, ' ')
                                                 << "Corporate ID can not be empty";
        QTest::newRow("Corporate ID nine chars") << false << QStringList{} << one << one << one << "ABCDE1234"
                                                 << "Corporate ID must be 10 chars";
        QTest::newRow("Corporate ID with a separator") << false << QStringList{} << one << one << one
                                                       << "ABCDE|2345" << "Corporate ID contains invalid chars";
        QTest::newRow("Corporate ID with a line feed") << false << QStringList{} << one << one << one
                                                       << "ABCDE\n2345" << "Corporate ID contains invalid chars";
        QTest::newRow("Corporate ID with a leading space") << false << QStringList{} << one << one << one
                                                           << " BCDE12345" << QString();
    }

    void validation()
    {
        QFETCH(bool, others);
        QFETCH(QStringList, unmapped);
        QFETCH(QString, minLimit);
        QFETCH(QString, maxLimit);
        QFETCH(QString, headerId);
        QFETCH(QString, corporateId);
        QFETCH(QString, message);

        m_h->open<TransferForm>();
        mapAll();
        for (const QString& name : unmapped)
            m_h->combo(name)->setCurrentIndex(0);
        if (others)
            click("rdbOthers");
        setText("txtMinRTGS", minLimit);
        setText("txtMaxRTGS", maxLimit);
        setText("txtHeaderID", headerId);
        setText("txtCompID", corporateId);
        click("btnSave");

        if (message.isEmpty()) {
            QCOMPARE(m_h->boxes, QList<Box>{Box(Messages::Kind::Information, "Settings has been saved")});
            QVERIFY(QFile::exists(m_ini));
        } else {
            QCOMPARE(m_h->boxes, QList<Box>{Box(Messages::Kind::Critical, message)});
            QVERIFY(!QFile::exists(m_ini));
        }
    }

    void savedKeysAndValues_data()
    {
        QTest::addColumn<int>("clearing");
        QTest::addColumn<QString>("minKey");
        QTest::addColumn<QString>("maxKey");
        QTest::newRow("LLG") << 0 << "MinLLG" << "MaxLLG";
        QTest::newRow("RTGS") << 1 << "MinRTGS" << "MaxRTGS";
    }

    void savedKeysAndValues()
    {
        QFETCH(int, clearing);
        QFETCH(QString, minKey);
        QFETCH(QString, maxKey);

        m_h->open<TransferForm>();
        mapAll();
        m_h->w<QComboBox>("cboDate")->setCurrentIndex(0);
        m_h->w<QComboBox>("cboResidence")->setCurrentIndex(20);
        m_h->w<QCheckBox>("chkHeaders")->setChecked(true);
        click("rdbOthers");
        m_h->w<QComboBox>("cboOthers")->setCurrentIndex(clearing);
        setText("txtMinRTGS", "1.000");
        setText("txtMaxRTGS", "2000000");
        setText("txtHeaderID", "0012");
        setText("txtCompID", "ABCDE12345");
        click("btnSave");
        QCOMPARE(m_h->boxes, QList<Box>{Box(Messages::Kind::Information, "Settings has been saved")});

        QSettings ini(m_ini, QSettings::IniFormat);
        QStringList expectedTop{minKey, maxKey};
        expectedTop.sort();
        QStringList top = ini.childKeys();
        top.sort();
        QCOMPARE(top, expectedTop);
        QCOMPARE(ini.value(minKey).toULongLong(), quint64(1000));
        QCOMPARE(ini.value(maxKey).toULongLong(), quint64(2000000));
        ini.beginGroup("Transfer");
        QStringList groupKeys = keys + QStringList{"HeaderID", "CompanyID", "HasColumnHeader"};
        groupKeys.sort();
        QStringList stored = ini.childKeys();
        stored.sort();
        QCOMPARE(stored, groupKeys);
        for (int i = 0; i < keys.size(); ++i) {
            const int expected = i == 1 ? 0 : i == 17 ? 20 : i + 1;
            QCOMPARE(ini.value(keys.at(i)).toInt(), expected);
        }
        QCOMPARE(ini.value("HeaderID").toString(), QString("0012"));
        QCOMPARE(ini.value("CompanyID").toString(), QString("ABCDE12345"));
        QCOMPARE(ini.value("HasColumnHeader").toBool(), true);
    }

    void saveInWdkLeavesLimits()
    {
        expect::writeSettings(m_ini, {}, {{"MinLLG", 10}, {"MaxLLG", 0}});
        m_h->open<TransferForm>();
        mapAll();
        setText("txtCompID", "ABCDE12345");
        click("btnSave");
        QCOMPARE(m_h->boxes, QList<Box>{Box(Messages::Kind::Information, "Settings has been saved")});
        QSettings ini(m_ini, QSettings::IniFormat);
        QStringList top = ini.childKeys();
        top.sort();
        QCOMPARE(top, (QStringList{"MaxLLG", "MinLLG"}));
        QCOMPARE(ini.value("MinLLG").toInt(), 10);
        QCOMPARE(ini.value("MaxLLG").toInt(), 0);
        QCOMPARE(ini.value("Transfer/HeaderID").toString(), QString("1"));
    }

    void unwritableSettingsFile()
    {
        QVERIFY(QDir().mkpath(m_ini));
        m_h->open<TransferForm>();
        mapAll();
        setText("txtCompID", "ABCDE12345");
        click("btnSave");
        QCOMPARE(m_h->boxes, QList<Box>{Box(Messages::Kind::Critical, "Settings could not be saved")});

        m_h->boxes.clear();
        click("rdbOthers");
        click("btnSave");
        QCOMPARE(m_h->boxes, QList<Box>{Box(Messages::Kind::Critical, "Settings could not be saved")});
    }

    void exportReportsThroughSignals()
    {
        m_h->open<TransferForm>();
        const QVariantList good{"REF1", QVariant(), "1234567890", "0987654321", "25.5", QVariant(), QVariant(), "WDK"};
        QVariantList bad = good;
        bad[2] = "12";
        bad[4] = "0";
        const QString dest = m_dir.filePath("transfer.txt");

        emit m_h->SIG_Excel_Changed(writeBook({good, bad}), "Data");
        for (int i = 0; i < 8; ++i)
            if (i != 1)
                m_h->w<QComboBox>(comboNames.at(i))->setCurrentIndex(i + 1);
        setText("txtCompID", "ABCDE12345");
        setText("txtHeaderID", "5");
        // The workbook is the one the export request names; the sheet is the one last announced.
        emit m_h->SIG_Export(m_dir.filePath("missing.xlsx"), dest);
        QCOMPARE(m_h->boxes, QList<Box>{Box(Messages::Kind::Critical, "Error. Unable to select sheet Data")});
        m_h->boxes.clear();
        m_h->headers.clear();

        // A sheet with an error: rows reported with their marked cells, nothing written.
        emit m_h->SIG_Export(writeBook({good, bad}), dest);
        QCOMPARE(m_h->headers.size(), 1);
        QCOMPARE(m_h->headers.at(0).size(), 16);
        QCOMPARE(m_h->rows.size(), 2);
        QCOMPARE(m_h->rows.at(0).values.mid(0, 4), (QStringList{"REF1", "1234567890", "0987654321", "25,50"}));
        QCOMPARE(m_h->rows.at(1).messages, (QStringList{
            "<span style=\"color:#e73d4a;\">LINE 2: Error. <span style=\"font-weight:bold;\">From Acc</span> must be 10 characters</span>",
            "<span style=\"color:#e73d4a;\">LINE 2: Error. Invalid amount</span>"}));
        QVERIFY(m_h->rows.at(0).points.isEmpty());
        QCOMPARE(m_h->rows.at(1).points, (QList<QPoint>{QPoint(1, 1), QPoint(1, 3)}));
        QCOMPARE(m_h->rows.at(0).amountColumn, 3);
        QCOMPARE(m_h->rows.at(1).amountColumn, 3);
        QCOMPARE(m_h->summaries.size(), 1);
        QCOMPARE(m_h->summaries.at(0).value(3), QString("Total errors: 2"));
        QCOMPARE(m_h->boxes, QList<Box>{Box(Messages::Kind::Critical, "ERROR!")});
        QVERIFY(!QFile::exists(dest));
        QCOMPARE(text("txtHeaderID"), QString("5"));

        // A clean sheet: the upload file, "Done!", and the number after the one used in the box.
        m_h->boxes.clear();
        emit m_h->SIG_Export(writeBook({good}), dest);
        QCOMPARE(m_h->boxes, QList<Box>{Box(Messages::Kind::Information, "Done!")});
        QFile upload(dest);
        QVERIFY(upload.open(QIODevice::ReadOnly));
        const QString today = QDate::currentDate().toString("yyyyMMdd");
        QCOMPARE(QString::fromUtf8(upload.readAll()),
                 "0|FT|00000005|||" + today + QStringLiteral("|ABCDE12345|25.50|00001|WDK|IDR|\n"
                                                                             "1|00001|REF1|1234567890|0987654321|25.50|||||||||||||\n"));
        QCOMPARE(text("txtHeaderID"), QString("6"));
        QCOMPARE(QSettings(m_ini, QSettings::IniFormat).value("Transfer/HeaderID").toInt(), 6);
    }

    void exportRefusedBySettings()
    {
        m_h->open<TransferForm>();
        mapAll();
        emit m_h->SIG_Export(writeBook({{"x"}}), m_dir.filePath("refused.txt"));
        QCOMPARE(m_h->boxes, QList<Box>{Box(Messages::Kind::Critical, "Corporate ID can not be empty")});
        QVERIFY(m_h->headers.isEmpty());
        QVERIFY(!QFile::exists(m_dir.filePath("refused.txt.details")));
    }

    void headerIdPastTheMaximum()
    {
        QSettings(m_ini, QSettings::IniFormat).setValue("Transfer/HeaderID", 99999999);
        const QString book = openOnOneRow();
        QCOMPARE(text("txtHeaderID"), QString("99999999"));
        emit m_h->SIG_Export(book, m_dir.filePath("max.txt"));
        QCOMPARE(m_h->boxes, QList<Box>{Box(Messages::Kind::Information, "Done!")});
        QCOMPARE(text("txtHeaderID"), QString("100000000"));
        QCOMPARE(QSettings(m_ini, QSettings::IniFormat).value("Transfer/HeaderID").toInt(), 100000000);
        m_h->boxes.clear();
        click("btnSave");
        QCOMPARE(m_h->boxes, QList<Box>{Box(Messages::Kind::Critical, "Max value of Header ID is 99999999")});
    }

    void headerIdNotStored()
    {
        QVERIFY(QDir().mkpath(m_ini));
        const QString book = openOnOneRow();
        setText("txtHeaderID", "5");
        emit m_h->SIG_Export(book, m_dir.filePath("unstored.txt"));
        QCOMPARE(m_h->boxes, QList<Box>{Box(Messages::Kind::Critical, "Settings could not be saved")});
        // No number reserved, no batch written.
        QVERIFY(!QFile::exists(m_dir.filePath("unstored.txt")));
        QCOMPARE(text("txtHeaderID"), QString("5"));
    }

    void headerIdNeverFallsBehindTheOneUsed()
    {
        // A settings file edited by hand can hold any number; the next one
        // still follows the number just used.
        QSettings(m_ini, QSettings::IniFormat).setValue("Transfer/HeaderID", -1);
        const QString book = openOnOneRow();
        setText("txtHeaderID", "5");
        emit m_h->SIG_Export(book, m_dir.filePath("zero.txt"));
        QCOMPARE(m_h->boxes, QList<Box>{Box(Messages::Kind::Information, "Done!")});
        QCOMPARE(text("txtHeaderID"), QString("6"));
        QCOMPARE(QSettings(m_ini, QSettings::IniFormat).value("Transfer/HeaderID").toInt(), 6);
    }
};

QTEST_MAIN(TestTransferForm)
#include "test_transfer_form.moc"
