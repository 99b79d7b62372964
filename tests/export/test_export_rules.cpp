#include "export/batchremarks.h"
#include "export/clearing.h"
#include "export/messageline.h"
#include "export/settingsfile.h"
#include "export/sourceaccount.h"
#include "export/textfield.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace kova;

class TestExportRules final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString iniPath(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    void textFields()
    {
        QVERIFY(isDigitsOnly(QString()));
        QVERIFY(isDigitsOnly("0123456789"));
        QVERIFY(!isDigitsOnly("12345 6789"));
        QVERIFY(!isDigitsOnly("-1"));
        // Arabic-Indic digits are digits to Unicode but not to the bank.
        QVERIFY(!isDigitsOnly(QString::fromUtf8("\u0661\u0662")));
        QVERIFY(hasLineBreak("a\nb"));
        QVERIFY(hasLineBreak("a\rb"));
        QVERIFY(!hasLineBreak("a\tb"));
        QVERIFY(isPrintableAscii(" Az~"));
        QVERIFY(!isPrintableAscii("a\tb"));
        QVERIFY(!isPrintableAscii(QString::fromUtf8("Caf\u00e9")));
        QVERIFY(hasControlCharacter("upload.txt\n"));
        QVERIFY(hasControlCharacter(QString::fromUtf8("a\u0085b")));
        QVERIFY(!hasControlCharacter(QString::fromUtf8("Caf\u00e9.txt")));
        QCOMPARE(batchRemarksRefusal(QString::fromUtf8("Caf\u00e9"), ""), QString("Trx Remarks 1 contains invalid chars"));
        QCOMPARE(batchRemarksRefusal("ok", "a\tb"), QString("Trx Remarks 2 contains invalid chars"));
        QCOMPARE(cutTrimmed(" abc  def ", 6), QString("abc"));
        QCOMPARE(leftField("abc", 5), QString("abc  "));
        QCOMPARE(leftField("abcdef", 4), QString("abcd"));
        QCOMPARE(leftPadded("abcdef", 4), QString("abcdef"));
        QCOMPARE(rightField("5.00", 8, '0'), QString("00005.00"));
        QCOMPARE(rightPadded("123456", 5, '0'), QString("123456"));
    }

    void messageLines()
    {
        QCOMPARE(errorLine(3, ": Error. Invalid amount</span>"), QString("<span style=\"color:#e73d4a;\">LINE 3: Error. Invalid amount</span>"));
        QCOMPARE(warningLine(12, truncatedTail("Trx Ref", 30)),
                 QStringLiteral("<span style=\"color:#f88021;\">LINE 12: Warning. String truncated in "
                                "<span style=\"font-weight:bold;\">Trx Ref</span>. Exceeding 30 characters</span>"));
        QCOMPARE(errorLine(1, invalidCharactersTail("From Acc")),
                 QStringLiteral("<span style=\"color:#e73d4a;\">LINE 1: Error. Invalid characters found in "
                                "<span style=\"font-weight:bold;\">From Acc</span></span>"));
    }

    void normalise_data()
    {
        QTest::addColumn<QList<quint64>>("stored");      // MinLLG, MaxLLG, MinRTGS, MaxRTGS
        QTest::addColumn<QList<quint64>>("normalised");
        QTest::newRow("fresh file") << QList<quint64>{0, 0, 0, 0}
                                    << QList<quint64>{1, 500000000, 500000001, 999999999999999ULL};
        QTest::newRow("max below min") << QList<quint64>{200, 100, 0, 0}
                                       << QList<quint64>{200, 500000000, 500000001, 999999999999999ULL};
        QTest::newRow("rtgs min below llg max") << QList<quint64>{10, 1000, 5, 2000}
                                                << QList<quint64>{10, 1000, 1001, 2000};
        QTest::newRow("consistent values stay") << QList<quint64>{5, 10, 11, 12} << QList<quint64>{5, 10, 11, 12};
        QTest::newRow("equal values move") << QList<quint64>{5, 5, 500000000, 500000001}
                                           << QList<quint64>{5, 500000000, 500000001, 999999999999999ULL};
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
        const QString path = iniPath("limits.ini");
        QCOMPARE(ClearingLimits::load(path).maxLLG, quint64(500000000));
        QVERIFY(storeLimit(path, maxLimitKey(0), 100));
        QVERIFY(storeLimit(path, minLimitKey(0), 200));
        const ClearingLimits limits = ClearingLimits::load(path);
        QCOMPARE(limits.minLLG, quint64(200));
        QCOMPARE(limits.maxLLG, quint64(500000000));
        QCOMPARE(limits.minRTGS, quint64(500000001));
        QSettings file(path, QSettings::IniFormat);
        QCOMPARE(file.value("MaxLLG").toULongLong(), quint64(100));   // the file is not rewritten
        QCOMPARE(minLimitKey(1), QString("MinRTGS"));
        QCOMPARE(maxLimitKey(1), QString("MaxRTGS"));
    }

    void storeFailsOnUnwritableFile()
    {
        const QString path = iniPath("blocked.ini");
        QVERIFY(QDir().mkpath(path));   // a folder where the file should be
        QVERIFY(!storeLimit(path, "MinLLG", 5));
    }

    void limitText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint64>("value");
        QTest::newRow("grouped") << "500.000.000" << quint64(500000000);
        QTest::newRow("plain") << "750000000" << quint64(750000000);
        QTest::newRow("empty") << "" << quint64(0);
        QTest::newRow("letters") << "abc" << quint64(0);
        QTest::newRow("negative") << "-5" << quint64(0);
        QTest::newRow("comma") << "1,000" << quint64(0);
        QTest::newRow("max") << "999.999.999.999.999" << quint64(999999999999999ULL);
    }

    void limitText()
    {
        QFETCH(QString, text);
        QFETCH(quint64, value);
        QCOMPARE(parseLimitText(text), value);
        if (value)
            QCOMPARE(parseLimitText(kova::limitText(value)), value);
    }

    void limitChecks_data()
    {
        QTest::addColumn<QString>("minText");
        QTest::addColumn<QString>("maxText");
        QTest::addColumn<QString>("message");
        QTest::newRow("both set") << "1" << "500.000.000" << "";
        QTest::newRow("min zero") << "0" << "5" << "Invalid minimum limit";
        QTest::newRow("min empty") << "" << "5" << "Invalid minimum limit";
        QTest::newRow("min text") << "abc" << "5" << "Invalid minimum limit";
        QTest::newRow("both zero, min first") << "0" << "0" << "Invalid minimum limit";
        QTest::newRow("max zero") << "5" << "0.000" << "Invalid maximum limit";
        QTest::newRow("max negative") << "5" << "-5" << "Invalid maximum limit";
        QTest::newRow("min above max passes") << "9.000" << "5" << "";
    }

    void limitChecks()
    {
        QFETCH(QString, minText);
        QFETCH(QString, maxText);
        QFETCH(QString, message);
        QCOMPARE(checkLimitTexts(minText, maxText), message);
    }

    void filterFromFields()
    {
        const BankFilter wdk = BankFilter::fromFields(BankMode::WDK, -1, "0", "x");
        QCOMPARE(wdk.mode, BankMode::WDK);
        QCOMPARE(wdk.clearingIndex, -1);
        QCOMPARE(wdk.limitError(Cents(1) << 100, "LLG"), QString());
        const BankFilter rtgs = BankFilter::fromFields(BankMode::Others, 1, "600.000.000", "999.999.999.999.999");
        QCOMPARE(rtgs.clearingIndex, 1);
        QCOMPARE(rtgs.minLimit, quint64(600000000));
        QCOMPARE(rtgs.maxLimit, quint64(999999999999999ULL));
    }

    void clearingFilter_data()
    {
        QTest::addColumn<int>("mode");       // 0 WDK, 1 Others
        QTest::addColumn<int>("clearing");
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("processed");
        QTest::newRow("wdk wdk") << 0 << -1 << "WDK" << true;
        QTest::newRow("wdk lower") << 0 << -1 << "wdk" << true;
        QTest::newRow("wdk llg") << 0 << -1 << "LLG" << false;
        QTest::newRow("wdk empty") << 0 << -1 << "" << false;
        QTest::newRow("llg llg") << 1 << 0 << "LLG" << true;
        QTest::newRow("llg rtg") << 1 << 0 << "RTG" << false;
        QTest::newRow("llg rtg lower") << 1 << 0 << "rtg" << false;
        QTest::newRow("llg rtgs") << 1 << 0 << "RTGS" << true;
        QTest::newRow("llg wdk") << 1 << 0 << "Wdk" << false;
        QTest::newRow("llg empty") << 1 << 0 << "" << true;
        QTest::newRow("llg other") << 1 << 0 << "SKN" << true;
        QTest::newRow("rtgs rtg") << 1 << 1 << "RTG" << true;
        QTest::newRow("rtgs llg") << 1 << 1 << "llg" << false;
        QTest::newRow("rtgs wdk") << 1 << 1 << "WDK" << false;
        QTest::newRow("rtgs empty") << 1 << 1 << "" << true;
    }

    void clearingFilter()
    {
        QFETCH(int, mode);
        QFETCH(int, clearing);
        QFETCH(QString, type);
        QFETCH(bool, processed);
        BankFilter filter{mode ? BankMode::Others : BankMode::WDK, clearing, 1, 500000000};
        QCOMPARE(filter.accepts(type), processed);
    }

    void limitRules_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("clearing");
        QTest::addColumn<QString>("amount");   // hundredths
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("tail");
        const QString llg = ": Error. LLG amount exceeding max limit 500.000.000</span>";
        const QString rtgs = ": Error. RTGS amount below min limit 500.000.001</span>";
        QTest::newRow("llg at max") << 1 << 0 << "50000000000" << "LLG" << "";
        QTest::newRow("llg a cent above") << 1 << 0 << "50000000001" << "LLG" << llg;
        QTest::newRow("llg lower case") << 1 << 0 << "90000000000" << "llg" << llg;
        QTest::newRow("llg mixed case") << 1 << 0 << "90000000000" << "Llg" << llg;
        QTest::newRow("llg other type") << 1 << 0 << "90000000000" << "" << "";
        QTest::newRow("rtgs at min") << 1 << 1 << "50000000100" << "RTG" << "";
        QTest::newRow("rtgs a cent below") << 1 << 1 << "50000000099" << "RTG" << rtgs;
        QTest::newRow("rtgs lower case") << 1 << 1 << "100" << "rtg" << rtgs;
        QTest::newRow("rtgs other type") << 1 << 1 << "100" << "" << "";
        QTest::newRow("wdk never") << 0 << -1 << "90000000000" << "LLG" << "";
    }

    void limitRules()
    {
        QFETCH(int, mode);
        QFETCH(int, clearing);
        QFETCH(QString, amount);
        QFETCH(QString, type);
        QFETCH(QString, tail);
        const quint64 min = clearing == 1 ? 500000001 : 1;
        const quint64 max = clearing == 1 ? 999999999999999ULL : 500000000;
        BankFilter filter{mode ? BankMode::Others : BankMode::WDK, clearing, min, max};
        QCOMPARE(filter.limitError(Cents(amount.toLongLong()), type), tail);
    }

    void sourceAccountChecks_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("companyCode");
        QTest::addColumn<QString>("message");
        const QString code = QStringLiteral(
            "Company Code must be in the format 1234/56789/ABCD\n(4 numeric / 5 numeric/ 4 letters)");
        QTest::newRow("none checked") << false << "" << "" << "Source Account has not been defined";
        QTest::newRow("valid") << true << "0123456789" << "1234/56789/ABCD" << "";
        QTest::newRow("lower case letters") << true << "1234567890" << "1234/56789/abcd" << "";
        QTest::newRow("nine digits") << true << "123456789" << "1234/56789/ABCD" << "Source Acc must be 10 chars";
        QTest::newRow("empty account") << true << "" << "1234/56789/ABCD" << "Source Acc must be 10 chars";
        QTest::newRow("space inside") << true << "12345 6789" << "1234/56789/ABCD" << "Source Acc contains invalid chars";
        QTest::newRow("letters") << true << "12345abcde" << "1234/56789/ABCD" << "Source Acc contains invalid chars";
        QTest::newRow("four in the middle") << true << "1234567890" << "1234/5678/ABCD" << code;
        QTest::newRow("digits for letters") << true << "1234567890" << "1234/56789/AB12" << code;
        QTest::newRow("trailing text") << true << "1234567890" << "1234/56789/ABCDE" << code;
        QTest::newRow("non-ascii letters") << true << "1234567890" << QString::fromUtf8("1234/56789/ÄBCD") << code;
    }

    void sourceAccountChecks()
    {
        QFETCH(bool, checked);
        QFETCH(QString, account);
        QFETCH(QString, companyCode);
        QFETCH(QString, message);
        std::optional<SourceAccount> row;
        if (checked)
            row = SourceAccount{account, companyCode};
        QCOMPARE(checkSourceAccount(row, creditAccountMessages), message);
    }

    void perFormAccountMessages()
    {
        QCOMPARE(checkSourceAccount(std::nullopt, collectionAccountMessages), QString("Credited Account has not been defined"));
        QCOMPARE(checkSourceAccount(SourceAccount{"x", ""}, collectionAccountMessages), QString("Credited Acc contains invalid chars"));
        QCOMPARE(checkSourceAccount(SourceAccount{"1", ""}, collectionAccountMessages), QString("Credited Acc must be 10 chars"));
        QCOMPARE(checkSourceAccount(std::nullopt, payrollAccountMessages), QString("Source Acc has not been defined"));
    }

    void accountsArray()
    {
        const QString path = iniPath("accounts.ini");
        QVector<SourceAccount> five;
        for (int i = 0; i < 5; ++i)
            five.append({QString::number(1000000000 + i), QString("1234/56789/ABC") + QChar('A' + i)});
        {
            QSettings s(path, QSettings::IniFormat);
            s.beginGroup("Credit");
            saveAccounts(s, five);
        }
        {
            QSettings s(path, QSettings::IniFormat);
            s.beginGroup("Credit");
            QCOMPARE(loadAccounts(s), five);
            saveAccounts(s, five.mid(0, 2));
        }
        QSettings s(path, QSettings::IniFormat);
        s.beginGroup("Credit");
        QCOMPARE(loadAccounts(s), five.mid(0, 2));
        QCOMPARE(s.value("Accounts/size").toInt(), 2);
        QVERIFY(!s.contains("Accounts/3/Account"));
        QVERIFY(!s.contains("Accounts/5/CompID"));
        saveAccounts(s, {});
        QVERIFY(loadAccounts(s).isEmpty());
        QVERIFY(!s.contains("Accounts/1/Account"));
    }

    void columnIndexes()
    {
        const QString path = iniPath("columns.ini");
        const QStringList keys{"TrxDate", "Amount"};
        {
            QSettings s(path, QSettings::IniFormat);
            s.beginGroup("Payroll");
            saveAccounts(s, {{"1234567890", "1234/56789/ABCD"}});
        }
        // Only the accounts array is stored: the mapping was never saved.
        QCOMPARE(readColumnIndexes(path, "Payroll", keys), (QVector<int>{0, 0}));
        {
            QSettings s(path, QSettings::IniFormat);
            s.setValue("Payroll/Amount", 4);
        }
        QCOMPARE(readColumnIndexes(path, "Payroll", keys), (QVector<int>{0, 4}));
        QCOMPARE(readColumnIndexes(path, "Credit", keys), (QVector<int>{0, 0}));
        QCOMPARE(effectiveColumn(4, 3), 0);
        QCOMPARE(effectiveColumn(3, 3), 3);
        QCOMPARE(effectiveColumn(-1, 3), 0);
    }

    // Portable beside the program; an installed program under a folder the
    // user cannot write keeps its settings in the user's own configuration.
    void settingsFileLocation()
    {
        QCOMPARE(settingsPathFor("/opt/kova/bin", true, "/home/ani/.config"), QString("/opt/kova/bin/kova.ini"));
        QCOMPARE(settingsPathFor("/usr/bin", false, "/home/ani/.config"), QString("/home/ani/.config/kova/kova.ini"));
    }
};

QTEST_GUILESS_MAIN(TestExportRules)
#include "test_export_rules.moc"
