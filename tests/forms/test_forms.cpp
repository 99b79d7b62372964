#include "types/registry.h"
#include "filesizelimit.h"
#include "widgets/messages.h"
#include "forms/base/transactionform.h"
#include "forms/base/windowgate.h"
#include "forms/formfactory.h"
#include "register/batchregister.h"
#include "expect.h"

#include <QtTest>
#include <QtWidgets>

#include <atomic>
#include <thread>

using Keys = QMap<QString, QString>;
using Pairs = QList<QPair<QString, QString>>;

namespace {

enum { transfer, credit, collection, payroll };
const QStringList savedBox{"information: Settings has been saved", "information: Settings have been saved!",
                           "information: Settings have been saved!", "information: Settings have been saved!"};
const QString notSaved = "critical: Settings could not be saved";

const kova::TypeDescriptor& type(int form) { return *kova::transactionTypes().at(form); }

// The required fields in checking order: those always required, then those of Others mode.
QList<kova::FieldSpec> requiredInOrder(int form)
{
    QVector<int> order = type(form).checkOrder;
    for (int i = 0; type(form).checkOrder.isEmpty() && i < type(form).fields.size(); ++i)
        order << i;
    QList<kova::FieldSpec> fields;
    for (kova::Required required : {kova::Required::Always, kova::Required::OthersMode})
        for (int i : order)
            if (type(form).fields.at(i).required == required)
                fields << type(form).fields.at(i);
    return fields;
}

// Every key of the settings file, or of one group, with its stored text.
Keys stored(const QString& group = {})
{
    QSettings ini(QDir(QCoreApplication::applicationDirPath()).filePath("kova.ini"), QSettings::IniFormat);
    ini.beginGroup(group);
    Keys keys;
    for (const QString& key : group.isEmpty() ? ini.childKeys() : ini.allKeys())
        keys.insert(key, ini.value(key).toString());
    return keys;
}

} // namespace

class TestForms final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_book = m_dir.filePath("book.xlsx");   // columns T1..T18
    const QString m_ini = QDir(QCoreApplication::applicationDirPath()).filePath("kova.ini");
    QScopedPointer<QWidget> m_window;
    TransactionForm* m_form = nullptr;
    QStringList m_boxes;

    void open(int form)
    {
        delete m_form;
        m_form = createTransactionForm(kova::BatchType(form), m_window.data());
        m_window->show();   // the in-place editor of a new account row opens on a visible view only
    }
    template <typename T = QWidget> T* w(const QString& name) { return m_form->findChild<T*>(name); }
    QComboBox* combo(const QString& name) { return w<QComboBox>(name); }
    QLineEdit* text(const QString& name) { return w<QLineEdit>(name); }
    void click(const QString& name) { w<QAbstractButton>(name)->click(); }
    QStringList shownLimits() { return {text("txtMinRTGS")->text(), text("txtMaxRTGS")->text()}; }
    // Offers the book's columns and maps the i-th field to column i + 1.
    void mapEvery(int form)
    {
        m_form->ON_Excel_Changed(m_book, "Data");
        for (int i = 0; i < type(form).fields.size(); ++i)
            combo(type(form).fields.at(i).comboName)->setCurrentIndex(i + 1);
    }
    QStandardItemModel* accounts() { return qobject_cast<QStandardItemModel*>(w<QTableView>("tblAcc")->model()); }
    void addAccount(const QString& account)
    {
        click("btnAdd");
        accounts()->item(accounts()->rowCount() - 1, 1)->setText(account);
        accounts()->item(accounts()->rowCount() - 1, 2)->setText("1234/56789/ABCD");
    }
    QRadioButton* radio(int row)
    {
        return qobject_cast<QRadioButton*>(w<QTableView>("tblAcc")->indexWidget(accounts()->index(row, 0)));
    }
    QStringList accountsShown()
    {
        QStringList rows;
        for (int row = 0; row < accounts()->rowCount(); ++row)
            rows << accounts()->item(row, 1)->text() + "|" + accounts()->item(row, 2)->text();
        return rows;
    }

