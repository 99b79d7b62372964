#include "forms/transfer/transferexport.h"

#include "recordingsink.h"
#include "expect.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using kova::ExportOutcome;
using namespace expect;

namespace {

// Sheet columns of the test workbooks, one per mapped field.
enum {
    RefCol = 1, DateCol, FromCol, ToCol, AmountCol, Rem1Col, Rem2Col, TypeCol, CodeCol, BankCol,
    BranchCol, NameCol, Addr1Col, Addr2Col, Addr3Col, Addr4Col, CustCol, ResCol,
};

enum class Mode { WDK, LLG, RTGS };

QString mustBe10(int n, const QString& title)
{
    return error(n, b(title) + QStringLiteral(" must be 10 characters"));
}

QString invalidAmount(int n)
{
    return err(n, QStringLiteral(": Error. Invalid amount</span>"));
}

// A row that passes every check in WDK mode.
QVariantList goodRow(const QMap<int, QVariant>& changes = {})
{
    QVariantList row{QStringLiteral("REF001"), QDate(2026, 1, 5), QStringLiteral("1234567890"),
                     QStringLiteral("0987654321"), 1500000.5, QStringLiteral("Rent"), QStringLiteral("January"),
                     QStringLiteral("WDK"), QStringLiteral("ABCDEFG"), QStringLiteral("Bank A"),
                     QStringLiteral("Main"), QStringLiteral("Budi Santoso"), QStringLiteral("Jl. Merdeka 1"),
                     QStringLiteral("Kebayoran"), QStringLiteral("Jakarta"), QStringLiteral("12110"), 1,
                     QStringLiteral("R")};
    for (auto it = changes.begin(); it != changes.end(); ++it)
        row[it.key() - 1] = it.value();
    return row;
}

const QString goodTail = QStringLiteral("|Rent|January|ABCDEFG|Bank A|Main|Budi Santoso|Jl. Merdeka 1|Kebayoran|Jakarta|12110|1|R|");

QString goodDetail(int n, const QString& ref = QStringLiteral("REF001"), const QString& amount = QStringLiteral("1500000.50"))
{
    return QStringLiteral("1|") + QString::number(n).rightJustified(5, QLatin1Char('0')) + QLatin1Char('|') + ref
        + QStringLiteral("|1234567890|0987654321|") + amount + goodTail;
}

using Cells = QVector<kova::MarkedCell>;

} // namespace

Q_DECLARE_METATYPE(kova::MarkedCell)

class TestTransferExport final : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void wholeRecords();
    void unmappedOptionalFields();
    void rowChecks_data();
    void rowChecks();
    void dateFilterBoundsAndLineNumbers();
    void noDateColumnTakesEveryRow();
    void headerRecordOfAClearingBatch();
    void headerOnlyUpload();
    void headerIdTypedVersusStored_data();
    void headerIdTypedVersusStored();
    void rowErrorsLeaveTheDestination();
    void settingsRefusal();
    void settingsAfterConstruction();

private:
    TransferSettings settings(Mode mode = Mode::WDK) const;
    ExportOutcome run(const TransferSettings& settings, const QList<QVariantList>& rows);
    QStringList processedRefs() const;

    QScopedPointer<QTemporaryDir> m_dir;
    QString m_book;
    QString m_dest;
    QString m_ini;
    RecordingSink m_sink;
    std::optional<qint64> m_nextHeaderId;
};

void TestTransferExport::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    m_book = m_dir->filePath(QStringLiteral("book.xlsx"));
    m_dest = m_dir->filePath(QStringLiteral("out.txt"));
    m_ini = m_dir->filePath(QStringLiteral("kova.ini"));
    m_sink = RecordingSink();
    m_nextHeaderId.reset();
}

