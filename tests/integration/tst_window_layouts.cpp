// Named layouts in the real main window: the layout bar under the type, the layout the sheet's titles
// pick (and the log's word on it), the bar's Save as, Rename and Delete through the settings file, and a
// settings file written before layouts had names left as it was.

#include "expect.h"
#include "testworkbook.h"
#include "windowlog.h"
#include "settings/namedlayouts.h"
#include "types/payrolldescriptor.h"
#include "widgets/clock.h"
#include "widgets/filedialogs.h"
#include "widgets/messages.h"
#include "widgets/textprompt.h"
#include "register/batchregister.h"
#include "forms/base/transactionform.h"

#include <QtTest>

namespace {

QString settingsPath() { return QDir(QCoreApplication::applicationDirPath()).filePath("kova.ini"); }

const QVariantList hqTitles{"Employee Name", "Acc #", "Amount"};
const QVariantList branchTitles{"Gaji", "Nama", "No. Rekening"};

// The head office's and the branch's payroll layouts, the head office's first.
void writeTwoLayouts()
{
    expect::writeSettings(settingsPath(), "Payroll",
                          {{"LayoutName", "Payroll HQ"}, {"HasColumnHeader", true}, {"HeaderRow", 1},
                           {"AccountName", 1}, {"AccountNameHeader", "Employee Name"},
                           {"AccountNumber", 2}, {"AccountNumberHeader", "Acc #"},
                           {"Amount", 3}, {"AmountHeader", "Amount"},
                           {"Layouts/size", 1}, {"Layouts/1/Name", "Payroll Branch"},
                           {"Layouts/1/HasColumnHeader", true}, {"Layouts/1/HeaderRow", 2},
                           {"Layouts/1/Amount", 1}, {"Layouts/1/AmountHeader", "Gaji"},
                           {"Layouts/1/AccountName", 2}, {"Layouts/1/AccountNameHeader", "Nama"},
                           {"Layouts/1/AccountNumber", 3}, {"Layouts/1/AccountNumberHeader", "No. Rekening"}});
    expect::writeAccounts(settingsPath(), "Payroll", {{"9988776655", "1234/56789/ABCD"}});
}

QStringList items(const QComboBox* combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

QStringList storedNames()
{
    QStringList names;
    for (const kova::NamedLayout& layout : kova::readLayouts(settingsPath(), kova::payrollDescriptor()).layouts)
        names << layout.name;
    return names;
}

} // namespace

class TestWindowLayouts final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QScopedPointer<MainWindow> m_window;
    QStringList m_boxes, m_answers, m_names, m_asked;

    template<typename T> T* child(const char* name) const { return m_window->findChild<T*>(QLatin1String(name)); }
    template<typename T> T* field(const char* name) const
    {
        return child<QHBoxLayout>("horzFormUI")->itemAt(0)->widget()->findChild<T*>(QLatin1String(name));
    }
    QString columns() const
    {
        return QString("%1 %2 %3").arg(field<QComboBox>("cboAccName")->currentIndex())
            .arg(field<QComboBox>("cboAcc")->currentIndex()).arg(field<QComboBox>("cboAmount")->currentIndex());
    }
    void openPayroll()
    {
        m_window.reset(new MainWindow);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.data()));
        child<QComboBox>("cboTrxType")->setCurrentIndex(3);
    }
    void browse(const char* button, const QString& answer)
    {
        m_answers << answer;
        child<QPushButton>(button)->click();
        QVERIFY(workbookRead(m_window.data()));
    }
    void chooseSheet(const QString& sheet)
    {
        child<QComboBox>("cboSheets")->setCurrentText(sheet);
        QVERIFY(workbookRead(m_window.data()));
    }
    // "Branch" (a title line above its titles), "HQ" and "Both" (every title of both layouts).
    QString book()
    {
        const QString path = m_dir.filePath("payroll.xlsx");
        TestWorkbook workbook(path);
        workbook.addSheet("Branch").setRow(1, {"Daftar gaji Desember"}).setRow(2, branchTitles)
            .setRow(3, {1500000.5, "DEWI", "3333333333"});
        workbook.addSheet("HQ").setRow(1, hqTitles).setRow(2, {"DEWI", "3333333333", 1500000.5});
        workbook.addSheet("Both").setRow(1, hqTitles + branchTitles);
        return workbook.save() ? path : QString();
    }