private slots:
    void initTestCase()
    {
        QVariantList titles;
        for (int c = 1; c <= 18; ++c)
            titles << QString("T%1").arg(c);
        QVERIFY(TestWorkbook(m_book).addSheet("Data").setRow(1, titles).save());
    }
    void init()
    {
        QDir(m_ini).removeRecursively();   // some tests block the file with a folder
        QSettings(m_ini, QSettings::IniFormat).clear();   // and QSettings' cache with it
        QFile::remove(m_ini);
        QFile::remove(kova::registerPathFor(m_ini));
        m_boxes.clear();
        m_form = nullptr;
        m_window.reset(new QWidget);
        Messages::setPresenter([this](QWidget*, Messages::Kind kind, const QString& text) {
            m_boxes << (kind == Messages::Kind::Critical ? "critical: " : "information: ") + text;
        });
    }

    void refusals_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<bool>("others");
        QTest::addColumn<QStringList>("unmapped");
        QTest::addColumn<Pairs>("texts");       // line edit and the text typed into it
        QTest::addColumn<QString>("account");   // the checked row's; "-": no row at all; "?": a row, none checked
        QTest::addColumn<bool>("exported");     // refused by the export, else by "Save Settings"
        QTest::addColumn<QString>("box");
        const auto row = [](const QString& name, int form, bool others, const QStringList& unmapped, const Pairs& texts,
                            const QString& account, bool exported, const QString& box) {
            QTest::newRow(qPrintable(type(form).group + ", " + name))
                << form << others << unmapped << texts << account << exported << box;
        };
        for (int f = transfer; f <= payroll; ++f) {
            // Each refusal comes first while its field and every later one is unmapped.
            const QList<kova::FieldSpec> order = requiredInOrder(f);
            QStringList optional;
            for (const kova::FieldSpec& field : type(f).fields)
                optional << field.comboName;
            for (int i = 0; i < order.size(); ++i) {
                QStringList unmapped;
                for (int j = i; j < order.size(); ++j)
                    unmapped << order.at(j).comboName;
                row(order.at(i).missingMessage, f, order.at(i).required == kova::Required::OthersMode, unmapped, {},
                    "-", false, "critical: " + order.at(i).missingMessage);
                if (order.at(i).required == kova::Required::Always)
                    optional.removeOne(order.at(i).comboName);
            }
            row("WDK, only the required fields", f, false, optional, {}, "-", false, savedBox.at(f));
            row("export unmapped", f, false, {order.first().comboName}, {}, f == transfer ? "-" : "0123456789", true,
                "critical: " + order.first().missingMessage);
        }
        row("minimum 0", credit, true, {}, {{"txtMinRTGS", "0"}}, "-", false, "critical: Invalid minimum limit");
        row("none checked", payroll, false, {}, {}, "?", true, "critical: Source Acc has not been defined");
        row("the checked row", collection, false, {}, {}, "01234x6789", true,
            "critical: Credited Acc contains invalid chars");
    }
    void refusals()
    {
        QFETCH(int, form);
        QFETCH(bool, others);
        QFETCH(QStringList, unmapped);
        QFETCH(Pairs, texts);
        QFETCH(QString, account);
        QFETCH(bool, exported);
        QFETCH(QString, box);
        open(form);
        mapEvery(form);
        if (form == transfer)
            text("txtCompID")->setText("ABCDE12345");
        for (const QString& name : unmapped)
            combo(name)->setCurrentIndex(0);
        if (others)
            click("rdbOthers");
        for (const auto& typed : texts)
            text(typed.first)->setText(typed.second);
        if (account == "?") {
            addAccount("0123456789");
        } else if (account != "-") {
            addAccount("9999999999");   // the checked row is the one looked at, not the first
            addAccount(account);
            radio(1)->setChecked(true);
        }
        const QString dest = m_dir.filePath("refused.txt");
        if (exported) {
            QSignalSpy finished(m_form, &TransactionForm::exportFinished);
            m_form->ON_Export_Signal(m_dir.filePath("none.xlsx"), dest);
            QVERIFY(finished.wait());
        } else
            click("btnSave");
        QCOMPARE(m_boxes, QStringList{box});
        QCOMPARE(QFile::exists(m_ini), box == savedBox.at(form));
        QVERIFY(!QFile::exists(dest));
    }

    // The mapping rows of every form in both modes: each label beside its combo box, exactly as shown.
    void captions_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("labels");   // in field order; "*": the red asterisk
        const QStringList trx{"Trx Ref #*", "Date", "From Acc #*", "To Acc #*", "Amount*", "Remarks 1", "Remarks 2",
                              "Transfer Type*"};
        QTest::newRow("transfer WDK") << int(transfer) << "rdbWDK"
            << trx + QStringList{"BI Code", "Bank Name", "Branch Name", "Name", "Address 1", "Address 2",
                                 "Address 3", "Address 4", "Type", "Residence"};
        QTest::newRow("transfer Others") << int(transfer) << "rdbOthers"
            << trx + QStringList{"BI Code*", "Bank Name*", "Branch Name*", "Name*", "Address 1", "Address 2",
                                 "Address 3", "Address 4", "Type*", "Residence*"};
        QTest::newRow("credit WDK") << int(credit) << "rdbWDK"
            << QStringList{"Trx Date", "Beneficiary Name", "Acc #*", "BI Code", "Bank Name", "Branch Name",
                           "Amount*", "Transfer Type*", "Remarks 1", "Remarks 2", "Cust Type", "Cust Residence"};
        QTest::newRow("credit Others") << int(credit) << "rdbOthers"
            << QStringList{"Trx Date", "Beneficiary Name*", "Acc #*", "BI Code*", "Bank Name*", "Branch Name*",
                           "Amount*", "Transfer Type*", "Remarks 1", "Remarks 2", "Cust Type*", "Cust Residence*"};
        QTest::newRow("collection") << int(collection) << ""
            << QStringList{"Trx Date", "Acc Name*", "Acc #*", "Amount*", "Remarks 1", "Remarks 2",
                           "Residence Status*", "Citizen Status*"};
        QTest::newRow("payroll") << int(payroll) << ""
            << QStringList{"Trx Date", "Employee Name*", "Acc #*", "Amount*", "Employee ID", "Department"};
    }
    void captions()
    {
        QFETCH(int, form);
        QFETCH(QString, mode);
        QFETCH(QStringList, labels);
        open(form);
        if (!mode.isEmpty())
            click(mode);
        const QString mark = "<span style=\"color:#c0262f\">*</span>";
        QStringList shown;
        for (const kova::FieldSpec& field : type(form).fields)
            shown << w<QLabel>("lbl" + field.comboName.mid(3))->text().replace(mark, "*");
        QCOMPARE(shown, labels);
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
        QTest::newRow("Payroll, blocked") << int(payroll) << -1 << true;
    }
    // The mapping under the type's keys with each column's title, HasColumnHeader, the header row, the accounts table and the
    // limits of Others mode, read back by the next form of the type.
    void settingsRoundTrip()
    {
        QFETCH(int, form);
        QFETCH(int, clearing);
        QFETCH(bool, blocked);
        const Keys top{{"MinLLG", "9"}, {"MaxLLG", "10"}, {"MinRTGS", "11"}, {"MaxRTGS", "12"}};
        if (blocked)
            QVERIFY(QDir().mkpath(m_ini));
        else
            expect::writeSettings(m_ini, {}, {{"MinLLG", 9}, {"MaxLLG", 10}, {"MinRTGS", 11}, {"MaxRTGS", 12}});
        open(form);
        w<QCheckBox>("chkHeaders")->setChecked(true);
        mapEvery(form);
        // The sheet's columns go to the mapping combo boxes only.
        QStringList mapping;
        for (const kova::FieldSpec& field : type(form).fields)
            mapping << field.comboName;
        for (QComboBox* box : m_form->findChildren<QComboBox*>())
            QCOMPARE(box->count(), mapping.contains(box->objectName()) ? 19 : 2);
        if (form == transfer)
            text("txtCompID")->setText("ABCDE12345");
        if (clearing >= 0) {
            click("rdbOthers");
            combo("cboOthers")->setCurrentIndex(clearing);
        }
        if (form == transfer || form == credit)
            text("txtMaxRTGS")->setText("1.234");
        if (form != transfer) {
            addAccount("x");
            addAccount("1111111111");
        }
        click("btnSave");
        QCOMPARE(m_boxes, QStringList{blocked ? notSaved : savedBox.at(form)});
        if (blocked)
            return;
        Keys limits = top;
        if (clearing >= 0)
            limits.insert(clearing ? "MaxRTGS" : "MaxLLG", "1234");
        QCOMPARE(stored(), limits);
        Keys group = form == transfer ? Keys{{"HeaderID", "1"}, {"CompanyID", "ABCDE12345"}}
                                      : Keys{{"Accounts/size", "2"}, {"Accounts/1/Account", "x"},
                                             {"Accounts/1/CompID", "1234/56789/ABCD"}, {"Accounts/2/Account", "1111111111"},
                                             {"Accounts/2/CompID", "1234/56789/ABCD"}};
        group.insert("HasColumnHeader", "true");
        group.insert("HeaderRow", "1");
        for (int i = 0; i < mapping.size(); ++i) {
            group.insert(type(form).fields.at(i).key, QString::number(i + 1));
            group.insert(type(form).fields.at(i).key + "Header", QString("T%1").arg(i + 1));   // its title beside it
        }
        QCOMPARE(stored(type(form).group), group);

        open(form);
        QVERIFY(w<QCheckBox>("chkHeaders")->isChecked());
        m_form->ON_Excel_Changed(m_book, "Data");
        for (int i = 0; i < mapping.size(); ++i)
            QCOMPARE(combo(mapping.at(i))->currentText(), QString("T%1").arg(i + 1));
        if (form == transfer)
            QCOMPARE(text("txtCompID")->text(), QString("ABCDE12345"));
        else
            QCOMPARE(accountsShown(), (QStringList{"x|1234/56789/ABCD", "1111111111|1234/56789/ABCD"}));
    }

    // A stored Header ID that is no whole number shows as it stands and is refused at Save and at
    // Export, never shown as 1 and saved back as 1; a number typed over it is saved.
    void storedHeaderIdNotWhole_data()
    {
        QTest::addColumn<QString>("value");
        for (const QString value : {"4.0", "abc"})
            QTest::newRow(qPrintable(value)) << value;
    }
    void storedHeaderIdNotWhole()
    {
        QFETCH(QString, value);
        expect::writeSettings(m_ini, "Transfer", {{"HeaderID", value}});
        open(transfer);
        QCOMPARE(text("txtHeaderID")->text(), value);
        mapEvery(transfer);
        text("txtCompID")->setText("ABCDE12345");
        click("btnSave");
        QSignalSpy finished(m_form, &TransactionForm::exportFinished);
        m_form->ON_Export_Signal(m_dir.filePath("none.xlsx"), m_dir.filePath("refused.txt"));
        QVERIFY(finished.wait());
        const QString invalid = "critical: Invalid Header ID";
        QCOMPARE(m_boxes, (QStringList{invalid, invalid}));
        QCOMPARE(stored("Transfer"), (Keys{{"HeaderID", value}}));
        text("txtHeaderID")->setText("9");
        click("btnSave");
        QCOMPARE(m_boxes.value(2), savedBox.at(transfer));
        QCOMPARE(stored("Transfer").value("HeaderID"), QString("9"));
    }

    // The limits shown are the stored ones, normalised; a lock stores its field at once.
    void limits()
    {
        expect::writeSettings(m_ini, {}, {{"MinLLG", "abc"}, {"MaxLLG", "1.000"}, {"MaxRTGS", "18446744073709551615"}});
        const Keys file = stored();
        open(credit);
        click("rdbOthers");
        QCOMPARE(shownLimits(), (QStringList{"1", "500.000.000"}));
        combo("cboOthers")->setCurrentIndex(1);
        QCOMPARE(shownLimits(), (QStringList{"500.000.001", "18.446.744.073.709.551.615"}));
        combo("cboOthers")->setCurrentIndex(0);
        QCOMPARE(stored(), file);
        click("btnMinLock");
        text("txtMinRTGS")->setText("600.000.000");
        {
            FileSizeLimit full(0);
            click("btnMinLock");
        }
        QCOMPARE(m_boxes, QStringList{notSaved});
        click("btnMinLock");
        QVERIFY(!text("txtMinRTGS")->isEnabled());
        QCOMPARE(stored().value("MinLLG"), QString("600000000"));
        combo("cboOthers")->setCurrentIndex(1);
        combo("cboOthers")->setCurrentIndex(0);
        QCOMPARE(shownLimits(), (QStringList{"600.000.000", "500.000.000"}));
        // A change of mode resets the WDK choice.
        click("rdbWDK");
        combo("cboWDK")->setCurrentIndex(1);
        click("rdbOthers");
        click("rdbWDK");
        QCOMPARE(combo("cboWDK")->currentText(), QString("One To One (SP)"));
    }

    // The checked row is the batch's account: Delete takes the current cell's row with its check.
    void deleteAccount()
    {
        open(payroll);
        for (const char* account : {"a1", "a2", "a3", "a4"})
            addAccount(account);
        radio(2)->click();
        w<QTableView>("tblAcc")->selectionModel()->select(accounts()->index(0, 1), QItemSelectionModel::Select);
        w<QTableView>("tblAcc")->selectionModel()->setCurrentIndex(accounts()->index(2, 1), QItemSelectionModel::NoUpdate);
        click("btnDel");
        QCOMPARE(accountsShown().join(' ').remove("|1234/56789/ABCD"), QString("a1 a2 a4"));
        for (int row = 0; row < 3; ++row)
            QVERIFY(!radio(row)->isChecked());
    }

    // A form closed while its export reads the rows stops the export and
    // waits for it: nothing is written or left beside the destination, and
    // nothing the export sent reaches the form that is gone.
    void closedWhileExporting()
    {
        const QString book = m_dir.filePath("long.xlsx");
        QList<QVariantList> rows;
        for (int row = 0; row < 20000; ++row)
            rows.append({QVariant(), "Budi", "1111111111", 100, "E1", "HR"});
        QVERIFY(expect::writeSheet(book, "Data", rows));
        open(payroll);
        m_form->ON_Excel_Changed(book, "Data");
        for (int i = 1; i < type(payroll).fields.size(); ++i)
            combo(type(payroll).fields.at(i).comboName)->setCurrentIndex(i + 1);
        addAccount("0123456789");
        radio(0)->setChecked(true);
        const QString dest = m_dir.filePath("closed.txt");
        m_form->ON_Export_Signal(book, dest);
        QVERIFY(m_form->exporting());
        delete m_form;
        m_form = nullptr;
        QTest::qWait(100);
        QVERIFY(!QFile::exists(dest));
        QCOMPARE(QDir(m_dir.path()).entryList({"*.details"}), QStringList());
        QCOMPARE(m_boxes, QStringList());
    }

    void firstUse_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QVariantList>("titles");   // in row 3, below a title line and a blank row
        QTest::addColumn<QVariantList>("data");
        QTest::addColumn<QStringList>("lines");     // what the processing log is told, after the row found
        const QString advice = "Not mapped yet: %1. Choose their columns under Columns Mapping, then Save Settings";
        QTest::newRow("transfer") << int(transfer) << QVariantList{"Referensi", "Rekening Asal", "Rekening Tujuan", "Nominal"}
                                  << QVariantList{"R1", "1234567890", "0987654321", 1500}
                                  << QStringList{"Matched by header: Trx Ref # \u2190 A: Referensi",
                                                 "Matched by header: From Acc # \u2190 B: Rekening Asal",
                                                 "Matched by header: To Acc # \u2190 C: Rekening Tujuan",
                                                 "Matched by header: Amount \u2190 D: Nominal", advice.arg("Transfer Type")};
        QTest::newRow("credit") << int(credit) << QVariantList{"Nama Penerima", "No. Rekening", "Jumlah", "Jenis Transfer"}
                                << QVariantList{"Ani", "0987654321", 1500, "LLG"}
                                << QStringList{"Matched by header: Beneficiary Name \u2190 A: Nama Penerima",
                                               "Matched by header: Acc # \u2190 B: No. Rekening", "Matched by header: Amount \u2190 C: Jumlah",
                                               "Matched by header: Transfer Type \u2190 D: Jenis Transfer"};
        QTest::newRow("collection") << int(collection) << QVariantList{"Nama Nasabah", "Rekening", "Tagihan", "Kependudukan"}
                                    << QVariantList{"Ani", "0987654321", 1500, 1}
                                    << QStringList{"Matched by header: Acc Name \u2190 A: Nama Nasabah",
                                                   "Matched by header: Acc # \u2190 B: Rekening", "Matched by header: Amount \u2190 C: Tagihan",
                                                   "Matched by header: Residence Status \u2190 D: Kependudukan", advice.arg("Citizen Status")};
        QTest::newRow("payroll") << int(payroll) << QVariantList{"No", "Nama Karyawan", "No. Rekening", "Net Salary"}
                                 << QVariantList{1, "Ani", "0987654321", 5000000}
                                 << QStringList{"Matched by header: Employee Name \u2190 B: Nama Karyawan",
                                                "Matched by header: Acc # \u2190 C: No. Rekening",
                                                "Matched by header: Amount \u2190 D: Net Salary"};
    }
    // A fresh settings file and a workbook with a title line above its table: "Has Column
    // Header" is ticked at the row of the titles, the common titles map their fields, the
    // required ones left are named, and the processing log is told each.
    void firstUse()
    {
        QFETCH(int, form);
        QFETCH(QVariantList, titles);
        QFETCH(QVariantList, data);
        QFETCH(QStringList, lines);
        const QString book = m_dir.filePath("first.xlsx");
        QVERIFY(expect::writeSheet(book, "Data", {{"March"}, {}, titles, data}));
        open(form);
        QSignalSpy told(m_form, &TransactionForm::mappingMatched);
        m_form->ON_Excel_Changed(book, "Data");
        QCOMPARE(told.value(0).value(0).toStringList(),
                 QStringList{"Column titles found in row 3: \"Has Column Header\" is ticked"} + lines);
        QVERIFY(w<QCheckBox>("chkHeaders")->isChecked());
        QCOMPARE(w<QSpinBox>("spnHeaderRow")->value(), 3);
    }

    // Trx Date and From Acc # on one column: both rows are marked and name the other, until one moves.
    void sharedColumn()
    {
        open(transfer);
        m_form->ON_Excel_Changed(m_book, "Data");
        QComboBox* date = combo("cboDate");
        QComboBox* from = combo("cboFrom");
        QComboBox* ref = combo("cboTrxRef");
        from->setCurrentIndex(3);
        ref->setCurrentIndex(1);
        date->setCurrentIndex(3);
        const QString marked = "QComboBox { border: 2px solid #b35900; }";
        QCOMPARE(QStringList({date->toolTip(), date->styleSheet(), from->toolTip(), from->styleSheet(), ref->toolTip(), ref->styleSheet()}),
                 QStringList({"C: C\nThis column is also mapped to From Acc #", marked, "C: C\nThis column is also mapped to Date", marked,
                              "A: A", ""}));
        ref->setCurrentIndex(3);
        QCOMPARE(from->toolTip(), QString("C: C\nThis column is also mapped to Trx Ref #, Date"));
        ref->setCurrentIndex(1);
        date->setCurrentIndex(0);
        QCOMPARE(QStringList({date->toolTip(), date->styleSheet(), from->toolTip(), from->styleSheet()}),
                 QStringList({"", "", "C: C", ""}));
    }

    void unsavedAccounts_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("change");   // to the rows read from the settings file
        QTest::addColumn<bool>("asked");
        for (int form : {credit, collection, payroll}) {
            const QByteArray name = type(form).keyword.toUtf8();
            QTest::newRow(name + ", none") << form << "" << false;
            QTest::newRow(name + ", a blank row added") << form << "blank" << false;
            QTest::newRow(name + ", a row added") << form << "add" << true;
            QTest::newRow(name + ", a row changed") << form << "edit" << true;
            QTest::newRow(name + ", a row deleted") << form << "delete" << true;
            QTest::newRow(name + ", a row added and saved") << form << "save" << false;
        }
    }
    // Closing asks before account rows not saved are dropped: No keeps the form,
    // Yes lets it go and is not asked again for the same rows.
    void unsavedAccounts()
    {
        QFETCH(int, form);
        QFETCH(QString, change);
        QFETCH(bool, asked);
        expect::writeAccounts(m_ini, type(form).group, {{"1111111111", "1234/56789/ABCD"}});
        open(form);
        if (change == "blank")
            click("btnAdd");
        if (change == "add" || change == "save")
            addAccount("2222222222");
        if (change == "edit")
            accounts()->item(0, 1)->setText("3333333333");
        if (change == "delete") {
            w<QTableView>("tblAcc")->setCurrentIndex(accounts()->index(0, 1));
            click("btnDel");
        }
        if (change == "save") {
            mapEvery(form);
            click("btnSave");
            m_boxes.clear();
        }
        const QString question = "information: The accounts table has changes that are not saved. Close and lose them?";
        QCOMPARE(m_form->mayClose(), !asked);
        QCOMPARE(m_boxes, asked ? QStringList{question} : QStringList());
        Messages::setCapturedAnswer(true);
        QVERIFY(m_form->mayClose());
        QVERIFY(m_form->mayClose());
        Messages::setCapturedAnswer(false);
        QCOMPARE(m_boxes, asked ? QStringList({question, question}) : QStringList());
    }

    // The Header ID field a user left alone follows the next free number, stored by another
    // run or above the register's highest, when the window becomes active (before an export:
    // tst_window_workflow); a typed one stays until Save, which raises it and says so, and
    // once saved is followed again.
    void headerIdFollows()
    {
        expect::writeSettings(m_ini, "Transfer", {{"HeaderID", 5}});
        open(transfer);
        QLineEdit* headerId = text("txtHeaderID");
        QCOMPARE(headerId->text(), QString("5"));
        QWidget elsewhere;
        elsewhere.show();
        const auto activate = [&] {
            QApplication::setActiveWindow(&elsewhere);
            QApplication::setActiveWindow(m_window.data());
            return headerId->text();
        };
        expect::writeSettings(m_ini, "Transfer", {{"HeaderID", 8}});
        QCOMPARE(activate(), QString("8"));
        kova::BatchEntry written;
        written.writtenAt = QDateTime::currentDateTimeUtc();
        written.type = kova::batchTypeName(kova::BatchType::Transfer);
        written.headerId = "11";
        written.fingerprint = "f";
        kova::BatchRegister batches(kova::registerPathFor(m_ini));
        QVERIFY2(batches.open() && batches.record(written), qPrintable(batches.problem()));
        QCOMPARE(activate(), QString("12"));
        headerId->setText("9");
        QCOMPARE(activate(), QString("9"));
        mapEvery(transfer);
        text("txtCompID")->setText("ABCDE12345");
        click("btnSave");
        QCOMPARE(m_boxes, QStringList{"information: Settings has been saved; Header ID 9 was already used, so the next free one, "
                                      "12, was saved instead"});
        QCOMPARE(headerId->text() + stored("Transfer").value("HeaderID"), QString("1212"));
        expect::writeSettings(m_ini, "Transfer", {{"HeaderID", 14}});
        QCOMPARE(activate(), QString("14"));
        headerId->setText("20");
        click("btnSave");
        QCOMPARE(m_boxes.value(1), savedBox.at(transfer));
        expect::writeSettings(m_ini, "Transfer", {{"HeaderID", 21}});
        QCOMPARE(activate(), QString("21"));
    }

    // The export's thread waits on the window without polling: a batch beyond
    // the limit until one is served, a question until it is answered, and
    // neither once the gate is closed (a stop, or the form going away).
    void windowGate()
    {
        WindowGate gate(1);
        gate.enter();
        std::atomic_bool passed{false};
        std::thread rows([&] { gate.enter(); passed = true; });
        QTest::qWait(50);
        QVERIFY(!passed);
        gate.leave();
        rows.join();
        QVERIFY(passed);
        gate.answer(true);
        QVERIFY(gate.awaitAnswer());
        std::atomic_bool answered{true};
        std::thread asking([&] { answered = gate.awaitAnswer(); });
        QTest::qWait(50);
        gate.close();
        asking.join();
        QVERIFY(!answered);
        gate.enter();   // beyond the limit, and nobody serves it
    }
};

QTEST_MAIN(TestForms)
#include "test_forms.moc"
