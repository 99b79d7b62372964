// What a user meets around the exports: switching the transaction type after
// a run, running again after fixing the sheet, and the Header ID that moves on
// with every transfer batch written.

#include "expect.h"
#include "filesizelimit.h"
#include "register/batchregister.h"
#include "register/batchtexts.h"
#include "forms/common/transactionform.h"
#include "windowdriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTextDocument>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

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

// Puts a line the settings reader does not understand, as a person may add
// one, at the top of the settings file.
void addComment()
{
    const QByteArray held = fileBytes(WindowDriver::settingsPath());
    QFile file(WindowDriver::settingsPath());
    if (!file.open(QIODevice::WriteOnly) || file.write("# note\n" + held) != held.size() + 7)
        qFatal("settings file not written");
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
        {
            QSettings ini(WindowDriver::settingsPath(), QSettings::IniFormat);
            ini.setValue(group + "/Accounts/size", 1);
            ini.setValue(group + "/Accounts/1/Account", "1111111111");
            ini.setValue(group + "/Accounts/1/CompID", "1111/11111/AAAA");
        }
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
        {
            QSettings ini(WindowDriver::settingsPath(), QSettings::IniFormat);
            ini.setValue("Payroll/AccountName", 1);
            ini.setValue("Payroll/Amount", 3);
            ini.setValue("Payroll/Accounts/size", 1);
            ini.setValue("Payroll/Accounts/1/Account", "1111111111");
        }
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
        QCOMPARE(fileBytes(WindowDriver::settingsPath()).contains("2222222222"), !refused);
        if (!refused)   // rewritten, without the line the reader did not understand
            QVERIFY(!fileBytes(WindowDriver::settingsPath()).contains("# note"));
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
        {
            QSettings ini(WindowDriver::settingsPath(), QSettings::IniFormat);
            ini.remove(group);
            ini.setValue(group + "/HasColumnHeader", true);
        }
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

    // The log table numbers each row after its sheet row, tints a cut cell and
    // deepens an offending one; the processing log ends with the batch's fate.
    void logPointsAtTheSheet_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("lastLine");
        QTest::addColumn<QColor>("fromBackground");
        QTest::newRow("written") << "1234567890" << "Upload file written to %1: 2 records, total 300,00"
                                 << QColor();
        QTest::newRow("refused") << "12" << "Nothing written: ERROR!" << QColor(0xf5, 0xb5, 0xba);
    }

    void logPointsAtTheSheet()
    {
        QFETCH(QString, from);
        QFETCH(QString, lastLine);
        QFETCH(QColor, fromBackground);
        QSettings(WindowDriver::settingsPath(), QSettings::IniFormat).setValue("Transfer/HasColumnHeader", true);
        const QString dest = m_dir.filePath("fate.txt");
        WindowDriver user;
        exportTransfer(user, workbook("fate.xlsx", {{"Ref", "Debit", "Payee", "Sum", "Kind"},
                                                    transferRow("R1", "1234567890", 100),
                                                    transferRow(QString(31, 'X'), from, 200)}),
                       dest);
        QAbstractItemModel* log = user.log();
        QCOMPARE(log->rowCount(), 2);
        QCOMPARE(log->headerData(0, Qt::Vertical).toString(), QString("2"));
        QCOMPARE(log->headerData(1, Qt::Vertical).toString(), QString("3"));
        QCOMPARE(qvariant_cast<QBrush>(log->index(1, 0).data(Qt::BackgroundRole)).color(), QColor(0xfd, 0xdc, 0xbf));
        QCOMPARE(qvariant_cast<QBrush>(log->index(0, 0).data(Qt::BackgroundRole)).style(), Qt::NoBrush);
        QCOMPARE(qvariant_cast<QBrush>(log->index(1, 1).data(Qt::BackgroundRole)).style() == Qt::NoBrush, !fromBackground.isValid());
        if (fromBackground.isValid())
            QCOMPARE(qvariant_cast<QBrush>(log->index(1, 1).data(Qt::BackgroundRole)).color(), fromBackground);
        QVERIFY(user.logText().endsWith("\n" + lastLine.arg(dest)));
    }

    void headerIdAdvancesPastACommentLine()
    {
        WindowDriver user;
        user.browseSource(workbook("good.xlsx", {transferRow("REF", "1234567890", 100)}));
        user.browseDestination(m_dir.filePath("one.txt"));
        user.field<QDateEdit>("dteEffDate")->setDate(QDate(2025, 2, 3));
        addComment();
        user.clickExport();
        QCOMPARE(fileBytes(m_dir.filePath("one.txt")), transferUpload("00000041", "REF"));
        QCOMPARE(user.boxes.size(), 1);
        QCOMPARE(user.boxes.at(0).text, QString("Done!"));
        QCOMPARE(user.field<QLineEdit>("txtHeaderID")->text(), QString("42"));
        QCOMPARE(QSettings(WindowDriver::settingsPath(), QSettings::IniFormat).value("Transfer/HeaderID").toInt(), 42);
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

    void cancelWritesNothing_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("cancelled") << true;
        QTest::newRow("to the end") << false;
    }

    // Cancel pressed while the rows are read leaves every file as it was;
    // otherwise the progress reaches the sheet's rows.
    void cancelWritesNothing()
    {
        QFETCH(bool, cancel);
        QList<QVariantList> rows;
        for (int i = 0; i < 9000; ++i)
            rows.append(transferRow("R" + QString::number(i), "1234567890", 100));
        const QString dest = m_dir.filePath("big.txt");
        WindowDriver user;
        QPair<int, int> last;
        // Blocking: the export waits until the window has pressed Cancel.
        connect(qobject_cast<TransactionForm*>(user.form()), &TransactionForm::SIG_TRX_PROGRESS, user.window(),
                [&](int done, int total) {
                    last = {done, total};
                    if (cancel)
                        user.widget<QPushButton>("btnCancel")->click();
                }, Qt::BlockingQueuedConnection);
        exportTransfer(user, workbook("big.xlsx", rows), dest);

        QCOMPARE(QFile::exists(dest), !cancel);
        QCOMPARE(QDir(m_dir.path()).entryList({"*.details"}), QStringList());
        QCOMPARE(user.field<QLineEdit>("txtHeaderID")->text(), QString(cancel ? "41" : "42"));
        QCOMPARE(QSettings(WindowDriver::settingsPath(), QSettings::IniFormat).value("Transfer/HeaderID").toInt(),
                 cancel ? 41 : 42);
        QCOMPARE(user.logText() == "Export cancelled: nothing written", cancel);
        QCOMPARE(last, cancel ? qMakePair(4096, 9000) : qMakePair(9000, 9000));
    }

    // The same payments again: the window asks, No keeps everything as it was, Yes writes.
    void repeatedBatchIsAsked()
    {
        const QString good = workbook("good.xlsx", {transferRow("REF", "1234567890", 100)});
        WindowDriver user;
        exportTransfer(user, good, m_dir.filePath("first.txt"));
        kova::BatchRegister batches(kova::registerPathFor(WindowDriver::settingsPath()));
        const QVector<kova::BatchEntry> written = batches.history();
        QCOMPARE(written.size(), 1);
        const QString question = kova::duplicateQuestion(written.first());

        exportTransfer(user, good, m_dir.filePath("again.txt"));
        QCOMPARE(user.boxes.size(), 2);
        QCOMPARE(user.boxes.at(1).kind, Messages::Kind::Question);
        QCOMPARE(user.boxes.at(1).text, question);
        QVERIFY(!QFile::exists(m_dir.filePath("again.txt")));
        QCOMPARE(user.field<QLineEdit>("txtHeaderID")->text(), QString("42"));

        Messages::setCapturedAnswer(true);
        exportTransfer(user, good, m_dir.filePath("again.txt"));
        QCOMPARE(user.boxes.size(), 4);
        QCOMPARE(user.boxes.at(3).text, QString("Done!"));
        QCOMPARE(fileBytes(m_dir.filePath("again.txt")), transferUpload("00000042", "REF"));
        QCOMPARE(user.field<QLineEdit>("txtHeaderID")->text(), QString("43"));
    }
};

QTEST_MAIN(TestWindowWorkflow)
#include "tst_window_workflow.moc"
