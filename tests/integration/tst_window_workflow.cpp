// What a user meets in the real main window: each transaction type exported
// as a user does it (settings saved earlier, a workbook browsed, a sheet and a
// destination picked, the form's last choices made, Export pressed); switching
// the type after a run, running again after fixing the sheet, the Header ID
// that moves on with every transfer batch written, a workbook changed after it
// was chosen.

#include "expect.h"
#include "filesizelimit.h"
#include "testworkbook.h"
#include "register/batchregister.h"
#include "register/batchtexts.h"
#include "windowdriver.h"

#include <QtTest>
#include <QtWidgets>

#include <optional>

namespace {

using Cell = QPair<int, int>;

struct ExportCase
{
    int type = 0;
    QString group;                            // the settings file as an earlier session saved it
    QVariantMap keys;
    QList<QPair<QString, QString>> accounts;
    QList<QVariantList> rows;                 // the "Data" sheet, titles in row 1
    int account = -1;                         // what the user sets on the form before Export
    QStringList clicks;
    QList<QPair<QString, int>> combos;
    QList<QPair<QString, QDate>> dates;
    QList<QPair<QString, QString>> texts;
    int amountColumn = 0;                     // what the window shows afterwards
    QString sheetRows = "2 4";                // each log row numbered after its sheet row
    QList<Cell> cut;                          // tinted: a text cut short
    QList<Cell> marked;                       // red on a deeper tint, the rest of its row pale
    QStringList log;
    QByteArray upload;                        // empty: no upload file may exist
};

const QColor markedText(0xe7, 0x3d, 0x4a);
const QString separator = "-------------------------------------";

using expect::pad;
using expect::sp;

// The summary lines and the rule under them, as the log shows them.
QStringList summary(const QString& rows, const QString& amounts, int warnings, int errors)
{
    return expect::summary(rows, amounts, warnings, errors) << separator;
}

ExportCase transferCase(bool withError)
{
    ExportCase c;
    c.type = 0;
    c.group = "Transfer";
    c.keys = {{"TrxRef", 1}, {"FromAcc", 2}, {"ToAcc", 3}, {"Amount", 4}, {"Remarks1", 5}, {"Remittance", 6},
              {"HasColumnHeader", true}, {"CompanyID", "ABCDE12345"}, {"HeaderID", "41"}};
    const QString from = withError ? "12345" : "1234567890";
    // WDK mode, the form's start: the LLG row is not part of the batch.
    c.rows = {{"Ref", "From", "To", "Amount", "Remarks", "Type"},
              {"REF-001", "1234567890", "0987654321", 1500000.5, "Salary May", "WDK"},
              {"REF-002", "1234567890", "1111111111", 250, QVariant(), "LLG"},
              {"REF-003", from, "2222222222", 75.25, "A remark that is too long", "wdk"}};
    c.dates = {{"dteEffDate", QDate(2025, 1, 5)}};

    c.amountColumn = 3;
    c.cut = {{1, 4}};
    c.log = summary("2 of 3", "1.500.075,75", 1, withError ? 1 : 0);
    if (withError)
        c.log.append("LINE 2: Error. From Acc must be 10 characters"), c.marked = {{1, 1}};
    c.log.append("LINE 2: Warning. String truncated in Remarks 1. Exceeding 18 characters");
    if (!withError)
        c.upload = "0|FT|00000041|||20250105|ABCDE12345|1500075.75|00002|WDK|IDR|\n"
                   "1|00001|REF-001|1234567890|0987654321|1500000.50|Salary May||||||||||||\n"
                   "1|00002|REF-003|1234567890|2222222222|75.25|A remark that is t||||||||||||\n";
    return c;
}

ExportCase creditCase(bool withError)
{
    ExportCase c;
    c.type = 1;
    c.group = "Credit";
    c.keys = {{"Beneficary", 1}, {"BnfAccount", 2}, {"Amount", 3}, {"Remittance", 4}, {"Remarks1", 5},
              {"HasColumnHeader", true}};
    c.accounts = {{"1111111111", "1234/56789/ABCD"}, {"0123456789", "5678/12345/wxyz"}};
    const QString account = withError ? "12345" : "1234512345";
    c.rows = {{"Name", "Account", "Amount", "Type", "Remarks"},
              {"PT Maju Jaya", "9876543210", 2500000, "WDK", "Invoice 77"},
              {"CV Sentosa", "5555555555", 1000, "RTG", QVariant()},
              {"Budi Santoso", account, 300.75, "Wdk", QVariant()}};
    c.account = 1;
    c.clicks = QStringList{"radioButton_3"};
    c.combos = {{"cboWDK", 1}};
    c.dates = {{"dteEffDate", QDate(2024, 3, 5)}};
    c.texts = {{"txtRemarks1", "JUNE PAYOUT"}};

    c.amountColumn = 2;
    c.log = summary("2 of 3", "2.500.300,75", 0, withError ? 1 : 0);
    if (withError)
        c.log.append("LINE 2: Error. To Acc must be 10 digits"), c.marked = {{1, 1}};
    else {
        const auto detail = [](const QString& account, const QString& amount, const QString& name,
                               const QString& remarks) {
            return "1" + pad(account, 34) + sp(18) + amount + pad(name, 70) + "B" + sp(5) + " " + sp(7) + sp(4)
                   + sp(18) + sp(18) + pad(remarks, 18) + sp(18) + sp(18) + " " + " " + "014\n";
        };
        c.upload = QString("0MP202403050123456789 56782345" + sp(15) + "00000000002500300.75" + "00002" + "WDK"
                           + sp(15) + pad("JUNE PAYOUT", 18) + sp(18) + sp(132) + "\n"
                           + detail("9876543210", "00000000002500000.00", "PT Maju Jaya", "Invoice 77")
                           + detail("1234512345", "00000000000000300.75", "Budi Santoso", ""))
                       .toLatin1();
    }
    return c;
}

ExportCase collectionCase(bool withError)
{
    ExportCase c;
    c.type = 2;
    c.group = "Collection";
    c.keys = {{"AccountName", 1}, {"AccountNumber", 2}, {"Amount", 3}, {"Residence", 4}, {"Citizen", 5},
              {"TrxDate", 6}, {"HasColumnHeader", true}};
    c.accounts = {{"0011223344", "4321/98765/KOVA"}};
    // The April row lies outside the date filter and takes no line number.
    c.rows = {{"Name", "Account", "Amount", "Res", "Cit", "Date"},
              {"Siti Aminah", "1000000001", 125000, 1, 0, QDate(2024, 5, 2)},
              {"Out Of Range", "1000000002", 10, 0, 0, QDate(2024, 4, 30)},
              {"Agus Salim", "1000000003", withError ? QVariant(0) : QVariant(99.9), 0, 1, QDate(2024, 5, 31)}};
    c.account = 0;
    c.clicks = QStringList{"radioButton_3"};
    c.dates = {{"dteEffDate", QDate(2024, 6, 3)}, {"dteFrom", QDate(2024, 5, 1)}, {"dteTo", QDate(2024, 5, 31)}};
    c.texts = {{"txtRemarks1", "COLL JUNE"}};

    c.amountColumn = 2;
    c.log = summary("2 of 3", withError ? "125.000,00" : "125.099,90", 0, withError ? 1 : 0);
    if (withError)
        c.log.append("LINE 2: Error. Invalid amount"), c.marked = {{1, 2}};
    else {
        const auto detail = [](const QString& account, const QString& amount, const QString& name,
                               const QString& flags) {
            return "1" + account + sp(24) + "0000" + amount + pad(name, 35) + sp(18) + sp(18) + flags + sp(70)
                   + "014\n";
        };
        c.upload = QString("0CO202406030011223344 43218765" + sp(15) + "0000" + "0000000125099.90" + "00002"
                           + pad("COLL JUNE", 18) + sp(18) + sp(95) + "\n"
                           + detail("1000000001", "0000000125000.00", "Siti Aminah", "10")
                           + detail("1000000003", "0000000000099.90", "Agus Salim", "01"))
                       .toLatin1();
    }
    return c;
}

ExportCase payrollCase(bool withError)
{
    ExportCase c;
    c.type = 3;
    c.group = "Payroll";
    c.keys = {{"AccountName", 1}, {"AccountNumber", 2}, {"Amount", 3}, {"EmployeeID", 4}, {"Department", 5},
              {"HasColumnHeader", true}};
    c.accounts = {{"9988776655", "1234/56789/ABCD"}};
    const QString longName = "Rudi Hartono Wijayakusuma Pratama";
    c.rows = {{"Name", "Account", "Amount", "EmpID", "Dept"},
              {"Dewi Lestari", "3333333333", 4750000, "EMP-0001", "FIN"},
              {withError ? longName : "Rudi Hartono", "4444444444", 5200000.5, "EMP-0002-LONG", "OPS"}};
    c.account = 0;
    c.clicks = QStringList{"rdbAfter"};
    c.dates = {{"dteEffDate", QDate(2024, 7, 9)}};

    c.amountColumn = 2;
    c.sheetRows = "2 3";
    c.cut = {{1, 3}};
    c.log = summary("2 of 2", "9.950.000,50", 1, withError ? 1 : 0);
    c.log.append("LINE 2: Warning. String truncated in Employee ID. Exceeding 10 characters");
    if (withError)
        c.log.append("LINE 2: Error. Employee Name is exceeding 30 chars"), c.marked = {{1, 0}};
    else
        c.upload = QString(sp(11) + "1234" + "0" + "6789" + "ABCD" + "09" + "01" + "9988776655" + "0" + "1" + "00"
                           + "00002" + "00000009950000.50" + "07" + "2024" + "\n"
                           + "0" + "3333333333" + "000000475000000" + "EMP-0001  " + pad("Dewi Lestari", 30) + "FIN \n"
                           + "0" + "4444444444" + "000000520000050" + "EMP-0002-L" + pad("Rudi Hartono", 30) + "OPS \n")
                       .toLatin1();
    return c;
}


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

// Puts a line the settings reader does not understand, as a person may add
// one, at the top of the settings file.
void addComment()
{
    const QByteArray held = expect::fileBytes(WindowDriver::settingsPath());
    QFile file(WindowDriver::settingsPath());
    if (!file.open(QIODevice::WriteOnly) || file.write("# note\n" + held) != held.size() + 7)
        qFatal("settings file not written");
}

QVariant storedHeaderId() { return QSettings(WindowDriver::settingsPath(), QSettings::IniFormat).value("Transfer/HeaderID"); }

} // namespace

