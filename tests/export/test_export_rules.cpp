#include "core/collection/collectionexport.h"
#include "core/credit/creditexport.h"
#include "core/payroll/payrollexport.h"
#include "core/transfer/transferexport.h"
#include "export/batchremarks.h"
#include "export/textfield.h"
#include "render/messagetext.h"

#include "enginetest.h"

#include <QtTest>
#include <functional>
#include <memory>
#include <tuple>

using namespace kova;
using namespace expect;

Q_DECLARE_METATYPE(RowMessage)

namespace {

enum Type { Transfer, Credit, Collection, Payroll };

// One sheet serves the four types: 1 date, 2 name, 3 account, 4 amount,
// 5 transfer type, 6 transfer ref, 7 transfer's From Acc; the collection
// flags (8, 9) stay empty, which reads as 0.
QVariantList goodRow(const QVariant& date, const QVariant& amount, const QVariant& name = "Budi",
                     const QString& type = "WDK")
{
    return {date, name, "1111111111", amount, type, "REF1", "2222222222"};
}

const SourceAccount account{"0123456789", "1234/56789/ABCD"};
const QString codeFormat = "Company Code must be in the format 1234/56789/ABCD\n(4 numeric / 5 numeric/ 4 letters)";

TransferSettings transferSettings()
{
    TransferSettings s;
    using F = TransferField;
    for (auto [field, column] : std::initializer_list<std::pair<F, int>>{
             {F::Beneficiary, 2}, {F::ToAcc, 3}, {F::Amount, 4}, {F::Remittance, 5}, {F::TrxRef, 6}, {F::FromAcc, 7}})
        s.columns[field] = column;
    s.limits.normalise();
    s.chooseClearing(-1);
    s.headerIdText = "1";
    s.corporateId = "ABCDE12345";
    return s;
}

CreditSettings creditSettings()
{
    CreditSettings s;
    s.columns[CreditField::BeneficiaryName] = 2;
    s.columns[CreditField::Account] = 3;
    s.columns[CreditField::Amount] = 4;
    s.columns[CreditField::TransferType] = 5;
    s.sourceAccount = account;
    s.limits.normalise();
    chooseBeneficiaryBank(s, BankMode::WDK, 0);
    return s;
}

CollectionSettings collectionSettings()
{
    CollectionSettings s;
    using F = CollectionField;
    for (auto [field, column] : std::initializer_list<std::pair<F, int>>{
             {F::AccountName, 2}, {F::AccountNumber, 3}, {F::Amount, 4}, {F::Residence, 8}, {F::Citizen, 9}})
        s.columns[field] = column;
    s.creditedAccount = account;
    return s;
}

PayrollSettings payrollSettings()
{
    PayrollSettings s;
    s.columns[PayrollField::AccountName] = 2;
    s.columns[PayrollField::AccountNumber] = 3;
    s.columns[PayrollField::Amount] = 4;
    s.sourceAccount = account;
    return s;
}

// "<name> can not be empty" for each name: the required mappings in check order.
QStringList unmapped(std::initializer_list<const char*> names)
{
    QStringList messages;
    for (const char* name : names)
        messages << QString::fromLatin1(name) + " can not be empty";
    return messages;
}

QStringList accountRefusals(const QString& who, const QString& notDefined)
{
    return {notDefined, who + " contains invalid chars", who + " must be 10 chars", codeFormat};
}

// Each of fields mapped in turn.
template <typename S, typename F>
void mapInTurn(QList<std::function<void(S&)>>& fixes, std::initializer_list<F> fields)
{
    for (F f : fields)
        fixes << [f](S& s) { s.columns[f] = 1; };
}

// The source account checks, each fixed in turn.
template <typename S>
QList<std::function<void(S&)>> accountFixes(std::optional<SourceAccount> S::*row)
{
    return {[row](S& s) { s.*row = SourceAccount{"12345abcde", "1234/5678/ABCD"}; },
            [row](S& s) { (s.*row)->account = "123456789"; }, [row](S& s) { (s.*row)->account = "0123456789"; },
            [row](S& s) { (s.*row)->companyCode = account.companyCode; }};
}

} // namespace

