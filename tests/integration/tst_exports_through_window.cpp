// Each transaction type exported through the real main window, as a user does
// it: settings saved earlier, a workbook browsed, a sheet and a destination
// picked, the form's last choices made, Export pressed.

#include "expect.h"
#include "testworkbook.h"
#include "windowdriver.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Cell = QPair<int, int>;

struct ExportCase
{
    int type = 0;
    // The settings file as an earlier session saved it.
    QString group;
    QVariantMap keys;
    QList<QPair<QString, QString>> accounts;
    // The "Data" sheet, titles in row 1.
    QList<QVariantList> rows;
    // What the user sets on the form before pressing Export.
    int account = -1;
    QStringList clicks;
    QList<QPair<QString, int>> combos;
    QList<QPair<QString, QDate>> dates;
    QList<QPair<QString, QString>> texts;
    // What the window shows afterwards.
    int amountColumn = 0;
    QList<Cell> marked;
    QStringList log;
    QByteArray upload;   // empty: no upload file may exist
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
    c.log = summary("2 of 3", "1.500.075,75", 1, withError ? 1 : 0);
    if (withError) {
        c.log.append("LINE 2: Error. From Acc must be 10 characters");
        c.marked = {{1, 1}};
    }
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
    if (withError) {
        c.log.append("LINE 2: Error. To Acc must be 10 digits");
        c.marked = {{1, 1}};
    }
    if (!withError) {
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
    if (withError) {
        c.log.append("LINE 2: Error. Invalid amount");
        c.marked = {{1, 2}};
    }
    if (!withError) {
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
    c.log = summary("2 of 2", "9.950.000,50", 1, withError ? 1 : 0);
    c.log.append("LINE 2: Warning. String truncated in Employee ID. Exceeding 10 characters");
    if (withError) {
        c.log.append("LINE 2: Error. Employee Name is exceeding 30 chars");
        c.marked = {{1, 0}};
    }
    if (!withError)
        c.upload = QString(sp(11) + "1234" + "0" + "6789" + "ABCD" + "09" + "01" + "9988776655" + "0" + "1" + "00"
                           + "00002" + "00000009950000.50" + "07" + "2024" + "\n"
                           + "0" + "3333333333" + "000000475000000" + "EMP-0001  " + pad("Dewi Lestari", 30) + "FIN \n"
                           + "0" + "4444444444" + "000000520000050" + "EMP-0002-L" + pad("Rudi Hartono", 30) + "OPS \n")
                       .toLatin1();
    return c;
}

} // namespace

Q_DECLARE_METATYPE(ExportCase)

class TestExportsThroughWindow final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    void writeSettings(const ExportCase& c)
    {
        expect::writeSettings(WindowDriver::settingsPath(), c.group, c.keys);
        if (!c.accounts.isEmpty())
            expect::writeAccounts(WindowDriver::settingsPath(), c.group, c.accounts);
    }

    QString writeWorkbook(const ExportCase& c)
    {
        const QString path = m_dir.filePath(QStringLiteral("%1.xlsx").arg(QTest::currentDataTag()));
        TestWorkbook book(path);
        // The data is not on the first sheet: the user has to pick it.
        book.addSheet("Cover").setCell(1, 1, "Batch of the month");
        book.addSheet("Data");
        for (int r = 0; r < c.rows.size(); ++r)
            book.setRow(r + 1, c.rows.at(r));
        if (!book.save())
            qFatal("workbook not written");
        return path;
    }

    void setUpForm(WindowDriver& user, const ExportCase& c)
    {
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
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(WindowDriver::settingsPath());
    }

    void cleanup()
    {
        QFile::remove(WindowDriver::settingsPath());
    }

    void exportByType_data()
    {
        QTest::addColumn<ExportCase>("c");
        QTest::newRow("transfer") << transferCase(false);
        QTest::newRow("transfer with an error") << transferCase(true);
        QTest::newRow("credit") << creditCase(false);
        QTest::newRow("credit with an error") << creditCase(true);
        QTest::newRow("collection") << collectionCase(false);
        QTest::newRow("collection with an error") << collectionCase(true);
        QTest::newRow("payroll") << payrollCase(false);
        QTest::newRow("payroll with an error") << payrollCase(true);
    }

    void exportByType()
    {
        QFETCH(ExportCase, c);
        writeSettings(c);
        const QString book = writeWorkbook(c);
        const QString dest = m_dir.filePath(QStringLiteral("%1.txt").arg(QTest::currentDataTag()));
        QFile::remove(dest);

        WindowDriver user;
        user.chooseType(c.type);
        user.browseSource(book);
        user.chooseSheet("Data");
        user.browseDestination(dest);
        setUpForm(user, c);
        user.clickExport();

        QAbstractItemModel* log = user.log();
        QCOMPARE(log->rowCount(), 2);
        for (int r = 0; r < log->rowCount(); ++r)
            for (int col = 0; col < log->columnCount(); ++col) {
                const QVariant fg = log->index(r, col).data(Qt::ForegroundRole);
                QCOMPARE(fg.isValid() ? qvariant_cast<QBrush>(fg).color() : QColor(),
                         c.marked.contains(Cell(r, col)) ? markedText : QColor());
            }
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

        if (c.upload.isEmpty())
            QVERIFY(!QFile::exists(dest));
        else
            QCOMPARE(fileBytes(dest), c.upload);
        QVERIFY(!QFile::exists(dest + ".details"));
    }
};

QTEST_MAIN(TestExportsThroughWindow)
#include "tst_exports_through_window.moc"