private slots:
    void init()
    {
        QFile::remove(settingsPath());
        QFile::remove(kova::registerPathFor(settingsPath()));
        m_boxes.clear();
        m_answers.clear();
        m_names.clear();
        m_asked.clear();
        Messages::setPresenter([this](QWidget*, Messages::Kind kind, const QString& text) {
            m_boxes << QStringList{"critical", "information", "question"}.at(int(kind)) + ": " + text;
        });
        FileDialogs::setChooser([this](QWidget*, FileDialogs::Mode, const QString&, const QString&, const QString&) {
            return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
        });
        TextPrompt::setPresenter([this](QWidget*, const QString& text, const QString& initial) -> std::optional<QString> {
            m_asked << text + " [" + initial + "]";
            if (m_names.isEmpty())
                return std::nullopt;
            return m_names.takeFirst();
        });
    }
    void cleanup()
    {
        m_window.reset();
        Messages::setCapturedAnswer(false);
        kova::setClock({});
        QFile::remove(settingsPath());
    }

    // Each sheet chosen is read by the layout whose titles it has, which the bar shows and the log
    // names first; where both fit the one shown stays, and another chosen in the bar maps the sheet at once.
    void pickedBySheet()
    {
        writeTwoLayouts();
        openPayroll();
        auto* layout = child<QComboBox>("cboLayout");
        QCOMPARE(items(layout), (QStringList{"Payroll HQ", "Payroll Branch"}));
        QCOMPARE(layout->currentText(), QString("Payroll HQ"));
        browse("btnSrc", book());
        QCOMPARE(logText(m_window.data()), QString("Layout \"Payroll Branch\": every saved column title found"));
        QCOMPARE(layout->currentText(), QString("Payroll Branch"));
        QCOMPARE(columns() + " " + QString::number(field<QSpinBox>("spnHeaderRow")->value()), QString("2 3 1 2"));
        chooseSheet("HQ");
        QCOMPARE(logText(m_window.data()), QString("Layout \"Payroll HQ\": every saved column title found"));
        QCOMPARE(layout->currentText(), QString("Payroll HQ"));
        QCOMPARE(columns() + " " + QString::number(field<QSpinBox>("spnHeaderRow")->value()), QString("1 2 3 1"));
        chooseSheet("Both");
        QCOMPARE(logText(m_window.data()).section('\n', 0, 0),
                 QString("Layouts \"Payroll HQ\", \"Payroll Branch\" all have every saved column title on this sheet: "
                         "\"Payroll HQ\", the one chosen, is taken"));
        QCOMPARE(columns(), QString("1 2 3"));
        emit layout->activated(1);
        QCOMPARE(columns() + " " + QString::number(field<QSpinBox>("spnHeaderRow")->value()), QString("5 6 4 1"));
        QCOMPARE(field<QComboBox>("cboAmount")->currentText(), QString("Gaji"));
        QCOMPARE(m_boxes, QStringList{});
    }

    // Save as stores the mapping shown under a new name and makes it current; Rename asks with the
    // current name; Delete asks first and leaves the last one. Save Settings afterwards asks nothing.
    void barRoundTrip()
    {
        writeTwoLayouts();
        openPayroll();
        browse("btnSrc", book());
        auto* layout = child<QComboBox>("cboLayout");
        auto* saveAs = child<QPushButton>("btnLayoutSaveAs");
        m_names = QStringList{" Payroll HQ ", "Payroll Copy "};
        saveAs->click();
        saveAs->click();
        QCOMPARE(m_boxes, QStringList{"critical: There is a layout named \"Payroll HQ\" already"});
        QCOMPARE(items(layout), (QStringList{"Payroll HQ", "Payroll Branch", "Payroll Copy"}));
        QCOMPARE(layout->currentText(), QString("Payroll Copy"));
        const kova::Layouts stored = kova::readLayouts(settingsPath(), kova::payrollDescriptor());
        QCOMPARE(stored.chosen, 2);
        QCOMPARE(stored.layouts.at(2).mapping.columns, stored.layouts.at(1).mapping.columns);
        QCOMPARE(stored.layouts.at(2).mapping.headerTexts, stored.layouts.at(1).mapping.headerTexts);

        m_names = QStringList{"Payroll Two"};
        child<QPushButton>("btnLayoutRename")->click();
        QCOMPARE(m_asked.last(), QString("New name of the layout: [Payroll Copy]"));
        QCOMPARE(storedNames(), (QStringList{"Payroll HQ", "Payroll Branch", "Payroll Two"}));
        QCOMPARE(layout->currentText(), QString("Payroll Two"));

        auto* remove = child<QPushButton>("btnLayoutDelete");
        m_boxes.clear();
        remove->click();
        QCOMPARE(m_boxes, QStringList{"question: Delete the layout \"Payroll Two\"? Its saved mapping is lost."});
        QCOMPARE(storedNames().size(), 3);
        Messages::setCapturedAnswer(true);
        remove->click();
        remove->click();
        QCOMPARE(storedNames(), QStringList{"Payroll Branch"});
        QCOMPARE(items(layout), QStringList{"Payroll Branch"});
        QVERIFY(!remove->isEnabled());
        QCOMPARE(columns(), QString("2 3 1"));

        m_boxes.clear();
        field<QPushButton>("btnSave")->click();
        QCOMPARE(m_boxes, QStringList{"information: Settings have been saved!"});
        QCOMPARE(storedNames(), QStringList{"Payroll Branch"});
    }

    // A form opens on the layout the file names as chosen, with that layout's Has Column Header.
    void opensOnChosenLayout_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("group");
        QTest::newRow("transfer") << 0 << "Transfer";
        QTest::newRow("payroll") << 3 << "Payroll";
    }
    void opensOnChosenLayout()
    {
        QFETCH(int, type);
        QFETCH(QString, group);
        expect::writeSettings(settingsPath(), group,
                              {{"HasColumnHeader", true}, {"HeaderRow", 3}, {"Amount", 1}, {"Layouts/size", 1},
                               {"Layouts/1/Name", "Letters"}, {"Layouts/1/HasColumnHeader", false},
                               {"Layouts/1/Amount", 2}, {"Layout", "Letters"}});
        m_window.reset(new MainWindow);
        child<QComboBox>("cboTrxType")->setCurrentIndex(type);
        QCOMPARE(child<QComboBox>("cboLayout")->currentText(), QString("Letters"));
        QVERIFY(!field<QCheckBox>("chkHeaders")->isChecked());
        QCOMPARE(field<QSpinBox>("spnHeaderRow")->value(), 1);
    }

    // Save as takes in its own write only: a save another window made meanwhile is still asked about.
    void anotherWindowsSaveAsked()
    {
        writeTwoLayouts();
        openPayroll();
        browse("btnSrc", book());
        expect::writeAccounts(settingsPath(), "Payroll", {{"1111111111", "1234/56789/ABCD"}});
        m_names = QStringList{"Payroll Copy"};
        child<QPushButton>("btnLayoutSaveAs")->click();
        field<QPushButton>("btnSave")->click();
        QCOMPARE(m_boxes, QStringList{"question: The Payroll settings were saved by another window or kova-export since this "
                                      "form read them. Overwrite them? No reads them again."});
    }

    // A settings file of one unnamed mapping shows one layout named after the type, says nothing of
    // layouts, and is the same file, byte for byte, after a workbook is chosen and exported.
    void oldFileUnchanged()
    {
        expect::writeSettings(settingsPath(), "Payroll",
                              {{"AccountName", 1}, {"AccountNumber", 2}, {"Amount", 3}, {"HasColumnHeader", true}});
        expect::writeAccounts(settingsPath(), "Payroll", {{"9988776655", "1234/56789/ABCD"}});
        // The window keeps the folder a workbook was chosen from, which is no part of the mapping.
        expect::writeSettings(settingsPath(), "Window", {{"LastFolder", m_dir.path()}});
        const QByteArray before = expect::fileBytes(settingsPath());
        kova::setClock([] { return QDateTime(QDate(2024, 7, 9), QTime(12, 0)); });
        openPayroll();
        QCOMPARE(items(child<QComboBox>("cboLayout")), QStringList{"Payroll"});
        QVERIFY(!child<QPushButton>("btnLayoutDelete")->isEnabled());
        const QString source = m_dir.filePath("old.xlsx");
        QVERIFY(expect::writeSheet(source, "Data", {{"Name", "Account", "Amount"}, {"Dewi Lestari", "3333333333", 4750000}}));
        browse("btnSrc", source);
        QCOMPARE(logText(m_window.data()), QString());
        const QString dest = m_dir.filePath("old.txt");
        browse("btnDest", dest);
        auto* accounts = field<QTableView>("tblAcc");
        qobject_cast<QAbstractButton*>(accounts->indexWidget(accounts->model()->index(0, 0)))->click();
        field<QDateEdit>("dteEffDate")->setDate(QDate(2024, 7, 9));
        auto* form = qobject_cast<TransactionForm*>(child<QHBoxLayout>("horzFormUI")->itemAt(0)->widget());
        QSignalSpy finished(form, &TransactionForm::exportFinished);
        field<QPushButton>("btnExport")->click();
        if (form->exporting())
            QVERIFY(finished.wait(60000));
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.first().startsWith("information: Done!"), qPrintable(m_boxes.first()));
        QVERIFY(QFile::exists(dest));
        QCOMPARE(expect::fileBytes(settingsPath()), before);
    }
};

QTEST_MAIN(TestWindowLayouts)
#include "tst_window_layouts.moc"