TransferSettings TestTransferExport::settings(Mode mode) const
{
    TransferSettings s;
    for (int f = 0; f < transferFieldCount; ++f)
        s.columns[std::size_t(f)] = f + 1;
    s.setColumn(TransferField::TrxDate, 0);
    s.dateFrom = s.dateTo = QDate(2026, 1, 5);
    s.effectiveDate = QDate(2026, 1, 5);
    s.limits.normalise();
    s.chooseClearing(mode == Mode::WDK ? -1 : mode == Mode::LLG ? 0 : 1);
    s.headerIdText = QStringLiteral("7");
    s.corporateId = QStringLiteral("ABCDE12345");
    s.settingsPath = m_ini;
    return s;
}

ExportOutcome TestTransferExport::run(const TransferSettings& settings, const QList<QVariantList>& rows)
{
    if (!writeSheet(m_book, QStringLiteral("Data"), rows))
        qFatal("workbook not written");
    return runTransferExport(settings, m_book, QStringLiteral("Data"), m_dest, m_sink, &m_nextHeaderId);
}

QStringList TestTransferExport::processedRefs() const
{
    QStringList refs;
    for (const auto& row : m_sink.rows)
        refs.append(row.values.value(0));
    return refs;
}

void TestTransferExport::wholeRecords()
{
    TransferSettings s = settings();
    s.hasColumnHeader = true;
    const QVariantList titles{QStringLiteral("Ref"), QStringLiteral("Date"), QStringLiteral("From")};
    QCOMPARE(run(s, {titles, goodRow(), goodRow({{RefCol, QStringLiteral("REF002")}, {AmountCol, 0.1}})}),
             ExportOutcome::Written);

    QCOMPARE(fileLines(m_dest), (QStringList{
        QStringLiteral("0|FT|00000007|||20260105|ABCDE12345|1500000.60|00002|WDK|IDR|"),
        goodDetail(1),
        goodDetail(2, QStringLiteral("REF002"), QStringLiteral("0.10")),
    }));
    QVERIFY(!QFile::exists(m_dest + QStringLiteral(".details")));

    QCOMPARE(m_sink.titles, (QStringList{
        QStringLiteral("Trx Ref"), QStringLiteral("From Acc"), QStringLiteral("To Acc"), QStringLiteral("Amount"),
        QStringLiteral("Remarks 1"), QStringLiteral("Remarks 2"), QStringLiteral("Bank Code"),
        QStringLiteral("Bank Name"), QStringLiteral("Branch"), QStringLiteral("Beneficiary"),
        QStringLiteral("Address 1"), QStringLiteral("Address 2"), QStringLiteral("Address 3"),
        QStringLiteral("Address 4"), QStringLiteral("Cust Type"), QStringLiteral("Residence")}));
    QCOMPARE(m_sink.rows.size(), 2);
    QCOMPARE(m_sink.rows.at(0).values, (QStringList{
        QStringLiteral("REF001"), QStringLiteral("1234567890"), QStringLiteral("0987654321"),
        QStringLiteral("1.500.000,50"), QStringLiteral("Rent"), QStringLiteral("January"), QStringLiteral("ABCDEFG"),
        QStringLiteral("Bank A"), QStringLiteral("Main"), QStringLiteral("Budi Santoso"),
        QStringLiteral("Jl. Merdeka 1"), QStringLiteral("Kebayoran"), QStringLiteral("Jakarta"),
        QStringLiteral("12110"), QStringLiteral("1"), QStringLiteral("R")}));
    QCOMPARE(m_sink.rows.at(0).amountColumn, 3);
    QVERIFY(m_sink.rows.at(0).messages.isEmpty());
    QCOMPARE(m_sink.summary, summary("2 of 2", "1.500.000,60", 0, 0));
    QCOMPARE(m_sink.boxTexts(), QStringList{QStringLiteral("Done!")});
}

