#include "core/registry.h"
#include "forms/common/transactionform.h"

#include "formharness.h"
#include "testworkbook.h"

#include <QCheckBox>
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

using Box = FormHarness::Box;
using Pairs = QList<QPair<QString, QString>>;

namespace {

const QString star = "<span style=\"color:rgb(255,0,0)\">*</span>";

// What the four forms do alike, told once per form; the form's index, in the
// order of BatchType, is the tests' data column.
struct Form
{
    QString group;
    QString saved;           // the box that closes "Save Settings"
    QStringList keys;
    Pairs required;          // combo box and refusal, in checking order
    Pairs othersRequired;    // checked after them in Others mode only
};

const Form forms[] = {
    {"Transfer", "Settings has been saved",
     {"TrxRef", "TrxDate", "FromAcc", "ToAcc", "Amount", "Remarks1", "Remarks2", "Remittance", "BICode", "Bank", "Branch",
      "Beneficiary", "Address1", "Address2", "Address3", "Address4", "CustType", "Residence"},
     {{"cboTrxRef", "Trx Ref # can not be empty"}, {"cboFrom", "From Acc # can not be empty"},
      {"cboTo", "To Acc # can not be empty"}, {"cboAmount", "Amount can not be empty"},
      {"cboRemittance", "Transfer Type can not be empty"}},
     {{"cboBICode", "BI Code can not be empty"}, {"cboBank", "Bank can not be empty"},
      {"cboBranch", "Branch can not be empty"}, {"cboName", "Name can not be empty"},
      {"cboCustType", "Cust Type can not be empty"}, {"cboResidence", "Cust Residence can not be empty"}}},
    {"Credit", "Settings have been saved!",
     {"TrxDate", "Beneficary", "BnfAccount", "BICode", "Bank", "Branch", "Amount", "Remittance", "Remarks1", "Remarks2",
      "CustType", "Residence"},
     {{"cboBnfAcc", "Beneficiary Account can not be empty"}, {"cboAmount", "Amount can not be empty"},
      {"cboRemittance", "Transfer Type can not be empty"}},
     {{"cboBICode", "BI Code can not be empty"}, {"cboBank", "Bank can not be empty"},
      {"cboBranch", "Branch can not be empty"}, {"cboBnfName", "Beneficiary can not be empty"},
      {"cboCustType", "Cust Type can not be empty"}, {"cboResidence", "Cust Residence can not be empty"}}},
    {"Collection", "Settings have been saved!",
     {"TrxDate", "AccountName", "AccountNumber", "Amount", "Remarks1", "Remarks2", "Residence", "Citizen"},
     {{"cboAccName", "Account Name can not be empty"}, {"cboAcc", "Account Number can not be empty"},
      {"cboAmount", "Amount can not be empty"}, {"cboResidence", "Residence can not be empty"},
      {"cboCitizen", "Citizen can not be empty"}}, {}},
    {"Payroll", "Settings have been saved!",
     {"TrxDate", "AccountName", "AccountNumber", "Amount", "EmployeeID", "Department"},
     {{"cboAccName", "Account Name can not be empty"}, {"cboAcc", "Account Number can not be empty"},
      {"cboAmount", "Amount can not be empty"}}, {}},
};
enum { transfer, credit, collection, payroll };

// The form's mapping combo boxes, in the order of its keys.
QStringList combosOf(int form)
{
    QStringList names;
    for (const kova::FieldSpec& field : kova::transactionTypes().at(form)->fields)
        names << field.comboName;
    return names;
}

using Keys = QMap<QString, QString>;

// Every key of the settings file, or of one group, with its stored text.
Keys stored(const QString& group = {})
{
    QSettings ini(FormHarness::settingsPath(), QSettings::IniFormat);
    ini.beginGroup(group);
    Keys keys;
    for (const QString& key : group.isEmpty() ? ini.childKeys() : ini.allKeys())
        keys.insert(key, ini.value(key).toString());
    return keys;
}

void store(const Keys& keys)
{
    QSettings ini(FormHarness::settingsPath(), QSettings::IniFormat);
    for (auto it = keys.cbegin(); it != keys.cend(); ++it)
        ini.setValue(it.key(), it.value());
}


} // namespace

