#include "core/collection/collectionexport.h"
#include "core/credit/creditexport.h"
#include "core/payroll/payrollexport.h"
#include "core/transfer/transferexport.h"
#include "export/batchremarks.h"
#include "export/textfield.h"

#include "enginetest.h"

#include <QtTest>
#include <functional>
#include <memory>

using namespace kova;
using namespace expect;

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
        s.setColumn(field, column);
    s.limits.normalise();
    s.chooseClearing(-1);
    s.headerIdText = "1";
    s.corporateId = "ABCDE12345";
    return s;
}

CreditSettings creditSettings()
{
    CreditSettings s;
    s.columns.beneficiaryName = 2;
    s.columns.account = 3;
    s.columns.amount = 4;
    s.columns.transferType = 5;
    s.sourceAccount = account;
    s.limits.normalise();
    chooseBeneficiaryBank(s, BankMode::WDK, 0);
    return s;
}

CollectionSettings collectionSettings()
{
    CollectionSettings s;
    s.accountNameColumn = 2;
    s.accountColumn = 3;
    s.amountColumn = 4;
    s.residenceColumn = 8;
    s.citizenColumn = 9;
    s.creditedAccount = account;
    return s;
}

PayrollSettings payrollSettings()
{
    PayrollSettings s;
    s.employeeNameColumn = 2;
    s.accountColumn = 3;
    s.amountColumn = 4;
    s.sourceAccount = account;
    return s;
}

// Runs the export after each fix in turn and collects the message boxes: a
// refusal comes alone, before anything is read.
template <typename S, typename Run>
QStringList boxesWhileFixing(S s, const QList<std::function<void(S&)>>& fixes, Run run)
{
    QStringList boxes;
    for (int i = 0; i <= fixes.size(); ++i) {
        RecordingSink sink;
        run(s, sink);
        boxes += sink.boxTexts();
        if (i < fixes.size()) {
            if (sink.headerReports)
                boxes << "read on";
            fixes.at(i)(s);
        }
    }
    return boxes;
}

// The source account checks, each fixed in turn.
template <typename S>
QList<std::function<void(S&)>> accountFixes(std::optional<SourceAccount> S::*row)
{
    return {[row](S& s) { s.*row = SourceAccount{"12345abcde", "1234/5678/ABCD"}; },
            [row](S& s) { (s.*row)->account = "123456789"; }, [row](S& s) { (s.*row)->account = "0123456789"; },
            [row](S& s) { (s.*row)->companyCode = account.companyCode; }};
}

template <typename S, typename M>
void appendMappingFixes(QList<std::function<void(S&)>>& fixes, std::initializer_list<M> fields,
                        std::function<void(S&, M)> map)
{
    for (M f : fields)
        fixes << [f, map](S& s) { map(s, f); };
}

QStringList accountRefusals(const QString& who, const QString& notDefined)
{
    return {notDefined, who + " contains invalid chars", who + " must be 10 chars", codeFormat};
}

} // namespace

class TestExportRules final : public EngineTest
{
    Q_OBJECT

    template <typename S>
    S common(S s, int dateColumn, bool header)
    {
        s.dateFrom = QDate(2024, 3, 5);
        s.dateTo = QDate(2024, 3, 9);
        s.effectiveDate = QDate(2024, 3, 5);
        s.hasColumnHeader = header;
        s.settingsPath = m_ini;
        if constexpr (std::is_same_v<S, TransferSettings>)
            s.setColumn(TransferField::TrxDate, dateColumn);
        else if constexpr (std::is_same_v<S, CreditSettings>)
            s.columns.trxDate = dateColumn;
        else
            s.trxDateColumn = dateColumn;
        return s;
    }