void TestTransferExport::unmappedOptionalFields()
{
    TransferSettings s = settings();
    for (TransferField f : {TransferField::Remarks1, TransferField::Remarks2, TransferField::BICode,
                            TransferField::Bank, TransferField::Branch, TransferField::Beneficiary,
                            TransferField::Address1, TransferField::Address2, TransferField::Address3,
                            TransferField::Address4, TransferField::CustType, TransferField::Residence})
        s.setColumn(f, 0);
    QCOMPARE(run(s, {goodRow()}), ExportOutcome::Written);
    QCOMPARE(fileLines(m_dest).value(1), QStringLiteral("1|00001|REF001|1234567890|0987654321|1500000.50|||||||||||||"));
    const QString s18(18, QLatin1Char(' '));
    QCOMPARE(m_sink.rows.at(0).values.mid(4), (QStringList{s18, s18, QString(7, QLatin1Char(' ')), s18, s18,
                                                           QString(70, QLatin1Char(' ')), s18, s18, s18, s18,
                                                           QStringLiteral(" "), QStringLiteral(" ")}));
}

void TestTransferExport::rowChecks_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("cell");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<Cells>("cells");
    QTest::addColumn<int>("logColumn");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("record");   // the detail record when the batch is written

    const int wdk = int(Mode::WDK);
    const int llg = int(Mode::LLG);
    const int rtgs = int(Mode::RTGS);
    const QString ref30 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
    const QString rec = QStringLiteral("1|00001|");
    const QString accs = QStringLiteral("|1234567890|0987654321|1500000.50");
    const QString restAfterRemarks = QStringLiteral("|ABCDEFG|Bank A|Main|Budi Santoso|Jl. Merdeka 1|Kebayoran|Jakarta|12110|1|R|");

    QTest::newRow("trx ref 31 chars: cut with a warning")
        << wdk << int(RefCol) << QVariant(ref30 + QStringLiteral("4")) << QStringList{truncated(1, QStringLiteral("Trx Ref"), 30)}
        << Cells{} << 0 << ref30 << rec + ref30 + accs + goodTail;
    QTest::newRow("trx ref 30 chars and trailing spaces: raw length counts")
        << wdk << int(RefCol) << QVariant(ref30 + QStringLiteral("  ")) << QStringList{truncated(1, QStringLiteral("Trx Ref"), 30)}
        << Cells{} << 0 << ref30 << rec + ref30 + accs + goodTail;
    QTest::newRow("trx ref with a bar, too long")
        << wdk << int(RefCol) << QVariant(QStringLiteral("A|") + ref30)
        << QStringList{truncated(1, QStringLiteral("Trx Ref"), 30), invalidChars(1, QStringLiteral("Trx Ref"))}
        << Cells{{0, 0}} << 0 << (QStringLiteral("A|") + ref30).left(30) << QString();
    QTest::newRow("from acc 9 digits")
        << wdk << int(FromCol) << QVariant(QStringLiteral("123456789")) << QStringList{mustBe10(1, QStringLiteral("From Acc"))}
        << Cells{{0, 1}} << 1 << QStringLiteral("123456789 ") << QString();
    QTest::newRow("from acc with letters, 10 chars")
        << wdk << int(FromCol) << QVariant(QStringLiteral("12345abcde")) << QStringList{invalidChars(1, QStringLiteral("From Acc"))}
        << Cells{{0, 1}} << 1 << QStringLiteral("12345abcde") << QString();
    QTest::newRow("from acc 11 chars with a letter")
        << wdk << int(FromCol) << QVariant(QStringLiteral("123456789x0"))
        << QStringList{invalidChars(1, QStringLiteral("From Acc")), mustBe10(1, QStringLiteral("From Acc"))}
        << Cells{{0, 1}, {0, 1}} << 1 << QStringLiteral("123456789x") << QString();
    QTest::newRow("to acc not 10 in WDK mode")
        << wdk << int(ToCol) << QVariant(QStringLiteral("098765432")) << QStringList{mustBe10(1, QStringLiteral("To Acc"))}
        << Cells{{0, 2}} << 2 << QStringLiteral("098765432") << QString();
    QTest::newRow("to acc of 35 digits in Others mode")
        << llg << int(ToCol) << QVariant(QString(35, QLatin1Char('1')))
        << QStringList{err(1, ": Error. String truncated in " + b("To Acc") + ". Exceeding 34 characters</span>")}
        << Cells{} << 2 << QString(34, QLatin1Char('1')) << QString();
    QTest::newRow("to acc of 12 digits in Others mode")
        << llg << int(ToCol) << QVariant(QStringLiteral("098765432100")) << QStringList{}
        << Cells{} << 2 << QStringLiteral("098765432100")
        << rec + QStringLiteral("REF001|1234567890|098765432100|1500000.50") + goodTail;

    // The parser's own cases are in test_money; these reach it through a row.
    for (const QString amount : {"1,500,000", "-5", "10000000000000"})
        QTest::newRow(qPrintable(QStringLiteral("amount ") + amount))
            << wdk << int(AmountCol) << QVariant(amount) << QStringList{invalidAmount(1)} << Cells{{0, 3}} << 3
            << amount << QString();
    QTest::newRow("amount number 0")
        << wdk << int(AmountCol) << QVariant(0) << QStringList{invalidAmount(1)} << Cells{{0, 3}} << 3
        << QStringLiteral("0") << QString();
    QTest::newRow("amount empty")
        << wdk << int(AmountCol) << QVariant() << QStringList{invalidAmount(1)} << Cells{{0, 3}} << 3
        << QString() << QString();
    QTest::newRow("amount 1.005 rounds half away from zero")
        << wdk << int(AmountCol) << QVariant(QStringLiteral("1.005")) << QStringList{} << Cells{} << 3
        << QStringLiteral("1,01") << rec + QStringLiteral("REF001|1234567890|0987654321|1.01") + goodTail;
    QTest::newRow("amount at the maximum")
        << wdk << int(AmountCol) << QVariant(QStringLiteral("9999999999999.99")) << QStringList{} << Cells{} << 3
        << QStringLiteral("9.999.999.999.999,99")
        << rec + QStringLiteral("REF001|1234567890|0987654321|9999999999999.99") + goodTail;

    const QString llgMax = err(1, QStringLiteral(": Error. LLG amount exceeding max limit 500.000.000</span>"));
    QTest::newRow("LLG above the maximum")
        << llg << int(AmountCol) << QVariant(QStringLiteral("500000000.01")) << QStringList{llgMax} << Cells{{0, 3}}
        << 3 << QStringLiteral("500.000.000,01") << QString();
    QTest::newRow("LLG at the maximum")
        << llg << int(AmountCol) << QVariant(QStringLiteral("500000000")) << QStringList{} << Cells{} << 3
        << QStringLiteral("500.000.000,00")
        << rec + QStringLiteral("REF001|1234567890|0987654321|500000000.00") + goodTail;
    QTest::newRow("RTGS below the minimum")
        << rtgs << int(AmountCol) << QVariant(QStringLiteral("500000000.99"))
        << QStringList{err(1, QStringLiteral(": Error. RTGS amount below min limit 500.000.001</span>"))}
        << Cells{{0, 3}} << 3 << QStringLiteral("500.000.000,99") << QString();

    QTest::newRow("remarks 1 of 19 chars")
        << wdk << int(Rem1Col) << QVariant(QStringLiteral("ABCDEFGHIJKLMNOPQ R"))
        << QStringList{truncated(1, QStringLiteral("Remarks 1"), 18)} << Cells{} << 4 << QStringLiteral("ABCDEFGHIJKLMNOPQ")
        << rec + QStringLiteral("REF001") + accs + QStringLiteral("|ABCDEFGHIJKLMNOPQ|January") + restAfterRemarks;
    QTest::newRow("remarks 2 with a bar")
        << wdk << int(Rem2Col) << QVariant(QStringLiteral("a|b")) << QStringList{invalidChars(1, QStringLiteral("Remarks 2"))}
        << Cells{{0, 5}} << 5 << QStringLiteral("a|b") << QString();
    QTest::newRow("bank code mapped and empty")
        << wdk << int(CodeCol) << QVariant() << QStringList{err(1, QStringLiteral(": Error. Bank Code must be 7 chars</span>"))}
        << Cells{{0, 6}} << 6 << QString() << QString();
    QTest::newRow("bank code with a bar")
        << wdk << int(CodeCol) << QVariant(QStringLiteral("ABC|EFG")) << QStringList{invalidChars(1, QStringLiteral("Bank Code"))}
        << Cells{{0, 6}} << 6 << QStringLiteral("ABC|EFG") << QString();
    QTest::newRow("bank code with a line break")
        << wdk << int(CodeCol) << QVariant(QStringLiteral("ABC\nEF"))
        << QStringList{err(1, QStringLiteral(": Error. Bank Code must be 7 chars</span>")), invalidChars(1, QStringLiteral("Bank Code"))}
        << Cells{{0, 6}, {0, 6}} << 6 << QStringLiteral("ABC\nEF") << QString();
    QTest::newRow("bank name of 19 chars")
        << wdk << int(BankCol) << QVariant(QStringLiteral("ABCDEFGHIJKLMNOPQRS"))
        << QStringList{truncated(1, QStringLiteral("Bank Name"), 18)} << Cells{} << 7 << QStringLiteral("ABCDEFGHIJKLMNOPQR")
        << rec + QStringLiteral("REF001") + accs
               + QStringLiteral("|Rent|January|ABCDEFG|ABCDEFGHIJKLMNOPQR|Main|Budi Santoso|Jl. Merdeka 1|Kebayoran|Jakarta|12110|1|R|");
    QTest::newRow("branch with a carriage return")
        << wdk << int(BranchCol) << QVariant(QStringLiteral("Main\rSt")) << QStringList{invalidChars(1, QStringLiteral("Branch"))}
        << Cells{{0, 8}} << 8 << QStringLiteral("Main\rSt") << QString();
    QTest::newRow("beneficiary of 71 chars")
        << wdk << int(NameCol) << QVariant(QString(71, QLatin1Char('N')))
        << QStringList{truncated(1, QStringLiteral("Beneficiary"), 70)} << Cells{} << 9 << QString(70, QLatin1Char('N'))
        << rec + QStringLiteral("REF001") + accs + QStringLiteral("|Rent|January|ABCDEFG|Bank A|Main|") + QString(70, QLatin1Char('N'))
               + QStringLiteral("|Jl. Merdeka 1|Kebayoran|Jakarta|12110|1|R|");
    QTest::newRow("beneficiary with a line feed")
        << wdk << int(NameCol) << QVariant(QStringLiteral("Budi\nSantoso")) << QStringList{invalidChars(1, QStringLiteral("Beneficiary"))}
        << Cells{{0, 9}} << 9 << QStringLiteral("Budi\nSantoso") << QString();
    QTest::newRow("address 4 too long and with a bar")
        << wdk << int(Addr4Col) << QVariant(QStringLiteral("123456789012345678|9"))
        << QStringList{truncated(1, QStringLiteral("Address 4"), 18), invalidChars(1, QStringLiteral("Address 4"))}
        << Cells{{0, 13}} << 13 << QStringLiteral("123456789012345678") << QString();
    QTest::newRow("cust type 4")
        << wdk << int(CustCol) << QVariant(4) << QStringList{err(1, QStringLiteral(": Error. Invalid Customer Type</span>"))}
        << Cells{{0, 14}} << 14 << QStringLiteral("4") << QString();
    QTest::newRow("cust type as text 3")
        << wdk << int(CustCol) << QVariant(QStringLiteral("3")) << QStringList{} << Cells{} << 14 << QStringLiteral("3")
        << rec + QStringLiteral("REF001") + accs + QStringLiteral("|Rent|January|ABCDEFG|Bank A|Main|Budi Santoso|Jl. Merdeka 1|Kebayoran|Jakarta|12110|3|R|");
    QTest::newRow("residence lower-case r")
        << wdk << int(ResCol) << QVariant(QStringLiteral("r")) << QStringList{err(1, QStringLiteral(": Error. Invalid Residence</span>"))}
        << Cells{{0, 15}} << 15 << QStringLiteral("r") << QString();
    QTest::newRow("residence first char N")
        << wdk << int(ResCol) << QVariant(QStringLiteral("Non-resident")) << QStringList{} << Cells{} << 15 << QStringLiteral("N")
        << rec + QStringLiteral("REF001") + accs + QStringLiteral("|Rent|January|ABCDEFG|Bank A|Main|Budi Santoso|Jl. Merdeka 1|Kebayoran|Jakarta|12110|1|N|");
    QTest::newRow("residence a bar")
        << wdk << int(ResCol) << QVariant(QStringLiteral("|R"))
        << QStringList{err(1, QStringLiteral(": Error. Invalid Residence</span>")), invalidChars(1, QStringLiteral("Residence"))}
        << Cells{{0, 15}, {0, 15}} << 15 << QStringLiteral("|") << QString();
}