Q_DECLARE_METATYPE(ExportCase)

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
        cleanup();
        expect::writeSettings(WindowDriver::settingsPath(), "Transfer",
                              {{"TrxRef", 1}, {"FromAcc", 2}, {"ToAcc", 3}, {"Amount", 4}, {"Remittance", 5},
                               {"HasColumnHeader", false}, {"CompanyID", "ABCDE12345"}, {"HeaderID", 41}});
        expect::writeSettings(WindowDriver::settingsPath(), "Credit", {{"BnfAccount", 2}});
        for (const char* group : {"Collection", "Payroll"})
            expect::writeSettings(WindowDriver::settingsPath(), group, {{"AccountNumber", 2}});
    }
    void cleanup() { QFile::remove(WindowDriver::settingsPath()); }

    void exportByType_data()
    {
        QTest::addColumn<ExportCase>("c");
        for (bool withError : {false, true}) {
            const char* tail = withError ? " with an error" : "";
            QTest::addRow("transfer%s", tail) << transferCase(withError);
            QTest::addRow("credit%s", tail) << creditCase(withError);
            QTest::addRow("collection%s", tail) << collectionCase(withError);
            QTest::addRow("payroll%s", tail) << payrollCase(withError);
        }
    }

    void exportByType()
    {
        QFETCH(ExportCase, c);
        cleanup();
        expect::writeSettings(WindowDriver::settingsPath(), c.group, c.keys);
        if (!c.accounts.isEmpty())
            expect::writeAccounts(WindowDriver::settingsPath(), c.group, c.accounts);
        // The data is not on the first sheet: the user has to pick it.
        const QString book = m_dir.filePath(QStringLiteral("%1.xlsx").arg(QTest::currentDataTag()));
        TestWorkbook workbook(book);
        workbook.addSheet("Cover").setCell(1, 1, "Batch of the month");
        workbook.addSheet("Data");
        for (int r = 0; r < c.rows.size(); ++r)
            workbook.setRow(r + 1, c.rows.at(r));
        QVERIFY(workbook.save());
        const QString dest = m_dir.filePath(QStringLiteral("%1.txt").arg(QTest::currentDataTag()));

        WindowDriver user;
        user.chooseType(c.type);
        user.browseSource(book);
        user.chooseSheet("Data");
        user.browseDestination(dest);
        if (c.account >= 0)
            user.checkAccount(c.account);
        for (const QString& name : c.clicks)
            user.field<QAbstractButton>(name)->click();
        for (const auto& combo : c.combos)
            user.field<QComboBox>(combo.first)->setCurrentIndex(combo.second);
        for (const auto& date : c.dates)
            user.field<QDateEdit>(date.first)->setDate(date.second);
        for (const auto& text : c.texts)
            user.field<QLineEdit>(text.first)->setText(text.second);
        user.clickExport();

        // Each cell drawn as a letter: red text, the deeper, pale or cut tint, or none.
        QStandardItemModel* log = user.log();
        QString shown, expected;
        for (int r = 0; r < log->rowCount(); ++r) {
            shown += " " + log->headerData(r, Qt::Vertical).toString() + ":";
            expected += " " + c.sheetRows.section(' ', r, r) + ":";
            for (int col = 0; col < log->columnCount(); ++col) {
                const QStandardItem* item = log->item(r, col);
                const QColor bg = item->background().style() == Qt::NoBrush ? QColor() : item->background().color();
                shown += item->foreground().style() != Qt::NoBrush && item->foreground().color() == markedText ? "r" : "";
                shown += bg == QColor(0xf5, 0xb5, 0xba) ? "d" : bg == QColor(0xfb, 0xe1, 0xe3) ? "p" : bg == QColor(0xfd, 0xdc, 0xbf) ? "t" : bg.isValid() ? "?" : ".";
                const bool markedRow = std::any_of(c.marked.begin(), c.marked.end(), [r](const Cell& m) { return m.first == r; });
                expected += c.marked.contains({r, col}) ? "rd" : c.cut.contains({r, col}) ? "t" : markedRow ? "p" : ".";
            }
        }
        QCOMPARE(shown, expected);
        QCOMPARE(log->index(0, c.amountColumn).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
        // The log ends with what became of the batch; a batch written holds every row, so its
        // total is the summary's.
        const QString fate = c.upload.isEmpty()
            ? QStringLiteral("Nothing written: ERROR!")
            : "Upload file written to " + dest + ": 2 records, total " + QString(c.log.at(1)).remove("Total amounts: ");
        QCOMPARE(user.logText(), QStringList(c.log << fate).join('\n'));

        QCOMPARE(user.boxes.size(), 1);
        QCOMPARE(user.boxes.at(0).text, QString(c.upload.isEmpty() ? "ERROR!" : "Done!"));
        QCOMPARE(user.boxes.at(0).kind, c.upload.isEmpty() ? Messages::Kind::Critical : Messages::Kind::Information);
        QCOMPARE(user.boxes.at(0).parent, user.form());
        QCOMPARE(expect::fileBytes(dest), c.upload.isEmpty() ? QByteArray("<missing>") : c.upload);
        QVERIFY(!QFile::exists(dest + ".details"));
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
        const QStandardItemModel* before = user.log();
        QSignalSpy changes(user.window(), &MainWindow::SIG_Excel_Changed);

        user.chooseType(type);

        // A new log table owned by the window, its last column stretched.
        QVERIFY(user.log() != before && user.log()->parent() == user.window());
        QVERIFY(user.widget<QTableView>("tableView")->horizontalHeader()->stretchLastSection());
        // Whatever the sheet list said while emptying, no workbook is named any more.
        for (const QList<QVariant>& change : qAsConst(changes))
            QCOMPARE(change.at(1).toString(), QString());
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

    void typingIntoTheAccountsTable_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("group");
        QTest::addColumn<bool>("cellClicked");
        QTest::addColumn<bool>("deleteAfterAdd");
        const QList<QPair<int, QString>> types{{1, "Credit"}, {2, "Collection"}, {3, "Payroll"}};
        for (const auto& t : types) {
            QTest::addRow("%s, a cell clicked", qPrintable(t.second)) << t.first << t.second << true << false;
            QTest::addRow("%s, no cell clicked", qPrintable(t.second)) << t.first << t.second << false << false;
            QTest::addRow("%s, Delete after Add", qPrintable(t.second)) << t.first << t.second << true << true;
        }
    }
    void typingIntoTheAccountsTable()
    {
        QFETCH(int, type);
        QFETCH(QString, group);
        QFETCH(bool, cellClicked);
        QFETCH(bool, deleteAfterAdd);
        expect::writeAccounts(WindowDriver::settingsPath(), group, {{"1111111111", "1111/11111/AAAA"}});
        WindowDriver user;
        QApplication::setActiveWindow(user.window());
        QVERIFY(QTest::qWaitForWindowActive(user.window()));
        user.chooseType(type);
        auto* table = user.field<QTableView>("tblAcc");
        const auto rows = [table] {
            QStringList texts;
            for (int r = 0; r < table->model()->rowCount(); ++r)
                texts << table->model()->index(r, 1).data().toString() + "|" + table->model()->index(r, 2).data().toString();
            return texts;
        };
        if (cellClicked)
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                              table->visualRect(table->model()->index(0, 2)).center());

        QTest::mouseClick(user.field<QPushButton>("btnAdd"), Qt::LeftButton);
        if (deleteAfterAdd) {
            QTest::mouseClick(user.field<QPushButton>("btnDel"), Qt::LeftButton);
            QCOMPARE(rows(), QStringList{"1111111111|1111/11111/AAAA"});
            return;
        }
        QTest::keyClicks(QApplication::focusWidget(), "2222222222");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "2222/22222/BBBB");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(rows(), (QStringList{"1111111111|1111/11111/AAAA", "2222222222|2222/22222/BBBB"}));
    }

    void settingsSaveVerdict_data()
    {
        QTest::addColumn<bool>("comment");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("box");
        QTest::newRow("write refused") << false << true << "Settings could not be saved";
        QTest::newRow("a comment line") << true << false << "Settings have been saved!";
        QTest::newRow("a comment line, write refused") << true << true << "Settings could not be saved";
    }
    void settingsSaveVerdict()
    {
        QFETCH(bool, comment);
        QFETCH(bool, refused);
        QFETCH(QString, box);
        expect::writeSettings(WindowDriver::settingsPath(), "Payroll", {{"AccountName", 1}, {"Amount", 3}});
        expect::writeAccounts(WindowDriver::settingsPath(), "Payroll", {{"1111111111", ""}});
        const QString book = workbook("staff.xlsx", {{"Name", "1234567890", 100}});

        WindowDriver user;
        user.chooseType(3);
        user.browseSource(book);
        QTest::mouseClick(user.field<QPushButton>("btnAdd"), Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), "2222222222");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        // Added after the form was read, as a person edits the file while the window is open.
        if (comment)
            addComment();
        {
            std::optional<FileSizeLimit> full;
            if (refused)
                full.emplace(0);
            QTest::mouseClick(user.field<QPushButton>("btnSave"), Qt::LeftButton);
        }
        QCOMPARE(user.boxes.size(), 1);
        QCOMPARE(user.boxes.at(0).text, box);

        // Another type and back: the form shows what the file holds.
        user.chooseType(1);
        user.chooseType(3);
        const QStringList stored = refused ? QStringList{"1111111111"} : QStringList{"1111111111", "2222222222"};
        auto* accounts = user.field<QTableView>("tblAcc")->model();
        QStringList shown;
        for (int row = 0; row < accounts->rowCount(); ++row)
            shown << accounts->index(row, 1).data().toString();
        QCOMPARE(shown, stored);
        // Nor did the unsaved row reach the file by a later write.
        QCOMPARE(expect::fileBytes(WindowDriver::settingsPath()).contains("2222222222"), !refused);
        if (!refused)   // rewritten, without the line the reader did not understand
            QVERIFY(!expect::fileBytes(WindowDriver::settingsPath()).contains("# note"));
    }

    // A never-saved field takes the one column whose header names it, however
    // written; a field whose header text the next workbook also has keeps that
    // column wherever it moved. What was matched shows in the log and tooltips.
    void mappingFollowsHeaders_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("accountCombo");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("expects");
        QTest::addColumn<QString>("logTitle");
        QTest::addColumn<QStringList>("accountHeaders");   // first workbook, next workbook
        QTest::newRow("Auto Transfer") << 0 << "Transfer" << "cboTo" << "label_5"
                                       << "10 digits for a transfer within the bank" << "To Acc"
                                       << QStringList{"Credit Account", "credit_account"};
        QTest::newRow("Auto Credit") << 1 << "Credit" << "cboBnfAcc" << "label_3"
                                     << "10 digits within the bank, up to 34 digits for another bank"
                                     << "Acc #" << QStringList{"Acc No", "ACC #"};
        QTest::newRow("Auto Collection") << 2 << "Collection" << "cboAcc" << "label_3" << "10 digits" << "Acc #"
                                         << QStringList{"Account Number", "acc_no"};
        QTest::newRow("Payroll") << 3 << "Payroll" << "cboAcc" << "label_4" << "10 digits" << "Acc #"
                                 << QStringList{"acc no", "Account-Number"};
    }

    void mappingFollowsHeaders()
    {
        QFETCH(int, type);
        QFETCH(QString, group);
        QFETCH(QString, accountCombo);
        QFETCH(QString, caption);
        QFETCH(QString, expects);
        QFETCH(QString, logTitle);
        QFETCH(QStringList, accountHeaders);
        QSettings(WindowDriver::settingsPath(), QSettings::IniFormat).remove(group);
        expect::writeSettings(WindowDriver::settingsPath(), group, {{"HasColumnHeader", true}});
        WindowDriver user;
        user.chooseType(type);
        QCOMPARE(user.field<QLabel>(caption)->toolTip(), expects);

        user.browseSource(workbook("first.xlsx", {{"Amount", accountHeaders.at(0), "Notes"}}));
        auto* account = user.field<QComboBox>(accountCombo);
        auto* amount = user.field<QComboBox>("cboAmount");
        QCOMPARE(account->currentIndex(), 2);
        QCOMPARE(amount->currentIndex(), 1);
        QCOMPARE(account->toolTip(), "B: " + accountHeaders.at(0) + " (matched by header)");
        QCOMPARE(account->itemData(3, Qt::ToolTipRole).toString(), QString("C: Notes"));
        QCOMPARE(user.logText(), "Matched by header: " + logTitle + " \u2190 B: " + accountHeaders.at(0)
                                     + "\nMatched by header: Amount \u2190 A: Amount");

        // The user's own choice is kept by its header text, and is no match.
        amount->setCurrentIndex(3);
        QCOMPARE(amount->toolTip(), QString("C: Notes"));
        user.browseSource(workbook("next.xlsx", {{"Notes", "Amount", "Other", accountHeaders.at(1)}}));
        QCOMPARE(amount->currentIndex(), 1);
        QCOMPARE(account->currentIndex(), 4);
        QVERIFY(user.logText().endsWith("Matched by header: " + logTitle + " \u2190 D: " + accountHeaders.at(1)));

        // Without header texts nothing is matched or kept: the saved mapping as before.
        user.field<QCheckBox>("chkHeaders")->click();
        QCOMPARE(account->currentIndex(), 0);
        QCOMPARE(amount->currentIndex(), 0);
        QCOMPARE(amount->itemText(1), QString("A"));
    }

    // The Header ID moves on with every batch written, and only then; the same
    // payments again are asked about: No keeps everything as it was, Yes writes.
    void headerIdAdvances()
    {
        const QString good = workbook("good.xlsx", {transferRow("REF", "1234567890", 100)});
        WindowDriver user;
        auto* headerId = user.field<QLineEdit>("txtHeaderID");
        QCOMPARE(headerId->text(), QString("41"));
        // Added after the form was read: the count goes on past a line the reader does not understand.
        addComment();
        exportTransfer(user, good, m_dir.filePath("one.txt"));
        QCOMPARE(expect::fileBytes(m_dir.filePath("one.txt")), transferUpload("00000041", "REF"));
        QCOMPARE(headerId->text(), QString("42"));
        QCOMPARE(storedHeaderId().toInt(), 42);

        const QVector<kova::BatchEntry> written = kova::BatchRegister(kova::registerPathFor(WindowDriver::settingsPath())).history();
        QCOMPARE(written.size(), 1);
        exportTransfer(user, good, m_dir.filePath("again.txt"));
        QCOMPARE(user.boxes.at(1).kind, Messages::Kind::Question);
        QCOMPARE(user.boxes.at(1).text, kova::duplicateQuestion(written.first()));
        QVERIFY(!QFile::exists(m_dir.filePath("again.txt")));
        QCOMPARE(headerId->text(), QString("42"));
        Messages::setCapturedAnswer(true);
        exportTransfer(user, good, m_dir.filePath("again.txt"));
        QCOMPARE(expect::fileBytes(m_dir.filePath("again.txt")), transferUpload("00000042", "REF"));
        QCOMPARE(headerId->text(), QString("43"));

        // A number typed without saving goes into the batch; the count goes on from the stored one.
        headerId->setText("7");
        exportTransfer(user, workbook("other.xlsx", {transferRow("REF2", "1234567890", 100)}), m_dir.filePath("two.txt"));
        QCOMPARE(expect::fileBytes(m_dir.filePath("two.txt")), transferUpload("00000007", "REF2"));
        QCOMPARE(headerId->text(), QString("44"));
        QCOMPARE(storedHeaderId().toInt(), 44);

        // A refused batch uses no number.
        exportTransfer(user, workbook("bad.xlsx", {transferRow("REF", "123", 100)}), m_dir.filePath("three.txt"));
        QVERIFY(!QFile::exists(m_dir.filePath("three.txt")));
        QCOMPARE(headerId->text(), QString("44"));
        QCOMPARE(storedHeaderId().toInt(), 44);
        QStringList texts;
        for (const WindowDriver::Box& box : user.boxes)
            texts << box.text;
        QCOMPARE(texts, (QStringList{"Done!", texts.value(1), texts.value(1), "Done!", "Done!", "ERROR!"}));
    }

    // A workbook deleted or cut short after it was chosen: one message, and
    // neither the destination nor the Header ID moves.
    void workbookChangedAfterChoosing_data()
    {
        QTest::addColumn<bool>("deleted");
        QTest::newRow("deleted") << true;
        QTest::newRow("truncated") << false;
    }
    void workbookChangedAfterChoosing()
    {
        QFETCH(bool, deleted);
        QTemporaryDir folder;
        const QDir dir(folder.path());
        QVERIFY(expect::writeSheet(dir.filePath("book.xlsx"), "Data", {transferRow("REF", "1234567890", 1500)}));
        QFile earlier(dir.filePath("out.txt"));
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier batch\n") == 14);
        earlier.close();

        WindowDriver user;
        user.browseSource(dir.filePath("book.xlsx"));
        user.browseDestination(dir.filePath("out.txt"));
        QFile changed(dir.filePath("book.xlsx"));
        QVERIFY(deleted ? changed.remove() : changed.resize(changed.size() / 2));
        user.clickExport();

        QCOMPARE(user.boxes.size(), 1);
        QCOMPARE(user.boxes.at(0).text, QString("Error. Unable to select sheet Data"));
        QCOMPARE(user.boxes.at(0).kind, Messages::Kind::Critical);
        QCOMPARE(expect::fileBytes(dir.filePath("out.txt")), QByteArray("earlier batch\n"));
        QCOMPARE(storedHeaderId().toInt(), 41);
        QStringList left = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        left.removeOne("book.xlsx");
        QCOMPARE(left, QStringList{"out.txt"});
    }
};

QTEST_MAIN(TestWindowWorkflow)
#include "tst_window_workflow.moc"