class TestForms final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QScopedPointer<FormHarness> m_h;
    QWidget* m_form = nullptr;
    const QString m_ini = FormHarness::settingsPath();

    QWidget* open(int form)
    {
        delete m_form;
        m_form = m_h->open(static_cast<kova::BatchType>(form));
        m_h->show();   // the in-place editor of a new account row opens on a visible view only
        return m_form;
    }
    QLineEdit* text(const char* name) { return m_h->w<QLineEdit>(name); }
    void click(const char* name) { m_h->w<QAbstractButton>(name)->click(); }
    QStringList shownLimits() { return {text("txtMinRTGS")->text(), text("txtMaxRTGS")->text()}; }
    QStringList accountsShown()
    {
        QStringList rows;
        for (int row = 0; row < m_h->accounts()->rowCount(); ++row)
            rows << m_h->accounts()->item(row, 1)->text() + "|" + m_h->accounts()->item(row, 2)->text();
        return rows;
    }

    void storeAccounts(int form, const QString& size, const QVector<int>& entries)
    {
        Keys keys{{forms[form].group + "/Accounts/size", size}};
        for (int n : entries)
            keys.insert(QString("%1/Accounts/%2/Account").arg(forms[form].group).arg(n), QString("a%1").arg(n));
        store(keys);
    }

