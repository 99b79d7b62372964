#include "core/collection/collectionexport.h"
#include "core/credit/creditexport.h"
#include "core/payroll/payrollexport.h"
#include "core/transfer/transferexport.h"
#include "types/registry.h"

#include "enginetest.h"
#include "testworkbook.h"

#include <functional>

using namespace kova;
using namespace expect;

namespace {

enum Type { Transfer, Credit, Collection, Payroll };
const QString acc1 = "1111111111";

// A row each type writes, in the mode given (transfer: WDK, LLG; credit: WDK one to one,
// one to many, LLG, RTGS), with column (1-based) changed to cell.
QVariantList goodRow(int type, int mode = 0, int column = 0, const QVariant& cell = {})
{
    QVariantList row;
    if (type == Transfer)
        row = {"REF001", QDate(2026, 1, 5), "1234567890", "0987654321", 1500000.5, "Rent", "January", mode ? "llg" : "WDK",
               "ABCDEFG", "Bank A", "Main", "Budi Santoso", "Jl. Merdeka 1", "Kebayoran", "Jakarta", "12110", 1, "R"};
    else if (type == Credit)
        row = {"PT Maju Jaya", "0123456789", 1, QStringList{"WDK", "wdk", "LLG", "RTG"}.at(mode), "0140011", "BANK KOVA",
               "JAKARTA", "Invoice 12", "", 2, "R"};
    else if (type == Collection)
        row = {QVariant(), "Budi", acc1, 100, QVariant(), QVariant(), 0, 1};
    else
        row = {QVariant(), "Budi", acc1, 100, "E1", "HR"};
    if (column)
        row[column - 1] = cell;
    return row;
}

// The transfer row's detail record as batch row n, with field at replaced by value.
QString transferDetail(int n, int at = 5, const QString& value = "1500000.50")
{
    QStringList fields = ("1|" + QString::number(n).rightJustified(5, '0') + "|REF001|1234567890|0987654321|1500000.50"
                          "|Rent|January|ABCDEFG|Bank A|Main|Budi Santoso|Jl. Merdeka 1|Kebayoran|Jakarta|12110|1|R|")
                             .split('|');
    fields[at] = value;
    return fields.join('|');
}

QString transferHeader(const QString& id, const QString& corporateId, const QString& tail = "1500000.50|00001|WDK")
{
    return "0|FT|" + id + "|||20260105|" + corporateId + "|" + tail + "|IDR|";
}

// The credit row's detail record in WDK or Others mode, with text put in at position at.
QString creditDetail(bool wdk, const QString& amount = "00000000000000001.00", int at = 0, const QString& text = "1")
{
    return QString("1" + pad("0123456789", 52) + amount + pad("PT Maju Jaya", 70) + (wdk ? "B" : "N") + sp(6) + "0140011"
                   + sp(4) + pad("BANK KOVA", 18) + pad("JAKARTA", 18) + pad("Invoice 12", 18) + sp(36) + "2R"
                   + (wdk ? "014" : "888"))
        .replace(at, text.size(), text);
}

QString collectionDetail(const QString& account, const QString& amount16, const QString& name,
                         const QString& remarks1 = {}, const QString& remarks2 = {}, const QString& flags = "01")
{
    return "1" + pad(account, 10) + sp(24) + "0000" + amount16 + pad(name, 35) + pad(remarks1, 18) + pad(remarks2, 18)
        + flags + sp(70) + "014";
}

QString payrollDetail(const QString& account, const QString& amount15, const QString& empId, const QString& name,
                      const QString& dept)
{
    return "0" + pad(account, 10) + amount15 + pad(empId, 10) + pad(name, 30) + pad(dept, 4);
}

// The sheet column of each field, by field: every field mapped but the date.
QVector<int> sheetColumns(int type)
{
    if (type == Transfer)
        return {1, 0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    if (type == Credit)   // the transfer type before the codes
        return {0, 1, 2, 5, 6, 7, 3, 4, 8, 9, 10, 11};
    if (type == Collection)
        return {0, 2, 3, 4, 5, 6, 7, 8};
    return {0, 2, 3, 4, 5, 6};
}

} // namespace

// Each type's whole records in each of its modes, and a table of its own rules.
class TestTypeExports final : public EngineTest
{
    Q_OBJECT

    std::optional<qint64> m_nextHeaderId;
    // The date filter's column, 0 for none, and the one day it takes.
    int m_dateColumn = 0;
    QDate m_day;
    // Replaces the sheet writeBook() writes, when set.
    std::function<void()> m_writeBook;

