// Named layouts: a payroll type with a head-office and a branch layout, each sheet read by the layout
// whose saved column titles it has, or by the one named; neither or both fitting fall back to the one
// chosen; a settings file written before layouts had names reads as one layout and is not rewritten.
#include "expect.h"
#include "programrun.h"

#include "settings/namedlayouts.h"
#include "types/payrolldescriptor.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

Run kovaExport(const QStringList& arguments) { return runProgram(KOVA_EXPORT_PATH, arguments); }

// Head office: name, account, amount in A-C under English titles. Branch: amount, name, account in A-C
// under Indonesian ones, a title line above them.
const QVariantList hqTitles{"Employee Name", "Acc #", "Amount"};
const QVariantList branchTitles{"Gaji", "Nama", "No. Rekening"};
const QList<QVariantList> hqRows{{"DEWI", "3333333333", 1500000.5}, {"BUDI", "4444444444", 250}};
const QList<QVariantList> branchRows{{1500000.5, "DEWI", "3333333333"}, {250, "BUDI", "4444444444"}};

} // namespace

class TestLayouts final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // The two layouts; chosen: the name of the one the window chose last, empty for the first.
    void writeTwoLayouts(const QString& chosen)
    {
        freshSettings();
        expect::writeSettings(path("kova.ini"), "Payroll",
                              {{"LayoutName", "Payroll HQ"}, {"HasColumnHeader", true}, {"HeaderRow", 1},
                               {"AccountName", 1}, {"AccountNameHeader", "Employee Name"},
                               {"AccountNumber", 2}, {"AccountNumberHeader", "Acc #"},
                               {"Amount", 3}, {"AmountHeader", "Amount"},
                               {"Layouts/size", 1}, {"Layouts/1/Name", "Payroll Branch"},
                               {"Layouts/1/HasColumnHeader", true}, {"Layouts/1/HeaderRow", 2},
                               {"Layouts/1/Amount", 1}, {"Layouts/1/AmountHeader", "Gaji"},
                               {"Layouts/1/AccountName", 2}, {"Layouts/1/AccountNameHeader", "Nama"},
                               {"Layouts/1/AccountNumber", 3}, {"Layouts/1/AccountNumberHeader", "No. Rekening"}});
        if (!chosen.isEmpty())
            expect::writeSettings(path("kova.ini"), "Payroll", {{"Layout", chosen}});
        expect::writeAccounts(path("kova.ini"), "Payroll", {{"1111111111", "1234/56789/ABCD"}});
    }

    // No settings and no register of earlier batches: each run writes its batch as a first one.
    void freshSettings()
    {
        for (const QString& name : QDir(m_dir.path()).entryList({"kova.ini", "kova-batches*"}))
            QFile::remove(path(name));
    }

    Run exportSheet(const QList<QVariantList>& rows, const QStringList& more = {})
    {
        QFile::remove(path("payroll.txt"));
        if (!expect::writeSheet(path("book.xlsx"), "Gaji", rows))
            return {};
        return kovaExport(QStringList{"payroll", "--source", path("book.xlsx"), "--sheet", "Gaji", "--dest", path("payroll.txt"),
                                      "--settings", path("kova.ini"), "--account", "1", "--effective", "2026-12-25"}
                          + more);
    }

    static QString firstLine(const QString& err) { return err.section('\n', 0, 0); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Either sheet pays the same two people the same amounts, each by its own layout.
    void pickedByTitles_data()
    {
        QTest::addColumn<QList<QVariantList>>("rows");
        QTest::addColumn<QStringList>("more");
        QTest::addColumn<QString>("note");   // the first line of standard error, "Done!" when no note comes first
        QTest::newRow("head office") << QList<QVariantList>{hqTitles} + hqRows << QStringList()
                                     << "Layout \"Payroll HQ\": every saved column title found";
        QTest::newRow("branch") << QList<QVariantList>{{"Daftar gaji Desember"}, branchTitles} + branchRows << QStringList()
                                << "Layout \"Payroll Branch\": every saved column title found";
        QTest::newRow("branch, named") << QList<QVariantList>{{"Daftar gaji Desember"}, branchTitles} + branchRows
                                       << QStringList{"--layout", "Payroll Branch"} << "Done!";
    }

    void pickedByTitles()
    {
        QFETCH(QList<QVariantList>, rows);
        QFETCH(QStringList, more);
        QFETCH(QString, note);
        writeTwoLayouts({});
        const Run run = exportSheet(rows, more);
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(firstLine(run.err), note);
        QCOMPARE(expect::fileLines(path("payroll.txt")),
                 QStringList({"           123406789ABCD2501111111111100000000200000001500250.50122026",
                              "03333333333000000150000050          DEWI                              ",
                              "04444444444000000000025000          BUDI                              "}));
    }

    // Neither layout's titles on the sheet, or both layouts': the one chosen last is taken, and said so.
    void fallBackToChosen_data()
    {
        QTest::addColumn<QList<QVariantList>>("rows");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("note");
        QTest::newRow("neither") << QList<QVariantList>{{"Name", "Account", "Salary"}} + hqRows << "Payroll Branch"
            << "No layout has every saved column title on this sheet: \"Payroll Branch\", the one chosen, is taken";
        QTest::newRow("both") << QList<QVariantList>{hqTitles + branchTitles} + hqRows << ""
            << "Layouts \"Payroll HQ\", \"Payroll Branch\" all have every saved column title on this sheet: "
               "\"Payroll HQ\", the one chosen, is taken";
    }

    void fallBackToChosen()
    {
        QFETCH(QList<QVariantList>, rows);
        QFETCH(QString, chosen);
        QFETCH(QString, note);
        writeTwoLayouts(chosen);
        const Run run = exportSheet(rows);
        QCOMPARE(firstLine(run.err), note);
    }

    // A layout's own "Has Column Header" holds, not the first layout's.
    void namedLayoutKeepsItsHeader()
    {
        writeTwoLayouts({});
        expect::writeSettings(path("kova.ini"), "Payroll", {{"HasColumnHeader", false}});
        const Run run = exportSheet(QList<QVariantList>{{"Daftar gaji Desember"}, branchTitles} + branchRows,
                                    {"--layout", "Payroll Branch"});
        QCOMPARE(run.err, QString("Done!\n"));
        QCOMPARE(expect::fileLines(path("payroll.txt")).size(), 3);
    }

    void unknownLayoutRefused()
    {
        writeTwoLayouts({});
        const Run run = exportSheet(QList<QVariantList>{hqTitles} + hqRows, {"--layout", "Payroll"});
        QCOMPARE(run.status, 2);
        QCOMPARE(run.err, QString("No layout \"Payroll\" for Payroll: the saved ones are \"Payroll HQ\", \"Payroll Branch\"\n"));
        QVERIFY(!QFile::exists(path("payroll.txt")));
    }

    // A settings file from before layouts had names: one layout named after the type, read without a
    // word, the file's bytes as they were after the export.
    void oldSettingsFileUnchanged()
    {
        freshSettings();
        expect::writeSettings(path("kova.ini"), "Payroll",
                              {{"HasColumnHeader", true}, {"AccountName", 1}, {"AccountNameHeader", "Employee Name"},
                               {"AccountNumber", 2}, {"AccountNumberHeader", "Acc #"}, {"Amount", 3}, {"AmountHeader", "Amount"}});
        expect::writeAccounts(path("kova.ini"), "Payroll", {{"1111111111", "1234/56789/ABCD"}});
        const QByteArray before = expect::fileBytes(path("kova.ini"));
        const kova::Layouts layouts = kova::readLayouts(path("kova.ini"), kova::payrollDescriptor());
        QCOMPARE(layouts.layouts.size(), 1);
        QCOMPARE(layouts.layouts.first().name, QString("Payroll"));
        QCOMPARE(layouts.layouts.first().mapping.columns, QVector<int>({0, 1, 2, 3, 0, 0}));
        const Run run = exportSheet(QList<QVariantList>{hqTitles} + hqRows);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QString("Done!\n"));
        QCOMPARE(expect::fileBytes(path("kova.ini")), before);
    }

    // What is written reads back as it was: names, mappings, the chosen one; a first layout keeping the
    // type's name is stored as before layouts had names.
    void writtenReadsBack()
    {
        freshSettings();
        const kova::TypeDescriptor& type = kova::payrollDescriptor();
        kova::Layouts layouts;
        layouts.layouts = {{"Payroll", {{0, 1, 2, 3, 0, 0}, {"", "Employee Name", "Acc #", "Amount", "", ""}, true, 1}},
                           {"Payroll Branch", {{0, 2, 3, 1, 0, 0}, {"", "Nama", "No. Rekening", "Gaji", "", ""}, true, 2}},
                           {"Cabang 2", {{0, 4, 5, 6, 0, 0}, {"", "", "", "", "", ""}, false, 1}}};
        layouts.chosen = 2;
        {
            QSettings settings(path("kova.ini"), QSettings::IniFormat);
            kova::writeLayouts(settings, type, layouts);
        }
        const kova::Layouts read = kova::readLayouts(path("kova.ini"), type);
        QCOMPARE(read.chosen, 2);
        QCOMPARE(read.layouts.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(read.layouts.at(i).name, layouts.layouts.at(i).name);
            QCOMPARE(read.layouts.at(i).mapping.columns, layouts.layouts.at(i).mapping.columns);
            QCOMPARE(read.layouts.at(i).mapping.headerTexts, layouts.layouts.at(i).mapping.headerTexts);
            QCOMPARE(read.layouts.at(i).mapping.hasColumnHeader, layouts.layouts.at(i).mapping.hasColumnHeader);
            QCOMPARE(read.layouts.at(i).mapping.headerRow, layouts.layouts.at(i).mapping.headerRow);
        }
        QSettings settings(path("kova.ini"), QSettings::IniFormat);
        QVERIFY(!settings.contains("Payroll/LayoutName"));
    }
};

QTEST_GUILESS_MAIN(TestLayouts)
#include "test_layouts.moc"
