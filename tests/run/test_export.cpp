#include "core/collection/collectionexport.h"
#include "core/credit/creditexport.h"
#include "core/payroll/payrollexport.h"
#include "core/transfer/transferexport.h"
#include "record/cells.h"
#include "widgets/effectivedate.h"
#include "record/textfield.h"
#include "render/messagetext.h"
#include "reader/document.h"

#include "encryptpackage.h"
#include "enginetest.h"
#include "testpackage.h"
#include "filesizelimit.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <tuple>
#include <unistd.h>

using namespace kova;
using namespace expect;

Q_DECLARE_METATYPE(kova::RowMessage)

namespace {

enum Type { Transfer, Credit, Collection, Payroll };

// Columns for the four types: 1 date, 2 name, 3 account, 4 amount, 5 transfer
// type, 6 transfer ref, 7 From Acc; the collection flags (8, 9) read as 0.
QVariantList goodRow(const QVariant& date, const QVariant& amount, const QVariant& name = "Budi",
                     const QString& type = "WDK")
{
    return {date, name, "1111111111", amount, type, "REF1", "2222222222"};
}

const SourceAccount account{"0123456789", "1234/56789/ABCD"};
const QString codeFormat = "Company Code must be in the format 1234/56789/ABCD\n(4 numeric / 5 numeric/ 4 letters)";

template <typename S>
S mapped(S s, std::initializer_list<std::pair<typename decltype(S::columns)::FieldType, int>> columns)
{
    for (auto [field, column] : columns)
        s.columns[field] = column;
    return s;
}

kova::TransferSettings transferSettings()
{
    using F = kova::TransferField;
    kova::TransferSettings s = mapped(kova::TransferSettings(), {{F::Beneficiary, 2}, {F::ToAcc, 3}, {F::Amount, 4},
                                                     {F::Remittance, 5}, {F::TrxRef, 6}, {F::FromAcc, 7}});
    s.limits.normalise();
    s.chooseClearing(-1);
    s.headerIdText = "1";
    s.corporateId = "ABCDE12345";
    return s;
}

kova::CreditSettings creditSettings()
{
    using F = kova::CreditField;
    kova::CreditSettings s = mapped(kova::CreditSettings(), {{F::BeneficiaryName, 2}, {F::Account, 3}, {F::Amount, 4}, {F::TransferType, 5}});
    s.sourceAccount = account;
    s.limits.normalise();
    kova::chooseBeneficiaryBank(s, BankMode::WDK, 0);
    return s;
}

kova::CollectionSettings collectionSettings()
{
    using F = kova::CollectionField;
    kova::CollectionSettings s = mapped(kova::CollectionSettings(), {{F::AccountName, 2}, {F::AccountNumber, 3}, {F::Amount, 4},
                                                         {F::Residence, 8}, {F::Citizen, 9}});
    s.creditedAccount = account;
    return s;
}

kova::PayrollSettings payrollSettings()
{
    using F = kova::PayrollField;
    kova::PayrollSettings s = mapped(kova::PayrollSettings(), {{F::AccountName, 2}, {F::AccountNumber, 3}, {F::Amount, 4}});
    s.sourceAccount = account;
    return s;
}

// "<name> can not be empty" for each "|"-separated name: the required mappings in check order.
QStringList unmapped(const QString& names)
{
    QStringList messages;
    for (const QString& name : names.split('|'))
        messages << name + " can not be empty";
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

// Records "D|<name>" on the shared export road; the name "bad" is an error
// on column 0, totals above 1000 overflow.
const TypeDescriptor sampleType{BatchType::Payroll, "Sample", "Sample", "sample", "Sample-",
                                {{"Name", "Name"}, {"Amount", "Amount", {}, {}, {}, {}, {}, {}, CellKind::Amount}},
                                {}, {{0, "Name"}, {1, "Amount"}}};

class SampleJob final : public ExportJob
{
public:
    SampleJob() : ExportJob(sampleType, {}, false, {}) {}
    QString refusal() const override { return {}; }
    BatchKey batchKey() const override { return {}; }
    int recordWidth() const override { return width; }
    int leftOutBy(const reader::Document&, int) const override { return -1; }
    QString leftOutNote(int, int) const override { return {}; }
    void convert(const reader::Document& sheet, int row, RowContext& out) const override
    {
        out.record = "D|" + cellText(sheet, row, 1);
        if (out.record == "D|bad")
            out.error("Bad name", 0);
        out.addToTotal(wholeUnits(cellText(sheet, row, 2).toInt()));
    }
    QString overflow(const ExportTotals& t) const override
    {
        return t.total > wholeUnits(1000) ? "Total amount does not fit the header record" : QString();
    }
    QString headerRecord(const ExportTotals& t) const override { return "H|" + QString::number(t.count); }
    bool reserve(ExportSink&) override
    {
        ++reservations;
        onReserve();
        return true;
    }

    int width = 0;
    int reservations = 0;
    std::function<void()> onReserve = [] {};
};

// The open details file of this process: nameless now, but still in the folder.
int openDetailsDescriptor(const QString& folder)
{
    for (int fd = 0; fd < 1024; ++fd) {
        const QString target = QFile::symLinkTarget("/proc/self/fd/" + QString::number(fd));
        if (target.startsWith(folder + '/') && target.endsWith(" (deleted)"))
            return fd;
    }
    return -1;
}

// Every entry of a folder tree with its bytes, but the batch register.
QStringList snapshot(const QString& folder)
{
    QStringList all;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString entry = it.next();
        if (!it.fileName().startsWith("kova-batches"))
            all << entry + '=' + QString::fromLatin1(fileBytes(entry).toHex());
    }
    all.sort();
    return all;
}

} // namespace