    template <typename S>
    S filtered(S s) const
    {
        s.columns[decltype(s.columns)::FieldType::TrxDate] = m_dateColumn;
        s.dateFrom = s.dateTo = m_day;
        return s;
    }

    // Every field mapped but the date; WDK mode (-1) or LLG (0).
    kova::TransferSettings transfer(int clearing) const
    {
        kova::TransferSettings s;
        s.columns.assign(sheetColumns(Transfer));
        s.effectiveDate = QDate(2026, 1, 5);
        s.limits.normalise();
        s.chooseClearing(clearing);
        s.headerIdText = "7";
        s.corporateId = "ABCDE12345";
        s.settingsPath = m_ini;
        return s;
    }

    // The Header ID the form would show next is kept from the last run that gave one.
    ExportOutcome exportTransfer(const kova::TransferSettings& s)
    {
        const ExportResult result = runJob<kova::TransferExport>(s);
        if (result.nextHeaderId)
            m_nextHeaderId = result.nextHeaderId;
        return result.outcome;
    }

    ExportOutcome run(int type, int mode, const QList<QVariantList>& rows)
    {
        if (m_writeBook)
            m_writeBook();
        else
            writeBook("Data", rows);
        const SourceAccount account{"0123456789", "1234/56789/ABCD"};
        if (type == Transfer)
            return exportTransfer(filtered(transfer(mode - 1)));
        if (type == Credit) {
            kova::CreditSettings s;
            s.columns.assign(sheetColumns(Credit));
            s.sourceAccount = account;
            s.effectiveDate = QDate(2024, 3, 5);
            s.immediate = mode % 2 == 0;
            s.batchRemarks1 = "Batch one";
            s.batchRemarks2 = "Second";
            s.limits.normalise();
            s.settingsPath = m_ini;
            kova::chooseBeneficiaryBank(s, mode < 2 ? BankMode::WDK : BankMode::Others, mode % 2);
            return runJob<kova::CreditExport>(filtered(s)).outcome;
        }
        if (type == Collection) {
            kova::CollectionSettings s;
            s.columns.assign(sheetColumns(Collection));
            s.creditedAccount = account;
            s.effectiveDate = QDate(2024, 3, 7);
            s.immediate = mode == 0;
            s.remarks1 = "BATCH ONE";
            s.remarks2 = "exactly 18 chars!!";
            s.settingsPath = m_ini;
            return runJob<kova::CollectionExport>(filtered(s)).outcome;
        }
        kova::PayrollSettings s;
        s.columns.assign(sheetColumns(Payroll));
        s.sourceAccount = account;
        s.effectiveDate = QDate(2024, 3, 7);
        s.afterHoliday = mode == 1;
        s.settingsPath = m_ini;
        return runJob<kova::PayrollExport>(filtered(s)).outcome;
    }

private slots:
    void init()
    {
        freshFolder();
        m_nextHeaderId.reset();
        m_dateColumn = 0;
        m_writeBook = nullptr;
    }

    // A formula the workbook asks to have recalculated (as every workbook
    // libxlsxwriter writes does) has no result to trust, whatever it caches:
    // in any mapped field, the date filter's and the transfer type's included,
    // its row is an error that names the field, is never left out, and
    // nothing is written. The other row stays as it was.
    void formulasWithoutResult()
    {
        for (int type : {Transfer, Credit, Collection, Payroll}) {
            const TypeDescriptor& descriptor = *transactionTypes().at(type);
            const int mode = type == Transfer ? 1 : type == Credit ? 2 : 0;   // LLG: the clearing filter is on
            QVariantList row = goodRow(type, mode);
            m_dateColumn = row.size() + 1;
            m_day = QDate(2026, 1, 5);
            row.append(m_day);
            QVector<int> columns = sheetColumns(type);
            for (int field = 0; field < descriptor.fields.size(); ++field)
                if (descriptor.fields.at(field).kind == kova::CellKind::Date)
                    columns[field] = m_dateColumn;
            for (int field = 0; field < columns.size(); ++field) {
                const int column = columns.at(field);
                if (column < 1)
                    continue;
                const QString name = descriptor.fields.at(field).messageName;
                // The cached result is what the cell held, or another transfer type.
                QVariant cached = row.at(column - 1);
                if (cached.userType() == QMetaType::QDate)
                    cached = 46027;
                if (field == int(TransferField::Remittance) && type == Transfer)
                    cached = "RTG";
                m_writeBook = [&] {
                    TestWorkbook book(m_book);
                    book.addSheet("Data").setRow(1, row).setRow(2, row);
                    book.setFormula(1, column, "=\"x\"&\"y\"", cached.userType() == QMetaType::QString
                                                                      ? cached : QVariant(cached.toDouble()));
                };
                m_sink = RecordingSink();
                QCOMPARE(run(type, mode, {}), ExportOutcome::RowErrors);
                QCOMPARE(m_sink.rows.size(), 2);
                const QString line = error(1, "Formula without a calculated result in " + b(name)
                                                  + ": open and save the workbook in a spreadsheet program");
                QVERIFY2(kova::htmlLines(m_sink.rows.at(0).messages).contains(line), qPrintable(name));
                QCOMPARE(m_sink.rows.at(0).cells.contains({0, descriptor.logColumnOf(field)}),
                         descriptor.logColumnOf(field) >= 0);
                QCOMPARE(kova::htmlLines(m_sink.rows.at(1).messages), QStringList());
                QVERIFY(!QFile::exists(m_dest));
            }
        }
    }

