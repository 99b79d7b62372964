// The real main window driven as a user drives it: each type exported, and what moves on between runs.

#include "encryptpackage.h"
#include "expect.h"
#include "programrun.h"
#include "filesizelimit.h"
#include "recordingsink.h"
#include "testpackage.h"
#include "testworkbook.h"
#include "windowlog.h"
#include "core/transfer/transferexport.h"
#include "widgets/filedialogs.h"
#include "widgets/messages.h"
#include "widgets/passwordprompt.h"
#include "forms/base/transactionform.h"
#include "widgets/clock.h"
#include "register/batchregister.h"
#include "register/batchtexts.h"
#include "run/exportrun.h"
#include "settings/sourceaccount.h"
#include "types/registry.h"
#include "app/uploadcheckdialog.h"

#include <QCryptographicHash>
#include <QtTest>

namespace {

using expect::pad;
using expect::sp;

QString settingsPath() { return QDir(QCoreApplication::applicationDirPath()).filePath("kova.ini"); }
// Today as the window sees it: noon of day.
void setToday(const QDate& day) { kova::setClock([day] { return QDateTime(day, QTime(12, 0)); }); }
QString storedHeaderId() { return QSettings(settingsPath(), QSettings::IniFormat).value("Transfer/HeaderID").toString(); }

// Answers the dialogs from a queue, keeps the boxes as "<window or form> <kind>: <first line>", and their
// whole texts apart. Write the settings first.
class WindowDriver final
{
public:
    WindowDriver()
    {
        Messages::setPresenter([this](QWidget* parent, Messages::Kind kind, const QString& text) {
            const QStringList kinds{"critical", "information", "question"};
            boxes << QString(parent == window.data() ? "window " : parent == form() ? "form " : "other ") + kinds.at(int(kind)) + ": "
                         + text.section('\n', 0, 0);
            boxTexts << text;
        });
        FileDialogs::setChooser([this](QWidget*, FileDialogs::Mode, const QString&, const QString&, const QString&) {
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
        QFile::remove(kova::registerPathFor(settingsPath()));   // no batch written yet
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.data()));
    }
    ~WindowDriver() { Messages::setCapturedAnswer(false); }

    QWidget* form() const { return window->findChild<QHBoxLayout*>("horzFormUI")->itemAt(0)->widget(); }
    template<typename T> T* field(const QString& name) const { return form()->findChild<T*>(name); }
    void chooseType(int index) { window->findChild<QComboBox*>("cboTrxType")->setCurrentIndex(index); }
    void browse(const char* button, const QString& answer)
    {
        answers << answer;
        QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
        QVERIFY(workbookRead(window.data()));
    }
    // An export the click starts runs to its end, every report of it served.
    void click(const char* button)
    {
        auto* hosted = qobject_cast<TransactionForm*>(form());
        QSignalSpy finished(hosted, &TransactionForm::exportFinished);
        QTest::mouseClick(field<QPushButton>(button), Qt::LeftButton);
        if (hosted->exporting())
            QVERIFY(finished.wait(60000));
    }

    const QScopedPointer<MainWindow> window{new MainWindow};
    QStringList boxes, boxTexts, answers;
};

struct ExportCase
{
    int type;
    QString group;                         // the settings file as an earlier session saved it
    QVariantMap keys;
    QList<QPair<QString, QString>> accounts;
    QList<QVariantList> rows;              // the "Data" sheet, titles in row 1
    QList<QPair<QString, QVariant>> set;   // what the user sets before Export: by name a click, a combo index, a date, a text; "account" checked
    QStringList log;                       // what the window shows afterwards
    QString picture;
    QByteArray upload;
    QString leftOut = {};                  // what the log's closing line says the filters left out
};

QList<ExportCase> exportCases()
{
    const auto credit = [](const QString& account, const QString& amount, const QString& name, const QString& remarks) {
        return "1" + pad(account, 34) + sp(18) + amount + pad(name, 70) + "B" + sp(13) + sp(40) + pad(remarks, 18) + sp(36) + "  014\n";
    };
    const auto collection = [](const QString& account, const QString& amount, const QString& name, const QString& flags) {
        return "1" + account + sp(24) + "0000" + amount + pad(name, 35) + sp(36) + flags + sp(70) + "014\n";
    };
    // Transfer in WDK mode, the form's start: the LLG row is not part of the batch.
    return {{0, "Transfer",
        {{"TrxRef", 1}, {"FromAcc", 2}, {"ToAcc", 3}, {"Amount", 4}, {"Remarks1", 5}, {"Remittance", 6}, {"HasColumnHeader", true},
         {"CompanyID", "ABCDE12345"}, {"HeaderID", "41"}}, {},
        {{"Ref", "From", "To", "Amount", "Remarks", "Type"}, {"REF-001", "1234567890", "0987654321", 1500000.5, "Salary May", "WDK"},
         {"REF-002", "1234567890", "1111111111", 250, QVariant(), "LLG"},
         {"REF-003", "1234567890", "2222222222", 75.25, "A remark that is too long", "wdk"}},
        {{"dteEffDate", QDate(2025, 1, 5)}},
        expect::summary("2 of 3", "1.500.075,75", 1, 0) << separator << "LINE 2: Warning. String truncated in Remarks 1. Exceeding 18 characters",
        "2: . . . > . . . . . . . . . . . .|4: . . . > t . . . . . . . . . . .",
        "0|FT|00000041|||20250105|ABCDE12345|1500075.75|00002|WDK|IDR|\n"
        "1|00001|REF-001|1234567890|0987654321|1500000.50|Salary May||||||||||||\n"
        "1|00002|REF-003|1234567890|2222222222|75.25|A remark that is t||||||||||||\n", "; 1 LLG/RTGS row left out in WDK mode"},
        {1, "Credit", {{"Beneficary", 1}, {"BnfAccount", 2}, {"Amount", 3}, {"Remittance", 4}, {"Remarks1", 5}, {"HasColumnHeader", true}},
         {{"1111111111", "1234/56789/ABCD"}, {"0123456789", "5678/12345/wxyz"}},
         {{"Name", "Account", "Amount", "Type", "Remarks"}, {"PT Maju Jaya", "9876543210", 2500000, "WDK", "Invoice 77"},
          {"CV Sentosa", "5555555555", 1000, "RTG", QVariant()}, {"Budi Santoso", "1234512345", 300.75, "Wdk", QVariant()}},
         {{"account", 1}, {"radioButton_3", true}, {"cboWDK", 1}, {"dteEffDate", QDate(2024, 3, 5)}, {"txtRemarks1", "JUNE PAYOUT"}},
         expect::summary("2 of 3", "2.500.300,75", 0, 0) << separator, "2: . . > . . . . . . .|4: . . > . . . . . . .",
         QString("0MP202403050123456789 56782345" + sp(15) + "00000000002500300.75" + "00002" + "WDK" + sp(15) + pad("JUNE PAYOUT", 18)
                 + sp(150) + "\n" + credit("9876543210", "00000000002500000.00", "PT Maju Jaya", "Invoice 77")
                 + credit("1234512345", "00000000000000300.75", "Budi Santoso", "")).toLatin1(), "; 1 LLG/RTGS row left out in WDK mode"},
        // The April row lies outside the date filter and takes no line number.
        {2, "Collection",
         {{"AccountName", 1}, {"AccountNumber", 2}, {"Amount", 3}, {"Residence", 4}, {"Citizen", 5}, {"TrxDate", 6}, {"HasColumnHeader", true}},
         {{"0011223344", "4321/98765/KOVA"}},
         {{"Name", "Account", "Amount", "Res", "Cit", "Date"}, {"Siti Aminah", "1000000001", 125000, 1, 0, QDate(2024, 5, 2)},
          {"Out Of Range", "1000000002", 10, 0, 0, QDate(2024, 4, 30)}, {"Agus Salim", "1000000003", 99.9, 0, 1, QDate(2024, 5, 31)}},
         {{"account", 0}, {"radioButton_3", true}, {"dteEffDate", QDate(2024, 6, 3)}, {"dteFrom", QDate(2024, 5, 1)}, {"dteTo", QDate(2024, 5, 31)},
             {"txtRemarks1", "COLL JUNE"}},
         expect::summary("2 of 3", "125.099,90", 0, 0) << separator, "2: . . > . . . .|4: . . > . . . .",
         QString("0CO202406030011223344 43218765" + sp(15) + "00000000000125099.90" + "00002" + pad("COLL JUNE", 18) + sp(113) + "\n"
                 + collection("1000000001", "0000000125000.00", "Siti Aminah", "10")
                 + collection("1000000003", "0000000000099.90", "Agus Salim", "01")).toLatin1(),
         "; 1 row outside 01 May 2024 - 31 May 2024 left out"},
        {3, "Payroll",
         {{"AccountName", 1}, {"AccountNumber", 2}, {"Amount", 3}, {"EmployeeID", 4}, {"Department", 5}, {"HasColumnHeader", true}},
         {{"9988776655", "1234/56789/ABCD"}},
         {{"Name", "Account", "Amount", "EmpID", "Dept"}, {"Dewi Lestari", "3333333333", 4750000, "EMP-0001", "FIN"},
          {"Rudi Hartono", "4444444444", 5200000.5, "EMP-0002-LONG", "OPS"}},
         {{"account", 0}, {"rdbAfter", true}, {"dteEffDate", QDate(2024, 7, 9)}},
         expect::summary("2 of 2", "9.950.000,50", 1, 0) << separator << "LINE 2: Warning. String truncated in Employee ID. Exceeding 10 characters",
         "2: . . > . .|3: . . > t .",
         QString(sp(11) + "123406789ABCD0901" + "9988776655" + "010000002" + "00000009950000.50" + "072024\n"
                 + "0" + "3333333333" + "000000475000000" + "EMP-0001  " + pad("Dewi Lestari", 30) + "FIN \n"
                 + "0" + "4444444444" + "000000520000050" + "EMP-0002-L" + pad("Rudi Hartono", 30) + "OPS \n").toLatin1()}};
}

// A transfer row of the sheet, and the upload its batch makes.
QVariantList transferRow(const QString& ref, const QString& from) { return {ref, from, "0987654321", 100, "WDK"}; }
QByteArray transferUpload(const QString& headerId, const QString& ref)
{
    return ("0|FT|" + headerId + "|||20250203|ABCDE12345|100.00|00001|WDK|IDR|\n1|00001|" + ref
            + "|1234567890|0987654321|100.00|||||||||||||\n").toLatin1();
}

// Puts a line the settings reader does not understand, as a person may add one, at the top of the file.
void addComment()
{
    const QByteArray held = expect::fileBytes(settingsPath());
    QFile file(settingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("# note\n" + held) == held.size() + 7);
}

// The contrast ratio of two colours as accessibility guidelines define it, 1 to 21.
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

} // namespace