void TestTransferExport::rowChecks()
{
    QFETCH(int, mode);
    QFETCH(int, column);
    QFETCH(QVariant, cell);
    QFETCH(QStringList, messages);
    QFETCH(Cells, cells);
    QFETCH(int, logColumn);
    QFETCH(QString, shown);
    QFETCH(QString, record);

    QMap<int, QVariant> changes{{column, cell}};
    if (Mode(mode) != Mode::WDK)
        changes.insert(TypeCol, Mode(mode) == Mode::LLG ? QStringLiteral("LLG") : QStringLiteral("RTG"));
    const ExportOutcome outcome = run(settings(Mode(mode)), {goodRow(changes)});

    QCOMPARE(m_sink.rows.size(), 1);
    QCOMPARE(m_sink.rows.at(0).messages, messages);
    QCOMPARE(m_sink.rows.at(0).cells, cells);
    QCOMPARE(m_sink.rows.at(0).values.value(logColumn), shown);
    if (record.isEmpty()) {
        QCOMPARE(outcome, ExportOutcome::RowErrors);
        QVERIFY(!QFile::exists(m_dest));
        QCOMPARE(m_sink.boxTexts(), QStringList{QStringLiteral("ERROR!")});
    } else {
        QCOMPARE(outcome, ExportOutcome::Written);
        QCOMPARE(fileLines(m_dest).value(1), record);
        QCOMPARE(fileLines(m_dest).size(), 2);
    }
}

