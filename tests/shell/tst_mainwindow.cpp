#include "app/mainwindow.h"
#include "app/loglines.h"
#include "app/loglineview.h"
#include "app/batchhistorydialog.h"
#include "app/placement.h"
#include "app/windowsettings.h"
#include "export/settingsfile.h"
#include "register/batchregister.h"
#include "register/batchtexts.h"
#include "xlsx/document.h"
#include "forms/common/filedialogs.h"
#include "forms/common/messages.h"
#include "testpackage.h"
#include "testworkbook.h"

#include <QApplication>
#include <QBoxLayout>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {

struct Box { QWidget* parent; Messages::Kind kind; QString text; };
struct DialogCall { FileDialogs::Mode mode; QString caption; QString start; QString filter; };

const QColor redTextColour(0xe7, 0x3d, 0x4a);
const QColor paleRedColour(0xfb, 0xe1, 0xe3);
const QString separator = QStringLiteral("-------------------------------------");

using Cells = QList<QPair<int, int>>;

const QStringList kTypes{"Auto Transfer", "Auto Credit", "Auto Collection", "Payroll"};
const QStringList kFormClasses{"TransferForm", "CreditForm", "CollectionForm", "PayrollForm"};

} // namespace

class TestMainWindow final : public QObject
{
    Q_OBJECT

private:
    template<typename T>
    T* child(const char* name) const
    {
        T* w = m_window->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no widget %s", name);
        return w;
    }
    // The boxes the window itself shows; the installed form answers an export
    // with boxes of its own, parented to the form.
    QList<Box> windowBoxes() const
    {
        QList<Box> own;
        for (const Box& box : m_boxes)
            if (box.parent == m_window)
                own.append(box);
        return own;
    }
    // Every box shown, as "<window or form> <kind>: <text>".
    QStringList boxLines() const
    {
        QStringList lines;
        for (const Box& box : m_boxes)
            lines << QString(box.parent == m_window ? "window " : "other ")
                         + (box.kind == Messages::Kind::Critical ? "critical: " : "information: ") + box.text;
        return lines;
    }
    QWidget* hostedWidget() const
    {
        QLayoutItem* item = child<QHBoxLayout>("horzFormUI")->itemAt(0);
        return item ? item->widget() : nullptr;
    }
    QAbstractItemModel* logModel() const { return child<QTableView>("tableView")->model(); }
    LogLines* logLines() const { return child<LogLineView>("txtStatus")->lines(); }
    QStringList logParagraphs() const { return child<LogLineView>("txtStatus")->toPlainText().split('\n'); }
    void report(const QStringList& values, const Cells& cells, const QStringList& messages, int amountColumn)
    {
        kova::RowReport row{values, {}, messages, amountColumn, 0, {}, 0};
        for (const auto& c : cells)
            row.cells.append({c.first, c.second});
        m_window->ON_Trx_Logger({row});
    }
    QString workbook(const QString& name, const QStringList& sheets)
    {
        const QString path = m_dir.filePath(name);
        TestWorkbook book(path);
        for (const QString& sheet : sheets)
            book.addSheet(sheet).setCell(1, 1, sheet);
        book.save();
        return path;
    }
    // Answers the source dialog with the path and opens it.
    QString choose(const QString& path)
    {
        m_answers = QStringList{path};
        child<QPushButton>("btnSrc")->click();
        return path;
    }
    void showActive()
    {
        m_window->show();
        QApplication::setActiveWindow(m_window);
        QVERIFY(QTest::qWaitForWindowActive(m_window));
    }
    static QList<QVariantList> calls(const QSignalSpy& spy) { return {spy.cbegin(), spy.cend()}; }

    MainWindow* m_window = nullptr;
    QList<Box> m_boxes;
    QList<DialogCall> m_dialogs;
    QStringList m_answers;
    QTemporaryDir m_dir;

private slots:
    void init()
    {
        m_boxes.clear();
        m_dialogs.clear();
        m_answers.clear();
        Messages::setPresenter([this](QWidget* parent, Messages::Kind kind, const QString& text) {
            m_boxes.append({parent, kind, text});
        });
        FileDialogs::setChooser([this](QWidget*, FileDialogs::Mode mode, const QString& caption,
                                       const QString& start, const QString& filter) {
            m_dialogs.append({mode, caption, start, filter});
            return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
        });
        // Every test starts as the first run: no stored place, splitters or folder.
        QSettings(kova::defaultSettingsPath(), QSettings::IniFormat).remove(QStringLiteral("Window"));
        m_window = new MainWindow;
    }

    void cleanup()
    {
        delete m_window;
        m_window = nullptr;
        Messages::setPresenter({});
        FileDialogs::setChooser({});
    }