    ExportOutcome run(int type, const QList<QVariantList>& rows, int dateColumn = 0, bool header = false)
    {
        const QString book = writeBook("Data", rows);
        m_sink = RecordingSink();
        switch (type) {
        case Transfer: return runTransferExport(common(transferSettings(), dateColumn, header), book, "Data", m_dest, m_sink);
        case Credit: return runCreditExport(common(creditSettings(), dateColumn, header), book, "Data", m_dest, m_sink);
        case Collection:
            return runCollectionExport(common(collectionSettings(), dateColumn, header), book, "Data", m_dest, m_sink);
        default: return runPayrollExport(common(payrollSettings(), dateColumn, header), book, "Data", m_dest, m_sink);
        }
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
        QVERIFY(hasLineBreak("a\rb"));
        QVERIFY(!hasLineBreak("a\tb"));
        QVERIFY(isPrintableAscii(" Az~"));
        QVERIFY(!isPrintableAscii("a\tb"));
        QVERIFY(hasControlCharacter(QString::fromUtf8("a\u0085b")));
        QVERIFY(!hasControlCharacter(QString::fromUtf8("Caf\u00e9.txt")));
        QCOMPARE(cutTrimmed(" abc  def ", 6), QString("abc"));
        QCOMPARE(leftField("abc", 5) + leftField("abcdef", 4) + leftPadded("abcdef", 4), QString("abc  abcdabcdef"));
        QCOMPARE(rightField("5.00", 8, '0') + rightPadded("123456", 5, '0'), QString("00005.00123456"));
        // Each remark's length before its characters, remarks 1 before remarks 2.
        QCOMPARE(batchRemarksRefusal(QString(19, QChar(0xe9)), "a\tb"), QString("Trx Remarks 1 is exceeding 18 chars"));
        QCOMPARE(batchRemarksRefusal("ok", "a\nb"), QString("Trx Remarks 2 contains invalid chars"));
    }

    void normalise_data()
    {
        QTest::addColumn<QList<quint64>>("stored");   // MinLLG, MaxLLG, MinRTGS, MaxRTGS
        QTest::addColumn<QList<quint64>>("normalised");
        const quint64 top = 999999999999999ULL;
        QTest::newRow("fresh file") << QList<quint64>{0, 0, 0, 0} << QList<quint64>{1, 500000000, 500000001, top};
        QTest::newRow("max below min") << QList<quint64>{200, 100, 0, 0} << QList<quint64>{200, 500000000, 500000001, top};
        QTest::newRow("rtgs min below llg max") << QList<quint64>{10, 1000, 5, 2000} << QList<quint64>{10, 1000, 1001, 2000};
        QTest::newRow("consistent values stay") << QList<quint64>{5, 10, 11, 12} << QList<quint64>{5, 10, 11, 12};
        QTest::newRow("equal values move") << QList<quint64>{5, 5, 500000000, 500000001}
                                           << QList<quint64>{5, 500000000, 500000001, top};
    }

    void normalise()
    {
        QFETCH(QList<quint64>, stored);
        QFETCH(QList<quint64>, normalised);
        ClearingLimits limits{stored[0], stored[1], stored[2], stored[3]};
        limits.normalise();
        QCOMPARE((QList<quint64>{limits.minLLG, limits.maxLLG, limits.minRTGS, limits.maxRTGS}), normalised);
    }

    void limitsLoadAndStore()
    {
        QVERIFY(storeLimit(m_ini, maxLimitKey(0), 100));
        QVERIFY(storeLimit(m_ini, minLimitKey(1), 200));
        const ClearingLimits limits = ClearingLimits::load(m_ini);
        QCOMPARE((QList<quint64>{limits.minLLG, limits.maxLLG, limits.minRTGS}), (QList<quint64>{1, 100, 200}));
        QCOMPARE(QSettings(m_ini, QSettings::IniFormat).value("MinRTGS").toULongLong(), quint64(200));
        QVERIFY(QDir().mkpath(m_dir->filePath("blocked.ini")));   // a folder where the file should be
        QVERIFY(!storeLimit(m_dir->filePath("blocked.ini"), "MinLLG", 5));
    }

    void limitTexts()
    {
        for (auto [text, value] : std::initializer_list<std::pair<const char*, quint64>>{
                 {"500.000.000", 500000000}, {"", 0}, {"abc", 0}, {"-5", 0}, {"999.999.999.999.999", 999999999999999ULL}})
            QCOMPARE(parseLimitText(text), value);
        QCOMPARE(limitText(999999999999999ULL), QString("999.999.999.999.999"));
        QCOMPARE(checkLimitTexts("1", "500.000.000"), QString());
        QCOMPARE(checkLimitTexts("abc", "5"), QString("Invalid minimum limit"));
        QCOMPARE(checkLimitTexts("0", "0"), QString("Invalid minimum limit"));
        QCOMPARE(checkLimitTexts("5", "0.000"), QString("Invalid maximum limit"));
        QCOMPARE(checkLimitTexts("9.000", "5"), QString());   // min above max passes
        QCOMPARE(BankFilter::fromFields(BankMode::WDK, -1, "0", "x").limitError(wholeUnits(1), "LLG"), QString());
        const BankFilter rtgs = BankFilter::fromFields(BankMode::Others, 1, "600.000.000", "999.999.999.999.999");
        QCOMPARE((QList<quint64>{quint64(rtgs.clearingIndex), rtgs.minLimit, rtgs.maxLimit}),
                 (QList<quint64>{1, 600000000, 999999999999999ULL}));
    }