void TestTransferExport::dateFilterBoundsAndLineNumbers()
{
    TransferSettings s = settings();
    s.setColumn(TransferField::TrxDate, DateCol);
    s.dateFrom = QDate(2026, 1, 5);
    s.dateTo = QDate(2026, 1, 9);
    s.hasColumnHeader = true;
    const auto dated = [](const char* ref, const QVariant& date, const QVariant& amount = 10,
                          const QString& type = QStringLiteral("WDK")) {
        return goodRow({{RefCol, QString::fromLatin1(ref)}, {DateCol, date}, {AmountCol, amount}, {TypeCol, type}});
    };
    run(s, {
        {QStringLiteral("Ref")},
        dated("before", QDate(2026, 1, 4)),
        dated("first", QDate(2026, 1, 5)),
        dated("no date", QVariant()),
        dated("text date", QStringLiteral("06/01/2026")),
        dated("middle", QDate(2026, 1, 7), QStringLiteral("x")),
        dated("clearing", QDate(2026, 1, 7), 10, QStringLiteral("LLG")),
        dated("last", QDate(2026, 1, 9), QStringLiteral("0")),
        dated("after", QDate(2026, 1, 10)),
    });
    // Skipped rows do not count: the line numbers are those of processed rows.
    QCOMPARE(processedRefs(), (QStringList{QStringLiteral("first"), QStringLiteral("middle"), QStringLiteral("last")}));
    QCOMPARE(m_sink.allMessages(), (QStringList{invalidAmount(2), invalidAmount(3)}));
    QCOMPARE(m_sink.rows.at(2).cells, (Cells{{2, 3}}));
    QCOMPARE(m_sink.summary, summary("3 of 8", "10,00", 0, 2));
}