private slots:
    void init()
    {
        m_form = nullptr;
        m_h.reset(new FormHarness);
    }
    void cleanup() { m_h.reset(); }

    void refusals_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<bool>("others");
        QTest::addColumn<QStringList>("unmapped");
        QTest::addColumn<Pairs>("texts");       // line edit and the text typed into it
        QTest::addColumn<QString>("account");   // the checked row's; "-": no row at all; "?": a row, none checked
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("exported");     // refused by the export, else by "Save Settings"
        QTest::addColumn<QString>("message");

        for (int f = transfer; f <= payroll; ++f) {
            const Form& form = forms[f];
            const Pairs order = form.required + form.othersRequired;
            // Each refusal comes first while its field and every later one is unmapped.
            for (int i = 0; i < order.size(); ++i) {
                QStringList unmapped;
                for (int j = i; j < order.size(); ++j)
                    unmapped << order.at(j).first;
                QTest::addRow("%s, %s", qPrintable(form.group), qPrintable(order.at(i).second))
                    << f << (i >= form.required.size()) << unmapped << Pairs() << "-" << "" << false << order.at(i).second;
            }
            QStringList optional = combosOf(f);
            for (const auto& field : form.required)
                optional.removeOne(field.first);
            QTest::addRow("%s, WDK: only the required fields", qPrintable(form.group))
                << f << false << optional << Pairs() << "-" << "" << false << form.saved;
        }
        const auto texts = [](const char* name, int form, bool others, const Pairs& typed, const QString& message) {
            QTest::newRow(name) << form << others << QStringList() << typed << "-" << "" << false << message;
        };
        texts("Credit, minimum 0 before maximum 0", credit, true, {{"txtMinRTGS", "0"}, {"txtMaxRTGS", "0"}}, "Invalid minimum limit");
        // The transfer form's own batch data, after the limits.
        texts("Transfer, maximum 0 before Header ID", transfer, true, {{"txtMaxRTGS", "0.000"}, {"txtHeaderID", ""}},
              "Invalid maximum limit");
        const QString invalidId = "Invalid Header ID";
        const QString maxId = "Max value of Header ID is 99999999";
        texts("Transfer, Header ID 0 before Corporate ID", transfer, false, {{"txtHeaderID", "0"}, {"txtCompID", ""}}, invalidId);
        texts("Transfer, Header ID 99999999", transfer, false, {{"txtHeaderID", "99999999"}}, forms[transfer].saved);
        texts("Transfer, Header ID 100000000", transfer, false, {{"txtHeaderID", "100000000"}}, maxId);
        texts("Transfer, Header ID -5", transfer, false, {{"txtHeaderID", "-5"}}, maxId);
        texts("Transfer, Corporate ID ten spaces", transfer, false, {{"txtCompID", QString(10, ' ')}}, "Corporate ID can not be empty");
        texts("Transfer, Corporate ID nine chars", transfer, false, {{"txtCompID", "ABCDE1234"}}, "Corporate ID must be 10 chars");
        // Either would split the header record.
        texts("Transfer, Corporate ID with a separator", transfer, false, {{"txtCompID", "ABCDE|2345"}},
              "Corporate ID contains invalid chars");
        texts("Transfer, Corporate ID with a line feed", transfer, false, {{"txtCompID", "ABCDE\n2345"}},
              "Corporate ID contains invalid chars");
        texts("Transfer, Corporate ID with a leading space", transfer, false, {{"txtCompID", " BCDE12345"}},
              forms[transfer].saved);

        // At export start, before the workbook is read: the checked account row, the batch remarks, then the mapping.
        const auto batch = [](const char* name, int form, const QString& account, const QString& code, const QString& remarks1,
                              const QString& remarks2, const QString& message, const QStringList& unmapped = {}) {
            const Pairs remarks = form == credit || form == collection
                                      ? Pairs{{"txtRemarks1", remarks1}, {"txtRemarks2", remarks2}} : Pairs();
            QTest::newRow(name) << form << false << unmapped << remarks << account << code << true << message;
        };
        const QString code = "1234/56789/ABCD";
        const QString r19(19, 'r');
        batch("Credit, empty table", credit, "-", code, r19, r19, "Source Account has not been defined");
        batch("Collection, none checked", collection, "?", code, r19, r19, "Credited Account has not been defined");
        batch("Payroll, none checked", payroll, "?", code, r19, r19, "Source Acc has not been defined");
        batch("Collection, characters", collection, "01234x6789", "x", r19, r19, "Credited Acc contains invalid chars");
        batch("Collection, empty account: length", collection, "", "x", r19, r19, "Credited Acc must be 10 chars");
        batch("Payroll, company code", payroll, "0123456789", "1234/5678/ABCD", r19, r19,
              "Company Code must be in the format 1234/56789/ABCD\n(4 numeric / 5 numeric/ 4 letters)");
        batch("Credit, remarks 1", credit, "0123456789", code, r19, r19, "Trx Remarks 1 is exceeding 18 chars");
        batch("Credit, remarks 2", credit, "0123456789", code, QString(18, 'r'), r19, "Trx Remarks 2 is exceeding 18 chars");
        batch("Collection, remarks 1 line feed", collection, "0123456789", code, "a\nb", r19, "Trx Remarks 1 contains invalid chars");
        batch("Collection, remarks 2 line feed", collection, "0123456789", code, "", "x\r", "Trx Remarks 2 contains invalid chars");
        for (int f = transfer; f <= payroll; ++f)
            batch(qPrintable(forms[f].group + ", mapping"), f, f == transfer ? "-" : "0123456789", code, "", "",
                  forms[f].required.first().second, {forms[f].required.first().first});
    }
    void refusals()
    {
        QFETCH(int, form);
        QFETCH(bool, others);
        QFETCH(QStringList, unmapped);
        QFETCH(Pairs, texts);
        QFETCH(QString, account);
        QFETCH(QString, code);
        QFETCH(bool, exported);
        QFETCH(QString, message);

        open(form);
        m_h->mapAll(combosOf(form));
        if (form == transfer)
            text("txtCompID")->setText("ABCDE12345");
        for (const QString& name : unmapped)
            m_h->combo(name)->setCurrentIndex(0);
        if (others)
            click("rdbOthers");
        for (const auto& typed : texts)
            m_h->w<QLineEdit>(typed.first)->setText(typed.second);
        if (account == "?") {
            m_h->addAccount("0123456789", code);
        } else if (account != "-") {
            // The checked row is the one looked at, not the first.
            m_h->addAccount("9999999999", code);
            m_h->addAccount(account, code);
            m_h->radio(1)->setChecked(true);
        }
        const QString dest = m_dir.filePath("refused.txt");
        if (exported)
            emit m_h->SIG_Export(m_dir.filePath("none.xlsx"), dest);
        else
            click("btnSave");
        const bool saved = message == forms[form].saved;
        QCOMPARE(m_h->boxes, QList<Box>{Box(saved ? Messages::Kind::Information : Messages::Kind::Critical, message)});
        QCOMPARE(QFile::exists(m_ini), saved);
        QVERIFY(m_h->headers.isEmpty());
        QVERIFY(!QFile::exists(dest + ".details"));
    }

    void settingsRoundTrip_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<int>("clearing");   // -1: WDK mode
        QTest::addColumn<bool>("blocked");   // a folder where the settings file belongs

        QTest::newRow("Transfer, LLG") << int(transfer) << 0 << false;
        QTest::newRow("Credit, WDK") << int(credit) << -1 << false;
        QTest::newRow("Credit, RTGS") << int(credit) << 1 << false;
        QTest::newRow("Collection") << int(collection) << -1 << false;
        QTest::newRow("Payroll") << int(payroll) << -1 << false;
        QTest::newRow("Transfer, blocked") << int(transfer) << 0 << true;
        QTest::newRow("Payroll, blocked") << int(payroll) << -1 << true;
    }
    // Saved mapping keys and their order, HasColumnHeader, the accounts table, the
    // limits shown and the box, read back by the next form of the type.
    void settingsRoundTrip()
    {
        QFETCH(int, form);
        QFETCH(int, clearing);
        QFETCH(bool, blocked);
        const Form& f = forms[form];
        const QStringList combos = combosOf(form);
        const int n = combos.size();

        // A line the settings reader does not understand, as a person may add one, is no failed write.
        QFile file(m_ini);
        QVERIFY(blocked ? QDir().mkpath(m_ini) : file.open(QIODevice::WriteOnly) && file.write("# note\nMinLLG=9\nMaxLLG=10\nMinRTGS=11\nMaxRTGS=12\n") > 0);
        file.close();
        QVariantList titles;
        for (int c = 1; c <= n; ++c)
            titles << QString("T%1").arg(c);
        const QString book = m_dir.filePath(QString("%1.xlsx").arg(f.group));
        QVERIFY(TestWorkbook(book).addSheet("Data").setRow(1, titles).save());

        QWidget* shown = open(form);
        QVERIFY(!m_h->w<QCheckBox>("chkHeaders")->isChecked());
        m_h->w<QCheckBox>("chkHeaders")->setChecked(true);
        emit m_h->SIG_Excel_Changed(book, "Data");
        // The sheet's columns go to the mapping combo boxes only.
        for (QComboBox* combo : shown->findChildren<QComboBox*>())
            QCOMPARE(combo->count(), combos.contains(combo->objectName()) ? n + 1 : 2);
        if (form == transfer)
            text("txtCompID")->setText("ABCDE12345");
        for (int i = 0; i < n; ++i)
            m_h->combo(combos.at(i))->setCurrentIndex(i + 1);
        if (clearing >= 0) {
            click("rdbOthers");
            m_h->combo("cboOthers")->setCurrentIndex(clearing);
        }
        if (form != collection && form != payroll)
            text("txtMaxRTGS")->setText("1.234");   // stored in Others mode only
        if (form != transfer) {
            m_h->addAccount("x", "");
            m_h->addAccount("1111111111", "free text");
        }
        click("btnExport");
        QCOMPARE(m_h->exportClicks, 1);
        click("btnSave");
        if (blocked) {
            QCOMPARE(m_h->boxes, QList<Box>{Box(Messages::Kind::Critical, "Settings could not be saved")});
            return;
        }
        QCOMPARE(m_h->boxes, QList<Box>{Box(Messages::Kind::Information, f.saved)});

        Keys top{{"MinLLG", "9"}, {"MaxLLG", "10"}, {"MinRTGS", "11"}, {"MaxRTGS", "12"}};
        if (clearing >= 0)
            top.insert(clearing ? "MaxRTGS" : "MaxLLG", "1234");
        QCOMPARE(stored(), top);
        Keys group = form == transfer ? Keys{{"HeaderID", "1"}, {"CompanyID", "ABCDE12345"}}
                                      : Keys{{"Accounts/size", "2"}, {"Accounts/1/Account", "x"}, {"Accounts/1/CompID", ""},
                                             {"Accounts/2/Account", "1111111111"}, {"Accounts/2/CompID", "free text"}};
        group.insert("HasColumnHeader", "true");
        for (int i = 0; i < n; ++i)
            group.insert(f.keys.at(i), QString::number(i + 1));
        QCOMPARE(stored(f.group), group);

        open(form);
        QVERIFY(m_h->w<QCheckBox>("chkHeaders")->isChecked());
        emit m_h->SIG_Excel_Changed(book, "Data");
        for (int i = 0; i < n; ++i)
            QCOMPARE(m_h->combo(combos.at(i))->currentIndex(), i + 1);
        QCOMPARE(m_h->combo(combos.last())->currentText(), QString("T%1").arg(n));
        if (form == transfer)
            QCOMPARE(text("txtCompID")->text(), QString("ABCDE12345"));
        else
            QCOMPARE(accountsShown(), (QStringList{"x|", "1111111111|free text"}));
    }

    void bankMode_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QStringList>("plain");   // as WDK mode shows them
        QTest::addColumn<Keys>("file");           // limits stored before the form opens
        QTest::addColumn<QString>("maxRtgs");     // shown

        QTest::newRow("Transfer, beyond 15 digits") << int(transfer)
            << QStringList{"lblBICode", "lblBank", "lblRemittance", "lblBranch", "lblBenef", "lblCustType", "lblResidence"}
            << QStringList{"BI Code", "Bank Name", "Transfer Type" + star, "Branch Name", "Name", "Type", "Residence"}
            << Keys{{"MaxRTGS", "18446744073709551615"}} << "18.446.744.073.709.551.615";
        QTest::newRow("Credit, not a number") << int(credit)
            << QStringList{"lblBICode", "lblBank", "lblBranch", "lblBnfName", "lblCustType", "lblResidence"}
            << QStringList{"BI Code", "Bank Name", "Branch Name", "Beneficiary Name", "Cust Type", "Cust Residence"}
            << Keys{{"MinLLG", "abc"}, {"MaxLLG", "1.000"}} << "999.999.999.999.999";
    }
    // The mode reshapes the form; the limits shown are the stored ones, normalised,
    // and only a lock or a save changes them.
    void bankMode()
    {
        QFETCH(int, form);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, plain);
        QFETCH(Keys, file);
        QFETCH(QString, maxRtgs);
        store(file);
        open(form);
        const QStringList limitWidgets{"btnMinLock", "btnMaxLock", "cboOthers", "lblMin", "lblMax", "txtMinRTGS", "txtMaxRTGS"};
        QStringList required;
        for (const QString& caption : plain)
            required << (caption.endsWith(star) ? caption : caption + star);
        const auto check = [&](bool others, int clearing) {
            QStringList captions;
            for (const QString& label : labels)
                captions << m_h->w<QLabel>(label)->text();
            QCOMPARE(captions, others ? required : plain);
            for (const QString& name : limitWidgets)
                QVERIFY2(m_h->w<QWidget>(name)->isVisible() == others, qPrintable(name));
            QCOMPARE(m_h->combo("cboOthers")->currentIndex(), clearing);
        };
        check(false, -1);
        click("rdbOthers");
        check(true, 0);
        QCOMPARE(shownLimits(), (QStringList{"1", "500.000.000"}));
        m_h->combo("cboOthers")->setCurrentIndex(1);
        QCOMPARE(shownLimits(), (QStringList{"500.000.001", maxRtgs}));
        // A click on the mode already chosen changes nothing.
        click("rdbOthers");
        check(true, 1);
        // Return regroups an open field's text and holds nothing: a clearing switch drops it.
        click("btnMaxLock");
        text("txtMaxRTGS")->setText("750000000");
        for (int press = 0; press < 2; ++press) {
            QTest::keyClick(text("txtMaxRTGS"), Qt::Key_Return);
            QCOMPARE(shownLimits(), (QStringList{"500.000.001", "750.000.000"}));
        }
        m_h->combo("cboOthers")->setCurrentIndex(0);
        QCOMPARE(shownLimits(), (QStringList{"1", "500.000.000"}));
        click("rdbWDK");
        check(false, -1);
        QCOMPARE(stored(), file);   // the file keeps what it had
        if (form != credit)
            return;
        // Credit's own WDK choice: shown in WDK mode only, kept by a click on WDK, reset by a real change.
        QComboBox* wdk = m_h->combo("cboWDK");
        wdk->setCurrentIndex(1);
        click("rdbWDK");
        QCOMPARE(wdk->currentText(), QString("One To Many (MP)"));
        click("rdbOthers");
        QVERIFY(!wdk->isVisible());
        QCOMPARE(wdk->currentIndex(), -1);
        click("rdbWDK");
        QCOMPARE(wdk->currentText(), QString("One To One (SP)"));
    }

    void lock_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<bool>("minimum");
        QTest::addColumn<int>("clearing");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("blocked");    // the settings file cannot be written at the first lock
        QTest::addColumn<QString>("held");    // shown when the clearing is chosen again
        QTest::newRow("Transfer, LLG maximum") << int(transfer) << false << 0 << "750000000" << false << "750.000.000";
        QTest::newRow("Credit, RTGS minimum") << int(credit) << true << 1 << "600.000.000" << false << "600.000.000";
        QTest::newRow("Credit, cleared maximum stores 0") << int(credit) << false << 0 << "" << false << "0";
        QTest::newRow("Transfer, blocked") << int(transfer) << false << 0 << "700000000" << true << "700.000.000";
    }
    // Locked at the start; unlocking opens the field, and locking
    // holds and stores its value at once, neither checked nor reformatted.
    void lock()
    {
        QFETCH(int, form);
        QFETCH(bool, minimum);
        QFETCH(int, clearing);
        QFETCH(QString, typed);
        QFETCH(bool, blocked);
        QFETCH(QString, held);

        if (blocked)
            QVERIFY(QDir().mkpath(m_ini));
        open(form);
        auto* button = m_h->w<QPushButton>(minimum ? "btnMinLock" : "btnMaxLock");
        QLineEdit* field = text(minimum ? "txtMinRTGS" : "txtMaxRTGS");
        QVERIFY(button->isCheckable() && !button->isChecked() && !field->isEnabled());

        click("rdbOthers");
        m_h->combo("cboOthers")->setCurrentIndex(clearing);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(field->isEnabled() && !text(minimum ? "txtMaxRTGS" : "txtMinRTGS")->isEnabled());
        field->clear();
        QTest::keyClicks(field, typed);
        QVERIFY(blocked || !QFile::exists(m_ini));
        QTest::mouseClick(button, Qt::LeftButton);
        if (blocked) {
            // Not stored: the field stays open, so the user can lock again once the file can be written.
            QCOMPARE(m_h->boxes, QList<Box>{Box(Messages::Kind::Critical, "Settings could not be saved")});
            QVERIFY(button->isChecked() && field->isEnabled());
            m_h->boxes.clear();
            QVERIFY(QDir().rmdir(m_ini));
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QVERIFY(!button->isChecked() && !field->isEnabled());
        QCOMPARE(field->text(), typed);
        const QString key = QString(minimum ? "Min" : "Max") + (clearing ? "RTGS" : "LLG");
        QCOMPARE(stored(), (Keys{{key, QString(held).remove('.')}}));
        m_h->combo("cboOthers")->setCurrentIndex(1 - clearing);
        m_h->combo("cboOthers")->setCurrentIndex(clearing);
        QCOMPARE(field->text(), held);
        QVERIFY(m_h->boxes.isEmpty());
    }

    void accountsTable_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("size");           // stated in the file
        QTest::addColumn<QVector<int>>("entries");   // the entries that hold an account
        QTest::addColumn<QStringList>("shown");
        for (int f : {credit, collection, payroll})
            QTest::addRow("%s, edited", qPrintable(forms[f].group)) << f << "4" << QVector<int>{1, 2, 3, 4}
                                                                   << QStringList{"a1|", "a2|", "a3|", "a4|"};
        // A stated array size is only text a person may edit: it never sizes memory.
        QTest::newRow("size far beyond the entries") << int(credit) << "300000000" << QVector<int>{1, 2, 3}
                                                     << QStringList{"a1|", "a2|", "a3|"};
        QTest::newRow("gap below the highest entry") << int(payroll) << "9" << QVector<int>{1, 3} << QStringList{"a1|", "|", "a3|"};
        QTest::newRow("size below the entries") << int(credit) << "2" << QVector<int>{1, 2, 3} << QStringList{"a1|", "a2|"};
        QTest::newRow("entries past 1,000 not read") << int(collection) << "300000000" << QVector<int>{2, 1001, 299999999}
                                                      << QStringList{"|", "a2|"};
    }
    void accountsTable()
    {
        QFETCH(int, form);
        QFETCH(QString, size);
        QFETCH(QVector<int>, entries);
        QFETCH(QStringList, shown);
        storeAccounts(form, size, entries);
        open(form);
        QApplication::setActiveWindow(m_h.data());
        QVERIFY(QTest::qWaitForWindowActive(m_h.data()));
        auto* view = m_h->w<QTableView>("tblAcc");
        QStandardItemModel* model = m_h->accounts();
        QCOMPARE(accountsShown(), shown);
        for (int row = 0; row < shown.size(); ++row)
            QVERIFY(m_h->radio(row) && !m_h->radio(row)->isChecked());
        if (shown.size() != 4)
            return;

        // Delete takes the current cell's row, whatever is selected; without a current cell, nothing.
        m_h->radio(2)->click();
        view->selectionModel()->select(model->index(0, 1), QItemSelectionModel::Select);
        view->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        click("btnDel");
        QCOMPARE(model->rowCount(), 4);
        view->selectionModel()->setCurrentIndex(model->index(2, 1), QItemSelectionModel::NoUpdate);
        click("btnDel");
        QCOMPARE(accountsShown(), (QStringList{"a1|", "a2|", "a4|"}));
        // The checked row went with it.
        for (int row = 0; row < 3; ++row)
            QVERIFY(!m_h->radio(row)->isChecked());

        // Add opens the editor on a new unchecked row and makes its account cell current,
        // so Tab and Delete act on that row and not on the one clicked before.
        view->setCurrentIndex(model->index(0, 2));
        QTest::mouseClick(m_h->w<QPushButton>("btnAdd"), Qt::LeftButton);
        QCOMPARE(view->currentIndex(), model->index(3, 1));
        QVERIFY(m_h->radio(3) && !m_h->radio(3)->isChecked() && m_h->radio(3)->autoExclusive());
        QTest::keyClicks(QApplication::focusWidget(), "0123456789");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "1234/56789/ABCD");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(accountsShown().value(3), QString("0123456789|1234/56789/ABCD"));
        QTest::mouseClick(m_h->w<QPushButton>("btnAdd"), Qt::LeftButton);
        QTest::mouseClick(m_h->w<QPushButton>("btnDel"), Qt::LeftButton);
        QCOMPARE(model->rowCount(), 4);
    }

    // The transfer export advances the stored Header ID.
    void headerIdAfterExport_data()
    {
        QTest::addColumn<QVariant>("stored");    // invalid: a blocked settings file
        QTest::addColumn<QString>("typed");      // empty: as shown
        QTest::addColumn<bool>("workbook");      // false: the export names a missing workbook
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("used");       // in the upload's header; empty: no upload
        QTest::addColumn<QString>("next");       // shown and stored afterwards

        QTest::newRow("none stored, shown as 1") << QVariant(0) << "" << true << "Done!" << "00000001" << "2";
        // The next number follows both the one stored and the one used.
        QTest::newRow("stored behind the typed") << QVariant(-1) << "5" << true << "Done!" << "00000005" << "6";
        QTest::newRow("stored ahead of the typed") << QVariant(9) << "5" << true << "Done!" << "00000005" << "10";
        QTest::newRow("the last one allowed") << QVariant(99999999) << "" << true << "Done!" << "99999999" << "100000000";
        QTest::newRow("settings file blocked") << QVariant() << "5" << true << "Settings could not be saved" << "" << "5";
        // The workbook is the one the export request names; the sheet the one last announced.
        QTest::newRow("workbook of the request") << QVariant(3) << "" << false << "Error. Unable to select sheet Data"
                                                 << "" << "3";
    }
    void headerIdAfterExport()
    {
        QFETCH(QVariant, stored);
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
        open(transfer);
        emit m_h->SIG_Excel_Changed(book, "Data");
        m_h->mapAll({"cboTrxRef", "cboFrom", "cboTo", "cboAmount", "cboRemittance"});
        text("txtCompID")->setText("ABCDE12345");
        if (!typed.isEmpty())
            text("txtHeaderID")->setText(typed);

        const QString dest = m_dir.filePath(QString(QTest::currentDataTag()) + ".txt");
        emit m_h->SIG_Export(workbook ? book : m_dir.filePath("missing.xlsx"), dest);
        QCOMPARE(m_h->boxes.size(), 1);
        QCOMPARE(m_h->boxes.first().text, box);
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
        QCOMPARE(m_h->boxes.first().text == "Max value of Header ID is 99999999", next == "100000000");
    }

    // The payroll form's holiday choice and date filter reach its export: before the
    // holiday, with the filter on, the June row is left out.
    void holidayAndDateFilterReachTheUpload()
    {
        const QString book = m_dir.filePath("in.xlsx");
        QVERIFY(TestWorkbook(book).addSheet("Other").addSheet("Staff")
                    .setRow(1, {QDate(2024, 5, 1), "Budi", "1111111111", 1500000, "E1", "FIN"})
                    .setRow(2, {QDate(2024, 6, 1), "Siti", "2222222222", 1, "E2", "HR"}).save());
        open(payroll);
        emit m_h->SIG_Excel_Changed(book, "Staff");
        m_h->mapAll(combosOf(payroll));
        m_h->addAccount("0123456789", "1234/56789/ABCD");
        m_h->radio(0)->setChecked(true);
        m_h->w<QRadioButton>("rdbBefore")->setChecked(true);
        m_h->w<QDateEdit>("dteEffDate")->setDate(QDate(2024, 5, 25));
        m_h->w<QDateEdit>("dteFrom")->setDate(QDate(2024, 5, 1));
        m_h->w<QDateEdit>("dteTo")->setDate(QDate(2024, 5, 31));

        const QString dest = m_dir.filePath("out.txt");
        emit m_h->SIG_Export(book, dest);
        QCOMPARE(m_h->boxes, QList<Box>{Box(Messages::Kind::Information, "Done!")});
        QFile out(dest);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(out.readAll()),
                 QString(11, ' ') + "1234" + "0" + "6789" + "ABCD" + "25" + "01" + "0123456789" + "0" + "0" + "00" + "00001"
                     + "00000001500000.00" + "05" + "2024" + "\n"
                     + "01111111111000000150000000E1        " + QString("Budi").leftJustified(30) + "FIN \n");
    }
};

QTEST_MAIN(TestForms)
#include "test_forms.moc"