    void hostedForm_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("className");
        for (int type = 0; type < kTypes.size(); ++type)
            QTest::newRow(qPrintable(kTypes[type])) << type << kFormClasses[type];
    }
    void hostedForm()
    {
        QFETCH(int, type);
        QFETCH(QString, className);
        // The constructor's own type switch installs the Auto Transfer form.
        QCOMPARE(QString::fromLatin1(hostedWidget()->metaObject()->className()), kFormClasses.at(0));

        // Coming from another type makes the switch a real one.
        child<QComboBox>("cboTrxType")->setCurrentIndex(type == 0 ? 3 : 0);
        const QPointer<QWidget> previous = hostedWidget();
        QVERIFY(previous);
        child<QComboBox>("cboTrxType")->setCurrentIndex(type);

        QVERIFY2(!previous, "the form of the previous type outlived the switch");
        QCOMPARE(child<QHBoxLayout>("horzFormUI")->count(), 1);
        QWidget* form = hostedWidget();
        QVERIFY(form);
        QCOMPARE(QString::fromLatin1(form->metaObject()->className()), className);
        QCOMPARE(form->parentWidget(), child<QHBoxLayout>("horzFormUI")->parentWidget());
        QVERIFY(m_window->isAncestorOf(form));
        int forms = 0;
        for (QWidget* w : m_window->findChildren<QWidget*>())
            forms += kFormClasses.contains(QString::fromLatin1(w->metaObject()->className())) ? 1 : 0;
        QCOMPARE(forms, 1);

        // The form's Export button reaches the window's checks.
        QSignalSpy exports(m_window, &MainWindow::SIG_Export);
        form->findChild<QPushButton*>(QStringLiteral("btnExport"))->click();
        QCOMPARE(boxLines(), QStringList{"window critical: Source can not be empty"});
        QCOMPARE(exports.count(), 0);
    }

    void placement_data()
    {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QList<QRect>>("otherScreens");
        QTest::addColumn<QRect>("expected");
        const QRect fullHd(0, 0, 1920, 1080);
        QTest::newRow("full hd") << QRect() << fullHd << QList<QRect>{} << QRect(410, 160, 1100, 760);
        QTest::newRow("task bar at the top") << QRect() << QRect(0, 40, 1920, 1040) << QList<QRect>{} << QRect(410, 180, 1100, 760);
        QTest::newRow("second screen on the left") << QRect() << QRect(-1280, 0, 1280, 1024) << QList<QRect>{} << QRect(-1190, 132, 1100, 760);
        QTest::newRow("smaller than the window") << QRect() << QRect(0, 0, 1000, 700) << QList<QRect>{} << QRect(-50, -30, 1100, 760);
        // From the second start the stored place wins, where a screen still shows all of it.
        QTest::newRow("stored place") << QRect(100, 50, 900, 600) << fullHd << QList<QRect>{} << QRect(100, 50, 900, 600);
        QTest::newRow("stored on the other screen") << QRect(-1200, 40, 1000, 700) << fullHd
                                                    << QList<QRect>{QRect(-1280, 0, 1280, 1024)} << QRect(-1200, 40, 1000, 700);
        QTest::newRow("its screen is gone") << QRect(-1200, 40, 1000, 700) << fullHd << QList<QRect>{}
                                            << QRect(410, 160, 1100, 760);
        QTest::newRow("partly off the screen") << QRect(1500, 100, 900, 600) << fullHd << QList<QRect>{}
                                               << QRect(410, 160, 1100, 760);
    }
    void placement()
    {
        QFETCH(QRect, stored);
        QFETCH(QRect, available);
        QFETCH(QList<QRect>, otherScreens);
        QFETCH(QRect, expected);
        QCOMPARE(mainWindowGeometry(stored, available, QList<QRect>{available} + otherScreens), expected);
    }

    void exportChecks_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");

        QTest::newRow("both empty: only the first check speaks") << "" << "" << "Source can not be empty" << "txtSource";
        QTest::newRow("blank source") << " \t " << "/tmp/out.txt" << "Source can not be empty" << "txtSource";
        QTest::newRow("empty destination") << "/tmp/in.xlsx" << "" << "Dest can not be empty" << "txtDest";
        QTest::newRow("both filled") << "/tmp/in.xlsx" << "/tmp/out.txt" << "" << "";
        QTest::newRow("surrounding spaces kept") << "  /tmp/in.xlsx " << " /tmp/out.txt\t" << "" << "";
    }
    void exportChecks()
    {
        QFETCH(QString, source);
        QFETCH(QString, destination);
        QFETCH(QString, message);
        QFETCH(QString, focus);

        child<QLineEdit>("txtSource")->setText(source);
        child<QLineEdit>("txtDest")->setText(destination);
        QSignalSpy exports(m_window, &MainWindow::SIG_Export);

        m_window->ON_btnExport_Click();

        if (message.isEmpty()) {
            // Whatever the form makes of the request, the window itself has nothing to say.
            QVERIFY(windowBoxes().isEmpty());
            QCOMPARE(exports.count(), 1);
            QCOMPARE(exports.at(0), (QVariantList{source, destination}));
        } else {
            QCOMPARE(boxLines(), QStringList{"window critical: " + message});
            QCOMPARE(m_window->focusWidget(), child<QWidget>(focus.toLatin1().constData()));
            QCOMPARE(exports.count(), 0);
        }
    }

    void exportStartClearsTheLog()
    {
        m_window->ON_Headers_Change({"A", "B"});
        report({"1", "2"}, {{0, 1}}, {"<span>m</span>"}, 1);
        m_window->ON_Trx_Done({"Total"});
        child<QLineEdit>("txtSource")->setText("in.xlsx");
        child<QLineEdit>("txtDest")->setText("out.txt");

        // The form's export runs inside the emission; it must find everything empty.
        bool emptyDuringExport = false;
        connect(m_window, &MainWindow::SIG_Export, this, [&] {
            emptyDuringExport = logModel()->rowCount() == 0 && logModel()->columnCount() == 0
                                && logLines()->rowCount() == 0;
        });
        m_window->ON_btnExport_Click();
        QVERIFY(emptyDuringExport);

        // Nothing of the first run's messages comes back with the next summary.
        m_window->ON_Trx_Done({"Total"});
        QCOMPARE(logParagraphs(), (QStringList{"Total", separator}));
    }

    void typeSwitchClearsEverything()
    {
        choose(workbook("types.xlsx", {"Data", "More"}));
        child<QLineEdit>("txtDest")->setText("/tmp/out.txt");
        report({"1", "2"}, {}, {}, 0);
        m_window->ON_Trx_Done({"Total"});
        QAbstractItemModel* before = logModel();

        QSignalSpy changes(m_window, &MainWindow::SIG_Excel_Changed);
        child<QComboBox>("cboTrxType")->setCurrentIndex(2);

        QCOMPARE(child<QLineEdit>("txtSource")->text(), QString());
        QCOMPARE(child<QLineEdit>("txtDest")->text(), QString());
        QCOMPARE(child<QComboBox>("cboSheets")->count(), 0);
        QCOMPARE(logLines()->rowCount(), 0);
        QVERIFY(logModel() != before);
        QCOMPARE(logModel()->rowCount(), 0);
        QCOMPARE(logModel()->parent(), static_cast<QObject*>(m_window));
        QVERIFY(child<QTableView>("tableView")->horizontalHeader()->stretchLastSection());
        // Whatever the sheet list said while emptying, no workbook is named any more.
        for (const QList<QVariant>& change : qAsConst(changes))
            QCOMPARE(change.at(1).toString(), QString());
    }

    void typeSwitchResetsTheSplitter()
    {
        m_window->setGeometry(mainWindowGeometry(QRect(0, 0, 1920, 1080)));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        auto* splitter = child<QSplitter>("splitter_2");
        splitter->setSizes({100, 500});

        child<QComboBox>("cboTrxType")->setCurrentIndex(3);

        // 366 to 100, scaled by the splitter to the height it has.
        const QList<int> sizes = splitter->sizes();
        QCOMPARE(sizes.size(), 2);
        QVERIFY2(qAbs(sizes.at(0) * 100 - sizes.at(1) * 366) <= 366, qPrintable(QString::number(sizes.at(0)) + "/" + QString::number(sizes.at(1))));
    }

    void destinationProposal_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("prefix");
        const QStringList prefixes{"AutoTransfer-", "AutoCredit-", "AutoCollection-", "Payroll-"};
        for (int type = 0; type < kTypes.size(); ++type)
            QTest::newRow(qPrintable(kTypes[type])) << type << prefixes[type];
    }
    void destinationProposal()
    {
        QFETCH(int, type);
        QFETCH(QString, prefix);

        // Starting elsewhere proves the proposal follows the type at the moment of Browse.
        child<QComboBox>("cboTrxType")->setCurrentIndex(type == 0 ? 3 : 0);
        child<QComboBox>("cboTrxType")->setCurrentIndex(type);
        m_answers = QStringList{"/tmp/chosen.txt"};

        // The tests run with the C locale, whose short month names are the English ones.
        const auto today = [] {
            const QDate d = QDate::currentDate();
            return d.toString("d-") + QLocale::c().monthName(d.month(), QLocale::ShortFormat) + d.toString("-yyyy");
        };
        const QString before = today();
        child<QPushButton>("btnDest")->click();
        const QString after = today();

        QCOMPARE(m_dialogs.size(), 1);
        const DialogCall call = m_dialogs.at(0);
        QCOMPARE(call.mode, FileDialogs::Mode::Save);
        QCOMPARE(call.caption, QStringLiteral("Destination File"));
        QCOMPARE(call.filter, QString());
        const QString home = QDir::homePath() + QDir::separator();
        QVERIFY2(call.start == home + prefix + before + ".txt" || call.start == home + prefix + after + ".txt",
                 qPrintable(call.start));
        QCOMPARE(child<QLineEdit>("txtDest")->text(), QStringLiteral("/tmp/chosen.txt"));
    }

    void cancelledDialogsChangeNothing()
    {
        const QString path = choose(workbook("kept.xlsx", {"Data", "More"}));
        child<QComboBox>("cboSheets")->setCurrentIndex(1);
        child<QLineEdit>("txtDest")->setText("/tmp/out.txt");

        QSignalSpy changes(m_window, &MainWindow::SIG_Excel_Changed);
        child<QPushButton>("btnSrc")->click();
        child<QPushButton>("btnDest")->click();

        QCOMPARE(m_dialogs.size(), 3);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(child<QLineEdit>("txtSource")->text(), path);
        QCOMPARE(child<QComboBox>("cboSheets")->currentText(), QStringLiteral("More"));
        QCOMPARE(child<QLineEdit>("txtDest")->text(), QStringLiteral("/tmp/out.txt"));
    }

    void unreadableWorkbook_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<int>("mappingChoices");   // what the form's mapping lists offer afterwards

        // The lists of the workbook chosen before (one column) must not stay on offer.
        QTest::newRow("not a workbook") << QByteArray("plain text") << QString()
                                        << QStringList{"window critical: Unable to open workbook"} << 0;
        // The form reports the sheet, once; its lists stay as the sheet could not replace them.
        QTest::newRow("first sheet unreadable") << QByteArray() << "Broken"
                                                << QStringList{"other critical: Error. Unable to select sheet Broken"} << 2;
    }
    void unreadableWorkbook()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, sheet);
        QFETCH(QStringList, boxes);
        QFETCH(int, mappingChoices);

        choose(workbook("good.xlsx", {"Data"}));
        auto* mapped = hostedWidget()->findChild<QComboBox*>("cboTrxRef");
        QCOMPARE(mapped->count(), 2);

        const QString path = m_dir.filePath("unreadable.xlsx");
        if (content.isEmpty()) {
            QVERIFY(TestPackage().addSheetPart("Broken", "<worksheet").write(path));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        }
        QSignalSpy changes(m_window, &MainWindow::SIG_Excel_Changed);
        m_boxes.clear();
        choose(path);

        QCOMPARE(child<QLineEdit>("txtSource")->text(), path);
        QCOMPARE(child<QComboBox>("cboSheets")->currentText(), sheet);
        QCOMPARE(calls(changes), (QList<QVariantList>{{path, sheet}}));
        QCOMPARE(boxLines(), boxes);
        QCOMPARE(mapped->count(), mappingChoices);
    }

    void choosingAWorkbook()
    {
        const QString first = workbook("first.xlsx", {"Only"});
        const QString second = workbook("second.xlsx", {"Alpha", "Beta"});
        QSignalSpy changes(m_window, &MainWindow::SIG_Excel_Changed);

        choose(first);
        QCOMPARE(child<QComboBox>("cboSheets")->currentText(), QStringLiteral("Only"));
        QCOMPARE(calls(changes), (QList<QVariantList>{{first, "Only"}}));

        changes.clear();
        choose(second);
        QCOMPARE(calls(changes), (QList<QVariantList>{{second, "Alpha"}}));
        QCOMPARE(child<QComboBox>("cboSheets")->count(), 2);
        QCOMPARE(child<QComboBox>("cboSheets")->itemText(1), QStringLiteral("Beta"));
    }

    void typedSourcePath_data()
    {
        QTest::addColumn<bool>("byReturn");
        QTest::newRow("Return") << true;
        QTest::newRow("leaving the field for Export") << false;
    }
    void typedSourcePath()
    {
        QFETCH(bool, byReturn);
        showActive();
        choose(workbook("browsed.xlsx", {"Old"}));
        const QString typed = workbook("typed.xlsx", {"New", "Other"});
        auto* source = child<QLineEdit>("txtSource");
        auto* exportButton = hostedWidget()->findChild<QPushButton*>("btnExport");

        QSignalSpy changes(m_window, &MainWindow::SIG_Excel_Changed);
        QSignalSpy exports(m_window, &MainWindow::SIG_Export);
        QTest::mouseClick(source, Qt::LeftButton);
        QTest::keyClick(source, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(source, typed);
        QCOMPARE(calls(changes), QList<QVariantList>{});   // nothing counts before it is confirmed
        if (byReturn)
            QTest::keyClick(source, Qt::Key_Return);
        QTest::mouseClick(exportButton, Qt::LeftButton);

        QCOMPARE(calls(changes), (QList<QVariantList>{{typed, "New"}}));
        QCOMPARE(child<QComboBox>("cboSheets")->itemText(1), QStringLiteral("Other"));
        QCOMPARE(boxLines(), QStringList{"window critical: Dest can not be empty"});
        QCOMPARE(exports.count(), 0);
    }

    void logIsReadOnly()
    {
        showActive();
        m_window->ON_Headers_Change({"Ref", "Amount"});
        report({"R1", "100"}, {}, {}, 1);
        m_window->ON_Trx_Done({"Total rows processed: 1"});

        auto* table = child<QTableView>("tableView");
        const QRect cell = table->visualRect(logModel()->index(0, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::keyClick(table, Qt::Key_F2);
        QTest::keyClicks(table, "typed");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(logModel()->index(0, 0).data().toString(), QStringLiteral("R1"));
        QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("R1"));

        auto* status = child<LogLineView>("txtStatus");
        QTest::mouseClick(status->viewport(), Qt::LeftButton);
        QTest::keyClicks(status, "typed");
        for (int key : {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return})
            QTest::keyClick(status, Qt::Key(key));
        QTest::keyClick(status, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(status, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(logParagraphs(), (QStringList{"Total rows processed: 1", separator}));
        QTest::keyClick(status, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(status, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), "Total rows processed: 1\n" + separator);
    }

    void choosingTheSameWorkbookRereadsSheets()
    {
        const QString path = choose(workbook("grows.xlsx", {"One", "Two"}));
        child<QComboBox>("cboSheets")->setCurrentIndex(1);

        workbook("grows.xlsx", {"One", "Two", "Three"});
        choose(path);

        auto* sheets = child<QComboBox>("cboSheets");
        QCOMPARE(sheets->count(), 3);
        QCOMPARE(sheets->itemText(2), QStringLiteral("Three"));
        QCOMPARE(sheets->currentIndex(), 0);
    }

    void pickingAnotherSheet()
    {
        const QString path = choose(workbook("pick.xlsx", {"One", "Two"}));
        // A hand edit of the path travels with the next sheet choice.
        child<QLineEdit>("txtSource")->setText("edited.xlsx");

        QSignalSpy changes(m_window, &MainWindow::SIG_Excel_Changed);
        child<QComboBox>("cboSheets")->setCurrentIndex(1);
        QCOMPARE(calls(changes), (QList<QVariantList>{{"edited.xlsx", "Two"}}));
    }

    void headers()
    {
        m_window->ON_Headers_Change({"No", "Date", "Name"});
        m_window->ON_Headers_Change({"First", "Second"});
        QStringList titles;
        for (int i = 0; i < logModel()->columnCount(); ++i)
            titles.append(logModel()->headerData(i, Qt::Horizontal).toString());
        // A shorter report leaves the later titles as they were.
        QCOMPARE(titles, (QStringList{"First", "Second", "Name"}));
    }

    void rowReport_data()
    {
        // Two plain rows of three values are in the table before the reported row,
        // which therefore has index 2.
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<Cells>("cells");
        QTest::addColumn<int>("amountColumn");
        QTest::addColumn<Cells>("redText");      // cells with red text
        QTest::addColumn<Cells>("paleRed");      // cells with the pale background
        QTest::addColumn<Cells>("rightAligned");

        const QStringList three{"a", "b", "c"};
        QTest::newRow("plain row") << three << Cells{} << 0 << Cells{} << Cells{} << Cells{};
        QTest::newRow("amount in the middle") << three << Cells{} << 1 << Cells{} << Cells{} << Cells{{2, 1}};
        QTest::newRow("amount in the last column") << three << Cells{} << 2 << Cells{} << Cells{} << Cells{{2, 2}};
        QTest::newRow("amount column past the end") << three << Cells{} << 3 << Cells{} << Cells{} << Cells{};
        QTest::newRow("negative amount column") << three << Cells{} << -1 << Cells{} << Cells{} << Cells{};
        QTest::newRow("one marked field")
            << three << Cells{{2, 1}} << 0 << Cells{{2, 1}} << Cells{{2, 0}, {2, 1}, {2, 2}} << Cells{};
        QTest::newRow("two fields on one row")
            << three << Cells{{2, 0}, {2, 2}} << 1 << Cells{{2, 0}, {2, 2}} << Cells{{2, 0}, {2, 1}, {2, 2}}
            << Cells{{2, 1}};
        QTest::newRow("field outside the values paints the row only")
            << three << Cells{{2, 3}} << 0 << Cells{} << Cells{{2, 0}, {2, 1}, {2, 2}} << Cells{};
        QTest::newRow("row that does not exist") << three << Cells{{3, 1}} << 0 << Cells{} << Cells{} << Cells{};
        QTest::newRow("earlier row")
            << three << Cells{{0, 2}} << 0 << Cells{{0, 2}} << Cells{{0, 0}, {0, 1}, {0, 2}} << Cells{};
        QTest::newRow("shorter row paints only its width")
            << QStringList{"a", "b"} << Cells{{2, 0}} << 0 << Cells{{2, 0}} << Cells{{2, 0}, {2, 1}} << Cells{};
    }
    void rowReport()
    {
        QFETCH(QStringList, values);
        QFETCH(Cells, cells);
        QFETCH(int, amountColumn);
        QFETCH(Cells, redText);
        QFETCH(Cells, paleRed);
        QFETCH(Cells, rightAligned);

        report({"x", "y", "z"}, {}, {}, 0);
        report({"x", "y", "z"}, {}, {}, 0);
        report(values, cells, {}, amountColumn);

        QAbstractItemModel* model = logModel();
        QCOMPARE(model->rowCount(), 3);
        for (int c = 0; c < values.size(); ++c)
            QCOMPARE(model->index(2, c).data().toString(), values.at(c));
        // The first cell where the role is not set exactly on the listed cells to the value.
        // Cells in over take overValue instead.
        const auto wrongCell = [model](int role, const Cells& set, const QVariant& value, const Cells& over = {},
                                       const QVariant& overValue = {}) {
            for (int r = 0; r < model->rowCount(); ++r)
                for (int c = 0; c < model->columnCount(); ++c) {
                    QVariant v = model->index(r, c).data(role);
                    if (v.userType() == qMetaTypeId<QBrush>())
                        v = qvariant_cast<QBrush>(v).color();
                    else if (role == Qt::TextAlignmentRole && v.isValid())
                        v = v.toInt();
                    if (v != (over.contains({r, c}) ? overValue : set.contains({r, c}) ? value : QVariant()))
                        return QStringLiteral("%1,%2: %3").arg(r).arg(c).arg(v.toString());
                }
            return QString();
        };
        QCOMPARE(wrongCell(Qt::ForegroundRole, redText, redTextColour), QString());
        // The offending cell is deeper than its row, so that an empty one shows too.
        QCOMPARE(wrongCell(Qt::BackgroundRole, paleRed, paleRedColour, redText, QColor(0xf5, 0xb5, 0xba)), QString());
        QCOMPARE(wrongCell(Qt::TextAlignmentRole, rightAligned, 0x82), QString());
    }

    void summaryAndMessages()
    {
        const QString error = QStringLiteral(
            "<span style=\"color:#e73d4a;\">LINE 1: Error. <span style=\"font-weight:bold;\">Amount</span> is empty</span>");
        const QString warning = QStringLiteral(
            "<span style=\"color:#f88021;\">LINE 2: Warning. <span style=\"font-weight:bold;\">Remarks</span> cut</span>");
        report({"1"}, {{0, 0}}, {error}, 0);
        report({"2"}, {}, {}, 0);
        report({"3"}, {}, {warning, error}, 0);
        const QStringList summary{"Total rows processed: 3", "Total amounts: 1.500.000,50", "Total warnings: 1",
                                  "Total errors: 2"};

        m_window->ON_Trx_Done(summary);

        QCOMPARE(logParagraphs(),
                 (QStringList{"Total rows processed: 3", "Total amounts: 1.500.000,50", "Total warnings: 1",
                              "Total errors: 2", separator, "LINE 1: Error. Amount is empty",
                              "LINE 2: Warning. Remarks cut", "LINE 1: Error. Amount is empty"}));

        // The lines are rich text: colours and bold field names reach the reader.
        QTextDocument line;
        line.setHtml(logLines()->index(5).data(LogLines::RichTextRole).toString());
        QTextBlock block = line.firstBlock();
        const QTextFragment lead = block.begin().fragment();
        QCOMPARE(lead.text(), QStringLiteral("LINE 1: Error. "));
        QCOMPARE(lead.charFormat().foreground().color(), QColor("#e73d4a"));
        QTextBlock::iterator it = block.begin();
        ++it;
        QCOMPARE(it.fragment().text(), QStringLiteral("Amount"));
        QCOMPARE(it.fragment().charFormat().fontWeight(), int(QFont::Bold));
        line.setHtml(logLines()->index(6).data(LogLines::RichTextRole).toString());
        QCOMPARE(line.firstBlock().begin().fragment().charFormat().foreground().color(), QColor("#f88021"));
    }

    void summaryWithoutMessages()
    {
        report({"1", "100"}, {}, {}, 1);
        // Summary lines are shown as written, not read as markup.
        m_window->ON_Trx_Done({"Total rows processed: 1", "a < b && c  >  d", ""});
        QCOMPARE(logParagraphs(), (QStringList{"Total rows processed: 1", "a < b && c  >  d", "", separator}));
    }

    void manyMessageLines()
    {
        const int rows = 20000;
        const int perRow = 5;
        for (int n = 1; n <= rows; ++n) {
            QStringList messages;
            for (int k = 0; k < perRow; ++k)
                messages.append(QString("<span style=\"color:#e73d4a;\">LINE %1: Error. message %2</span>").arg(n).arg(k));
            report({QString::number(n), "x"}, {{n - 1, 1}}, messages, 1);
        }
        m_window->ON_Trx_Done({"Total rows processed: 20000", "Total errors: 100000"});

        const LogLines* lines = logLines();
        QCOMPARE(lines->rowCount(), 2 + 1 + rows * perRow);
        QCOMPARE(lines->index(2).data().toString(), separator);
        QCOMPARE(lines->index(3).data().toString(), QStringLiteral("LINE 1: Error. message 0"));
        QCOMPARE(lines->index(lines->rowCount() - 1).data().toString(), QStringLiteral("LINE 20000: Error. message 4"));
        QCOMPARE(logModel()->rowCount(), rows);
    }

    void windowRemembersItsLayout()
    {
        const QString settingsPath = kova::defaultSettingsPath();
        QSettings(settingsPath, QSettings::IniFormat).setValue("Payroll/Kept", "as it was");
        const auto otherKeys = [&settingsPath] {
            QSettings settings(settingsPath, QSettings::IniFormat);
            QVariantMap values;
            for (const QString& key : settings.allKeys())
                if (!key.startsWith("Window/"))
                    values.insert(key, settings.value(key));
            return values;
        };
        const QVariantMap before = otherKeys();

        m_window->setGeometry(QRect(40, 30, 1000, 700));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        child<QSplitter>("splitter_2")->setSizes({200, 400});
        child<QSplitter>("splitter")->setSizes({600, 200});
        const QList<int> formSizes = child<QSplitter>("splitter_2")->sizes();
        const QList<int> logSizes = child<QSplitter>("splitter")->sizes();
        m_window->close();
        QCOMPARE(WindowSettings::read(settingsPath).geometry, QRect(40, 30, 1000, 700));

        // The next run.
        delete m_window;
        m_window = new MainWindow;
        m_window->setGeometry(WindowSettings::read(settingsPath).geometry);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        QCOMPARE(child<QSplitter>("splitter_2")->sizes(), formSizes);
        QCOMPARE(child<QSplitter>("splitter")->sizes(), logSizes);
        QCOMPARE(otherKeys(), before);
        QVERIFY(child<QSplitter>("splitter_2")->handleWidth() >= 5);
    }

    void dialogsStartInTheFolderUsedLast()
    {
        const QString home = QDir::homePath();
        child<QPushButton>("btnSrc")->click();
        QCOMPARE(m_dialogs.last().start, home);

        QVERIFY(QDir(m_dir.path()).mkpath("books") && QDir(m_dir.path()).mkpath("uploads"));
        choose(workbook("books/in.xlsx", {"Data"}));
        const QString books = QFileInfo(m_dir.filePath("books")).absoluteFilePath();
        m_answers = QStringList{m_dir.filePath("uploads/out.txt")};
        child<QPushButton>("btnDest")->click();
        QVERIFY2(m_dialogs.last().start.startsWith(books + QDir::separator() + "AutoTransfer-"),
                 qPrintable(m_dialogs.last().start));

        // The next run starts where the last one ended.
        delete m_window;
        m_window = new MainWindow;
        child<QPushButton>("btnSrc")->click();
        QCOMPARE(m_dialogs.last().start, QFileInfo(m_dir.filePath("uploads")).absoluteFilePath());

        QVERIFY(QDir(m_dir.filePath("uploads")).removeRecursively());
        child<QPushButton>("btnSrc")->click();
        QCOMPARE(m_dialogs.last().start, home);
    }

    void drop_data()
    {
        QTest::addColumn<QStringList>("files");     // names in the test folder; "text:" drags plain text
        QTest::addColumn<QString>("source");        // txtSource afterwards
        QTest::addColumn<QString>("status");

        QTest::newRow("workbook") << QStringList{"dropped.xlsx"} << "dropped.xlsx" << "";
        QTest::newRow("upper-case extension") << QStringList{"LOUD.XLSX"} << "LOUD.XLSX" << "";
        QTest::newRow("text file") << QStringList{"notes.txt"} << "" << "Not an .xlsx workbook: notes.txt";
        QTest::newRow("two workbooks") << QStringList{"a.xlsx", "b.xlsx"} << ""
                                       << "Drop one .xlsx workbook to choose it as the source";
        QTest::newRow("plain text") << QStringList{"text:hello"} << ""
                                    << "Drop one .xlsx workbook to choose it as the source";
    }
    void drop()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, source);
        QFETCH(QString, status);

        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& name : files) {
            if (name.startsWith("text:")) {
                mime.setText(name.mid(5));
                continue;
            }
            if (name.endsWith(".txt"))
                QFile(m_dir.filePath(name)).open(QIODevice::WriteOnly);
            else
                workbook(name, {"Data"});
            urls.append(QUrl::fromLocalFile(m_dir.filePath(name)));
        }
        if (!urls.isEmpty())
            mime.setUrls(urls);

        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_window, &dropped);

        QCOMPARE(child<QLineEdit>("txtSource")->text(), source.isEmpty() ? QString() : m_dir.filePath(source));
        QCOMPARE(child<QComboBox>("cboSheets")->currentText(), source.isEmpty() ? QString() : QStringLiteral("Data"));
        QCOMPARE(m_window->statusBar()->currentMessage(), status);
        QCOMPARE(boxLines(), QStringList{});
    }

    void keyboard_data()
    {
        QTest::addColumn<int>("type");
        for (int type = 0; type < kTypes.size(); ++type)
            QTest::newRow(qPrintable(kTypes[type])) << type;
    }
    void keyboard()
    {
        QFETCH(int, type);
        m_window->setGeometry(mainWindowGeometry(QRect(0, 0, 1920, 1080)));
        showActive();
        child<QComboBox>("cboTrxType")->setCurrentIndex(type);
        QApplication::processEvents();   // a form added to the shown window shows itself a moment later
        QWidget* form = hostedWidget();
        for (int row = 0; row < 3; ++row)
            report({"a", "b", "c"}, {}, {}, 0);

        // One round of Tab from the type list back to it.
        QWidgetList round;
        child<QComboBox>("cboTrxType")->setFocus();
        for (int presses = 0; presses < 200; ++presses) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* now = QApplication::focusWidget();
            if (now == child<QComboBox>("cboTrxType"))
                break;
            if (round.isEmpty() || round.last() != now)
                round.append(now);
        }
        QStringList names;
        for (QWidget* w : round)
            names.append(w->objectName());
        QVERIFY2(names.size() > 10 && names.mid(0, 7) == (QStringList{"btnTemplate", "btnBatches", "txtSource", "btnSrc", "cboSheets", "txtDest", "btnDest"})
                     && names.mid(names.size() - 4) == (QStringList{"btnSave", "btnExport", "tableView", "txtStatus"})
                     && names.count("tableView") == 1,
                 qPrintable(names.join(' ')));
        // The form in reading order: each step goes down, or on to a column further right.
        for (int i = 8; i < round.size() - 2; ++i) {
            QVERIFY2(form->isAncestorOf(round.at(i)), qPrintable(names.at(i)));
            const QRect a(round.at(i - 1)->mapTo(m_window, QPoint()), round.at(i - 1)->size());
            const QRect b(round.at(i)->mapTo(m_window, QPoint()), round.at(i)->size());
            QVERIFY2(b.top() > a.top() || b.left() > a.left(), qPrintable(names.at(i - 1) + " -> " + names.at(i)));
        }

        auto* save = form->findChild<QPushButton*>("btnSave");
        auto* exportButton = form->findChild<QPushButton*>("btnExport");
        QCOMPARE(save->toolTip(), QStringLiteral("Save Settings (Ctrl+S)"));
        QCOMPARE(save->shortcut(), QKeySequence("Ctrl+S"));
        QCOMPARE(exportButton->toolTip(), QStringLiteral("Export (Ctrl+E)"));
        for (const char* name : {"btnAdd", "btnDel", "btnMinLock", "btnMaxLock"})
            if (auto* button = form->findChild<QPushButton*>(name))
                QVERIFY2(!button->toolTip().isEmpty(), name);
        QTest::keyClick(child<QTableView>("tableView"), Qt::Key_E, Qt::ControlModifier);
        // The shortcut clicks the button as a press of it would, a moment later.
        QTRY_COMPARE(boxLines().join('|'), QStringLiteral("window critical: Source can not be empty"));

        // In the accounts table Tab goes from the account on to its company code.
        if (auto* accounts = form->findChild<QTableView*>("tblAcc")) {
            form->findChild<QPushButton*>("btnAdd")->click();
            const int row = accounts->model()->rowCount() - 1;
            QTest::keyClicks(QApplication::focusWidget(), "1234567890");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(accounts->currentIndex(), accounts->model()->index(row, 2));
            QCOMPARE(accounts->model()->index(row, 1).data().toString(), QStringLiteral("1234567890"));
        }
    }

    void wheelNeedsFocus_data() { keyboard_data(); }
    void wheelNeedsFocus()
    {
        QFETCH(int, type);
        m_window->setGeometry(QRect(0, 0, 1100, 500));
        showActive();
        child<QComboBox>("cboTrxType")->setCurrentIndex(type);
        QApplication::processEvents();   // a form added to the shown window shows itself a moment later
        QWidget* form = hostedWidget();
        QScrollBar* bar = form->findChild<QScrollArea*>("scrollArea")->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);

        const auto value = [](QWidget* w) -> QVariant {
            if (auto* combo = qobject_cast<QComboBox*>(w))
                return combo->currentIndex();
            return qobject_cast<QDateEdit*>(w)->date();
        };
        const auto turn = [](QWidget* w, int notches) {
            const QPoint centre = w->rect().center();
            QWheelEvent wheel(centre, w->mapToGlobal(centre), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            // As from the mouse: only such a turn travels on to the parents.
            QSpontaneKeyEvent::setSpontaneous(&wheel);
            qApp->notify(w, &wheel);
        };
        QWidgetList fields{child<QComboBox>("cboTrxType")};
        for (QComboBox* combo : form->findChildren<QComboBox*>())
            fields.append(combo);
        for (QDateEdit* date : form->findChildren<QDateEdit*>())
            fields.append(date);

        int scrolled = 0;
        for (QWidget* field : qAsConst(fields)) {
            child<QLineEdit>("txtDest")->setFocus();
            const QVariant before = value(field);
            const int position = bar->value();
            turn(field, -1);
            QVERIFY2(value(field) == before, qPrintable(field->objectName()));
            scrolled += field->window() == m_window && form->isAncestorOf(field) && bar->value() != position ? 1 : 0;
        }
        QVERIFY(scrolled > 0);
        QCOMPARE(hostedWidget(), form);

        // Clicked or tabbed into, it takes the wheel as before.
        auto* date = form->findChild<QDateEdit*>("dteFrom");
        date->setFocus();
        const QDate before = date->date();
        turn(date, 1);
        QVERIFY(date->date() != before);
    }

    void tidyForms_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("modes");   // radio buttons that switch captions
        QTest::addColumn<bool>("fixedMapping");   // the mapping column keeps its width in every mode
        QTest::newRow("Auto Transfer") << 0 << QStringList{"rdbWDK", "rdbOthers"} << false;
        QTest::newRow("Auto Credit") << 1 << QStringList{"rdbWDK", "rdbOthers"} << true;
        QTest::newRow("Auto Collection") << 2 << QStringList{""} << true;
        QTest::newRow("Payroll") << 3 << QStringList{""} << true;
    }
    void tidyForms()
    {
        QFETCH(int, type);
        QFETCH(QStringList, modes);
        QFETCH(bool, fixedMapping);
        m_window->setGeometry(mainWindowGeometry(QRect(0, 0, 1920, 1080)));
        showActive();
        // Save and Export stand where the first type's form has them.
        const auto place = [this](const char* name) {
            QWidget* w = hostedWidget()->findChild<QWidget*>(name);
            return QRect(w->mapTo(m_window, QPoint()), w->size());
        };
        const QRect save = place("btnSave");
        const QRect exportButton = place("btnExport");
        child<QComboBox>("cboTrxType")->setCurrentIndex(type);
        QApplication::processEvents();   // a form added to the shown window shows itself a moment later
        QWidget* form = hostedWidget();
        QCOMPARE(place("btnSave"), save);
        QCOMPARE(place("btnExport"), exportButton);

        QList<int> mappingWidths;
        for (const QString& mode : modes) {
            if (!mode.isEmpty())
                form->findChild<QRadioButton*>(mode)->click();
            QTest::qWait(50);   // nested layouts settle over several posted requests
            for (QLabel* label : form->findChildren<QLabel*>())
                if (label->isVisible())
                    QVERIFY2(label->width() >= label->sizeHint().width(),
                             qPrintable(mode + " " + label->objectName() + ": " + label->text()));
            mappingWidths.append(form->findChild<QWidget*>("gbColMap")->width());
        }
        if (fixedMapping)
            QCOMPARE(mappingWidths, QVector<int>(modes.size(), mappingWidths.first()).toList());
    }

    void writtenBatches()
    {
        const QString registerPath = kova::registerPathFor(kova::defaultSettingsPath());
        QFile::remove(registerPath);
        kova::BatchRegister batches(registerPath);
        QVERIFY(batches.open());
        const QDateTime written(QDate(2026, 12, 1), QTime(9, 30), Qt::UTC);
        const kova::BatchEntry older{written, "Payroll", "", "/data/Payroll-1-Dec-2026.txt", 3, 150000050, "a"};
        const kova::BatchEntry newer{written.addDays(1), "Auto Transfer", "7", "/data/AutoTransfer-2-Dec-2026.txt", 12, 99, "b"};
        QVERIFY(batches.record(older) && batches.record(newer));

        child<QPushButton>("btnBatches")->click();
        auto* dialog = m_window->findChild<BatchHistoryDialog*>();
        QVERIFY(dialog);
        auto* table = dialog->findChild<QTableWidget*>("tblBatches");
        QCOMPARE(table->rowCount(), 2);
        const auto row = [table](int r) {
            QStringList cells;
            for (int c = 0; c < table->columnCount(); ++c)
                cells.append(table->item(r, c)->text());
            return cells;
        };
        const QString newerDate = written.addDays(1).toLocalTime().toString("yyyy-MM-dd HH:mm");
        QCOMPARE(row(0), (QStringList{newerDate, "Auto Transfer", "7", "12", "0,99", "/data/AutoTransfer-2-Dec-2026.txt"}));
        QCOMPARE(row(1).at(4), QStringLiteral("1.500.000,50"));

        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        table->selectAll();
        QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), kova::historyText({newer, older}));
        QVERIFY(m_boxes.isEmpty());
        dialog->close();
    }

    void saveTemplate_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("answer");      // relative to the test folder
        QTest::addColumn<QString>("box");         // start of the window's box, empty for none
        QTest::newRow("Auto Credit") << 1 << "credit.xlsx" << "";
        QTest::newRow("folder missing") << 3 << "missing/payroll.xlsx" << "window critical: Template could not be written: ";
    }
    void saveTemplate()
    {
        QFETCH(int, type);
        QFETCH(QString, answer);
        QFETCH(QString, box);
        child<QComboBox>("cboTrxType")->setCurrentIndex(type);
        const QString path = m_dir.filePath(answer);
        m_answers = QStringList{path};

        child<QPushButton>("btnTemplate")->click();

        QCOMPARE(m_dialogs.size(), 1);
        QCOMPARE(m_dialogs.at(0).caption, QStringLiteral("Save Template"));
        QCOMPARE(m_dialogs.at(0).start, QDir::homePath() + QDir::separator() + kTypes.at(type) + " template.xlsx");
        if (box.isEmpty()) {
            QCOMPARE(boxLines(), QStringList{});
            // The template of the chosen type: its sheet is named after it.
            QCOMPARE(xlsx::Document(path).sheetNames(), QStringList{kTypes.at(type)});
        } else {
            QCOMPARE(boxLines().size(), 1);
            QVERIFY2(boxLines().at(0).startsWith(box), qPrintable(boxLines().at(0)));
            QVERIFY(!QFile::exists(path));
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