void TestTransferExport::noDateColumnTakesEveryRow()
{
    TransferSettings s = settings();
    s.dateFrom = s.dateTo = QDate(1999, 1, 1);
    QCOMPARE(run(s, {goodRow({{DateCol, QVariant()}}), goodRow({{DateCol, QDate(2030, 1, 1)}})}),
             ExportOutcome::Written);
    QCOMPARE(fileLines(m_dest), (QStringList{QStringLiteral("0|FT|00000007|||20260105|ABCDE12345|3000001.00|00002|WDK|IDR|"),
                                         goodDetail(1), goodDetail(2)}));
}

void TestTransferExport::headerRecordOfAClearingBatch()
{
    TransferSettings s = settings(Mode::LLG);
    const auto row = [](const char* amount) {
        return goodRow({{TypeCol, QStringLiteral("LLG")}, {AmountCol, QString::fromLatin1(amount)}});
    };
    QCOMPARE(run(s, {row("1000000"), row("499999.995"), row("0.505")}), ExportOutcome::Written);
    QCOMPARE(fileLines(m_dest).value(0), QStringLiteral("0|FT|00000007|||20260105|ABCDE12345|1500000.51|00003|LLG|IDR|"));
    QCOMPARE(fileLines(m_dest).mid(1), (QStringList{goodDetail(1, QStringLiteral("REF001"), QStringLiteral("1000000.00")),
                                                goodDetail(2, QStringLiteral("REF001"), QStringLiteral("500000.00")),
                                                goodDetail(3, QStringLiteral("REF001"), QStringLiteral("0.51"))}));

    init();
    s = settings(Mode::RTGS);
    s.corporateId = QStringLiteral(" BCDE12345");
    QCOMPARE(run(s, {goodRow({{TypeCol, QStringLiteral("RTG")}, {AmountCol, QStringLiteral("600000000")}})}),
             ExportOutcome::Written);
    QCOMPARE(fileLines(m_dest).value(0), QStringLiteral("0|FT|00000007|||20260105| BCDE12345|600000000.00|00001|RTG|IDR|"));
}