    // Mode and clearing (-1 WDK, 0 LLG, 1 RTGS) against the row's transfer type, ignoring case.
    void clearingFilter()
    {
        const QList<std::tuple<int, const char*, bool>> rows{
            {-1, "wdk", true}, {-1, "LLG", false}, {-1, "", false}, {0, "LLG", true}, {0, "rtg", false},
            {0, "RTGS", true}, {0, "Wdk", false}, {0, "", true}, {1, "RTG", true}, {1, "llg", false},
            {1, "WDK", false}, {1, "", true}};
        for (const auto& [clearing, type, processed] : rows) {
            const BankFilter filter{clearing < 0 ? BankMode::WDK : BankMode::Others, clearing, 1, 500000000};
            QVERIFY2(filter.accepts(type) == processed, type);
        }
    }

    void limitRules_data()
    {
        QTest::addColumn<int>("clearing");   // -1 WDK
        QTest::addColumn<qint64>("cents");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("tail");
        const QString llg = ": Error. LLG amount exceeding max limit 500.000.000</span>";
        const QString rtgs = ": Error. RTGS amount below min limit 500.000.001</span>";
        QTest::newRow("llg at max") << 0 << qint64(50000000000) << "LLG" << "";
        QTest::newRow("llg a cent above") << 0 << qint64(50000000001) << "LLG" << llg;
        QTest::newRow("llg lower case") << 0 << qint64(90000000000) << "llg" << llg;
        QTest::newRow("llg other type") << 0 << qint64(90000000000) << "" << "";
        QTest::newRow("rtgs at min") << 1 << qint64(50000000100) << "RTG" << "";
        QTest::newRow("rtgs a cent below") << 1 << qint64(50000000099) << "RTG" << rtgs;
        QTest::newRow("rtgs lower case") << 1 << qint64(100) << "rtg" << rtgs;
        QTest::newRow("rtgs other type") << 1 << qint64(100) << "" << "";
        QTest::newRow("wdk never") << -1 << qint64(90000000000) << "LLG" << "";
    }

    void limitRules()
    {
        QFETCH(int, clearing);
        QFETCH(qint64, cents);
        QFETCH(QString, type);
        QFETCH(QString, tail);
        BankFilter filter{clearing < 0 ? BankMode::WDK : BankMode::Others, clearing,
                          clearing == 1 ? 500000001ULL : 1ULL, clearing == 1 ? 999999999999999ULL : 500000000ULL};
        QCOMPARE(filter.limitError(Cents(cents), type), tail);
    }

    void sourceAccountChecks()
    {
        const QList<std::tuple<const char*, QString, QString>> rows{
            {"0123456789", "1234/56789/ABCD", ""}, {"1234567890", "1234/56789/abcd", ""},
            {"", "1234/56789/ABCD", "Source Acc must be 10 chars"},
            {"12345 6789", "1234/56789/ABCD", "Source Acc contains invalid chars"},
            {"1234567890", "1234/56789/AB12", codeFormat}, {"1234567890", "1234/56789/ABCDE", codeFormat},
            {"1234567890", QString::fromUtf8("1234/56789/\u00c4BCD"), codeFormat}};
        for (const auto& [number, code, message] : rows)
            QCOMPARE(checkSourceAccount(SourceAccount{number, code}, creditAccountMessages), message);
    }

    void accountsArray()
    {
        QVector<SourceAccount> five;
        for (int i = 0; i < 5; ++i)
            five.append({QString::number(1000000000 + i), QString("1234/56789/ABC") + QChar('A' + i)});
        QSettings s(m_ini, QSettings::IniFormat);
        s.beginGroup("Credit");
        saveAccounts(s, five);
        QCOMPARE(loadAccounts(s), five);
        saveAccounts(s, five.mid(0, 2));   // a shorter table leaves no stale entries
        QCOMPARE(loadAccounts(s), five.mid(0, 2));
        QVERIFY(!s.contains("Accounts/3/Account"));
    }