class TestExportRules final : public EngineTest
{
    Q_OBJECT

    template <typename S>
    S common(S s, int dateColumn = 0, bool header = false)
    {
        s.dateFrom = s.effectiveDate = QDate(2024, 3, 5);
        s.dateTo = QDate(2024, 3, 9);
        s.hasColumnHeader = header;
        s.settingsPath = m_ini;
        s.columns[decltype(s.columns)::FieldType::TrxDate] = dateColumn;
        return s;
    }

    ExportOutcome exportWith(const TransferSettings& s) { return runTransferExport(s, m_book, "Data", m_dest, m_sink); }
    ExportOutcome exportWith(const CreditSettings& s) { return runCreditExport(s, m_book, "Data", m_dest, m_sink); }
    ExportOutcome exportWith(const CollectionSettings& s)
    {
        return runCollectionExport(s, m_book, "Data", m_dest, m_sink);
    }
    ExportOutcome exportWith(const PayrollSettings& s) { return runPayrollExport(s, m_book, "Data", m_dest, m_sink); }

    ExportOutcome run(int type, const QList<QVariantList>& rows, int dateColumn = 0, bool header = false)
    {
        writeBook("Data", rows);
        m_sink = RecordingSink();
        switch (type) {
        case Transfer: return exportWith(common(transferSettings(), dateColumn, header));
        case Credit: return exportWith(common(creditSettings(), dateColumn, header));
        case Collection: return exportWith(common(collectionSettings(), dateColumn, header));
        default: return exportWith(common(payrollSettings(), dateColumn, header));
        }
    }

    // Exports after each fix in turn and collects the message boxes; a refusal
    // comes alone, before anything is read.
    template <typename S>
    QStringList boxesWhileFixing(S s, const QList<std::function<void(S&)>>& fixes)
    {
        QStringList boxes;
        for (int i = 0; i <= fixes.size(); ++i) {
            m_sink = RecordingSink();
            exportWith(s);
            boxes += m_sink.boxTexts();
            if (i == fixes.size())
                break;
            if (m_sink.headerReports)
                boxes << "read on";
            fixes.at(i)(s);
        }
        return boxes;
    }

    // After the columns, the first of which is "type".
    void addTypeRows(const std::function<void(QTestData&, int)>& more)
    {
        for (auto [name, type] : std::initializer_list<std::pair<const char*, int>>{
                 {"transfer", Transfer}, {"credit", Credit}, {"collection", Collection}, {"payroll", Payroll}})
            more(QTest::newRow(name) << int(type), type);
    }

private slots:
    void init() { freshFolder(); }

    void textFields()
    {
        QVERIFY(isDigitsOnly(QString()));
        QVERIFY(!isDigitsOnly("-1"));
        // Arabic-Indic digits are digits to Unicode but not to the bank.
        QVERIFY(!isDigitsOnly(QString::fromUtf8("\u0661\u0662")));
        QVERIFY(hasLineBreak("a\rb") && !hasLineBreak("a\tb"));
        QVERIFY(isPrintableAscii(" Az~") && !isPrintableAscii("a\tb"));
        QVERIFY(hasControlCharacter(QString::fromUtf8("a\u0085b")));
        QVERIFY(!hasControlCharacter(QString::fromUtf8("Caf\u00e9.txt")));
        QCOMPARE(cutTrimmed(" abc  def ", 6), QString("abc"));
        QCOMPARE(leftField("abc", 5) + leftField("abcdef", 4) + leftPadded("abcdef", 4), QString("abc  abcdabcdef"));
        QCOMPARE(rightField("5.00", 8, '0') + rightPadded("123456", 5, '0'), QString("00005.00123456"));
        // Each remark's length before its characters, remarks 1 before remarks 2.
        QCOMPARE(batchRemarksRefusal(QString(19, QChar(0xe9)), "a\tb"), QString("Trx Remarks 1 is exceeding 18 chars"));
        QCOMPARE(batchRemarksRefusal("ok", "a\nb"), QString("Trx Remarks 2 contains invalid chars"));
    }