    // The log shows each field's own cell in the column its type declares for
    // it, under that column's title: a distinct text in every cell, so a value
    // put in the wrong column shows.
    void logShowsEachField()
    {
        for (int type : {Transfer, Credit, Collection, Payroll}) {
            QVariantList row = goodRow(type);
            if (type == Collection)
                row[4] = "First", row[5] = "Second";
            QCOMPARE(run(type, 0, {row}), ExportOutcome::Written);
            const TypeDescriptor& descriptor = *transactionTypes().at(type);
            QCOMPARE(m_sink.titles, descriptor.logTitles());
            const QStringList values = m_sink.rows.last().values;
            QCOMPARE(values.size(), descriptor.logColumns.size());
            for (int i = 0; i < values.size(); ++i) {
                const int field = descriptor.logColumns.at(i).field;
                const QString cell = row.value(sheetColumns(type).at(field) - 1).toString();
                const bool amount = descriptor.fields.at(field).kind == CellKind::Amount;
                QCOMPARE(values.at(i).trimmed(), amount ? displayAmount(*validAmount(cell, wholeUnits(1000000000))) : cell);
                QCOMPARE(i == descriptor.amountLogColumn(), amount);
            }
        }
    }

    // Each amount rounds to the cent before it is added to the header's total; the
    // transfer type filter ignores case.
    void wholeRecords_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<QVariantList>>("rows");
        QTest::addColumn<QStringList>("upload");
        const auto amounts = [](int type, int mode, const QVariantList& amounts) {
            QList<QVariantList> rows;
            for (const QVariant& amount : amounts)
                rows << goodRow(type, mode, type == Transfer ? 5 : 3, amount);
            return rows;
        };
        QTest::newRow("transfer, WDK") << int(Transfer) << 0 << amounts(Transfer, 0, {"1500000.5", "0.1"})
            << QStringList{transferHeader("00000007", "ABCDE12345", "1500000.60|00002|WDK"), transferDetail(1),
                           transferDetail(2, 5, "0.10")};
        QTest::newRow("transfer, LLG") << int(Transfer) << 1 << amounts(Transfer, 1, {"1000000", "499999.995", "0.505"})
            << QStringList{transferHeader("00000007", "ABCDE12345", "1500000.51|00003|LLG"),
                           transferDetail(1, 5, "1000000.00"), transferDetail(2, 5, "500000.00"),
                           transferDetail(3, 5, "0.51")};
        // The WDK choice or the clearing names the credit header; the mode marks its detail record.
        const QString batch = sp(15) + pad("Batch one", 18) + pad("Second", 18) + sp(132);
        const QString from = "0123456789 12346789" + sp(15);
        const QString amount = "00000000001500000.50";
        QTest::newRow("credit, WDK, one to one, immediate") << int(Credit) << 0 << amounts(Credit, 0, {"1500000.50"})
            << QStringList{"0SP" + sp(8) + from + amount + "00001WDK" + batch, creditDetail(true, amount)};
        QTest::newRow("credit, WDK, one to many, on a date") << int(Credit) << 1 << amounts(Credit, 1, {1500000.5})
            << QStringList{"0MP20240305" + from + amount + "00001WDK" + batch, creditDetail(true, amount)};
        QTest::newRow("credit, LLG, immediate") << int(Credit) << 2 << amounts(Credit, 2, {250000000})
            << QStringList{"0MP" + sp(8) + from + "00000000250000000.0000001LLG" + batch,
                           creditDetail(false, "00000000250000000.00")};
        QTest::newRow("credit, RTGS, on a date") << int(Credit) << 3 << amounts(Credit, 3, {"750000000.25"})
            << QStringList{"0MP20240305" + from + "00000000750000000.2500001RTG" + batch,
                           creditDetail(false, "00000000750000000.25", 143, "Y")};
        const QList<QVariantList> collectionRows{
            {QVariant(), "Budi Santoso", acc1, 1500000, "INV 001", QVariant(), 1, 0},
            {QVariant(), "PT Maju", "0000000002", "250.505", QVariant(), "second remark", QVariant(), 1}};
        for (int mode : {0, 1})
            QTest::addRow("collection, %s", mode ? "on a date" : "immediate") << int(Collection) << mode << collectionRows
                << QStringList{"0CO" + (mode ? QString("20240307") : sp(8)) + "0123456789 12346789" + sp(15) + "0000"
                                   + "0000001500250.51" + "00002" + pad("BATCH ONE", 18) + "exactly 18 chars!!" + sp(95),
                               collectionDetail(acc1, "0000001500000.00", "Budi Santoso", "INV 001", {}, "10"),
                               collectionDetail("0000000002", "0000000000250.51", "PT Maju", {}, "second remark")};
        const QList<QVariantList> payrollRows{{QVariant(), "Budi Santoso", acc1, "1234567.505", "EMP001", "FIN"},
                                              {QVariant(), "Siti", "0000000002", "0.005", QVariant(), QVariant()}};
        for (int mode : {0, 1})
            QTest::addRow("payroll, %s holiday", mode ? "after" : "before") << int(Payroll) << mode << payrollRows
                << QStringList{sp(11) + "1234" + "0" + "6789" + "ABCD" + "07" + "01" + "0123456789" + "0"
                                   + QString::number(mode) + "00" + "00002" + "00000001234567.52" + "03" + "2024",
                               payrollDetail(acc1, "000000123456751", "EMP001", "Budi Santoso", "FIN"),
                               payrollDetail("0000000002", "000000000000001", {}, "Siti", {})};
    }
    void wholeRecords()
    {
        QFETCH(int, type);
        QFETCH(int, mode);
        QFETCH(QList<QVariantList>, rows);
        QFETCH(QStringList, upload);
        QCOMPARE(run(type, mode, rows), ExportOutcome::Written);
        QCOMPARE(fileLines(m_dest), upload);
        QCOMPARE(m_sink.boxTexts(), QStringList{"Done!"});
    }