Q_DECLARE_METATYPE(ExportCase)

class TestWindowWorkflow final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString workbook(const QString& name, const QList<QVariantList>& rows)
    {
        return expect::writeSheet(m_dir.filePath(name), "Data", rows) ? m_dir.filePath(name) : QString();
    }
    // Browses book, picks dest and exports with the transfer form as saved.
    void exportTransfer(WindowDriver& user, const QString& book, const QString& dest)
    {
        user.browse("btnSrc", book);
        user.browse("btnDest", dest);
        user.field<QDateEdit>("dteEffDate")->setDate(QDate(2025, 2, 3));
        user.click("btnExport");
    }

private slots:
    void init()
    {
        cleanup();
        setToday(QDate(2025, 2, 3));   // the effective date exportTransfer() sets
        expect::writeSettings(settingsPath(), "Transfer", {{"TrxRef", 1}, {"FromAcc", 2}, {"ToAcc", 3}, {"Amount", 4}, {"Remittance", 5},
                                                          {"HasColumnHeader", false}, {"CompanyID", "ABCDE12345"}, {"HeaderID", 41}});
    }
    void cleanup()
    {
        QFile::remove(settingsPath());
        kova::setClock({});
    }

    // Each case also with its columns in reverse order, the mapping saved with their
    // titles: every field follows its title, and the batch is the same.
    void exportByType_data()
    {
        QTest::addColumn<ExportCase>("c");
        for (const ExportCase& c : exportCases()) {
            QTest::newRow(qPrintable(c.group)) << c;
            ExportCase reversed = c;
            const int width = c.rows.first().size();
            for (auto it = c.keys.cbegin(); it != c.keys.cend(); ++it)
                if (it.value().userType() == QMetaType::Int)
                    reversed.keys.insert(it.key() + "Header", c.rows.first().at(it.value().toInt() - 1));
            for (QVariantList& row : reversed.rows) {
                row = row.mid(0, width);
                while (row.size() < width)
                    row.append(QVariant());
                std::reverse(row.begin(), row.end());
            }
            QTest::newRow(qPrintable(c.group + " reversed")) << reversed;
        }
    }
    // Settings saved earlier, the data on the second sheet, the form's last choices made, Export pressed.
    void exportByType()
    {
        QFETCH(ExportCase, c);
        cleanup();
        expect::writeSettings(settingsPath(), c.group, c.keys);
        expect::writeAccounts(settingsPath(), c.group, c.accounts);
        const QString book = m_dir.filePath(QStringLiteral("%1.xlsx").arg(QString(QTest::currentDataTag()).replace(' ', '-')));
        TestWorkbook workbook(book);
        workbook.addSheet("Cover").setCell(1, 1, "Batch of the month").addSheet("Data");
        for (int r = 0; r < c.rows.size(); ++r)
            workbook.setRow(r + 1, c.rows.at(r));
        QVERIFY(workbook.save());
        const QString dest = m_dir.filePath(QStringLiteral("%1.txt").arg(QString(QTest::currentDataTag()).replace(' ', '-')));
        for (const auto& s : c.set)
            if (s.first == "dteEffDate")
                setToday(s.second.toDate());

        WindowDriver user;
        user.chooseType(c.type);
        user.browse("btnSrc", book);
        user.window->findChild<QComboBox*>("cboSheets")->setCurrentText("Data");
        user.browse("btnDest", dest);
        auto* accounts = user.field<QTableView>("tblAcc");
        for (const auto& s : c.set) {
            QWidget* w = s.first == "account" ? accounts->indexWidget(accounts->model()->index(s.second.toInt(), 0)) : user.field<QWidget>(s.first);
            if (auto* button = qobject_cast<QAbstractButton*>(w))
                button->click();
            else if (auto* combo = qobject_cast<QComboBox*>(w))
                combo->setCurrentIndex(s.second.toInt());
            else   // a date or a text
                w->metaObject()->userProperty().write(w, s.second);
        }
        user.click("btnExport");

        QCOMPARE(cellPicture(user.window.data()), c.picture);
        // The log ends with what became of the batch; a batch written holds every row, so its total is the summary's.
        const QString fate = "Upload file written to " + dest + ": 2 records, total " + c.log.at(1).mid(15) + c.leftOut;
        QCOMPARE(logText(user.window.data()), QStringList(c.log << fate).join('\n'));
        QCOMPARE(user.boxes, QStringList{"form information: Done!"});
        // The box says what the log's last line says, a line each: records and total, the transfer's Header ID, the file, what was left out.
        QCOMPARE(user.boxTexts, QStringList{"Done!\n2 records written, total " + c.log.at(1).mid(15) + (c.type == 0 ? ", Header ID 41" : "")
                                            + "\nFile: " + dest + (c.leftOut.isEmpty() ? "" : "\n" + c.leftOut.mid(2))});
        QCOMPARE(expect::fileBytes(dest), c.upload);

        // Its approval summary, offered once written, is of those very bytes.
        auto* summary = user.window->findChild<QPushButton*>("btnSummary");
        QVERIFY(summary->isVisible());
        const QString pdf = m_dir.filePath("summary.pdf");
        QFile::remove(pdf);
        user.answers << pdf;
        summary->click();
        const QString sha = QCryptographicHash::hash(c.upload, QCryptographicHash::Sha256).toHex();
        const QString text = pdfPages(pdf).join(QString());
        QVERIFY2(text.contains("Payments: 2\n") && text.contains("SHA-256 of the upload file: " + sha + "\n"), qPrintable(text));
        QCOMPARE(user.boxes, QStringList{"form information: Done!"});
    }

    // A summary is of the batch just written: not of a file changed since, and not offered once the
    // next export starts.
    void summaryOnlyOfTheBatchWritten()
    {
        const QString dest = m_dir.filePath("summary.txt");
        QString book = workbook("summary.xlsx", {{"REF1", "1234567890", "0987654321", "1500", "WDK"}});
        WindowDriver user;
        exportTransfer(user, book, dest);
        QCOMPARE(user.boxes, QStringList{"form information: Done!"});
        auto* summary = user.window->findChild<QPushButton*>("btnSummary");
        auto* action = user.window->findChild<QAction*>("actSummary");
        QVERIFY(summary->isVisible() && action->isEnabled());

        QFile upload(dest);
        QVERIFY(upload.open(QIODevice::Append) && upload.write("0") == 1);
        upload.close();
        const QString pdf = m_dir.filePath("changed.pdf");
        user.answers << pdf;
        action->trigger();
        QCOMPARE(user.boxTexts.last(), "Unable to write summary " + QDir::toNativeSeparators(pdf)
                                           + ": The upload file changed after it was written");
        QVERIFY(!QFile::exists(pdf));

        // The next export writes nothing: no summary is offered for the batch before it.
        book = workbook("summary.xlsx", {{"REF1", "1234567890", "0987654321", "abc", "WDK"}});
        Messages::setCapturedAnswer(true);   // over the upload file written before
        user.click("btnExport");
        QCOMPARE(user.boxes.last(), QString("form critical: ERROR!"));
        QVERIFY(!summary->isVisible() && !action->isEnabled());
    }

    // "Check an upload file...": any upload file, checked off the window's thread, its lines as
    // kova-export verify prints them.
    void checkAnUploadFile()
    {
        const QString file = m_dir.filePath("checked.txt");
        QFile upload(file);
        // A payroll header announcing two records of 1,000.00 and 250.00, with one of them cut short.
        QVERIFY(upload.open(QIODevice::WriteOnly));
        upload.write("           123406789ABCD2501111111111100000000200000000001250.00122026\n"
                     "03333333333000000000100000          DEWI                          D1  \n"
                     "04444444444000000000025000          BUDI                          \n");
        upload.close();
        WindowDriver user;
        user.answers << file;
        user.window->findChild<QAction*>("actCheckUpload")->trigger();
        auto* dialog = user.window->findChild<UploadCheckDialog*>();
        QVERIFY(dialog);
        QSignalSpy checked(dialog, &UploadCheckDialog::checked);
        QVERIFY(!dialog->verdict().isEmpty() || checked.wait(20000));
        QCOMPARE(dialog->verdict(), QString("1 problem: the bank would refuse this file"));
        const QString sha = QCryptographicHash::hash(expect::fileBytes(file), QCryptographicHash::Sha256).toHex();
        QCOMPARE(dialog->text(), "Type: Payroll\nEffective date: 2026-12-25\nRecords: 2\nTotal: 1.250,00\nSHA-256: " + sha
                                     + "\nRegister: none at " + kova::registerPathFor(settingsPath()) + "\nProblems: 1\n"
                                       "-------------------------------------\n"
                                       "LINE 3: is 66 bytes long, not 70\n");
    }

    // A workbook saved with a password is asked for it once: its sheets are listed and the export
    // writes what its plain twin writes. Changed on disk, it is read again with the same password;
    // changed to another password, the export is refused and the workbook chosen again asks for it.
    // The password is in no box, no log line and not in the settings file.
    void passwordProtectedExport()
    {
        const QString plain = QStringLiteral(KOVA_FIXTURES "/batch.xlsx");
        const QString locked = m_dir.filePath("locked.xlsx");
        const QString dest = m_dir.filePath("locked.txt");
        const auto lock = [&](const QString& password, EncryptedStreams::Kind kind) {
            const QByteArray bytes = EncryptedStreams::of(expect::fileBytes(plain), password, kind).file();
            QFile file(locked);
            return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        };
        QStringList asked, given;
        PasswordPrompt::setPresenter([&](QWidget*, const QString& text) -> std::optional<QString> {
            asked << text;
            return given.isEmpty() ? std::nullopt : std::optional<QString>(given.takeFirst());
        });
        const auto exported = [&](const QString& book, const std::function<void(WindowDriver&)>& meanwhile) {
            cleanup();
            setToday(QDate(2026, 12, 7));
            QVariantMap values{{"HasColumnHeader", true}, {"HeaderID", 42}, {"CompanyID", "ABCDE12345"}};
            const QStringList keys{"TrxRef", "TrxDate", "FromAcc", "ToAcc", "Amount", "Remittance",
                                   "BICode", "Bank", "Branch", "Beneficiary", "CustType", "Residence"};
            for (int i = 0; i < keys.size(); ++i)
                values.insert(keys.at(i), i + 1);
            expect::writeSettings(settingsPath(), "Transfer", values);
            QFile::remove(dest);
            WindowDriver user;
            user.browse("btnSrc", book);
            user.browse("btnDest", dest);
            meanwhile(user);
            user.field<QDateEdit>("dteEffDate")->setDate(QDate(2026, 12, 7));
            user.field<QDateEdit>("dteFrom")->setDate(QDate(2026, 12, 1));
            user.field<QDateEdit>("dteTo")->setDate(QDate(2026, 12, 31));
            user.click("btnExport");
            const QString log = logText(user.window.data());
            const QString seen = user.boxes.join('|') + log + expect::fileBytes(settingsPath());
            return QStringList{user.boxes.join('|'), log.split('\n').value(0), QString::fromLatin1(expect::fileBytes(dest)),
                               QString::number(seen.contains("kova-secret") || seen.contains("kova-other"))};
        };
        const QStringList twin = exported(plain, [](WindowDriver&) {});
        QCOMPARE(twin.at(0), QString("form information: Done!"));
        QVERIFY(twin.at(2).startsWith("0|FT|00000042|||20261207|ABCDE12345|1750000.50|00002|WDK|IDR|\n"));
        QCOMPARE(asked, QStringList{});

        QVERIFY(lock("kova-secret", EncryptedStreams::Kind::Agile));
        given = QStringList{"kova-secret"};
        QCOMPARE(exported(locked, [](WindowDriver&) {}), twin);
        QCOMPARE(asked, QStringList{"Password for locked.xlsx:"});

        asked.clear();
        given = QStringList{"kova-secret"};
        const QStringList reread = exported(locked, [&](WindowDriver&) { QVERIFY(lock("kova-secret", EncryptedStreams::Kind::Standard)); });
        QCOMPARE(reread.at(1), QString("Workbook read again: it changed on disk since it was chosen"));
        QCOMPARE(QStringList{reread.at(0)} + reread.mid(2), QStringList{twin.at(0)} + twin.mid(2));
        QCOMPARE(asked, QStringList{"Password for locked.xlsx:"});

        asked.clear();
        given = QStringList{"kova-secret", "kova-other"};
        const QStringList refused = exported(locked, [&](WindowDriver& user) {
            QVERIFY(lock("kova-other", EncryptedStreams::Kind::Agile));
            user.click("btnExport");
            QCOMPARE(user.boxes, QStringList{"form critical: Error. Unable to select sheet Batch: the password is wrong"});
            QVERIFY(!QFile::exists(dest));
            user.boxes.clear();
            user.browse("btnSrc", locked);
        });
        QCOMPARE(QStringList{refused.at(0)} + refused.mid(2), QStringList{twin.at(0)} + twin.mid(2));
        QCOMPARE(asked, (QStringList{"Password for locked.xlsx:", "Wrong password for the workbook\nPassword for locked.xlsx:"}));
        PasswordPrompt::setPresenter({});
    }

    // A batch not written says why, in the box and as the log's last line: rows with errors name the first,
    // a refusal of the settings, made before any row is read, leaves its reason in the log as well.
    void refusalsSayWhy()
    {
        WindowDriver user;
        const QString dest = m_dir.filePath("refused.txt");
        exportTransfer(user, workbook("errors.xlsx", {transferRow("R1", "123"), transferRow("R2", "1234567890"), transferRow("R3", "45")}), dest);
        QCOMPARE(user.boxTexts, QStringList{"ERROR!\nNothing written: 2 rows have errors\nThe first: LINE 1: Error. From Acc must be 10 characters"});
        QVERIFY(logText(user.window.data()).endsWith("\nNothing written: ERROR!"));
        user.field<QLineEdit>("txtCompID")->clear();
        user.boxTexts.clear();
        user.click("btnExport");
        QCOMPARE(user.boxTexts, QStringList{"Corporate ID can not be empty"});
        QCOMPARE(logText(user.window.data()), QString("Nothing written: Corporate ID can not be empty"));
        QCOMPARE(user.window->findChild<QLabel*>("lblOutcome")->text(), QString("Nothing written: Corporate ID can not be empty"));
        QVERIFY(!QFile::exists(dest));
    }

    // After a run, another type: nothing of the run, the workbook or the old form is left.
    void typeSwitchAfterAnExport()
    {
        WindowDriver user;
        exportTransfer(user, workbook("switch.xlsx", {transferRow("R1", "12")}), m_dir.filePath("switch.txt"));
        QVERIFY(!cellPicture(user.window.data()).isEmpty() && !logText(user.window.data()).isEmpty());
        QSignalSpy changes(user.window.data(), &MainWindow::SIG_Excel_Changed);
        user.chooseType(1);
        // Whatever the sheet list said while emptying, no workbook is named any more.
        for (const QList<QVariant>& change : qAsConst(changes))
            QCOMPARE(change.at(1).toString(), QString());
        const auto text = [&user](const char* name) { return user.window->findChild<QLineEdit*>(name)->text(); };
        QCOMPARE(text("txtSource") + text("txtDest") + logText(user.window.data()), QString());
        QCOMPARE(user.window->findChild<QComboBox*>("cboSheets")->count() + user.field<QComboBox>("cboBnfAcc")->count(), 0);
        QCOMPARE(logTable(user.window.data())->rowCount() + logTable(user.window.data())->columnCount(), 0);
        user.click("btnExport");
        QCOMPARE(user.boxes.last(), QStringLiteral("window critical: Source can not be empty"));
    }

    // The verdict the user is given is what the file holds: a row typed into the
    // accounts table is there after a save, and only then.
    void settingsSaveVerdict()
    {
        expect::writeSettings(settingsPath(), "Payroll", {{"AccountName", 1}, {"AccountNumber", 2}, {"Amount", 3}});
        expect::writeAccounts(settingsPath(), "Payroll", {{"1111111111", ""}});
        WindowDriver user;
        user.chooseType(3);
        for (bool refused : {true, false}) {
            user.browse("btnSrc", workbook("staff.xlsx", {{"Name", "1234567890", 100}}));
            user.click("btnAdd");
            QTest::keyClicks(QApplication::focusWidget(), "2222222222");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            addComment();   // as a person edits the file while the window is open
            {
                const FileSizeLimit full(refused ? 0 : RLIM_INFINITY);
                user.click("btnSave");
            }
            // Another type and back, its rows let go when not saved: the form shows what the file holds.
            Messages::setCapturedAnswer(true);
            user.chooseType(1);
            Messages::setCapturedAnswer(false);
            user.chooseType(3);
            QAbstractItemModel* accounts = user.field<QTableView>("tblAcc")->model();
            QCOMPARE(accounts->index(0, 1).data().toString() + accounts->index(1, 1).data().toString(), refused ? "1111111111" : "11111111112222222222");
            // Nor did the unsaved row reach the file by a later write; a save rewrites the line the reader did not understand.
            const QByteArray file = expect::fileBytes(settingsPath());
            QVERIFY(file.contains("2222222222") != refused && (refused || !file.contains("# note")));
        }
        QCOMPARE(user.boxes, (QStringList{"form critical: Settings could not be saved",
                                          "form question: The accounts table has changes that are not saved. Close and lose them?",
                                          "form information: Settings have been saved!"}));
    }

    // A never-saved field but the date takes the one column whose header names it,
    // however written; a field whose header text the next workbook also has keeps that
    // column wherever it moved. What was matched shows in the log and tooltips.
    void mappingFollowsHeaders()
    {
        // Per type: the account's combo and log title, its header in the first and in the next workbook.
        const QList<QStringList> types{{"cboTo", "To Acc #", "Credit Account", "credit_account", "cboDate"},
                                       {"cboBnfAcc", "Acc #", "Acc No", "ACC #", "cboTrxDate"},
                                       {"cboAcc", "Acc #", "Account Number", "acc_no", "cboTrxDate"},
                                       {"cboAcc", "Acc #", "acc no", "Account-Number", "cboTrxDate"}};
        for (int type = 0; type < types.size(); ++type) {
            const QStringList t = types.at(type);
            cleanup();
            expect::writeSettings(settingsPath(), QStringList{"Transfer", "Credit", "Collection", "Payroll"}.at(type), {{"HasColumnHeader", true}});
            WindowDriver user;
            user.chooseType(type);
            // A "Date" column is no match: it would switch the date filter on.
            user.browse("btnSrc", workbook("first.xlsx", {{"Amount", t.at(2), "Notes", "Date"}}));
            QCOMPARE(user.field<QComboBox>(t.at(4))->currentIndex(), 0);
            auto* account = user.field<QComboBox>(t.at(0));
            auto* amount = user.field<QComboBox>("cboAmount");
            const auto chosen = [&] { return QString("%1 %2").arg(account->currentIndex()).arg(amount->currentIndex()); };
            QCOMPARE(chosen(), QString("2 1"));
            QCOMPARE(account->toolTip(), "B: " + t.at(2) + " (matched by header)");
            QCOMPARE(logText(user.window.data()), "Matched by header: " + t.at(1) + " \u2190 B: " + t.at(2) + "\nMatched by header: Amount \u2190 A: Amount");
            // The user's own choice is kept by its header text, and is no match.
            amount->setCurrentIndex(3);
            user.browse("btnSrc", workbook("next.xlsx", {{"Notes", "Amount", "Other", t.at(3)}}));
            QCOMPARE(chosen(), QString("4 1"));
            // The lines of the first workbook are gone.
            QCOMPARE(logText(user.window.data()), "Matched by header: " + t.at(1) + " \u2190 D: " + t.at(3));
            // Without header texts nothing is matched or kept: the saved mapping as before.
            user.field<QCheckBox>("chkHeaders")->click();
            QCOMPARE(chosen() + amount->itemText(1), QString("0 0A"));
        }
    }

    // A template of each type, chosen with "Has Column Header" and nothing saved:
    // every field but the date finds its own column.
    void templateMatchedBack()
    {
        for (int type = 0; type < 4; ++type) {
            const kova::TypeDescriptor& d = *kova::transactionTypes().at(type);
            cleanup();
            expect::writeSettings(settingsPath(), d.group, {{"HasColumnHeader", true}});
            WindowDriver user;
            user.chooseType(type);
            user.browse("btnTemplate", m_dir.filePath(d.keyword + "-template.xlsx"));
            user.browse("btnSrc", m_dir.filePath(d.keyword + "-template.xlsx"));
            QStringList chosen, wanted;
            for (int i = 0; i < d.fields.size(); ++i) {
                chosen << QString::number(user.field<QComboBox>(d.fields.at(i).comboName)->currentIndex());
                wanted << QString::number(d.fields.at(i).kind == kova::CellKind::Date ? 0 : i + 1);
            }
            QCOMPARE(chosen.join(' '), wanted.join(' '));
        }
    }

    void savedFieldNotPlaced_data()
    {
        QTest::addColumn<QVariantMap>("titles");   // the saved titles
        QTest::addColumn<QList<QVariantList>>("rows");
        QTest::addColumn<QString>("combo");        // the field not placed
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QString>("chosen");       // its column chosen by hand, as the tooltip shows it
        const QVariantMap titles{{"TrxRefHeader", "Ref"}, {"FromAccHeader", "From"}, {"ToAccHeader", "To"}, {"AmountHeader", "Amount"},
                                 {"RemittanceHeader", "Type"}};
        QTest::newRow("title missing") << titles << QList<QVariantList>{{"Ref", "From", "Payee", "Amount", "Type"}, transferRow("R1", "1234567890")}
            << "cboTo" << "Column \"To\" for To Acc # is not in the header row" << "C: Payee";
        // Saved without a title, Amount's number now holds the beneficiary's account.
        QVariantMap untitled = titles;
        untitled.remove("AmountHeader");
        QTest::newRow("untitled, a column inserted") << untitled
            << QList<QVariantList>{{"Ref", "Note", "From", "To", "Amount", "Type"}, {"R1", "N", "1234567890", "0987654321", 100, "WDK"}}
            << "cboAmount" << "Amount has no saved column title and the columns moved: map it again" << "E: Amount";
    }
    // A saved field the workbook does not place: it is empty and marked, the export
    // is refused and writes nothing, until the user chooses that field's column.
    void savedFieldNotPlaced()
    {
        QFETCH(QVariantMap, titles);
        QFETCH(QList<QVariantList>, rows);
        QFETCH(QString, combo);
        QFETCH(QString, problem);
        QFETCH(QString, chosen);
        titles.insert("HasColumnHeader", true);
        expect::writeSettings(settingsPath(), "Transfer", titles);
        WindowDriver user;
        const QString dest = m_dir.filePath(combo + ".txt");
        exportTransfer(user, workbook(combo + ".xlsx", rows), dest);
        auto* field = user.field<QComboBox>(combo);
        QCOMPARE(QString("%1 %2").arg(field->currentIndex()).arg(field->toolTip()), "0 " + problem);
        QVERIFY(!field->styleSheet().isEmpty());
        QCOMPARE(user.boxes, QStringList{"form critical: " + problem});
        QVERIFY(!QFile::exists(dest));
        QCOMPARE(storedHeaderId(), QString("41"));
        field->setCurrentIndex(field->findText(chosen.mid(3)));
        QCOMPARE(field->toolTip() + field->styleSheet(), chosen);
        user.click("btnExport");
        QCOMPARE(expect::fileBytes(dest), transferUpload("00000041", "R1"));
    }

    // A title above the table: the saved titles find the header row, which the form
    // shows; the rows above it are no data, and the log's rows are sheet rows. A
    // message line leads to its row of the log table, clicked or by Enter.
    void titleAboveTheTable()
    {
        expect::writeSettings(settingsPath(), "Transfer", {{"HasColumnHeader", true}, {"TrxRefHeader", "Ref"}, {"FromAccHeader", "From"},
                                                          {"ToAccHeader", "To"}, {"AmountHeader", "Amount"}, {"RemittanceHeader", "Type"}});
        WindowDriver user;
        const QString book = workbook("title.xlsx", {{"PT MAJU JAYA - PAYROLL DESEMBER 2026"}, {}, {"Ref", "From", "To", "Amount", "Type"},
                                                     transferRow("R1", "1234567890"), transferRow("R2", "123"), transferRow("R3", "1234567890")});
        user.browse("btnSrc", book);
        QCOMPARE(user.field<QSpinBox>("spnHeaderRow")->value(), 3);
        QCOMPARE(logText(user.window.data()), QString("Header row: row 3, where the saved column titles are"));
        exportTransfer(user, book, m_dir.filePath("title.txt"));
        QCOMPARE(cellPicture(user.window.data()), "4: . . . > . . . . . . . . . . . .|5: p dr p p> p p p p p p p p p p p p|6: . . . > . . . . . . . . . . . .");
        QCOMPARE(logText(user.window.data()).split('\n').mid(0, 6), expect::summary("3 of 3", "300,00", 0, 1)
                 << separator << "LINE 2: Error. From Acc must be 10 characters");
        auto* log = user.window->findChild<LogLineView*>("txtStatus");
        auto* table = user.window->findChild<QTableView*>("tableView");
        const QModelIndex line = log->model()->index(5, 0);
        QTest::mouseClick(log->viewport(), Qt::LeftButton, {}, log->visualRect(line).center());
        QCOMPARE(table->selectionModel()->selectedRows().value(0).row(), 1);
        QCOMPARE(logTable(user.window.data())->headerData(table->currentIndex().row(), Qt::Vertical).toString(), QString("5"));
        table->clearSelection();
        log->setCurrentIndex(log->model()->index(0, 0));
        QTest::keyClick(log, Qt::Key_Return);   // a summary line leads nowhere
        QVERIFY(table->selectionModel()->selectedRows().isEmpty());
        log->setCurrentIndex(line);
        QTest::keyClick(log, Qt::Key_Enter);
        QCOMPARE(table->selectionModel()->selectedRows().value(0).row(), 1);
    }

    // The Header ID moves on with every batch written, and only then; the same
    // payments again are asked about: No keeps everything as it was, Yes writes.
    void headerIdAdvances()
    {
        const QString good = workbook("good.xlsx", {transferRow("REF", "1234567890")});
        WindowDriver user;
        auto* headerId = user.field<QLineEdit>("txtHeaderID");
        addComment();   // the count goes on past a line the reader does not understand
        exportTransfer(user, good, m_dir.filePath("one.txt"));
        QCOMPARE(expect::fileBytes(m_dir.filePath("one.txt")), transferUpload("00000041", "REF"));
        QCOMPARE(headerId->text() + storedHeaderId(), QString("4242"));
        const QVector<kova::BatchEntry> written = kova::BatchRegister(kova::registerPathFor(settingsPath())).history();
        exportTransfer(user, good, m_dir.filePath("again.txt"));
        QVERIFY(!QFile::exists(m_dir.filePath("again.txt")));
        QCOMPARE(headerId->text(), QString("42"));
        Messages::setCapturedAnswer(true);
        exportTransfer(user, good, m_dir.filePath("again.txt"));
        QCOMPARE(expect::fileBytes(m_dir.filePath("again.txt")), transferUpload("00000042", "REF"));
        QCOMPARE(headerId->text(), QString("43"));

        // A number typed without saving goes into the batch; the count goes on from it.
        headerId->setText("50");
        exportTransfer(user, workbook("other.xlsx", {transferRow("REF2", "1234567890")}), m_dir.filePath("two.txt"));
        QCOMPARE(expect::fileBytes(m_dir.filePath("two.txt")), transferUpload("00000050", "REF2"));
        QCOMPARE(headerId->text() + storedHeaderId(), QString("5151"));

        // Neither a refused batch nor a workbook cut short after it was chosen uses a
        // number or touches the earlier batch, and nothing is left beside it.
        const QString bad = workbook("bad.xlsx", {transferRow("REF", "123")});
        const QStringList files = QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        exportTransfer(user, bad, m_dir.filePath("two.txt"));
        QVERIFY(logText(user.window.data()).endsWith("\nNothing written: ERROR!"));
        user.browse("btnSrc", good);
        user.browse("btnDest", m_dir.filePath("two.txt"));
        QVERIFY(QFile(good).resize(QFileInfo(good).size() / 2));
        user.click("btnExport");
        QCOMPARE(expect::fileBytes(m_dir.filePath("two.txt")), transferUpload("00000050", "REF2"));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot), files);
        QCOMPARE(headerId->text() + storedHeaderId(), QString("5151"));
        const QString asked = "form question: " + kova::duplicateQuestion(written.value(0));
        const QString replace = "window question: Destination " + m_dir.filePath("two.txt") + " already exists. Replace it?";
        QCOMPARE(user.boxes, (QStringList{"form information: Done!", asked, asked, "form information: Done!", "form information: Done!",
                                          replace, "form critical: ERROR!", replace,
                                          "form critical: Error. Unable to select sheet Data: the package is not a readable zip file"}));
    }

    // Two windows on one delimited text file, as commas and semicolons make it equally likely: the one
    // told Semicolon reads it so in its lists, its export, its read again of the file changed on disk and
    // the export of the sheet its lists could not read; the other, its delimiter found, reads commas,
    // wherever it was chosen from. Each window shows a file with the choice made for that file.
    void textOptionsPerWindow()
    {
        expect::writeSettings(settingsPath(), "Transfer", {{"TrxRef", 1}, {"FromAcc", 2}, {"ToAcc", 3}, {"Amount", 4}, {"Remittance", 5},
                                                          {"Remarks1", 6}, {"HasColumnHeader", true}, {"CompanyID", "ABCDE12345"},
                                                          {"HeaderID", 41}});
        const auto write = [this](const QString& name, const QByteArray& row) {
            QFile file(m_dir.filePath(name));
            const QByteArray text = "Ref;From;To;Amount;Type;Note 1, 2, 3, 4, 5, 6\r\n" + row + "\r\n";
            return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() ? file.fileName() : QString();
        };
        const QString csv = write("shared.csv", "REF-1;1234567890;0987654321;100;WDK;a, b, c, d, e, f");
        const QString dest = m_dir.filePath("shared.txt"), foundDest = m_dir.filePath("found.txt");
        QFile::remove(dest);
        QFile::remove(foundDest);
        WindowDriver found;
        WindowDriver user;   // its boxes and file dialogs are the ones served
        const auto combo = [](WindowDriver& driver, const char* name) { return driver.window->findChild<QComboBox*>(name); };
        user.browse("btnSrc", csv);
        combo(user, "cboDelimiter")->setCurrentIndex(combo(user, "cboDelimiter")->findText("Semicolon"));
        QVERIFY(workbookRead(user.window.data()));
        auto* typed = found.window->findChild<QLineEdit*>("txtSource");
        QTest::keyClicks(typed, csv);
        QTest::keyClick(typed, Qt::Key_Return);
        QVERIFY(workbookRead(found.window.data()));
        QCOMPARE(combo(found, "cboDelimiter")->currentText() + "|" + combo(user, "cboDelimiter")->currentText(),
                 QString("Found: Comma|Semicolon"));
        QCOMPARE(found.field<QComboBox>("cboTrxRef")->itemText(1) + "|" + user.field<QComboBox>("cboTrxRef")->itemText(1),
                 QString("Ref;From;To;Amount;Type;Note 1|Ref"));

        for (WindowDriver* driver : {&found, &user}) {
            driver->window->findChild<QLineEdit*>("txtDest")->setText(driver == &user ? dest : foundDest);
            driver->field<QDateEdit>("dteEffDate")->setDate(QDate(2025, 2, 3));
            driver->click("btnExport");
        }
        QVERIFY(!QFile::exists(foundDest));
        QCOMPARE(expect::fileBytes(dest), QByteArray("0|FT|00000041|||20250203|ABCDE12345|100.00|00001|WDK|IDR|\n"
                                                     "1|00001|REF-1|1234567890|0987654321|100.00|a, b, c, d, e, f||||||||||||\n"));

        QVERIFY(!write("shared.csv", "REF-2;1234567890;0987654321;200;WDK;g, h, i, j, k, l").isEmpty());
        QVERIFY(QFile::remove(dest));
        user.click("btnExport");
        QCOMPARE(logText(user.window.data()).split('\n').value(0), QString("Workbook read again: it changed on disk since it was chosen"));
        QCOMPARE(expect::fileBytes(dest), QByteArray("0|FT|00000042|||20250203|ABCDE12345|200.00|00001|WDK|IDR|\n"
                                                     "1|00001|REF-2|1234567890|0987654321|200.00|g, h, i, j, k, l||||||||||||\n"));

        user.browse("btnSrc", write("other.csv", "REF-3;1234567890;0987654321;300;WDK;m"));
        QCOMPARE(combo(user, "cboDelimiter")->currentText(), QString("Found: Semicolon"));
        user.browse("btnSrc", csv);
        QCOMPARE(combo(user, "cboDelimiter")->currentText(), QString("Semicolon"));

        user.boxes.clear();
        combo(user, "cboEncoding")->setCurrentIndex(combo(user, "cboEncoding")->findText("UTF-16LE"));
        QVERIFY(workbookRead(user.window.data()));
        QVERIFY(QFile::remove(dest));
        user.click("btnExport");
        const QString refused = "form critical: Error. Unable to select sheet shared: line 1: bytes that are not UTF-16LE";
        QCOMPARE(user.boxes, (QStringList{refused + "; try UTF-8 as the Encoding beside the sheet", refused}));
        QVERIFY(!QFile::exists(dest));
    }

    void changedOnDisk_data()
    {
        QTest::addColumn<QVariantList>("now");     // the data row in the file at Export
        QTest::addColumn<bool>("swapped");         // From Acc and To Acc swapped columns, titles with them
        QTest::addColumn<QStringList>("log");      // the processing log's first lines
        QTest::addColumn<QString>("name");         // a workbook, or delimited text
        const QString reread = "Workbook read again: it changed on disk since it was chosen";
        QTest::newRow("columns swapped") << QVariantList{"REF", "0987654321", "1234567890", 100, "WDK"} << true
            << QStringList{reread, "From Acc #: column B -> C, by its header \"From Acc\"", "To Acc #: column C -> B, by its header \"To Acc\""}
            << "changing.xlsx";
        // Same size, time stamp set back: only the content tells.
        QTest::newRow("same size and time") << QVariantList{"REF", "1234567890", "0987654321", 200, "WDK"} << false
            << QStringList{reread, "Total rows processed: 1 of 1"} << "changing.xlsx";
        QTest::newRow("delimited text, same size and time") << QVariantList{"REF", "1234567890", "0987654321", 200, "WDK"} << false
            << QStringList{reread, "Total rows processed: 1 of 1"} << "changing.csv";
    }
    // A workbook changed on disk after it was chosen is exported from what it holds
    // at Export, its columns found again by their titles.
    void changedOnDisk()
    {
        QFETCH(QVariantList, now);
        QFETCH(bool, swapped);
        QFETCH(QStringList, log);
        QFETCH(QString, name);
        const auto write = [&](const QList<QVariantList>& rows) {
            if (name.endsWith(".xlsx"))
                return workbook(name, rows);
            QStringList lines;
            for (const QVariantList& row : rows) {
                QStringList fields;
                for (const QVariant& value : row)
                    fields << value.toString();
                lines << fields.join(',');
            }
            QFile file(m_dir.filePath(name));
            const QByteArray text = lines.join("\r\n").toUtf8() + "\r\n";
            return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() ? file.fileName() : QString();
        };
        expect::writeSettings(settingsPath(), "Transfer", {{"TrxRef", 1}, {"TrxRefHeader", "Ref"}, {"FromAcc", 2}, {"FromAccHeader", "From Acc"},
                                                          {"ToAcc", 3}, {"ToAccHeader", "To Acc"}, {"Amount", 4}, {"AmountHeader", "Amount"},
                                                          {"Remittance", 5}, {"RemittanceHeader", "Type"}, {"HasColumnHeader", true}});
        const QVariantList titles{"Ref", "From Acc", "To Acc", "Amount", "Type"};
        const QVariantList swappedTitles{"Ref", "To Acc", "From Acc", "Amount", "Type"};
        // Both contents written at once: a workbook names the second it was written in,
        // which may take another byte to pack a second later.
        QByteArray changed;
        QString book;
        for (int attempt = 0; attempt < 3 && (changed.isEmpty() || changed.size() != QFileInfo(book).size()); ++attempt) {
            QVERIFY(!write({swapped ? swappedTitles : titles, now}).isEmpty());
            changed = expect::fileBytes(m_dir.filePath(name));
            book = write({titles, {"REF", "1234567890", "0987654321", 100, "WDK"}});
        }
        QVERIFY(swapped || changed.size() == QFileInfo(book).size());
        const QDateTime chosenAt = QFileInfo(book).lastModified();
        const QString dest = m_dir.filePath("changed.txt");
        QFile::remove(dest);
        WindowDriver user;
        user.browse("btnSrc", book);
        user.browse("btnDest", dest);
        {
            QFile file(book);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(changed) == changed.size() && file.flush());
            QVERIFY(swapped || file.setFileTime(chosenAt, QFileDevice::FileModificationTime));
        }
        QVERIFY(swapped || QFileInfo(book).lastModified() == chosenAt);
        user.field<QDateEdit>("dteEffDate")->setDate(QDate(2025, 2, 3));
        user.click("btnExport");
        const QString amount = swapped ? "100.00" : "200.00";
        QCOMPARE(expect::fileBytes(dest), ("0|FT|00000041|||20250203|ABCDE12345|" + amount + "|00001|WDK|IDR|\n1|00001|REF"
                                           "|1234567890|0987654321|" + amount + "|||||||||||||\n").toLatin1());
        QCOMPARE(logText(user.window.data()).split('\n').mid(0, log.size()), log);
        QCOMPARE(user.boxes, QStringList{"form information: Done!"});
    }

    void changedWhileExported_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::newRow("left alone") << false;
        QTest::newRow("overwritten in place") << true;
    }
    // The export reads the rows from the file as it is then, not from what was
    // read when the workbook was chosen: a sheet overwritten in place past the
    // rows read then, its package's directory (what tells a changed file) left
    // as it was, as a write caught halfway leaves it, is not the sheet chosen:
    // nothing is written nor a Header ID used. Left alone, it is written.
    void changedWhileExported()
    {
        QFETCH(bool, changed);
        // Far more than is read ahead when the workbook is chosen.
        const QByteArray padding(1500, 'p');
        QByteArray rows;
        int count = 0;
        while (rows.size() < 16 * 1024 * 1024) {
            const QByteArray n = QByteArray::number(++count);
            const auto text = [&n](const char* column, const QByteArray& value) {
                return "<c r=\"" + QByteArray(column) + n + "\" t=\"inlineStr\"><is><t>" + value + "</t></is></c>";
            };
            rows += "<row r=\"" + n + "\">" + text("A", "REF-" + n) + text("B", "1234567890") + text("C", "0987654321")
                    + "<c r=\"D" + n + "\"><v>100</v></c>" + text("E", "WDK") + text("F", padding) + "</row>";
        }
        const QString book = m_dir.filePath("overwritten.xlsx");
        // Stored, so that the cells lie in the file as written.
        QVERIFY(TestPackage().addSheet("Data", rows).stored().write(book));
        const QString dest = m_dir.filePath("overwritten.txt");
        QFile::remove(dest);
        WindowDriver user;
        user.browse("btnSrc", book);
        user.browse("btnDest", dest);
        user.field<QDateEdit>("dteEffDate")->setDate(QDate(2025, 2, 3));
        if (changed) {
            QByteArray bytes = expect::fileBytes(book);
            const int at = bytes.indexOf("REF-" + QByteArray::number(count) + "<");
            QVERIFY(at > 0);
            bytes.replace(at, 3, "PAY");
            QFile file(book);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.write(bytes) == bytes.size() && file.flush());
        }
        user.click("btnExport");
        QCOMPARE(user.boxes, QStringList{changed ? "form critical: Error. Unable to select sheet Data" : "form information: Done!"});
        QCOMPARE(QFile::exists(dest), !changed);
        QCOMPARE(storedHeaderId(), QString(changed ? "41" : "42"));
        if (!changed)
            QCOMPARE(logText(user.window.data()).split('\n').value(0), QString("Total rows processed: %1 of %1").arg(count));
    }

    // The window beside another run on the same settings (kova-export's road,
    // which takes the stored Header ID): every batch gets a number of its own.
    // The field the user left alone follows the other run's numbers before an
    // export and whenever the window becomes active, so no question arises that
    // the user did not cause. A typed number the other run used stays; the
    // export asks about it and offers the free one (No writes nothing, Yes
    // writes with it), and Save raises it, saying so.
    void headerIdsBesideAnotherRun()
    {
        // Its boxes, then its upload.
        const auto otherRun = [this](const QString& ref) {
            kova::TransferSettings s = kova::readTransferSettings(settingsPath());
            s.useStoredHeaderId = true;
            s.effectiveDate = QDate(2025, 2, 3);
            RecordingSink sink;
            const QString dest = m_dir.filePath(ref + ".txt");
            kova::TransferExport job(s);
            kova::runExport({workbook(ref + ".xlsx", {transferRow(ref, "1234567890")}), "Data", dest, s.settingsPath}, job, sink);
            return sink.boxTexts().join('|').toUtf8() + '\n' + expect::fileBytes(dest);
        };
        WindowDriver user;
        auto* headerId = user.field<QLineEdit>("txtHeaderID");
        QWidget elsewhere;
        elsewhere.show();
        const auto activate = [&] {
            QApplication::setActiveWindow(&elsewhere);
            QApplication::setActiveWindow(user.window.data());
            return headerId->text();
        };
        QCOMPARE(otherRun("CLI1"), "Done!\n" + transferUpload("00000041", "CLI1"));
        QCOMPARE(headerId->text(), QString("41"));
        exportTransfer(user, workbook("win.xlsx", {transferRow("WIN", "1234567890")}), m_dir.filePath("win.txt"));
        QCOMPARE(expect::fileBytes(m_dir.filePath("win.txt")), transferUpload("00000042", "WIN"));
        QCOMPARE(headerId->text() + storedHeaderId(), QString("4343"));

        QCOMPARE(otherRun("CLI2"), "Done!\n" + transferUpload("00000043", "CLI2"));
        QCOMPARE(activate(), QString("44"));
        headerId->setText("42");
        QCOMPARE(activate(), QString("42"));
        const QString used = "Header ID 42 was already used; the next free one is 44";
        exportTransfer(user, workbook("win2.xlsx", {transferRow("WIN2", "1234567890")}), m_dir.filePath("win2.txt"));
        QVERIFY(!QFile::exists(m_dir.filePath("win2.txt")));
        QCOMPARE(headerId->text() + storedHeaderId(), QString("4244"));
        QVERIFY(logText(user.window.data()).endsWith("\nNothing written: " + used));
        user.click("btnSave");
        QCOMPARE(headerId->text() + storedHeaderId(), QString("4444"));

        headerId->setText("43");
        Messages::setCapturedAnswer(true);
        exportTransfer(user, m_dir.filePath("win2.xlsx"), m_dir.filePath("win2.txt"));
        QCOMPARE(expect::fileBytes(m_dir.filePath("win2.txt")), transferUpload("00000044", "WIN2"));
        QCOMPARE(headerId->text() + storedHeaderId(), QString("4545"));
        QVERIFY(logText(user.window.data()).startsWith("Total rows processed: 1 of 1\n"));
        QCOMPARE(otherRun("CLI3"), "Done!\n" + transferUpload("00000045", "CLI3"));

        // The same payments again, with the number the other run used: the repeat is
        // asked once, not again when the export runs again with the free number.
        const QString repeat = kova::duplicateQuestion(kova::BatchRegister(kova::registerPathFor(settingsPath())).history().value(0));
        headerId->setText("44");
        exportTransfer(user, m_dir.filePath("CLI3.xlsx"), m_dir.filePath("repeat.txt"));
        QCOMPARE(expect::fileBytes(m_dir.filePath("repeat.txt")), transferUpload("00000046", "CLI3"));

        // A number typed ahead of the stored one is the user's to save.
        headerId->setText("60");
        user.click("btnSave");
        QCOMPARE(headerId->text() + storedHeaderId(), QString("6060"));
        QCOMPARE(user.boxes, (QStringList{"form information: Done!", "form question: " + used + ". Export with Header ID 44?",
                                          "form information: Settings has been saved; Header ID 42 was already used, so the next "
                                          "free one, 44, was saved instead",
                                          "form question: Header ID 43 was already used; the next free one is 44. Export with Header ID 44?",
                                          "form information: Done!", "form question: " + repeat,
                                          "form question: Header ID 44 was already used; the next free one is 46. Export with Header ID 46?",
                                          "form information: Done!", "form information: Settings has been saved"}));
        QStringList ids;
        for (const kova::BatchEntry& entry : kova::BatchRegister(kova::registerPathFor(settingsPath())).history())
            ids.prepend(entry.headerId);
        QCOMPARE(ids, (QStringList{"41", "42", "43", "44", "45", "46"}));
    }

    // A value pasted with the line break and spaces of the cell it came from is taken
    // without them; a tab inside it is the field's own refusal.
    void pastedHeaderFields()
    {
        WindowDriver user;
        user.browse("btnSrc", workbook("paste.xlsx", {transferRow("REF", "1234567890")}));
        auto* corporateId = user.field<QLineEdit>("txtCompID");
        const auto paste = [&](QLineEdit* edit, const QString& copied) {
            QApplication::clipboard()->setText(copied);
            edit->clear();
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            return edit->text();
        };
        QCOMPARE(paste(corporateId, "KOVA\tDEMO1\n"), QString("KOVA\tDEMO1"));
        user.click("btnSave");
        QCOMPARE(paste(corporateId, " KOVADEMO01\r\n"), QString("KOVADEMO01"));
        // Typed spaces stay: only a paste is trimmed.
        QTest::keyClicks(corporateId, " X");
        QCOMPARE(corporateId->text(), QString("KOVADEMO01 X"));
        // So does a paste into a cell of the accounts table.
        user.chooseType(1);
        user.click("btnAdd");
        QCOMPARE(paste(qobject_cast<QLineEdit*>(QApplication::focusWidget()), "1234/56789/ABCD\n"), QString("1234/56789/ABCD"));
        QCOMPARE(user.boxes, QStringList{"form critical: Corporate ID contains invalid chars"});
    }

    // Date fields left as they opened move on at midnight; one set by hand keeps its date, and so does
    // the name proposed for the upload file. An effective date in the past or over a year ahead is asked about.
    void datesFollowTheDay()
    {
        const QDate day(2026, 12, 7);
        kova::setClock([day] { return QDateTime(day, QTime(23, 59, 59, 700)); });
        WindowDriver user;
        auto* effective = user.field<QDateEdit>("dteEffDate");
        auto* from = user.field<QDateEdit>("dteFrom");
        from->setDate(QDate(2026, 12, 1));
        QCOMPARE(effective->date(), day);
        setToday(day.addDays(1));
        QTRY_COMPARE_WITH_TIMEOUT(effective->date(), day.addDays(1), 3000);
        QCOMPARE(from->date().toString(Qt::ISODate) + user.field<QDateEdit>("dteTo")->date().toString(Qt::ISODate), QString("2026-12-012026-12-08"));
        user.browse("btnSrc", workbook("dated.xlsx", {transferRow("REF", "1234567890")}));
        QStringList proposed;
        FileDialogs::setChooser([&](QWidget*, FileDialogs::Mode, const QString&, const QString& start, const QString&) {
            proposed << QFileInfo(start).fileName();
            return m_dir.filePath("dated.txt");
        });
        QTest::mouseClick(user.window->findChild<QPushButton*>("btnDest"), Qt::LeftButton);
        QCOMPARE(proposed, QStringList{"AutoTransfer-" + QLocale::system().toString(day.addDays(1), "d-MMM-yyyy") + ".txt"});

        for (const QDate& date : {day, day.addDays(1).addYears(1).addDays(1), day.addDays(1).addYears(1)}) {
            effective->setDate(date);
            user.click("btnExport");
        }
        QCOMPARE(user.boxes, (QStringList{"window question: Effective date 07 Dec 2026 is in the past. Export anyway?",
                                          "window question: Effective date 09 Dec 2027 is more than a year ahead. Export anyway?",
                                          "form information: Done!"}));
        QCOMPARE(expect::fileBytes(m_dir.filePath("dated.txt")).left(25), QByteArray("0|FT|00000041|||20271208|"));
    }

    // An upload file already at the destination is replaced only when the user says so.
    void replaceAsked()
    {
        const QString dest = m_dir.filePath("earlier.txt");
        QVERIFY(QFile::copy(settingsPath(), dest));
        const QByteArray earlier = expect::fileBytes(dest);
        WindowDriver user;
        const QString book = workbook("replace.xlsx", {transferRow("REF", "1234567890")});
        exportTransfer(user, book, dest);
        QCOMPARE(expect::fileBytes(dest), earlier);
        QCOMPARE(logText(user.window.data()), QString());
        Messages::setCapturedAnswer(true);
        user.click("btnExport");
        QCOMPARE(expect::fileBytes(dest), transferUpload("00000041", "REF"));
        const QString asked = "window question: Destination " + dest + " already exists. Replace it?";
        QCOMPARE(user.boxes, (QStringList{asked, asked, "form information: Done!"}));
    }

    // A second window saving after the first asks before it writes over what the first saved;
    // No reads the file again, and the first window's account stays.
    void saveAfterAnotherWindowsSave()
    {
        expect::writeSettings(settingsPath(), "Credit", {{"Beneficary", 1}, {"BnfAccount", 2}, {"Amount", 3}, {"Remittance", 4}});
        expect::writeAccounts(settingsPath(), "Credit", {{"1111111111", "1234/56789/ABCD"}});
        const QString book = workbook("credits.xlsx", {{"ANDI", "1234567890", 10, "WDK"}});
        WindowDriver user;
        MainWindow other;
        user.chooseType(1);
        other.findChild<QComboBox*>("cboTrxType")->setCurrentIndex(1);
        user.browse("btnSrc", book);
        user.answers << book;
        other.findChild<QPushButton*>("btnSrc")->click();
        QVERIFY(workbookRead(&other));
        const auto addAccount = [](QWidget* window, const QString& account) {
            QWidget* form = window->findChild<QHBoxLayout*>("horzFormUI")->itemAt(0)->widget();
            form->findChild<QPushButton*>("btnAdd")->click();
            QAbstractItemModel* rows = form->findChild<QTableView*>("tblAcc")->model();
            rows->setData(rows->index(rows->rowCount() - 1, 1), account);
            rows->setData(rows->index(rows->rowCount() - 1, 2), "1234/56789/ABCD");
            form->findChild<QPushButton*>("btnSave")->click();
            QStringList shown;
            for (int r = 0; r < rows->rowCount(); ++r)
                shown << rows->index(r, 1).data().toString();
            return shown.join(' ');
        };
        const auto stored = [] {
            QStringList accounts;
            for (const kova::SourceAccount& a : kova::readAccounts(settingsPath(), "Credit"))
                accounts << a.account;
            return accounts.join(' ');
        };
        QCOMPARE(addAccount(&other, "2222222222"), QString("1111111111 2222222222"));
        QCOMPARE(addAccount(user.window.data(), "3333333333"), QString("1111111111 2222222222"));
        QCOMPARE(stored(), QString("1111111111 2222222222"));
        // Read again, the table still reaches across: its last column stretches as before.
        auto* table = user.field<QTableView>("tblAcc");
        QCOMPARE(table->horizontalHeader()->sectionViewportPosition(2) + table->horizontalHeader()->sectionSize(2), table->viewport()->width());
        Messages::setCapturedAnswer(true);
        QCOMPARE(addAccount(user.window.data(), "3333333333"), QString("1111111111 2222222222 3333333333"));
        QCOMPARE(stored(), QString("1111111111 2222222222 3333333333"));
        const QString asked = "form question: The Credit settings were saved by another window or kova-export since this form read them. "
                              "Overwrite them? No reads them again.";
        QCOMPARE(user.boxes, (QStringList{"other information: Settings have been saved!", asked, "form information: Settings have been saved!"}));
    }

    // Tab goes through the accounts table's cells and on to the next field after the last one,
    // from the table and from a cell being edited; Shift+Tab leaves before the first.
    void tabLeavesTheAccountsTable()
    {
        expect::writeAccounts(settingsPath(), "Credit", {{"1111111111", "1234/56789/ABCD"}, {"2222222222", "4321/98765/WXYZ"}});
        WindowDriver user;
        user.chooseType(1);
        auto* table = user.field<QTableView>("tblAcc");
        QTRY_VERIFY(table->isVisible());   // a form added to the shown window shows once the events are served
        QApplication::setActiveWindow(user.window.data());
        QVERIFY(QTest::qWaitForWindowActive(user.window.data()));
        table->setCurrentIndex(table->model()->index(1, 1));
        table->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), table);
        QTest::keyClick(table, Qt::Key_Tab);
        QCOMPARE(table->currentIndex(), table->model()->index(1, 2));
        QCOMPARE(QApplication::focusWidget(), table);
        QTest::keyClick(table, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), user.field<QWidget>("txtRemarks1"));
        table->setFocus();
        table->edit(table->currentIndex());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        QTest::keyClicks(QApplication::focusWidget(), "/Z");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), user.field<QWidget>("txtRemarks1"));
        QCOMPARE(table->model()->index(1, 2).data().toString(), QString("4321/98765/WXYZ/Z"));
        table->setFocus();
        table->setCurrentIndex(table->model()->index(0, 0));
        QTest::keyClick(table, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(QApplication::focusWidget() != table && !table->isAncestorOf(QApplication::focusWidget()));
    }

    // Ctrl+E exports from any field, a line edit that would take the key for itself included.
    void exportShortcutFromALineEdit()
    {
        WindowDriver user;
        QApplication::setActiveWindow(user.window.data());
        QVERIFY(QTest::qWaitForWindowActive(user.window.data()));
        QTRY_VERIFY(user.form()->isVisible());
        const QList<QWidget*> fields{user.field<QLineEdit>("txtCompID"), user.field<QLineEdit>("txtHeaderID"),
                                     user.window->findChild<QLineEdit*>("txtSource"), user.field<QComboBox>("cboTrxRef")};
        // Under X11's key bindings a line edit claims Ctrl+E (the end of the line), as this does.
        struct ClaimsCtrlE final : QObject {
            bool eventFilter(QObject*, QEvent* e) override
            {
                const bool claimed = e->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(e)->key() == Qt::Key_E;
                if (claimed)
                    e->accept();
                return claimed;
            }
        } lineEditKeys;
        for (QWidget* field : fields) {
            if (qobject_cast<QLineEdit*>(field))
                field->installEventFilter(&lineEditKeys);
            field->setFocus();
            QTest::keyClick(field, Qt::Key_E, Qt::ControlModifier);
            // The button shows itself pressed for a moment before it exports.
            QTRY_COMPARE(user.boxes.size(), fields.indexOf(field) + 1);
        }
        QCOMPARE(user.boxes, QVector<QString>(4, "window critical: Source can not be empty").toList());
    }

    // A marked cell says why by more than its tint: bold, an icon and its message as its tooltip,
    // and every text keeps a contrast of at least 4.5:1 to its cell.
    void markedCellsTellTheirMessage()
    {
        WindowDriver user;
        QVariantList row = transferRow(QString(35, 'R'), "123");
        exportTransfer(user, workbook("marked.xlsx", {transferRow("REF", "1234567890"), row}), m_dir.filePath("marked.txt"));
        QAbstractItemModel* log = logTable(user.window.data());
        const QModelIndex from = log->index(1, 1), ref = log->index(1, 0), plain = log->index(1, 2), good = log->index(0, 1);
        QCOMPARE(from.data(Qt::ToolTipRole).toString(), QString("LINE 2: Error. From Acc must be 10 characters"));
        QCOMPARE(ref.data(Qt::ToolTipRole).toString(), QString("LINE 2: Warning. String truncated in Trx Ref. Exceeding 30 characters"));
        QVERIFY(!plain.data(Qt::ToolTipRole).isValid() && !good.data(Qt::ToolTipRole).isValid());
        QVERIFY(qvariant_cast<QFont>(from.data(Qt::FontRole)).bold() && !plain.data(Qt::FontRole).isValid());
        QVERIFY(!qvariant_cast<QIcon>(from.data(Qt::DecorationRole)).isNull() && !qvariant_cast<QIcon>(ref.data(Qt::DecorationRole)).isNull());
        QVERIFY(!plain.data(Qt::DecorationRole).isValid());
        const QColor text = user.window->findChild<QTableView*>("tableView")->palette().color(QPalette::Text);
        for (const QModelIndex& cell : {from, ref, plain}) {
            const QColor fg = cell.data(Qt::ForegroundRole).isValid() ? qvariant_cast<QBrush>(cell.data(Qt::ForegroundRole)).color() : text;
            const double ratio = contrast(fg, qvariant_cast<QBrush>(cell.data(Qt::BackgroundRole)).color());
            QVERIFY2(ratio >= 4.5, qPrintable(QString::number(ratio)));
        }
    }

    // A register that cannot be read cannot tell whether the batch was written before: the user is
    // asked, No by default; No writes nothing and takes no Header ID, Yes writes and the log says the
    // batch is not in the register.
    void unreadableRegisterIsAsked()
    {
        const QString book = workbook("unread.xlsx", {transferRow("REF", "1234567890")});
        const QString dest = m_dir.filePath("unread.txt");
        WindowDriver user;
        QFile garbage(kova::registerPathFor(settingsPath()));
        QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write(QByteArray(4096, 'Z')) == 4096);
        garbage.close();
        exportTransfer(user, book, dest);
        QVERIFY(!QFile::exists(dest));
        QCOMPARE(storedHeaderId(), QString("41"));
        const QString question = "The register of written batches cannot be read (file is not a database). KOVA cannot tell"
                                 " whether these payments were written before. Write them anyway?";
        QVERIFY(logText(user.window.data()).endsWith("\nNothing written: " + question));
        Messages::setCapturedAnswer(true);
        exportTransfer(user, book, dest);
        QCOMPARE(expect::fileBytes(dest), transferUpload("00000041", "REF"));
        QVERIFY(logText(user.window.data()).endsWith("\nBatch register could not be opened: file is not a database\nUpload file written to "
                                                     + dest + ": 1 records, total 100,00"));
        QCOMPARE(user.boxes, (QStringList{"form question: " + question, "form question: " + question, "form information: Done!"}));
    }

    // A workbook is read off the window's thread. Cancelled, the workbook, sheet and
    // mapping shown before stay, and Export still writes that workbook's batch; a
    // workbook chosen while another is read replaces it.
    void cancelledReadKeepsTheWorkbook()
    {
        const QString first = workbook("first.xlsx", {transferRow("FIRST", "1234567890")});
        const QString other = workbook("other.xlsx", {{"A", "B"}});
        WindowDriver user;
        user.browse("btnSrc", first);
        auto* amount = user.field<QComboBox>("cboAmount");
        amount->setCurrentIndex(5);   // the user's own choice, not saved
        amount->setCurrentIndex(4);
        const auto shown = [&] {
            QStringList columns;
            for (QComboBox* combo : user.form()->findChildren<QComboBox*>())
                columns << QString("%1/%2").arg(combo->currentIndex()).arg(combo->count());
            return user.window->findChild<QLineEdit*>("txtSource")->text() + " " + user.window->findChild<QComboBox*>("cboSheets")->currentText()
                   + " " + columns.join(' ');
        };
        const QString before = shown();
        QSignalSpy told(user.window.data(), &MainWindow::SIG_Excel_Changed);
        auto* cancel = user.window->findChild<QPushButton*>("btnCancel");
        user.answers << other;
        user.window->findChild<QPushButton*>("btnSrc")->click();
        QVERIFY(cancel->isVisibleTo(user.window.data()));
        cancel->click();
        QVERIFY(workbookRead(user.window.data()));
        QTest::qWait(300);   // the read ran on unseen; its result is dropped
        QCOMPARE(shown(), before);
        QCOMPARE(told.count(), 0);

        // Chosen while another is read: only the last one counts, and an Export
        // pressed for the earlier one does not go ahead with it.
        user.browse("btnDest", m_dir.filePath("first.txt"));
        user.field<QDateEdit>("dteEffDate")->setDate(QDate(2025, 2, 3));
        user.answers << other << first;
        user.window->findChild<QPushButton*>("btnSrc")->click();
        user.click("btnExport");
        user.window->findChild<QPushButton*>("btnSrc")->click();
        QVERIFY(workbookRead(user.window.data()));
        QTest::qWait(300);
        QCOMPARE(told.count(), 1);
        QCOMPARE(told.at(0).at(0).toString(), first);
        QCOMPARE(amount->currentIndex(), 4);
        QVERIFY(!QFile::exists(m_dir.filePath("first.txt")));

        // Pressed while its workbook is read, Export goes ahead once it is read.
        user.answers << first;
        user.window->findChild<QPushButton*>("btnSrc")->click();
        user.click("btnExport");
        QVERIFY(!QFile::exists(m_dir.filePath("first.txt")));
        QVERIFY(workbookRead(user.window.data()));
        QCOMPARE(expect::fileBytes(m_dir.filePath("first.txt")), transferUpload("00000041", "FIRST"));
        QCOMPARE(user.boxes, QStringList{"form information: Done!"});
    }

    // Closing the window while an export runs or a workbook is read asks first;
    // No goes on as if nothing was asked, Yes stops the export, writing nothing, and closes.
    void closingWhileBusyAsks()
    {
        QList<QVariantList> rows;
        for (int i = 0; i < 9000; ++i)
            rows.append(transferRow("C" + QString::number(i), "1234567890"));
        const QString book = workbook("closing.xlsx", rows);
        const QString asked = "window question: An export is running. Cancel it and close?";
        for (const bool yes : {false, true}) {
            const QString dest = m_dir.filePath(yes ? "closed.txt" : "kept.txt");
            WindowDriver user;
            Messages::setCapturedAnswer(yes);
            bool closed = false;
            connect(qobject_cast<TransactionForm*>(user.form()), &TransactionForm::rowsRead, user.window.data(), [&] {
                if (!std::exchange(closed, true))
                    user.window->close();
            }, Qt::BlockingQueuedConnection);
            exportTransfer(user, book, dest);
            QCOMPARE(QFile::exists(dest), !yes);
            QTRY_COMPARE(user.window->isVisible(), !yes);
            QCOMPARE(storedHeaderId(), QString("42"));   // the first run wrote 41
            QCOMPARE(user.boxes, (QStringList{asked} << (yes ? QStringList{} : QStringList{"form information: Done!"})));
        }

        // While a workbook is read.
        for (const bool yes : {false, true}) {
            WindowDriver user;
            Messages::setCapturedAnswer(yes);
            user.answers << book;
            user.window->findChild<QPushButton*>("btnSrc")->click();
            user.window->close();
            QCOMPARE(user.window->isVisible(), !yes);
            QVERIFY(workbookRead(user.window.data()));
            QCOMPARE(user.window->findChild<QComboBox*>("cboSheets")->count(), yes ? 0 : 1);
            QCOMPARE(user.boxes, QStringList{asked});
        }
    }

    // A question left open while the export reaches its end holds the batch
    // unwritten: Yes then stops it with nothing written and no Header ID used,
    // rather than answering for a batch already sent.
    void closeQuestionHoldsTheBatch()
    {
        QList<QVariantList> rows;
        for (int i = 0; i < 9000; ++i)
            rows.append(transferRow("H" + QString::number(i), "1234567890"));
        const QString dest = m_dir.filePath("held.txt");
        WindowDriver user;
        Messages::setPresenter([&user](QWidget*, Messages::Kind kind, const QString& text) {
            user.boxes << text;
            // Left open for as long as the rest of the export takes.
            if (kind == Messages::Kind::Question)
                QTest::qWait(1500);
        });
        Messages::setCapturedAnswer(true);
        bool closed = false;
        connect(qobject_cast<TransactionForm*>(user.form()), &TransactionForm::rowsRead, user.window.data(), [&] {
            if (!std::exchange(closed, true))
                QTimer::singleShot(0, user.window.data(), [&user] { user.window->close(); });
        });
        exportTransfer(user, workbook("held.xlsx", rows), dest);
        QTRY_VERIFY_WITH_TIMEOUT(!user.window->isVisible(), 10000);
        QVERIFY(!QFile::exists(dest));
        QCOMPARE(storedHeaderId(), QString("41"));
        QCOMPARE(user.boxes, QStringList{"An export is running. Cancel it and close?"});
    }

    void cancelWritesNothing_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("cancelled") << true;
        QTest::newRow("to the end") << false;
    }
    // Cancel pressed while the rows are read leaves every file and the Header ID
    // as they were; otherwise the progress reaches the sheet's rows.
    void cancelWritesNothing()
    {
        QFETCH(bool, cancel);
        QList<QVariantList> rows;
        for (int i = 0; i < 9000; ++i)
            rows.append(transferRow("R" + QString::number(i), "1234567890"));
        const QString dest = m_dir.filePath("big.txt");
        QFile::remove(dest);
        WindowDriver user;
        QPair<int, int> last;
        // Blocking: the export waits until the window has pressed Cancel.
        connect(qobject_cast<TransactionForm*>(user.form()), &TransactionForm::rowsRead, user.window.data(),
                [&](int done, int total) {
                    last = {done, total};
                    if (cancel)
                        user.window->findChild<QPushButton*>("btnCancel")->click();
                }, Qt::BlockingQueuedConnection);
        exportTransfer(user, workbook("big.xlsx", rows), dest);

        QCOMPARE(QFile::exists(dest), !cancel);
        QCOMPARE(QDir(m_dir.path()).entryList({"*.details"}), QStringList());
        QCOMPARE(storedHeaderId(), QString(cancel ? "41" : "42"));
        QCOMPARE(logText(user.window.data()) == "Export cancelled: nothing written", cancel);
        QCOMPARE(last, cancel ? qMakePair(4096, 9000) : qMakePair(9000, 9000));
    }
};

QTEST_MAIN(TestWindowWorkflow)
#include "tst_window_workflow.moc"