    void limits()
    {
        const quint64 top = 999999999999999ULL;
        // MinLLG, MaxLLG, MinRTGS, MaxRTGS as stored, then normalised.
        const QList<QPair<QList<quint64>, QList<quint64>>> rows{
            {{0, 0, 0, 0}, {1, 500000000, 500000001, top}}, {{200, 100, 0, 0}, {200, 500000000, 500000001, top}},
            {{10, 1000, 5, 2000}, {10, 1000, 1001, 2000}}, {{5, 10, 11, 12}, {5, 10, 11, 12}},
            {{5, 5, 500000000, 500000001}, {5, 500000000, 500000001, top}}};
        for (const auto& [stored, normalised] : rows) {
            ClearingLimits l{stored[0], stored[1], stored[2], stored[3]};
            l.normalise();
            QCOMPARE((QList<quint64>{l.minLLG, l.maxLLG, l.minRTGS, l.maxRTGS}), normalised);
        }
        QVERIFY(storeLimit(m_ini, maxLimitKey(0), 100) && storeLimit(m_ini, minLimitKey(1), 200));
        const ClearingLimits l = ClearingLimits::load(m_ini);
        QCOMPARE((QList<quint64>{l.minLLG, l.maxLLG, l.minRTGS}), (QList<quint64>{1, 100, 200}));
        QVERIFY(QDir().mkpath(m_dir->filePath("blocked.ini")));   // a folder where the file should be
        QVERIFY(!storeLimit(m_dir->filePath("blocked.ini"), "MinLLG", 5));

        for (auto [text, value] : std::initializer_list<std::pair<const char*, quint64>>{
                 {"500.000.000", 500000000}, {"", 0}, {"abc", 0}, {"-5", 0}, {"999.999.999.999.999", top}})
            QCOMPARE(parseLimitText(text), value);
        QCOMPARE(limitText(top), QString("999.999.999.999.999"));
        QCOMPARE(checkLimitTexts("abc", "5") + checkLimitTexts("0", "0"), QString("Invalid minimum limit").repeated(2));
        QCOMPARE(checkLimitTexts("5", "0.000"), QString("Invalid maximum limit"));
        QCOMPARE(checkLimitTexts("9.000", "5"), QString());   // min above max passes
    }

    // Mode and clearing (-1 WDK, 0 LLG, 1 RTGS) against the row's transfer
    // type, ignoring case; then the limit of the clearing, ignoring case too.
    void clearingFilterAndLimits()
    {
        const QList<std::tuple<int, const char*, bool>> filter{
            {-1, "wdk", true}, {-1, "LLG", false}, {-1, "", false}, {0, "LLG", true}, {0, "rtg", false},
            {0, "RTGS", true}, {0, "Wdk", false}, {0, "", true}, {1, "RTG", true}, {1, "llg", false},
            {1, "WDK", false}, {1, "", true}};
        for (const auto& [clearing, type, processed] : filter)
            QVERIFY2(BankFilter({clearing < 0 ? BankMode::WDK : BankMode::Others, clearing, 1, 5}).accepts(type)
                         == processed, type);
        const QString llg = "LLG amount exceeding max limit 500.000.000";
        const QString rtgs = "RTGS amount below min limit 500.000.001";
        const QList<std::tuple<int, qint64, const char*, QString>> limits{
            {0, 50000000000, "LLG", ""}, {0, 50000000001, "LLG", llg}, {0, 90000000000, "llg", llg},
            {0, 90000000000, "", ""}, {1, 50000000100, "RTG", ""}, {1, 50000000099, "RTG", rtgs},
            {1, 100, "rtg", rtgs}, {1, 100, "", ""}, {-1, 90000000000, "LLG", ""}};
        for (const auto& [clearing, cents, type, tail] : limits) {
            const BankFilter f{clearing < 0 ? BankMode::WDK : BankMode::Others, clearing,
                               clearing == 1 ? 500000001ULL : 1ULL, clearing == 1 ? 999999999999999ULL : 500000000ULL};
            QCOMPARE(f.limitError(Cents(cents), type), tail);
        }
    }