void TestTransferExport::headerOnlyUpload()
{
    QCOMPARE(run(settings(), {goodRow({{TypeCol, QStringLiteral("LLG")}})}), ExportOutcome::Written);
    QCOMPARE(fileLines(m_dest), QStringList{QStringLiteral("0|FT|00000007|||20260105|ABCDE12345|0.00|00000|WDK|IDR|")});
    QCOMPARE(m_sink.summary, summary("0 of 1", "0,00", 0, 0));
    QCOMPARE(m_sink.boxTexts(), QStringList{QStringLiteral("Done!")});
    QCOMPARE(m_nextHeaderId, std::optional<qint64>(1));
    QCOMPARE(QSettings(m_ini, QSettings::IniFormat).value(QStringLiteral("Transfer/HeaderID")).toInt(), 1);
}

void TestTransferExport::headerIdTypedVersusStored_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("headerId");
    QTest::addColumn<int>("next");

    QTest::newRow("nothing stored, 5 typed") << QVariant() << QStringLiteral("5") << QStringLiteral("00000005") << 1;
    QTest::newRow("41 stored, 5 typed") << QVariant(41) << QStringLiteral("5") << QStringLiteral("00000005") << 42;
    QTest::newRow("largest") << QVariant(99999999) << QStringLiteral("99999999") << QStringLiteral("99999999")
                             << 100000000;
    QTest::newRow("typed with leading zeros") << QVariant(3) << QStringLiteral("000000003")
                                              << QStringLiteral("00000003") << 4;
}