    // One cell changed: its log lines, marks, shown value and detail record.
    void rowChecks_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("mode");
        QTest::addColumn<RowCase>("c");
        const auto row = [](const char* name, int type, int mode, int column, const QVariant& cell,
                            const QStringList& messages, const QVector<int>& marked, int at, const QString& shown,
                            const QString& record = {}) {
            QTest::newRow(name) << type << mode
                                << RowCase{goodRow(type, mode, column, cell), messages, marked, at, shown, record};
        };
        const QString ref30 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
        const QString badAmount = error(1, "Invalid amount");
        row("transfer: trailing spaces count", Transfer, 0, 1, ref30 + "  ", {truncated(1, "Trx Ref", 30)}, {}, 0, ref30,
            transferDetail(1, 2, ref30));
        row("transfer: ref with a bar, too long", Transfer, 0, 1, "A|" + ref30,
            {truncated(1, "Trx Ref", 30), invalidChars(1, "Trx Ref")}, {0}, 0, ("A|" + ref30).left(30));
        row("transfer: from acc 11 chars with a letter", Transfer, 0, 3, "123456789x0",
            {invalidChars(1, "From Acc"), error(1, b("From Acc") + " must be 10 characters")}, {1, 1}, 1, "123456789x");
        row("transfer: to acc of 12 digits in Others mode", Transfer, 1, 4, "098765432100", {}, {}, 2, "098765432100",
            transferDetail(1, 4, "098765432100"));
        row("transfer: to acc of 35 digits in Others mode", Transfer, 1, 4, QString(35, '1'),
            {error(1, "String truncated in " + b("To Acc") + ". Exceeding 34 characters")}, {}, 2, QString(34, '1'));
        row("transfer: largest amount", Transfer, 0, 5, "9999999999999.99", {}, {}, 3, "9.999.999.999.999,99",
            transferDetail(1, 5, "9999999999999.99"));
        row("transfer: amount above it", Transfer, 0, 5, "10000000000000", {badAmount}, {3}, 3, "10000000000000");
        row("transfer: bank code mapped and empty", Transfer, 0, 9, QVariant(), {error(1, "Bank Code must be 7 chars")},
            {6}, 6, "");
        row("transfer: cust type 4", Transfer, 0, 17, 4, {error(1, "Invalid Customer Type")}, {14}, 14, "4");
        row("transfer: cust type 2.5, never read as 0", Transfer, 0, 17, 2.5, {error(1, "Invalid Customer Type")}, {14},
            14, "2.5");
        row("transfer: cust type 2^32 + 1, held at the bound, never wrapped to 1", Transfer, 0, 17, 4294967297.0,
            {error(1, "Invalid Customer Type")}, {14}, 14, "2147483647");
        row("transfer: residence, its first char", Transfer, 0, 18, "Non-resident", {}, {}, 15, "N",
            transferDetail(1, 17, "N"));
        // A control character of either set, DEL or a line or paragraph separator ends the record for some
        // reader of the file, pasted into any text field; printable text beyond ASCII is a name as written.
        const QList<QPair<const char*, ushort>> controls{{"vertical tab", 0x0b}, {"form feed", 0x0c}, {"tab", 0x09},
            {"unit separator", 0x1f}, {"DEL", 0x7f}, {"next line U+0085", 0x85}, {"C1 U+009F", 0x9f},
            {"line separator", 0x2028}, {"paragraph separator", 0x2029}};
        for (const auto& [name, code] : controls) {
            const QString name2 = "BUDI" + QString(QChar(code)) + "SANTOSO";
            QTest::addRow("transfer: %s in the name", name) << int(Transfer) << 0
                << RowCase{goodRow(Transfer, 0, 12, name2), {invalidChars(1, "Beneficiary")}, {9}, 9, name2, {}};
        }
        row("transfer: bank code of 7 with a space, 6 once trimmed", Transfer, 0, 9, " 014039",
            {error(1, "Bank Code must be 7 chars")}, {6}, 6, "014039");
        row("transfer: form feed in the bank code", Transfer, 0, 9, "014\f039", {invalidChars(1, "Bank Code")}, {6}, 6, "014\f039");
        row("transfer: vertical tab ending a remark", Transfer, 0, 6, "Rent\v", {invalidChars(1, "Remarks 1")}, {4}, 4, "Rent");
        const QString jose = QString::fromUtf8("Jos\u00e9 \u00d1and\u00fa \u00a0Lima");
        row("transfer: printable text beyond ASCII", Transfer, 0, 12, jose, {}, {}, 9, jose, transferDetail(1, 11, jose));
        const QString one = "00000000000000001.00";
        row("credit: account of 9 digits in Others mode", Credit, 2, 2, "123456789", {}, {}, 1, pad("123456789", 34),
            creditDetail(false, one, 1, pad("123456789", 34)));
        row("credit: account of 9 digits in WDK mode", Credit, 0, 2, "123456789",
            {error(1, b("To Acc") + " must be 10 digits")}, {1}, 1, pad("123456789", 34));
        row("credit: account of 37 digits cut", Credit, 2, 2, QString(37, '1'), {truncated(1, "Acc #", 34)}, {}, 1,
            QString(34, '1'), creditDetail(false, one, 1, QString(34, '1')));
        row("credit: largest amount", Credit, 0, 3, "99999999999999999.99", {}, {}, 2, "99.999.999.999.999.999,99",
            creditDetail(true, "99999999999999999.99"));
        row("credit: largest amount rounds up to above it", Credit, 0, 3, "99999999999999999.995", {badAmount}, {2}, 2,
            "99999999999999999.995");
        row("credit: BI code of 6", Credit, 2, 5, "014001", {error(1, "BI Code must be 7 chars")}, {3}, 3, "014001 ");
        // Seven characters, yet a line break splits the record and a letter beyond ASCII shifts it.
        row("credit: line break in a BI code of 7", Credit, 2, 5, "014\n001", {invalidChars(1, "BI Code")}, {3}, 3, "014\n001");
        row("credit: BI code of 7 beyond ASCII", Credit, 2, 5, QString::fromUtf8("01400\xc3\xa9""1"), {invalidChars(1, "BI Code")},
            {3}, 3, QString::fromUtf8("01400\xc3\xa9""1"));
        row("credit: cust type text 2", Credit, 0, 10, "2", {}, {}, 8, "2", creditDetail(true, one, 251, "2"));
        // The first character of nothing is nothing: no space is made up for it.
        row("credit: residence empty", Credit, 0, 11, "", {error(1, "Invalid Residence")}, {9}, 9, "");
        const QString accLength = error(1, b("Acc # ") + "must be 10 digits");
        const QString hundred = "0000000000100.00";
        // Only the unmapped date column holds something, so the row is in the used range.
        QTest::newRow("collection: empty row") << int(Collection) << 0
                                               << RowCase{{"x"}, {accLength, badAmount}, {1, 2}, 5, "0", {}};
        row("collection: letters in account, no length error", Collection, 0, 3, "12345abcde",
            {invalidChars(1, "Acc #")}, {1}, 1, "12345abcde");
        row("collection: eleven digits, not cut", Collection, 0, 3, "12345678901", {accLength}, {1}, 1, "12345678901");
        row("collection: largest amount", Collection, 0, 4, "9999999999999.99", {}, {}, 2, "9.999.999.999.999,99",
            collectionDetail(acc1, "9999999999999.99", "Budi"));
        row("collection: amount above it", Collection, 0, 4, "10000000000000", {badAmount}, {2}, 2, "10000000000000");
        row("collection: residence 2", Collection, 0, 7, 2, {error(1, "Invalid Residence")}, {5}, 5, "2");
        row("collection: citizen 2.5, shown as read", Collection, 0, 8, 2.5, {error(1, "Invalid Citizen")}, {6}, 6, "2.5");
        row("collection: citizen as a letter, never read as 0", Collection, 0, 8, "W", {error(1, "Invalid Citizen")}, {6}, 6,
            "W");
        row("collection: residence as text with spaces", Collection, 0, 7, " 1 ", {}, {}, 5, "1",
            collectionDetail(acc1, hundred, "Budi", {}, {}, "11"));
        row("collection: empty citizen written as 0", Collection, 0, 8, QVariant(), {}, {}, 6, "0",
            collectionDetail(acc1, hundred, "Budi", {}, {}, "00"));
        const QString name40 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789wxyz";
        row("collection: 40-character name cut", Collection, 0, 2, name40, {truncated(1, "Account Name", 35)}, {}, 0,
            name40.left(35), collectionDetail(acc1, hundred, name40.left(35)));
        const QString tooLong = error(1, "Employee Name is exceeding 30 chars");
        QTest::newRow("payroll: empty row") << int(Payroll) << 0
            << RowCase{{"x"}, {error(1, b("Account Number ") + "must be 10 digits"), badAmount}, {1, 2}, 2, "", {}};
        row("payroll: largest amount", Payroll, 0, 4, "999999999999.99", {}, {}, 2, "999.999.999.999,99",
            payrollDetail(acc1, "099999999999999", "E1", "Budi", "HR"));
        row("payroll: amount above it", Payroll, 0, 4, "1000000000000", {badAmount}, {2}, 2, "1000000000000");
        // A name is never cut: too long is an error, shown whole.
        row("payroll: 31-character name", Payroll, 0, 2, QString(31, 'n'), {tooLong}, {0}, 0, QString(31, 'n'));
        row("payroll: 30-character name", Payroll, 0, 2, QString(30, 'n'), {}, {}, 0, QString(30, 'n'),
            payrollDetail(acc1, "000000000010000", "E1", QString(30, 'n'), "HR"));
        row("payroll: 12-character employee ID cut", Payroll, 0, 5, "EMP-12345678", {truncated(1, "Employee ID", 10)}, {},
            3, "EMP-123456", payrollDetail(acc1, "000000000010000", "EMP-123456", "Budi", "HR"));
        QTest::newRow("payroll: every problem, in field order") << int(Payroll) << 0
            << RowCase{{QVariant(), QString(31, 'n') + "\n", "12a", "x", "ID-0123456789", "Dept\n"},
                       {invalidChars(1, "Acc #"), badAmount, truncated(1, "Employee ID", 10), tooLong,
                        invalidChars(1, "Employee Name"), truncated(1, "Department", 4), invalidChars(1, "Department")},
                       {1, 2, 0, 0, 4}, 4, "Dept", {}};
    }
    void rowChecks()
    {
        QFETCH(int, type);
        QFETCH(int, mode);
        QFETCH(RowCase, c);
        checkRow(run(type, mode, {c.cells}), c);
    }

    // Transfer: the batch's own data is checked first. The Header ID is reserved only for a batch that is
    // written, never behind the one stored (7), so that no number is used twice; an upload that then fails
    // skips it. A typed one below it was used: refused, with the free one offered.
    void transferBatchData_data()
    {
        QTest::addColumn<QString>("typed");   // empty: the stored one is taken
        QTest::addColumn<QString>("corporateId");
        QTest::addColumn<QString>("fromAcc");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("next");        // 0: nothing reserved
        QTest::addColumn<int>("offered");     // the Header ID handed back to the form, 0 none
        const QString id = "ABCDE12345", acc = "1234567890", maxId = "Max value of Header ID is 99999999";
        QTest::newRow("7 typed") << "7" << id << acc << "Done!" << 8 << 8;
        QTest::newRow("6 typed, already used") << "6" << id << acc << "Header ID 6 was already used; the next free one is 7" << 0 << 7;
        QTest::newRow("largest") << "99999999" << id << acc << "Done!" << 100000000 << 100000000;
        QTest::newRow("stored one taken") << "" << id << acc << "Done!" << 8 << 8;
        QTest::newRow("row errors") << "3" << id << "12" << "ERROR!" << 0 << 0;
        QTest::newRow("upload fails") << "9" << id << acc << "Failed open file for writing" << 10 << 10;
        QTest::newRow("Header ID 0") << "0" << id << acc << "Invalid Header ID" << 0 << 0;
        QTest::newRow("Header ID 100000000") << "100000000" << id << acc << maxId << 0 << 0;
        QTest::newRow("Header ID -5") << "-5" << id << acc << maxId << 0 << 0;
        QTest::newRow("Header ID beyond 32 bits") << "4294967297" << id << acc << maxId << 0 << 0;
        QTest::newRow("Corporate ID of spaces") << "3" << sp(10) << acc << "Corporate ID can not be empty" << 0 << 0;
        QTest::newRow("Corporate ID of 9") << "3" << "ABCDE1234" << acc << "Corporate ID must be 10 chars" << 0 << 0;
        // It goes into the "|"-separated header as it is.
        QTest::newRow("Corporate ID with a bar") << "3" << "ABCDE|2345" << acc << "Corporate ID contains invalid chars" << 0 << 0;
        QTest::newRow("Corporate ID with a leading space") << "9" << " BCDE12345" << acc << "Done!" << 10 << 10;
        QTest::newRow("Corporate ID inner space") << "9" << "ABCDE 2345" << acc << "Done!" << 10 << 10;
        // Nothing but printable ASCII: the bank matches it byte for byte.
        const QString invalidId = "Corporate ID contains invalid chars";
        QTest::newRow("Corporate ID with a tab") << "3" << "KOVA\tDEMO1" << acc << invalidId << 0 << 0;
        QTest::newRow("Corporate ID with a line break") << "3" << "KOVADEMO1\n" << acc << invalidId << 0 << 0;
        QTest::newRow("Corporate ID with 0x1F") << "3" << "KOVA\x1f""DEMO1" << acc << invalidId << 0 << 0;
        QTest::newRow("Corporate ID with an accent") << "3" << QString::fromUtf8("KOVAD\xc3\x89MO01") << acc << invalidId << 0 << 0;
        QTest::newRow("Corporate ID with a no-break space") << "3" << QString::fromUtf8("KOVA\xc2\xa0""DEMO1") << acc << invalidId << 0 << 0;
        QTest::newRow("Header ID with a tab") << "3\t" << id << acc << "Invalid Header ID" << 0 << 0;
        QTest::newRow("Header ID with a no-break space") << QString::fromUtf8("3\xc2\xa0") << id << acc << "Invalid Header ID" << 0 << 0;
    }
    void transferBatchData()
    {
        QFETCH(QString, typed);
        QFETCH(QString, corporateId);
        QFETCH(QString, fromAcc);
        QFETCH(QString, box);
        QFETCH(int, next);
        QFETCH(int, offered);
        QSettings(m_ini, QSettings::IniFormat).setValue("Transfer/HeaderID", 7);
        if (box.startsWith("Failed"))
            QVERIFY(QDir().mkpath(m_dest));   // a folder stands where the file should go
        kova::TransferSettings s = transfer(-1);
        s.useStoredHeaderId = typed.isEmpty();
        s.headerIdText = typed.isEmpty() ? s.headerIdText : typed;
        s.corporateId = corporateId;
        writeBook("Data", {goodRow(Transfer, 0, 3, fromAcc)});
        exportTransfer(s);
        QCOMPARE(m_sink.boxTexts(), QStringList{box});
        const QString used = QString::number(typed.isEmpty() ? 7 : typed.toInt()).rightJustified(8, '0');
        QCOMPARE(fileLines(m_dest).value(0), box == "Done!" ? transferHeader(used, corporateId) : "<no final line feed>");
        QCOMPARE(m_nextHeaderId, offered ? std::optional<qint64>(offered) : std::nullopt);
        QCOMPARE(QSettings(m_ini, QSettings::IniFormat).value("Transfer/HeaderID").toInt(), next ? next : 7);
    }

    // The stored Header ID reads as a whole number or as none, never as 0: a text such as "4.0"
    // shows as it stands and is refused, where shown as 1 one Save would start the count again.
    // A run that types none takes the stored one and is refused as its export would be.
    void storedHeaderId_data()
    {
        QTest::addColumn<QVariant>("stored");   // none: no key
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("typed");     // the refusal of the shown one as typed, as the window checks it
        QTest::addColumn<QString>("untyped");   // the refusal of a run that types none
        const QString bound = "Max value of Header ID is 99999999", invalid = "Invalid Header ID";
        const auto notWhole = [](const QString& text) {
            return "Settings key Transfer/HeaderID is not a whole number: \"" + text + "\"";
        };
        QTest::newRow("missing") << QVariant() << "1" << "" << "";
        QTest::newRow("0") << QVariant("0") << "1" << "" << "";
        QTest::newRow("41") << QVariant(41) << "41" << "" << "";
        QTest::newRow("spaces around") << QVariant(" 41 ") << "41" << "" << "";
        QTest::newRow("largest") << QVariant("99999999") << "99999999" << "" << "";
        QTest::newRow("beyond the bound") << QVariant("100000000") << "100000000" << bound << bound;
        QTest::newRow("negative") << QVariant("-5") << "-5" << bound << bound;
        // Read as 32 bits it would be 42.
        QTest::newRow("beyond 32 bits") << QVariant("4294967338") << "4294967338" << bound << bound;
        for (const QString text : {"4.0", "1e3", "abc", ""})
            QTest::addRow("\"%s\"", qPrintable(text)) << QVariant(text) << text << invalid << notWhole(text);
    }
    void storedHeaderId()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        QFETCH(QString, untyped);
        if (stored.isValid())
            QSettings(m_ini, QSettings::IniFormat).setValue("Transfer/HeaderID", stored);
        kova::TransferSettings s = transfer(-1);
        s.headerIdText = kova::readTransferSettings(m_ini).headerIdText;
        QCOMPARE(s.headerIdText, shown);
        QCOMPARE(kova::validateTransferSettings(s), typed);
        s.useStoredHeaderId = true;
        QCOMPARE(kova::validateTransferSettings(s), untyped);
    }

    // Credit: warnings alone still write; they name the fields as the layout does, not as the log.
    void creditTruncationWarnings()
    {
        QVariantList row = goodRow(Credit, 2, 1, QString(71, 'n'));
        for (int column : {6, 7, 8, 9})
            row[column - 1] = QString(19, 'b');
        QCOMPARE(run(Credit, 2, {row}), ExportOutcome::Written);
        QCOMPARE(m_sink.allMessages(), (QStringList{truncated(1, "Beneficiary", 70), truncated(1, "Bank Name", 18),
                                                    truncated(1, "Branch", 18), truncated(1, "Remarks 1", 18),
                                                    truncated(1, "Remarks 2", 18)}));
        QCOMPARE(fileLines(m_dest).at(1).mid(73, 71), QString(70, 'n') + "N");
    }

    // A stated array size is only text a person may edit: it never sizes memory, and entry
    // numbers past 1,000 are not read.
    void storedAccounts()
    {
        writeSettings(m_ini, "Credit", {{"Accounts/size", "300000000"}, {"Accounts/1/Account", "a1"},
                                        {"Accounts/3/Account", "a3"}, {"Accounts/1001/Account", "a1001"}});
        QCOMPARE(kova::readAccounts(m_ini, "Credit"), (QVector<SourceAccount>{{"a1", ""}, {"", ""}, {"a3", ""}}));
    }
};

QTEST_GUILESS_MAIN(TestTypeExports)
#include "test_type_exports.moc"