    // Every shape of message line, as the window's log and the terminal show it.
    void messageLines_data()
    {
        QTest::addColumn<RowMessage>("message");
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("plain");
        QTest::newRow("no title") << RowMessage{Severity::Error, 2, {"Invalid amount", {}, {}}}
                                  << error(2, "Invalid amount") << "LINE 2: Error. Invalid amount";
        QTest::newRow("title first") << RowMessage{Severity::Error, 1, {{}, "To Acc", " must be 10 digits"}}
                                     << error(1, b("To Acc") + " must be 10 digits")
                                     << "LINE 1: Error. To Acc must be 10 digits";
        QTest::newRow("space in the title") << RowMessage{Severity::Error, 7, {{}, "Acc # ", "must be 10 digits"}}
                                            << error(7, b("Acc # ") + "must be 10 digits")
                                            << "LINE 7: Error. Acc # must be 10 digits";
        QTest::newRow("title last") << RowMessage{Severity::Error, 12, invalidCharacters("From Acc")}
                                    << invalidChars(12, "From Acc")
                                    << "LINE 12: Error. Invalid characters found in From Acc";
        QTest::newRow("warning") << RowMessage{Severity::Warning, 999999, kova::truncated("Department", 4)}
                                 << expect::truncated(999999, "Department", 4)
                                 << "LINE 999999: Warning. String truncated in Department. Exceeding 4 characters";
    }

    void messageLines()
    {
        QFETCH(RowMessage, message);
        QFETCH(QString, html);
        QFETCH(QString, plain);
        QCOMPARE(htmlLine(message), html);
        QCOMPARE(plainLine(message), plain);
    }

    void sourceAccounts()
    {
        const QList<std::tuple<const char*, QString, QString>> rows{
            {"0123456789", "1234/56789/ABCD", ""}, {"1234567890", "1234/56789/abcd", ""},
            {"", "1234/56789/ABCD", "Source Acc must be 10 chars"},
            {"12345 6789", "1234/56789/ABCD", "Source Acc contains invalid chars"},
            {"1234567890", "1234/56789/AB12", codeFormat}, {"1234567890", "1234/56789/ABCDE", codeFormat},
            {"1234567890", QString::fromUtf8("1234/56789/\u00c4BCD"), codeFormat}};
        for (const auto& [number, code, message] : rows)
            QCOMPARE(checkSourceAccount(SourceAccount{number, code}, creditAccountMessages), message);

        QVector<SourceAccount> five;
        for (int i = 0; i < 5; ++i)
            five.append({QString::number(1000000000 + i), QString("1234/56789/ABC") + QChar('A' + i)});
        QSettings s(m_ini, QSettings::IniFormat);
        s.beginGroup("Payroll");
        saveAccounts(s, five);
        QCOMPARE(loadAccounts(s), five);
        saveAccounts(s, five.mid(0, 2));   // a shorter table leaves no stale entries
        QCOMPARE(loadAccounts(s), five.mid(0, 2));
        QVERIFY(!s.contains("Accounts/3/Account"));
        s.endGroup();
        s.sync();
        // Only the accounts array is stored: the mapping was never saved.
        const QStringList keys{"TrxDate", "Amount"};
        QCOMPARE(readColumnIndexes(m_ini, "Payroll", keys), (QVector<int>{0, 0}));
        s.setValue("Payroll/Amount", 4);
        s.sync();
        QCOMPARE(readColumnIndexes(m_ini, "Payroll", keys), (QVector<int>{0, 4}));
        QCOMPARE((QList<int>{effectiveColumn(4, 3), effectiveColumn(3, 3), effectiveColumn(-1, 3)}),
                 (QList<int>{0, 3, 0}));
        // Portable beside the program; installed under a folder the user cannot
        // write, in the user's own configuration.
        QCOMPARE(settingsPathFor("/opt/kova/bin", true, "/home/ani/.config"), QString("/opt/kova/bin/kova.ini"));
        QCOMPARE(settingsPathFor("/usr/bin", false, "/home/ani/.config"), QString("/home/ani/.config/kova/kova.ini"));
    }