void TestTransferExport::headerIdTypedVersusStored()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, typed);
    QFETCH(QString, headerId);
    QFETCH(int, next);

    if (stored.isValid())
        QSettings(m_ini, QSettings::IniFormat).setValue(QStringLiteral("Transfer/HeaderID"), stored);
    TransferSettings s = settings();
    s.headerIdText = typed;
    QCOMPARE(run(s, {goodRow()}), ExportOutcome::Written);
    QCOMPARE(fileLines(m_dest).value(0),
             QStringLiteral("0|FT|") + headerId + QStringLiteral("|||20260105|ABCDE12345|1500000.50|00001|WDK|IDR|"));
    QCOMPARE(m_nextHeaderId, std::optional<qint64>(next));
    QCOMPARE(QSettings(m_ini, QSettings::IniFormat).value(QStringLiteral("Transfer/HeaderID")).toInt(), next);
}

void TestTransferExport::rowErrorsLeaveTheDestination()
{
    {
        QFile old(m_dest);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier batch\n");
    }
    QSettings(m_ini, QSettings::IniFormat).setValue(QStringLiteral("Transfer/HeaderID"), 9);
    QCOMPARE(run(settings(), {goodRow(), goodRow({{FromCol, QStringLiteral("12")}}), goodRow()}),
             ExportOutcome::RowErrors);
    QCOMPARE(m_sink.rows.size(), 3);
    QCOMPARE(m_sink.allMessages(), QStringList{mustBe10(2, QStringLiteral("From Acc"))});
    QCOMPARE(m_sink.boxTexts(), QStringList{QStringLiteral("ERROR!")});
    QCOMPARE(fileLines(m_dest), QStringList{QStringLiteral("earlier batch")});
    QVERIFY(!QFile::exists(m_dest + QStringLiteral(".details")));
    QVERIFY(!m_nextHeaderId);
    QCOMPARE(QSettings(m_ini, QSettings::IniFormat).value(QStringLiteral("Transfer/HeaderID")).toInt(), 9);
}

void TestTransferExport::settingsRefusal()
{
    TransferSettings s = settings(Mode::LLG);
    s.maxLimitText = QStringLiteral("0");
    QCOMPARE(run(s, {goodRow()}), ExportOutcome::Refused);
    QCOMPARE(m_sink.boxTexts(), QStringList{QStringLiteral("Invalid maximum limit")});
    QCOMPARE(m_sink.headerReports, 0);
    QVERIFY(!QFile::exists(m_dest + QStringLiteral(".details")));
}

void TestTransferExport::settingsAfterConstruction()
{
    TransferSettings fresh = readTransferSettings(m_ini);
    QCOMPARE(fresh.headerIdText, QStringLiteral("1"));
    QCOMPARE(fresh.corporateId, QString());
    QCOMPARE(fresh.mode, kova::BankMode::WDK);
    fresh.chooseClearing(0);
    QCOMPARE(fresh.mode, kova::BankMode::Others);
    QCOMPARE(fresh.minLimitText, QStringLiteral("1"));
    QCOMPARE(fresh.maxLimitText, QStringLiteral("500.000.000"));

    {
        QSettings ini(m_ini, QSettings::IniFormat);
        ini.setValue(QStringLiteral("MaxLLG"), 100000000);
        ini.beginGroup(QStringLiteral("Transfer"));
        ini.setValue(QStringLiteral("HeaderID"), QStringLiteral("42"));
        ini.setValue(QStringLiteral("CompanyID"), QStringLiteral("ABCDE12345"));
        ini.setValue(QStringLiteral("HasColumnHeader"), true);
        ini.setValue(QStringLiteral("Amount"), 5);
        ini.setValue(QStringLiteral("Residence"), 18);
    }
    TransferSettings stored = readTransferSettings(m_ini);
    QCOMPARE(stored.headerIdText, QStringLiteral("42"));
    QCOMPARE(stored.hasColumnHeader, true);
    QCOMPARE(stored.limits.maxLLG, quint64(100000000));
    QCOMPARE(stored.limits.minRTGS, quint64(100000001));
    QCOMPARE(stored.column(TransferField::Amount), 5);
    QCOMPARE(stored.column(TransferField::Residence), 18);
    QCOMPARE(stored.column(TransferField::TrxRef), 0);
}

QTEST_GUILESS_MAIN(TestTransferExport)
#include "test_transfer_export.moc"