    void columnIndexes()
    {
        const QStringList keys{"TrxDate", "Amount"};
        {
            QSettings s(m_ini, QSettings::IniFormat);
            s.beginGroup("Payroll");
            saveAccounts(s, {account});
        }
        // Only the accounts array is stored: the mapping was never saved.
        QCOMPARE(readColumnIndexes(m_ini, "Payroll", keys), (QVector<int>{0, 0}));
        QSettings(m_ini, QSettings::IniFormat).setValue("Payroll/Amount", 4);
        QCOMPARE(readColumnIndexes(m_ini, "Payroll", keys), (QVector<int>{0, 4}));
        QCOMPARE((QList<int>{effectiveColumn(4, 3), effectiveColumn(3, 3), effectiveColumn(-1, 3)}),
                 (QList<int>{0, 3, 0}));
        // Portable beside the program; installed under a folder the user cannot
        // write, in the user's own configuration.
        QCOMPARE(settingsPathFor("/opt/kova/bin", true, "/home/ani/.config"), QString("/opt/kova/bin/kova.ini"));
        QCOMPARE(settingsPathFor("/usr/bin", false, "/home/ani/.config"), QString("/home/ani/.config/kova/kova.ini"));
    }

    // The batch checks of each type, in their order, then an empty sheet, which
    // no type writes.
    void batchRefusalsInOrder_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("boxes");
        const QString noRows = "No rows to export";
        const QString empty = " can not be empty";
        const QStringList others{"BI Code" + empty, "Bank" + empty, "Branch" + empty};
        const QStringList limits{"Invalid minimum limit", "Invalid maximum limit"};
        addTypeRows([&](QTestData& row, int type) {
            switch (type) {
            case Transfer:
                row << QStringList{"Trx Ref #" + empty, "From Acc #" + empty, "To Acc #" + empty, "Amount" + empty,
                                   "Transfer Type" + empty} + others
                        + QStringList{"Name" + empty, "Cust Type" + empty, "Cust Residence" + empty} + limits
                        + QStringList{"Invalid Header ID", "Max value of Header ID is 99999999",
                                      "Corporate ID" + empty, "Corporate ID must be 10 chars",
                                      "Corporate ID contains invalid chars", noRows};
                break;
            case Credit:
                row << accountRefusals("Source Acc", "Source Account has not been defined")
                        + QStringList{"Trx Remarks 1 is exceeding 18 chars", "Trx Remarks 2 contains invalid chars",
                                      "Beneficiary Account" + empty, "Amount" + empty, "Transfer Type" + empty}
                        + others + QStringList{"Beneficiary" + empty, "Cust Type" + empty, "Cust Residence" + empty}
                        + limits + QStringList{noRows};
                break;
            case Collection:
                row << accountRefusals("Credited Acc", "Credited Account has not been defined")
                        + QStringList{"Trx Remarks 1 contains invalid chars", "Trx Remarks 2 is exceeding 18 chars",
                                      "Account Name" + empty, "Account Number" + empty, "Amount" + empty,
                                      "Residence" + empty, "Citizen" + empty, noRows};
                break;
            default:
                row << accountRefusals("Source Acc", "Source Acc has not been defined")
                        + QStringList{"Account Name" + empty, "Account Number" + empty, "Amount" + empty, noRows};
            }
        });
    }

    void batchRefusalsInOrder()
    {
        QFETCH(int, type);
        QFETCH(QStringList, boxes);
        writeBook("Data", {});
        QStringList seen;
        if (type == Transfer) {
            using F = TransferField;
            TransferSettings s;
            s.chooseClearing(0);
            QList<std::function<void(TransferSettings&)>> fixes;
            appendMappingFixes<TransferSettings, F>(
                fixes, {F::TrxRef, F::FromAcc, F::ToAcc, F::Amount, F::Remittance, F::BICode, F::Bank, F::Branch,
                        F::Beneficiary, F::CustType, F::Residence},
                [](TransferSettings& t, F f) { t.setColumn(f, 1); });
            fixes << [](TransferSettings& t) { t.minLimitText = "1"; } << [](TransferSettings& t) { t.maxLimitText = "5"; }
                  << [](TransferSettings& t) { t.headerIdText = "100000000"; }
                  << [](TransferSettings& t) { t.headerIdText = "99999999"; }
                  << [](TransferSettings& t) { t.corporateId = "ABC"; }
                  << [](TransferSettings& t) { t.corporateId = "ABCDE|2345"; }
                  << [](TransferSettings& t) { t.corporateId = "ABCDE12345"; };
            s.minLimitText = s.maxLimitText = "0";
            seen = boxesWhileFixing(common(s, 0, false), fixes, [this](const TransferSettings& t, RecordingSink& sink) {
                runTransferExport(t, m_book, "Data", m_dest, sink);
            });
        } else if (type == Credit) {
            CreditSettings s;
            s.batchRemarks1 = QString(19, 'r');
            s.batchRemarks2 = "a\tb";
            chooseBeneficiaryBank(s, BankMode::Others, 0);
            s.minLimitText = s.maxLimitText = "0";
            auto fixes = accountFixes(&CreditSettings::sourceAccount);
            fixes << [](CreditSettings& c) { c.batchRemarks1.chop(1); } << [](CreditSettings& c) { c.batchRemarks2 = "ab"; };
            appendMappingFixes<CreditSettings, int CreditColumns::*>(
                fixes, {&CreditColumns::account, &CreditColumns::amount, &CreditColumns::transferType,
                        &CreditColumns::biCode, &CreditColumns::bank, &CreditColumns::branch,
                        &CreditColumns::beneficiaryName, &CreditColumns::custType, &CreditColumns::residence},
                [](CreditSettings& c, int CreditColumns::*m) { c.columns.*m = 1; });
            fixes << [](CreditSettings& c) { c.minLimitText = "1"; } << [](CreditSettings& c) { c.maxLimitText = "5"; };
            seen = boxesWhileFixing(common(s, 0, false), fixes, [this](const CreditSettings& c, RecordingSink& sink) {
                runCreditExport(c, m_book, "Data", m_dest, sink);
            });
        } else if (type == Collection) {
            using C = CollectionSettings;
            C s;
            s.remarks1 = QString::fromUtf8("Caf\u00e9");
            s.remarks2 = QString(19, 'r');
            auto fixes = accountFixes(&C::creditedAccount);
            fixes << [](C& c) { c.remarks1 = "Cafe"; } << [](C& c) { c.remarks2.chop(1); };
            appendMappingFixes<C, int C::*>(fixes, {&C::accountNameColumn, &C::accountColumn, &C::amountColumn,
                                                    &C::residenceColumn, &C::citizenColumn},
                                            [](C& c, int C::*m) { c.*m = 1; });
            seen = boxesWhileFixing(common(s, 0, false), fixes, [this](const C& c, RecordingSink& sink) {
                runCollectionExport(c, m_book, "Data", m_dest, sink);
            });
        } else {
            using P = PayrollSettings;
            auto fixes = accountFixes(&P::sourceAccount);
            appendMappingFixes<P, int P::*>(fixes, {&P::employeeNameColumn, &P::accountColumn, &P::amountColumn},
                                            [](P& p, int P::*m) { p.*m = 1; });
            seen = boxesWhileFixing(common(P(), 0, false), fixes, [this](const P& p, RecordingSink& sink) {
                runPayrollExport(p, m_book, "Data", m_dest, sink);
            });
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
        QCOMPARE(m_sink.allMessages(), QStringList{err(2, ": Error. Invalid amount</span>")});
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
            QCOMPARE(m_sink.rows.at(0).messages, refused ? QStringList{invalidChars(1, title)} : QStringList());
            QCOMPARE(m_sink.rows.at(0).cells, QVector<MarkedCell>(refused ? 1 : 0, {0, logColumn}));
        }
    }

    // Refused after the summary when the batch does not fit its fixed-width
    // header; the total is looked at first.
    void headerOverflow_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("largest");
        QTest::newRow("credit") << int(Credit) << "99999999999999999.99";
        QTest::newRow("collection") << int(Collection) << "9999999999999.99";
        QTest::newRow("payroll") << int(Payroll) << "99999999999999.99";
    }

    void headerOverflow()
    {
        QFETCH(int, type);
        QFETCH(QString, largest);
        std::unique_ptr<ExportJob> job;
        if (type == Credit)
            job = std::make_unique<CreditExport>(common(creditSettings(), 0, false));
        else if (type == Collection)
            job = std::make_unique<CollectionExport>(common(collectionSettings(), 0, false), account);
        else
            job = std::make_unique<PayrollExport>(common(payrollSettings(), 0, false), account);
        const Cents max = *parseCents(largest);
        const QString total = "Total amount does not fit the header record";
        QCOMPARE(job->overflow({max, 99999}), QString());
        QCOMPARE(job->headerRecord({max, 99999}).size(), job->recordWidth());
        QCOMPARE(job->overflow({max + 1, 1}), total);
        QCOMPARE(job->overflow({1, 100000}), QString("Record count exceeds 99999"));
        QCOMPARE(job->overflow({max + 1, 100000}), total);
    }
};

QTEST_GUILESS_MAIN(TestExportRules)
#include "test_export_rules.moc"