    // The batch checks of each type in their order, then an empty sheet, which
    // no type writes.
    void batchRefusalsInOrder_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("boxes");
        const QStringList others = unmapped({"BI Code", "Bank", "Branch"});
        const QStringList limits{"Invalid minimum limit", "Invalid maximum limit", "No rows to export"};
        const QString remarks = "Trx Remarks ";
        QTest::newRow("transfer") << int(Transfer)
            << unmapped({"Trx Ref #", "From Acc #", "To Acc #", "Amount", "Transfer Type"}) + others
                   + unmapped({"Name", "Cust Type", "Cust Residence"}) + limits;
        QTest::newRow("credit") << int(Credit)
            << accountRefusals("Source Acc", "Source Account has not been defined")
                   + QStringList{remarks + "1 is exceeding 18 chars", remarks + "2 contains invalid chars"}
                   + unmapped({"Beneficiary Account", "Amount", "Transfer Type"}) + others
                   + unmapped({"Beneficiary", "Cust Type", "Cust Residence"}) + limits;
        QTest::newRow("collection") << int(Collection)
            << accountRefusals("Credited Acc", "Credited Account has not been defined")
                   + QStringList{remarks + "1 contains invalid chars", remarks + "2 is exceeding 18 chars"}
                   + unmapped({"Account Name", "Account Number", "Amount", "Residence", "Citizen"}) + limits.mid(2);
        QTest::newRow("payroll") << int(Payroll)
            << accountRefusals("Source Acc", "Source Acc has not been defined")
                   + unmapped({"Account Name", "Account Number", "Amount"}) + limits.mid(2);
    }

    void batchRefusalsInOrder()
    {
        QFETCH(int, type);
        QFETCH(QStringList, boxes);
        writeBook("Data", {});
        QStringList seen;
        if (type == Transfer) {
            using F = TransferField;
            TransferSettings s = transferSettings();
            s.columns = {};
            s.chooseClearing(0);
            s.minLimitText = s.maxLimitText = "0";
            QList<std::function<void(TransferSettings&)>> fixes;
            mapInTurn(fixes, {F::TrxRef, F::FromAcc, F::ToAcc, F::Amount, F::Remittance, F::BICode, F::Bank,
                              F::Branch, F::Beneficiary, F::CustType, F::Residence});
            fixes << [](TransferSettings& t) { t.minLimitText = "1"; } << [](TransferSettings& t) { t.maxLimitText = "5"; };
            seen = boxesWhileFixing(common(s), fixes);
        } else if (type == Credit) {
            CreditSettings s;
            s.batchRemarks1 = QString(19, 'r');
            s.batchRemarks2 = "a\tb";
            chooseBeneficiaryBank(s, BankMode::Others, 0);
            s.minLimitText = s.maxLimitText = "0";
            auto fixes = accountFixes(&CreditSettings::sourceAccount);
            fixes << [](CreditSettings& c) { c.batchRemarks1.chop(1); } << [](CreditSettings& c) { c.batchRemarks2 = "ab"; };
            using F = CreditField;
            mapInTurn(fixes, {F::Account, F::Amount, F::TransferType, F::BICode, F::Bank, F::Branch,
                              F::BeneficiaryName, F::CustType, F::Residence});
            fixes << [](CreditSettings& c) { c.minLimitText = "1"; } << [](CreditSettings& c) { c.maxLimitText = "5"; };
            seen = boxesWhileFixing(common(s), fixes);
        } else if (type == Collection) {
            using C = CollectionSettings;
            C s;
            s.remarks1 = QString::fromUtf8("Caf\u00e9");
            s.remarks2 = QString(19, 'r');
            auto fixes = accountFixes(&C::creditedAccount);
            fixes << [](C& c) { c.remarks1 = "Cafe"; } << [](C& c) { c.remarks2.chop(1); };
            using F = CollectionField;
            mapInTurn(fixes, {F::AccountName, F::AccountNumber, F::Amount, F::Residence, F::Citizen});
            seen = boxesWhileFixing(common(s), fixes);
        } else {
            using P = PayrollSettings;
            auto fixes = accountFixes(&P::sourceAccount);
            using F = PayrollField;
            mapInTurn(fixes, {F::AccountName, F::AccountNumber, F::Amount});
            seen = boxesWhileFixing(common(P()), fixes);
        }
        QCOMPARE(seen, boxes);
        QVERIFY(!QFile::exists(m_dest));
    }

    // Rows outside the dates, without a date or with a text date are skipped
    // and take no line number; transfer and credit in WDK mode skip other
    // transfer types too. The total adds the rounded amounts.
    void dateFilterLineNumbersAndSummary_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("amountColumn");
        QTest::addColumn<QStringList>("summary");
        addTypeRows([](QTestData& row, int type) {
            if (type == Transfer || type == Credit)
                row << (type == Transfer ? 3 : 2) << summary("3 of 8", "30,02", 0, 1);
            else
                row << 2 << summary("4 of 8", "31,02", 0, 1);
        });
    }

    void dateFilterLineNumbersAndSummary()
    {
        QFETCH(int, type);
        QFETCH(int, amountColumn);
        QFETCH(QStringList, summary);
        const QDate first(2024, 3, 5);
        const QDate last(2024, 3, 9);
        const auto outcome = run(type, {{"Date"}, goodRow(first.addDays(-1), 1), goodRow(first, "10.005"),
                                        goodRow(QVariant(), 1), goodRow("06/03/2024", 1), goodRow(first, "x"),
                                        goodRow(first, 1, "Budi", "LLG"), goodRow(last, "20.005"),
                                        goodRow(last.addDays(1), 1)},
                                 1, true);
        QCOMPARE(outcome, ExportOutcome::RowErrors);
        QCOMPARE(m_sink.allMessages(), QStringList{error(2, "Invalid amount")});
        QCOMPARE(m_sink.rows.at(1).cells, (QVector<MarkedCell>{{1, amountColumn}}));
        QCOMPARE(m_sink.summary, summary);
        QCOMPARE(m_sink.boxTexts(), QStringList{"ERROR!"});
        QVERIFY(!QFile::exists(m_dest));
    }

    // A fixed-width record counts bytes at the bank: only printable ASCII. A
    // line break would split any record.
    void textCharacters_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("logColumn");
        addTypeRows([](QTestData& row, int type) {
            const char* titles[] = {"Beneficiary", "Beneficiary Name", "Account Name", "Employee Name"};
            row << QString(titles[type]) << (type == Transfer ? 9 : 0);
        });
    }

    void textCharacters()
    {
        QFETCH(int, type);
        QFETCH(QString, title);
        QFETCH(int, logColumn);
        for (const QString& name : {QString::fromUtf8("Jos\u00e9"), QString("Bu\tdi"), QString("Bu\ndi")}) {
            const bool refused = type != Transfer || name.contains('\n');
            run(type, {goodRow(QVariant(), 1, name)});
            QCOMPARE(m_sink.allMessages(), refused ? QStringList{invalidChars(1, title)} : QStringList());
            QCOMPARE(m_sink.rows.at(0).cells, QVector<MarkedCell>(refused ? 1 : 0, {0, logColumn}));
        }
    }

    // Refused after the summary when the batch does not fit its fixed-width
    // header; the total is looked at first.
    void headerOverflow()
    {
        const QList<QPair<std::shared_ptr<ExportJob>, const char*>> jobs{
            {std::make_shared<CreditExport>(common(creditSettings())), "99999999999999999.99"},
            {std::make_shared<CollectionExport>(common(collectionSettings()), account), "9999999999999.99"},
            {std::make_shared<PayrollExport>(common(payrollSettings()), account), "99999999999999.99"}};
        const QString total = "Total amount does not fit the header record";
        for (const auto& [job, largest] : jobs) {
            const Cents max = *parseCents(largest);
            QCOMPARE(job->overflow({max, 99999}), QString());
            QCOMPARE(job->headerRecord({max, 99999}).size(), job->recordWidth());
            QCOMPARE(job->overflow({max + 1, 1}), total);
            QCOMPARE(job->overflow({1, 100000}), QString("Record count exceeds 99999"));
            QCOMPARE(job->overflow({max + 1, 100000}), total);
        }
    }
};

QTEST_GUILESS_MAIN(TestExportRules)
#include "test_export_rules.moc"