class TestExport final : public EngineTest
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

    ExportOutcome exportWith(const kova::TransferSettings& s) { return runJob<kova::TransferExport>(s).outcome; }
    ExportOutcome exportWith(const kova::CreditSettings& s) { return runJob<kova::CreditExport>(s).outcome; }
    ExportOutcome exportWith(const kova::CollectionSettings& s) { return runJob<kova::CollectionExport>(s).outcome; }
    ExportOutcome exportWith(const kova::PayrollSettings& s) { return runJob<kova::PayrollExport>(s).outcome; }

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

    // The four types as data rows of one column, "type".
    static void addTypeRows()
    {
        QTest::addColumn<int>("type");
        int type = Transfer;
        for (const char* name : {"transfer", "credit", "collection", "payroll"})
            QTest::newRow(name) << type++;
    }

private slots:
    void init() { freshFolder(); }

    // Arabic-Indic digits are not digits to the bank; amounts round half away from zero.
    void textAndMoney()
    {
        QVERIFY(isDigitsOnly("0123") && !isDigitsOnly("-1") && !isDigitsOnly(QString::fromUtf8("\u0661\u0662")));
        const QList<QPair<const char*, QString>> parsed{{"1.005", "101"}, {"1.0049999", "100"}, {"-1.005", "-101"},
            {" .5 ", "50"}, {"1.5E-2", "2"}, {"1e400", "170141183460469231731687303715884105727"}, {"nan", ""},
            {"1.234.567", ""}, {"1 000", ""},   // empty: not a number
            {"000000000000000000000000000000000000000000000000000000000000000000000001.5", "150"}};
        for (const auto& [text, cents] : parsed)
            QCOMPARE(parseCents(text) ? decimalText(*parseCents(text)) : QString(), cents);
        for (const char* text : {"-5", "-0.005", "0.004"})   // nothing negative is paid, nor nothing at all
            QVERIFY2(!validAmount(text, wholeUnits(1000)), text);
    }

    // A number cell's amount is read without its text, and must read as its
    // text does: hundredths held exactly or not (1.005 is 1.00499... and its
    // text "1.005" rounds up), past 15 digits (1e15 + 0.125 reads as
    // "1000000000000000.1"), negative, whole, and cells that are no number.
    void numberCellAmounts()
    {
        QByteArray cells;
        int rows = 0;
        const auto add = [&](const QByteArray& cell) {
            ++rows;
            cells += "<row r=\"" + QByteArray::number(rows) + "\"><c r=\"A" + QByteArray::number(rows) + "\"" + cell
                + "</c></row>";
        };
        for (const double value : {1000.25, 0.1, 0.29, 1.005, 2.675, 0.015, -5.5, 1e-7, 0.005, 1e-5, 123456789012.34,
                                   999999999999.99, 1e12 + 0.5, 9007199254740.993, 1e15 + 0.125, 1e16 + 2, 1e300, 12345.0,
                                   -3.0, 0.0})
            add("><v>" + QByteArray::number(value, 'g', 17) + "</v>");
        QRandomGenerator random(22);
        for (int i = 0; i < 3000; ++i) {
            const double scale = std::pow(10.0, random.bounded(15));
            for (const double value : {double(random.generate64() % (quint64(1) << 50)) / 100 / scale,
                                       double(random.generate64() % (quint64(1) << 47)) / (i % 2 ? 100 : 1000),
                                       random.bounded(1e13)})
                add("><v>" + QByteArray::number(value, 'g', 17) + "</v>");
        }
        add(" t=\"inlineStr\"><is><t>12.5</t></is>");
        add(" t=\"b\"><v>1</v>");
        QVERIFY(TestPackage().addSheet("Data", cells).write(m_book));
        reader::Document sheet(m_book, {});
        QVERIFY(sheet.selectSheet("Data"));
        for (const Cents max : {wholeUnits(100000000000000000LL), wholeUnits(1000)}) {
            for (int row = 1; row <= rows + 1; ++row) {
                const QString text = sheet.text(row, 1);
                const AmountCell amount = cellAmount(sheet, row, 1, max, {});
                const std::optional<Cents> expected = validAmount(text, max);
                QVERIFY2(amount.cents == expected, qPrintable(text));
                QCOMPARE(amount.text, expected ? QString() : text);
            }
        }
    }

    // A row starts with nothing shown or said, whatever the row converted
    // before it in the same context showed and said; what a sink kept of
    // that row, its list or a single value, stays as reported, fields
    // written in place included.
    void rowStartsEmpty()
    {
        RowContext context(sampleType);
        QList<RowReport> kept;   // as the window keeps them
        QStringList keptValues;  // a value kept without its list
        for (int row = 0; row < 6; ++row) {
            context.start(row);
            QCOMPARE(context.values(), QStringList({QString(), QString()}));
            QVERIFY(context.messages().isEmpty() && context.cells().isEmpty() && context.warningCells().isEmpty());
            QVERIFY(context.record.isEmpty() && context.errors() == 0 && context.warnings() == 0 && context.amount() == 0);
            context.record = QStringLiteral("ANN|1");
            context.addToTotal(100);
            context.show(0, QStringLiteral("ann"));
            context.warning(truncated("Name", 2), 0);
            context.error(QStringLiteral("Bad name"), 1);
            // Shorter and longer than the row before wrote over the same memory.
            putLeftField(context.place(1), QString(row % 2 ? "id" : "identity") + QString::number(row), 6);
            keptValues.append(context.values().at(1));
            if (row >= 3)
                kept.append(RowReport{context.values(), context.cells(), context.messages(), -1, row, context.warningCells(), 0});
        }
        // What a sink kept stays as it was reported.
        for (const RowReport& report : kept)
            QVERIFY(report.values.at(0) == "ann" && report.messages.size() == 2 && report.cells.size() == 1
                    && report.warningCells.size() == 1);
        QCOMPARE(kept.at(0).values.at(1), QStringLiteral("id3   "));
        QCOMPARE(kept.at(1).values.at(1), QStringLiteral("identi"));
        QCOMPARE(keptValues, QStringList({"identi", "id1   ", "identi", "id3   ", "identi", "id5   "}));
    }

    // kova-export's lines go straight into its block as UTF-8; text beyond
    // ASCII (a letter, a pair of surrogates, one left unpaired) as the line's own conversion.
    void plainLines_data()
    {
        QTest::addColumn<RowMessage>("message");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("warning") << RowMessage{Severity::Warning, 1000000, truncated("Department", 4)}
                                 << QByteArray("LINE 1000000: Warning. String truncated in Department. Exceeding 4 characters\n");
        QTest::newRow("bare error") << RowMessage{Severity::Error, 7, {"Invalid amount", {}, {}}}
                                    << QByteArray("LINE 7: Error. Invalid amount\n");
        QTest::newRow("line 0") << RowMessage{Severity::Error, 0, {"x", {}, {}}} << QByteArray("LINE 0: Error. x\n");
        QTest::newRow("letter") << RowMessage{Severity::Error, 2, invalidCharacters(QString::fromUtf8("Nam\u00e9"))}
                                << QByteArray("LINE 2: Error. Invalid characters found in Nam\xc3\xa9\n");
        // Beyond ASCII among eight characters or more, which are written eight at a time.
        QTest::newRow("letter in a long title")
            << RowMessage{Severity::Error, 2, invalidCharacters(QString::fromUtf8("Employee Nam\u00e9 Field"))}
            << QByteArray("LINE 2: Error. Invalid characters found in Employee Nam\xc3\xa9 Field\n");
        QTest::newRow("ideographs in a long text")
            << RowMessage{Severity::Warning, 5, {QString::fromUtf8("Keterangan \u652f\u4ed8 panjang"), {}, {}}}
            << QByteArray("LINE 5: Warning. Keterangan \xe6\x94\xaf\xe4\xbb\x98 panjang\n");
        QTest::newRow("pair") << RowMessage{Severity::Warning, 3, {QString::fromUtf8("\U0001F600 "), "T", "!"}}
                              << QByteArray("LINE 3: Warning. \xf0\x9f\x98\x80 T!\n");
        QTest::newRow("unpaired") << RowMessage{Severity::Error, 4, {QString(QChar(0xD800)), {}, "x"}}
                                  << plainLine(RowMessage{Severity::Error, 4, {QString(QChar(0xD800)), {}, "x"}}).toUtf8() + '\n';
    }

    void plainLines()
    {
        QFETCH(RowMessage, message);
        QFETCH(QByteArray, line);
        QByteArray lines("before\n");
        appendPlainLine(lines, message);
        QCOMPARE(lines, "before\n" + line);
        QCOMPARE(plainLine(message).toUtf8() + '\n', line);
    }

    // The dates the window asks about: before today, or more than a year ahead.
    void effectiveDateQuestions()
    {
        const QDate today(2026, 12, 7);
        const QString past = "Effective date 06 Dec 2026 is in the past. Export anyway?";
        QCOMPARE(effectiveDateQuestion(today.addDays(-1), today), past);
        QCOMPARE(effectiveDateQuestion(QDate(1900, 1, 1), today), QString("Effective date 01 Jan 1900 is in the past. Export anyway?"));
        QCOMPARE(effectiveDateQuestion(today, today), QString());
        QCOMPARE(effectiveDateQuestion(QDate(2027, 12, 7), today), QString());
        QCOMPARE(effectiveDateQuestion(QDate(2027, 12, 8), today), QString("Effective date 08 Dec 2027 is more than a year ahead. Export anyway?"));
        QCOMPARE(effectiveDateQuestion(QDate(9999, 12, 31), today), QString("Effective date 31 Dec 9999 is more than a year ahead. Export anyway?"));
        QCOMPARE(effectiveDateQuestion(QDate(), today), QString());
    }

    void limitsAndSettings()
    {
        // MinLLG, MaxLLG, MinRTGS, MaxRTGS as stored: each at the one below it is raised.
        ClearingLimits l{5, 5, 500000000, 500000001};
        l.normalise();
        QCOMPARE((QList<quint64>{l.minLLG, l.maxLLG, l.minRTGS, l.maxRTGS}), (QList<quint64>{5, 500000000, 500000001, 999999999999999ULL}));
        // Mode and clearing (-1 WDK, 0 LLG, 1 RTGS) against the row's transfer type, ignoring case.
        for (const auto& [clearing, type, processed] : QList<std::tuple<int, const char*, bool>>{{-1, "wdk", true},
                 {-1, "", false}, {0, "Wdk", false}, {0, "rtg", false}, {0, "RTGS", true}, {0, "", true}, {1, "llg", false}})
            QVERIFY2(BankFilter({clearing < 0 ? BankMode::WDK : BankMode::Others, clearing, 1, 5}).accepts(type)
                         == processed, type);
        // The limits meet every row the filter lets into the clearing, however its type is written.
        for (const auto& [clearing, type, cents, error] : QList<std::tuple<int, const char*, Cents, const char*>>{
                 {0, "llg", 501, "LLG amount exceeding max limit 5"}, {0, "Llg", 501, "LLG amount exceeding max limit 5"},
                 {0, "LLG", 500, ""}, {0, "", 501, ""}, {1, "rtg", 99, "RTGS amount below min limit 1"},
                 {1, "rTg", 100, ""}, {-1, "llg", 501, ""}})
            QCOMPARE(BankFilter({clearing < 0 ? BankMode::WDK : BankMode::Others, clearing, 1, 5}).limitError(cents, type),
                     QString(error));

        // The batch refusals below meet each source account check; these are its edges.
        QCOMPARE(checkSourceAccount(SourceAccount{"1234567890", "1234/56789/abcd"}, creditAccountMessages), QString());
        QCOMPARE(checkSourceAccount(SourceAccount{"1234567890", QString::fromUtf8("1234/56789/\u00c4BCD")},
                                    creditAccountMessages), codeFormat);
        const QVector<SourceAccount> three{{"1000000000", "1234/56789/ABCA"}, {"1000000001", "1234/56789/ABCB"}, account};
        QSettings s(m_ini, QSettings::IniFormat);
        s.beginGroup("Payroll");
        saveAccounts(s, three);
        saveAccounts(s, three.mid(0, 2));   // a shorter table leaves no stale entries
        QCOMPARE(readAccounts(s), three.mid(0, 2));
        QVERIFY(!s.contains("Accounts/3/Account"));
        s.endGroup();
        s.sync();
        // Only the accounts array is stored: the mapping was never saved.
        QCOMPARE(readColumnIndexes(m_ini, "Payroll", {"TrxDate", "Amount"}), (QVector<int>{0, 0}));
        // Installed under a folder the user cannot write: in the user's own configuration.
        QCOMPARE(settingsPathFor("/usr/bin", false, "/home/ani/.config"), QString("/home/ani/.config/kova/kova.ini"));
    }

    // The batch checks of each type in their order, then an empty sheet, which no type writes.
    void batchRefusalsInOrder_data() { addTypeRows(); }

    void batchRefusalsInOrder()
    {
        QFETCH(int, type);
        writeBook("Data", {});
        const QString others = "|BI Code|Bank|Branch|", remarks = "Trx Remarks ";
        const QStringList limits{"Invalid minimum limit", "Invalid maximum limit", "No rows to export"};
        if (type == Transfer) {
            using F = kova::TransferField;
            kova::TransferSettings s = transferSettings();
            s.columns = {};
            s.chooseClearing(0);
            s.minLimitText = s.maxLimitText = "0";
            QList<std::function<void(kova::TransferSettings&)>> fixes;
            mapInTurn(fixes, {F::TrxRef, F::FromAcc, F::ToAcc, F::Amount, F::Remittance, F::BICode, F::Bank,
                              F::Branch, F::Beneficiary, F::CustType, F::Residence});
            fixes << [](kova::TransferSettings& t) { t.minLimitText = "1"; } << [](kova::TransferSettings& t) { t.maxLimitText = "5"; };
            QCOMPARE(boxesWhileFixing(common(s), fixes),
                     unmapped("Trx Ref #|From Acc #|To Acc #|Amount|Transfer Type" + others + "Name|Cust Type|Cust Residence") + limits);
        } else if (type == Credit) {
            kova::CreditSettings s;
            s.batchRemarks1 = QString(19, 'r');
            s.batchRemarks2 = "a\tb";
            kova::chooseBeneficiaryBank(s, BankMode::Others, 0);
            s.minLimitText = s.maxLimitText = "0";
            auto fixes = accountFixes(&kova::CreditSettings::sourceAccount);
            fixes << [](kova::CreditSettings& c) { c.batchRemarks1.chop(1); } << [](kova::CreditSettings& c) { c.batchRemarks2 = "ab"; };
            using F = kova::CreditField;
            mapInTurn(fixes, {F::Account, F::Amount, F::TransferType, F::BICode, F::Bank, F::Branch,
                              F::BeneficiaryName, F::CustType, F::Residence});
            fixes << [](kova::CreditSettings& c) { c.minLimitText = "1"; } << [](kova::CreditSettings& c) { c.maxLimitText = "5"; };
            QCOMPARE(boxesWhileFixing(common(s), fixes),
                     (accountRefusals("Source Acc", "Source Account has not been defined")
                      + QStringList{remarks + "1 is exceeding 18 chars", remarks + "2 contains invalid chars"}
                      + unmapped("Beneficiary Account|Amount|Transfer Type" + others + "Beneficiary|Cust Type|Cust Residence")
                      + limits));
        } else if (type == Collection) {
            using C = kova::CollectionSettings;
            C s;
            s.remarks1 = QString::fromUtf8("Caf\u00e9");
            s.remarks2 = QString(19, 'r');
            auto fixes = accountFixes(&C::creditedAccount);
            fixes << [](C& c) { c.remarks1 = "Cafe"; } << [](C& c) { c.remarks2.chop(1); };
            using F = kova::CollectionField;
            mapInTurn(fixes, {F::AccountName, F::AccountNumber, F::Amount, F::Residence, F::Citizen});
            QCOMPARE(boxesWhileFixing(common(s), fixes),
                     (accountRefusals("Credited Acc", "Credited Account has not been defined")
                      + QStringList{remarks + "1 contains invalid chars", remarks + "2 is exceeding 18 chars"}
                      + unmapped("Account Name|Account Number|Amount|Residence|Citizen") + limits.mid(2)));
        } else {
            auto fixes = accountFixes(&kova::PayrollSettings::sourceAccount);
            mapInTurn(fixes, {kova::PayrollField::AccountName, kova::PayrollField::AccountNumber, kova::PayrollField::Amount});
            QCOMPARE(boxesWhileFixing(common(kova::PayrollSettings()), fixes),
                     accountRefusals("Source Acc", "Source Acc has not been defined")
                         + unmapped("Account Name|Account Number|Amount") + limits.mid(2));
        }
        QVERIFY(!QFile::exists(m_dest));
    }

    // Rows outside the dates, without a date or with a text date are skipped and
    // take no line number, as WDK transfer and credit skip other types. Totals
    // add rounded amounts. Only printable ASCII keeps the bank's byte widths.
    void rowRules_data() { addTypeRows(); }

    void rowRules()
    {
        QFETCH(int, type);
        const QDate first(2024, 3, 5), last(2024, 3, 9);
        writeBook("Data", {{"Date"}, goodRow(first.addDays(-1), 1), goodRow(first, "10.005"), goodRow(QVariant(), 1),
                           goodRow("06/03/2024", 1), goodRow(first, "x"), goodRow(last, 1, QString::fromUtf8("Jos\u00e9")),
                           goodRow(last, "20.005", "Bu\ndi"), goodRow(first, 1, "Budi", "LLG"), goodRow(last.addDays(1), 1)});
        m_sink = RecordingSink();
        const ExportOutcome outcome = type == Transfer ? exportWith(common(transferSettings(), 1, true))
            : type == Credit                           ? exportWith(common(creditSettings(), 1, true))
            : type == Collection                       ? exportWith(common(collectionSettings(), 1, true))
                                                       : exportWith(common(payrollSettings(), 1, true));
        QCOMPARE(outcome, ExportOutcome::RowErrors);
        const QString title = QStringList{"Beneficiary", "Beneficiary Name", "Account Name", "Employee Name"}.at(type);
        const int nameColumn = type == Transfer ? 9 : 0;
        QStringList messages{error(2, "Invalid amount"), invalidChars(3, title), invalidChars(4, title)};
        if (type == Transfer)
            messages.removeAt(1);
        QCOMPARE(m_sink.allMessages(), messages);
        QCOMPARE(m_sink.rows.at(1).cells, (QVector<MarkedCell>{{1, type == Transfer ? 3 : 2}}));
        QCOMPARE(m_sink.rows.at(2).cells, QVector<MarkedCell>(type == Transfer ? 0 : 1, {2, nameColumn}));
        QCOMPARE(m_sink.rows.at(3).cells, (QVector<MarkedCell>{{3, nameColumn}}));
        const bool wdk = type == Transfer || type == Credit;
        QCOMPARE(m_sink.summary, summary(wdk ? "4 of 9" : "5 of 9", wdk ? "31,02" : "32,02", 0, type == Transfer ? 2 : 3));
        QCOMPARE(m_sink.boxTexts(), QStringList{"ERROR!"});
        QVERIFY(!QFile::exists(m_dest));
    }

    // When the batch does not fit its fixed-width header; the total is looked at first.
    void headerOverflow()
    {
        kova::CollectionSettings collection = common(collectionSettings());
        collection.creditedAccount = account;
        kova::PayrollSettings payroll = common(payrollSettings());
        payroll.sourceAccount = account;
        const QList<QPair<std::shared_ptr<ExportJob>, const char*>> jobs{
            {std::make_shared<kova::CreditExport>(common(creditSettings())), "99999999999999999.99"},
            {std::make_shared<kova::CollectionExport>(collection), "9999999999999.99"},
            {std::make_shared<kova::PayrollExport>(payroll), "99999999999999.99"}};
        for (const auto& [job, largest] : jobs) {
            const Cents max = *parseCents(largest);
            QCOMPARE(job->overflow({max, 99999}), QString());
            QCOMPARE(job->headerRecord({max, 99999}).size(), job->recordWidth());
            QCOMPARE(job->overflow({1, 100000}), QString("Record count exceeds 99999"));
            QCOMPARE(job->overflow({max + 1, 100000}), QString("Total amount does not fit the header record"));
        }
    }

    // Row errors and every refusal of the road leave the folder as it was, the
    // earlier batch too. A file size limit stands in for a full disk.
    // A workbook saved with a password, opened by the export itself: read with the request's password.
    void passwordOfTheRequest_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("box");
        QTest::newRow("its password") << "kova-secret" << "Done!";
        QTest::newRow("none") << QString() << "Error. Unable to select sheet Data: a password is needed to open it";
        QTest::newRow("a wrong one") << "kova-Secret" << "Error. Unable to select sheet Data: the password is wrong";
    }
    void passwordOfTheRequest()
    {
        QFETCH(QString, given);
        QFETCH(QString, box);
        writeBook("Data", {{"ann", 5}, {"bob", 7}});
        const QByteArray locked =
            EncryptedStreams::of(fileBytes(m_book), "kova-secret", EncryptedStreams::Kind::Standard).file();
        QFile file(m_book);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(locked) == locked.size());
        file.close();
        SampleJob job;
        ExportRequest request{m_book, "Data", m_dest, m_ini};
        request.password = given;
        const ExportOutcome outcome = runExport(request, job, m_sink).outcome;
        QCOMPARE(m_sink.boxTexts(), QStringList{box});
        QCOMPARE(outcome, box == "Done!" ? ExportOutcome::Written : ExportOutcome::Refused);
        if (box == "Done!")
            QCOMPARE(fileLines(m_dest), (QStringList{"H|2", "D|ann", "D|bob"}));
        else
            QVERIFY(!QFile::exists(m_dest));
    }

    // The upload holds each record as its UTF-8, text beyond ASCII included, and a batch of more than one
    // block of the details file arrives whole, every record once and in order.
    void recordsArriveAsTheirUtf8()
    {
        QList<QVariantList> rows{{"ann", 1}, {QString::fromUtf8("Jos\u00e9"), 1}, {QString::fromUtf8("\u652f\u4ed8"), 1},
                                 {QString::fromUtf8("\U0001F600"), 1}};
        QByteArray expected = "D|ann\nD|Jos\xc3\xa9\nD|\xe6\x94\xaf\xe4\xbb\x98\nD|\xf0\x9f\x98\x80\n";
        // About 1.3 MB of records: past the first block.
        for (int i = 0; i < 20000; ++i) {
            const QString name = QStringLiteral("payee %1 ").arg(i, 6, 10, QLatin1Char('0')) + QString(50, 'x');
            rows.append({name, 0});
            expected += "D|" + name.toUtf8() + '\n';
        }
        writeBook("Data", rows);
        SampleJob job;
        QCOMPARE(runExport({m_book, "Data", m_dest, m_ini}, job, m_sink).outcome, ExportOutcome::Written);
        QCOMPARE(fileBytes(m_dest), "H|20004\n" + expected);
    }

    void roadRefusals_data()
    {
        QTest::addColumn<QList<QVariantList>>("rows");
        QTest::addColumn<QString>("dest");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("reservations");
        const QList<QVariantList> one{{"ann"}}, two{{"ann"}, {"bob"}}, many = QVector<QVariantList>(3000, {"ann"}).toList();
        const QString failed = "Failed writing file", earlier = "earlier.txt";
        QTest::newRow("row error") << QList<QVariantList>{{"ann"}, {"bad"}, {"cid"}} << earlier << "ERROR!" << 0;
        QTest::newRow("folder at the upload") << one << "folder" << "Failed open file for writing" << 1;
        QTest::newRow("line break") << one << "paths.txt\n" << "Invalid file name" << 0;
        // A name that ends a line for some readers, or reads backwards ("exe.txt" shown as "txt.exe").
        QTest::newRow("line separator") << one << QString::fromUtf8("paths\u2028.txt") << "Invalid file name" << 0;
        QTest::newRow("right-to-left override") << one << QString::fromUtf8("\u202etxt.exe") << "Invalid file name" << 0;
        QTest::newRow("direction isolate") << one << QString::fromUtf8("a\u2067b.txt") << "Invalid file name" << 0;
        QTest::newRow("source via link") << one << "book-link.xlsx" << "Destination must not be the source workbook" << 0;
        QTest::newRow("settings via link") << one << "sub/ini-link" << "Destination must not be the settings file" << 0;
        QTest::newRow("source via hard link") << one << "book-hard.xlsx" << "Destination must not be the source workbook" << 0;
        QTest::newRow("settings via hard link") << one << "sub/ini-hard" << "Destination must not be the settings file" << 0;
        QTest::newRow("total overflows") << QList<QVariantList>{{"ann", 600}, {"bob", 600}} << earlier
                                         << "Total amount does not fit the header record" << 0;
        QTest::newRow("record of the wrong width") << one << earlier << "Record width mismatch" << 1;
        QTest::newRow("disk full during the rows") << many << earlier << failed << 0;
        QTest::newRow("disk full during the upload") << many << earlier << failed << 1;
        // The header's count would announce records the file does not hold.
        QTest::newRow("records lost before the copy") << two << earlier << failed << 1;
    }

    void roadRefusals()
    {
        QFETCH(QList<QVariantList>, rows);
        QFETCH(QString, dest);
        QFETCH(QString, box);
        QFETCH(int, reservations);
        const QByteArray tag = QTest::currentDataTag();
        const QString folder = m_dir->path();
        writeBook("Data", rows);
        writeSettings(m_ini, "Transfer", {{"HeaderID", 7}});
        QVERIFY(QFile::copy(m_ini, m_dir->filePath("earlier.txt")));   // an earlier batch
        QVERIFY(QDir(folder).mkpath("sub") && QDir(folder).mkpath("folder"));
        QVERIFY(QFile::link(m_book, m_dir->filePath("book-link.xlsx")) && QFile::link(m_ini, m_dir->filePath("sub/ini-link")));
        for (const auto& [file, hard] : {std::pair{m_book, "book-hard.xlsx"}, std::pair{m_ini, "sub/ini-hard"}})
            QCOMPARE(::link(QFile::encodeName(file).constData(), QFile::encodeName(m_dir->filePath(hard)).constData()), 0);
        const QStringList before = snapshot(folder);

        SampleJob job;
        job.width = tag == "record of the wrong width" ? 5 : 0;   // the details fit, the header does not
        std::optional<FileSizeLimit> disk;
        if (tag == "disk full during the rows")
            disk.emplace(16 * 1024);
        job.onReserve = [&] {
            if (tag == "disk full during the upload")
                disk.emplace(8 * 1024);
            if (tag == "records lost before the copy") {
                const int fd = openDetailsDescriptor(QFileInfo(folder).canonicalFilePath());
                QVERIFY(fd >= 0);
                QCOMPARE(::ftruncate(fd, qstrlen("D|ann\n")), 0);
            }
        };
        // Relative to the working folder, as a typed path is.
        const QString oldCurrent = QDir::currentPath();
        QDir::setCurrent(folder);
        const ExportOutcome outcome = runExport({m_book, "Data", dest, m_ini}, job, m_sink).outcome;
        QDir::setCurrent(oldCurrent);
        disk.reset();
        QCOMPARE(outcome, box == "ERROR!" ? ExportOutcome::RowErrors : ExportOutcome::Refused);
        if (box == "ERROR!") {
            QCOMPARE(m_sink.rows.value(1).cells, (QVector<MarkedCell>{{1, 0}}));
            QCOMPARE(m_sink.allMessages(), QStringList{error(2, "Bad name")});
        }
        QCOMPARE(m_sink.boxTexts(), QStringList{box});
        // A refused path is looked at before anything is read.
        const bool read = !dest.contains(QRegularExpression("[\\n\\x{2028}\\x{202e}\\x{2067}]|book|ini"));
        QCOMPARE(m_sink.headerReports, int(read));
        QCOMPARE(m_sink.summary.value(0), read ? QString("Total rows processed: %1 of %1").arg(rows.size()) : QString());
        QCOMPARE(job.reservations, reservations);
        QCOMPARE(snapshot(folder), before);
    }
};

QTEST_GUILESS_MAIN(TestExport)
#include "test_export.moc"
