#include "app/loglines.h"
#include "app/logtablemodel.h"
#include "app/placement.h"
#include "app/readablepalette.h"
#include "forms/parts/requiredcaption.h"
#include "app/windowsettings.h"
#include "widgets/filedialogs.h"
#include "forms/base/logpacker.h"
#include "render/messagetext.h"
#include "widgets/messages.h"
#include "widgets/passwordprompt.h"
#include "register/batchregister.h"
#include "register/batchtexts.h"
#include "settings/settingsfile.h"
#include "reader/document.h"
#include "encryptpackage.h"
#include "reader/sourcekind.h"
#include "testpackage.h"
#include "testworkbook.h"
#include "expect.h"
#include "windowlog.h"

#include <QStandardItemModel>
#include <QtTest>

#include <memory>
#include <numeric>

namespace {

// Fusion's own palette: the light theme the contrast checks start from.
QPalette fusionPalette()
{
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create("Fusion"));
    return fusion->standardPalette();
}

} // namespace

class TestMainWindow final : public QObject
{
    Q_OBJECT

    MainWindow* m_window = nullptr;
    // Boxes as "<window or other> <kind>: <text>" (a form parents its own), dialogs as "<caption>: <start>".
    QStringList m_boxes, m_dialogs, m_answers;
    // Password questions as "<window or other>: <text>", answered from m_passwords; cancelled once it is empty.
    QStringList m_asked, m_passwords;
    QTemporaryDir m_dir;
    LogPacker m_rows;   // the rows report() sends, packed as an export packs them

    template<typename T> T* child(const char* name) const { return m_window->findChild<T*>(QLatin1String(name)); }
    QWidget* hosted() const { return child<QHBoxLayout>("horzFormUI")->itemAt(0)->widget(); }
    QString workbook(const QString& name, const QStringList& sheets)
    {
        TestWorkbook book(m_dir.filePath(name));
        for (const QString& sheet : sheets)
            book.addSheet(sheet).setCell(1, 1, sheet);
        book.save();
        return m_dir.filePath(name);
    }
    void choose(const QString& path, const char* button = "btnSrc")
    {
        m_answers = QStringList{path};
        child<QPushButton>(button)->click();
        QVERIFY(workbookRead(m_window));
    }
    void showActive(const QRect& geometry = QRect(410, 160, 1100, 760))
    {
        m_window->setGeometry(geometry);
        m_window->show();
        QApplication::setActiveWindow(m_window);
        QVERIFY(QTest::qWaitForWindowActive(m_window));
    }
    void report(const QStringList& values, const QVector<kova::MarkedCell>& cells, const kova::RowMessages& messages,
                int amountColumn)
    {
        kova::RowReport r;
        r.values = values;
        r.cells = cells;
        r.messages = messages;
        r.amountColumn = amountColumn;
        r.sheetRow = logTable(m_window)->rowCount() + 1;
        m_rows.add(r);
        m_window->ON_Trx_Logger(m_rows.take());
    }
    static QList<QVariantList> calls(const QSignalSpy& spy) { return {spy.cbegin(), spy.cend()}; }

private slots:
    void init()
    {
        m_boxes.clear();
        m_dialogs.clear();
        m_asked.clear();
        m_passwords.clear();
        PasswordPrompt::setPresenter([this](QWidget* parent, const QString& text) -> std::optional<QString> {
            m_asked << QString(parent == m_window ? "window: " : "other: ") + text;
            if (m_passwords.isEmpty())
                return std::nullopt;
            return m_passwords.takeFirst();
        });
        Messages::setPresenter([this](QWidget* parent, Messages::Kind kind, const QString& text) {
            m_boxes << QString(parent == m_window ? "window " : "other ")
                           + (kind == Messages::Kind::Critical ? "critical: " : "information: ") + text;
        });
        FileDialogs::setChooser([this](QWidget*, FileDialogs::Mode, const QString& caption, const QString& start,
                                       const QString&) {
            m_dialogs << caption + ": " + start;
            return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
        });
        // Every test starts as the first run: no stored place, splitters or folder.
        QSettings(kova::defaultSettingsPath(), QSettings::IniFormat).remove(QStringLiteral("Window"));
        m_window = new MainWindow;
        m_rows = {};
    }
    void cleanup() { delete m_window; }

    void placement()
    {
        const QRect hd(0, 0, 1920, 1080), stored(-1200, 40, 1000, 700);
        // Before the frame is known, room is left for a title bar of 40 and borders of 8.
        QCOMPARE(mainWindowGeometry(QRect(), QRect(0, 40, 1920, 1040), {QRect(0, 40, 1920, 1040)}), QRect(320, 126, 1280, 900));
        QCOMPARE(mainWindowGeometry(stored, hd, {hd, QRect(-1280, 0, 1280, 1024)}), stored);
        QCOMPARE(mainWindowGeometry(stored, hd, {hd}), QRect(320, 106, 1280, 900));
        // 1366 x 768 without a panel, and with one of 40: the title bar is on the screen.
        QCOMPARE(mainWindowGeometry(QRect(0, 0, 1366, 768)), QRect(43, 40, 1280, 720));
        QCOMPARE(mainWindowGeometry(QRect(0, 0, 1366, 728)), QRect(43, 40, 1280, 680));
        // Once shown, the frame the window system gives (title bar 30, borders 4) is taken.
        const QRect laptop(0, 0, 1366, 728);
        const QRect fitted = mainWindowGeometry(laptop, QMargins(4, 30, 4, 4));
        QCOMPARE(fitted, QRect(43, 30, 1280, 694));
        QVERIFY(laptop.contains(fitted.marginsAdded(QMargins(4, 30, 4, 4))));
    }

    // The window's own checks speak first and take the focus; the paths go on untrimmed.
    void exportChecks()
    {
        QSignalSpy exports(m_window, &MainWindow::SIG_Export);
        child<QLineEdit>("txtSource")->setText(" \t ");
        m_window->ON_btnExport_Click();
        QCOMPARE(m_window->focusWidget(), child<QWidget>("txtSource"));
        child<QLineEdit>("txtSource")->setText("  /tmp/in.xlsx ");
        m_window->ON_btnExport_Click();
        QCOMPARE(m_window->focusWidget(), child<QWidget>("txtDest"));
        child<QLineEdit>("txtDest")->setText("/tmp/out.txt ");
        m_window->ON_btnExport_Click();
        QCOMPARE(m_boxes.filter(QRegularExpression("^window ")),
                 (QStringList{"window critical: Source can not be empty", "window critical: Dest can not be empty"}));
        QCOMPARE(calls(exports), QList<QVariantList>{(QVariantList{"  /tmp/in.xlsx ", "/tmp/out.txt "})});
    }

    void choosingWorkbooks()
    {
        const QString first = workbook("first.xlsx", {"Only"});
        const QString second = workbook("second.xlsx", {"Alpha", "Beta"});
        auto* sheets = child<QComboBox>("cboSheets");
        QSignalSpy changes(m_window, &MainWindow::SIG_Excel_Changed);
        choose(first);
        choose(second);
        sheets->setCurrentIndex(1);
        QVERIFY(workbookRead(m_window));
        child<QLineEdit>("txtDest")->setText("/tmp/out.txt");
        // Cancelled dialogs change nothing; a hand edit of the path travels with the next sheet choice.
        choose("");
        choose("", "btnDest");
        QCOMPARE(child<QLineEdit>("txtSource")->text() + "|" + child<QLineEdit>("txtDest")->text(), second + "|/tmp/out.txt");
        child<QLineEdit>("txtSource")->setText("edited.xlsx");
        sheets->setCurrentIndex(0);
        QVERIFY(workbookRead(m_window));
        QCOMPARE(calls(changes), (QList<QVariantList>{{first, "Only"}, {second, "Alpha"}, {second, "Beta"}, {"edited.xlsx", "Alpha"}}));
        // The same workbook chosen again is read again, from its first sheet.
        sheets->setCurrentIndex(1);
        QVERIFY(workbookRead(m_window));
        workbook("second.xlsx", {"Alpha", "Beta", "Gamma"});
        choose(second);
        QCOMPARE(sheets->itemText(2) + sheets->currentText(), QStringLiteral("GammaAlpha"));

        // An unreadable sheet is reported once, by the form; an unreadable workbook leaves no lists on offer, and an
        // encrypted one asks for its password: cancelled, the workbook shown before stays.
        auto* mapped = hosted()->findChild<QComboBox*>("cboTrxRef");
        QCOMPARE(mapped->count(), 2);
        const QString text = m_dir.filePath("text.xlsx"), broken = m_dir.filePath("broken.xlsx"), locked = m_dir.filePath("locked.xlsx");
        { QFile file(text); QVERIFY(file.open(QIODevice::WriteOnly) && file.write("plain\0text", 10) == 10); }
        const QString plain = m_dir.filePath("plain.xlsx");
        QVERIFY(TestPackage().addSheet("Sheet1", QByteArray()).write(plain));
        QFile plainFile(plain);
        QVERIFY(plainFile.open(QIODevice::ReadOnly));
        const QByteArray encrypted = EncryptedStreams::of(plainFile.readAll(), "secret", EncryptedStreams::Kind::Agile).file();
        { QFile file(locked); QVERIFY(file.open(QIODevice::WriteOnly) && file.write(encrypted) == encrypted.size()); }
        QVERIFY(TestPackage().addSheetPart("Broken", "<worksheet").write(broken));
        changes.clear();
        choose(broken);
        QCOMPARE(mapped->count(), 2);
        choose(text);
        QCOMPARE(mapped->count(), 0);
        choose(locked);
        QCOMPARE(child<QLineEdit>("txtSource")->text(), text);
        QCOMPARE(m_asked, QStringList{"window: Password for locked.xlsx:"});
        QCOMPARE(calls(changes), (QList<QVariantList>{{broken, "Broken"}, {text, ""}}));
        QCOMPARE(m_boxes, (QStringList{"other critical: Error. Unable to select sheet Alpha", "other critical: Error. Unable to select sheet Beta",
                                       "other critical: Error. Unable to select sheet Broken: xl/worksheets/sheet1.xml: not well-formed XML (line 1)",
                                       "window critical: Unable to open workbook: the file is neither a workbook nor text"}));
    }

    // Delimited text shows its delimiter and encoding choice; another delimiter is read again, and the
    // form's lists follow. A workbook hides the choice.
    void delimitedTextSource()
    {
        const QString csv = m_dir.filePath("batch.csv");
        { QFile file(csv); QVERIFY(file.open(QIODevice::WriteOnly) && file.write("a,b;c\r\n") == 7); }
        auto* choice = child<QComboBox>("cboDelimiter");
        QSignalSpy changes(m_window, &MainWindow::SIG_Excel_Changed);
        choose(csv);
        QVERIFY(choice->isVisibleTo(m_window));
        // What was found is named; a choice of the user's leaves the reader nothing to find.
        QCOMPARE(choice->currentText() + "|" + child<QComboBox>("cboEncoding")->currentText(), QString("Found: Comma|Found: UTF-8"));
        auto* mapped = hosted()->findChild<QComboBox*>("cboTrxRef");
        QCOMPARE(mapped->count(), 3);
        choice->setCurrentIndex(choice->findText("Semicolon"));
        QVERIFY(workbookRead(m_window));
        QCOMPARE(mapped->count(), 3);
        hosted()->findChild<QCheckBox*>("chkHeaders")->click();
        QCOMPARE(mapped->itemText(1) + "|" + mapped->itemText(2), QString("a,b|c"));
        QCOMPARE(choice->itemText(0) + "|" + child<QComboBox>("cboEncoding")->currentText(), QString("Found|Found: UTF-8"));
        QCOMPARE(calls(changes), (QList<QVariantList>{{csv, "batch"}, {csv, "batch"}}));
        // Seven bytes are no UTF-16 text: refused, never read in part, and the encoding they read in is offered.
        child<QComboBox>("cboEncoding")->setCurrentIndex(child<QComboBox>("cboEncoding")->findText("UTF-16LE"));
        QVERIFY(workbookRead(m_window));
        QCOMPARE(m_boxes, QStringList{"other critical: Error. Unable to select sheet batch: line 1: bytes that are not UTF-16LE; "
                                      "try UTF-8 as the Encoding beside the sheet"});
        choose(workbook("book.xlsx", {"Data"}));
        QVERIFY(!choice->isVisibleTo(m_window));
    }

    // A read cancelled after another delimiter was chosen leaves the delimiter the lists were read with.
    void cancelledTextChoice()
    {
        const QString csv = m_dir.filePath("batch.csv");
        { QFile file(csv); QVERIFY(file.open(QIODevice::WriteOnly) && file.write("a,b;c\r\n") == 7); }
        auto* choice = child<QComboBox>("cboDelimiter");
        choose(csv);
        choice->setCurrentIndex(choice->findText("Semicolon"));
        child<QPushButton>("btnCancel")->click();
        QVERIFY(workbookRead(m_window));
        QCOMPARE(choice->currentText(), QString("Found: Comma"));
        // Chosen again, the file reads as it was shown.
        choose(csv);
        QCOMPARE(choice->currentText(), QString("Found: Comma"));
    }

    // Another workbook chosen: the rows and lines of the one before go; Windows-1252 text names its encoding.
    void anotherWorkbookClearsTheLogs()
    {
        choose(workbook("first.xlsx", {"Only"}));
        report({"a", "b"}, {}, {}, 1);
        m_window->ON_Trx_Done({"Total rows processed: 1"});
        QCOMPARE(logTable(m_window)->rowCount(), 1);
        const QString csv = m_dir.filePath("latin.csv");
        { QFile file(csv); QVERIFY(file.open(QIODevice::WriteOnly) && file.write("caf\xe9;b\r\n") == 8); }
        choose(csv);
        QCOMPARE(logTable(m_window)->rowCount() + logTable(m_window)->columnCount(), 0);
        QVERIFY2(!logText(m_window).contains("Total rows processed"), qPrintable(logText(m_window)));
        QCOMPARE(child<QComboBox>("cboDelimiter")->currentText() + "|" + child<QComboBox>("cboEncoding")->currentText(),
                 QString("Found: Semicolon|Found: Windows-1252"));
    }

    // Export pressed while the workbook is read says that it waits, and starts once the workbook is read.
    void exportWaitsForTheRead()
    {
        child<QLineEdit>("txtDest")->setText(m_dir.filePath("waited.txt"));
        QSignalSpy exports(m_window, &MainWindow::SIG_Export);
        m_answers = QStringList{workbook("waited.xlsx", {"Data"})};
        child<QPushButton>("btnSrc")->click();
        m_window->ON_btnExport_Click();
        QCOMPARE(m_window->statusBar()->currentMessage(), QString("Reading the workbook; the export starts when it is read"));
        QCOMPARE(exports.count(), 0);
        QVERIFY(workbookRead(m_window));
        QCOMPARE(exports.count(), 1);
    }

    // A destination the export would refuse, or a folder that takes no file, is refused before "Replace it?"
    // is asked, the reason the log's last line too.
    void destinationRefused_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("the source") << "book.xlsx" << "Destination must not be the source workbook";
        QTest::newRow("the settings") << kova::defaultSettingsPath() << "Destination must not be the settings file";
        QTest::newRow("a missing folder") << "missing/out.txt"
                                          << "Failed open file for writing in " + m_dir.filePath("missing") + ": No such file or directory";
    }

    void destinationRefused()
    {
        QFETCH(QString, destination);
        QFETCH(QString, refusal);
        QSettings(kova::defaultSettingsPath(), QSettings::IniFormat).setValue("Transfer/Kept", 1);
        const QString book = workbook("book.xlsx", {"Data"});
        const QString dest = QFileInfo(destination).isAbsolute() ? destination : m_dir.filePath(destination);
        choose(book);
        const QByteArray before = expect::fileBytes(dest);
        child<QLineEdit>("txtDest")->setText(dest);
        QSignalSpy exports(m_window, &MainWindow::SIG_Export);
        m_boxes.clear();
        m_window->ON_btnExport_Click();
        QCOMPARE(m_boxes, QStringList{"window critical: " + refusal});
        QCOMPARE(logText(m_window).split('\n').last(), "Nothing written: " + refusal);
        QCOMPARE(exports.count(), 0);
        QCOMPARE(expect::fileBytes(dest), before);
    }

    // A workbook saved with a password is asked for it, again after a wrong one, until it opens or the
    // question is cancelled; Cancel keeps the workbook shown before, its sheet and the form's lists.
    // The password given goes down with every read of that workbook and is dropped with it.
    void passwordAsked()
    {
        const QString locked = QStringLiteral(KOVA_FIXTURES "/kinds-password.xls");
        const QString question = "window: Password for kinds-password.xls:";
        const QString again = "window: Wrong password for the workbook\nPassword for kinds-password.xls:";
        auto* sheets = child<QComboBox>("cboSheets");
        const QString earlier = workbook("earlier.xlsx", {"One", "Two"});
        choose(earlier);
        sheets->setCurrentIndex(1);
        QVERIFY(workbookRead(m_window));
        auto* mapped = hosted()->findChild<QComboBox*>("cboTrxRef");
        const auto shown = [&] {
            QStringList items;
            for (int i = 0; i < sheets->count(); ++i)
                items << sheets->itemText(i);
            return child<QLineEdit>("txtSource")->text() + "|" + items.join(',') + "|" + sheets->currentText() + "|"
                   + QString::number(mapped->count());
        };
        const QString before = shown();
        QSignalSpy changes(m_window, &MainWindow::SIG_Excel_Changed);
        choose(locked);
        m_passwords = QStringList{"kova-Secret"};
        choose(locked);
        QCOMPARE(shown(), before);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(m_asked, (QStringList{question, question, again}));

        m_asked.clear();
        m_passwords = QStringList{"kova-Secret", "kova-secret"};
        choose(locked);
        const QStringList kinds = reader::Document(QStringLiteral(KOVA_FIXTURES "/kinds.xls"), {}).sheetNames();
        QVERIFY(kinds.size() > 1);
        QCOMPARE(shown(), locked + "|" + kinds.join(',') + "|" + kinds.first() + "|" + QString::number(mapped->count()));
        QCOMPARE(m_asked, (QStringList{question, again}));
        // Another sheet, and the workbook chosen again: read with the password given, not asked for it.
        sheets->setCurrentIndex(1);
        QVERIFY(workbookRead(m_window));
        choose(locked);
        QCOMPARE(m_asked.size(), 2);
        QCOMPARE(calls(changes), (QList<QVariantList>{{locked, kinds.at(0)}, {locked, kinds.at(1)}, {locked, kinds.at(0)}}));
        QCOMPARE(m_boxes, QStringList{});
        // Another workbook chosen drops it: chosen again, it is asked for.
        choose(earlier);
        choose(locked);
        QCOMPARE(m_asked, (QStringList{question, again, question}));
        QCOMPARE(child<QLineEdit>("txtSource")->text(), earlier);
    }

    // A box's first line is its headline, the rest beneath it; the box is wide enough that its title bar shows "KOVA".
    void resultBox()
    {
        Messages::setPresenter({});
        QStringList shown;
        int width = 0;
        const auto answer = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            shown << box->windowTitle() + "|" + box->text() + "|" + box->informativeText();
            width = box->width();
            box->accept();
        };
        QTimer::singleShot(0, this, answer);
        Messages::information(m_window, "Done!\n2 records written, total 1.500,00\nFile: /tmp/out.txt");
        QTimer::singleShot(0, this, answer);
        Messages::critical(m_window, "ERROR!");
        QCOMPARE(shown, (QStringList{"KOVA|Done!|2 records written, total 1.500,00\nFile: /tmp/out.txt", "KOVA|ERROR!|"}));
        QVERIFY2(width >= 250, qPrintable(QString::number(width)));
    }

    // Every text role of the window reads at 4.5:1 in every colour group, on a light theme and a dark one:
    // the locked limit fields (disabled), placeholders, selected lines; a role that reads already stays.
    void textsRead_data()
    {
        QTest::addColumn<QPalette>("theme");
        QTest::newRow("Fusion") << fusionPalette();
        QPalette dark(QColor("#353535"), QColor("#2a2a2a"));
        dark.setColor(QPalette::Disabled, QPalette::Text, QColor("#505050"));
        dark.setColor(QPalette::Highlight, QColor("#8ab4f8"));
        QTest::newRow("dark") << dark;
    }

    void textsRead()
    {
        QFETCH(QPalette, theme);
        const QPalette readable = readablePalette(theme);
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            for (const auto& [text, under] : {std::pair(QPalette::WindowText, QPalette::Window), std::pair(QPalette::Text, QPalette::Base),
                                              std::pair(QPalette::ButtonText, QPalette::Button), std::pair(QPalette::PlaceholderText, QPalette::Base),
                                              std::pair(QPalette::HighlightedText, QPalette::Highlight)})
                QVERIFY2(contrastRatio(readable.color(group, text), readable.color(group, under)) >= 4.5,
                         qPrintable(QString("group %1 role %2").arg(group).arg(text)));
        QCOMPARE(readable.color(QPalette::Active, QPalette::Text), theme.color(QPalette::Active, QPalette::Text));
        QCOMPARE(readable.color(QPalette::Active, QPalette::Window), theme.color(QPalette::Active, QPalette::Window));
    }

    // The processing log's messages on its white, and a required field's asterisk on the window's grey.
    void messageColoursRead()
    {
        const kova::RowMessage error{kova::Severity::Error, 1, {"", "Amount", " is empty"}};
        const kova::RowMessage warning{kova::Severity::Warning, 1, {"", "Remarks", " cut"}};
        report({"1"}, {}, {error, warning}, 0);
        m_window->ON_Trx_Done({"Total"});
        const QPalette fusion = fusionPalette();
        LogLines* lines = child<LogLineView>("txtStatus")->lines();
        for (int row : {2, 3}) {
            const QString rich = lines->index(row, 0).data(LogLines::RichTextRole).toString();
            const QRegularExpressionMatch colour = QRegularExpression("color:(#[0-9a-f]{6});").match(rich);
            QVERIFY2(colour.hasMatch() && contrastRatio(QColor(colour.captured(1)), fusion.color(QPalette::Base)) >= 4.5, qPrintable(rich));
        }
        const QRegularExpressionMatch asterisk = QRegularExpression("color:(#[0-9a-f]{6})").match(requiredCaption("Amount"));
        QVERIFY(asterisk.hasMatch() && contrastRatio(QColor(asterisk.captured(1)), fusion.color(QPalette::Window)) >= 4.5);
    }

    // A selected message line is drawn in the selection's text colour, its icon still telling its kind: its red on the
    // selection's blue would not read.
    void selectedMessageLineReads()
    {
        const kova::RowMessage error{kova::Severity::Error, 1, {"", "Amount", " is empty"}};
        report({"1"}, {}, {error}, 0);
        m_window->ON_Trx_Done({"Total"});
        auto* view = child<LogLineView>("txtStatus");
        view->setPalette(readablePalette(fusionPalette()));
        view->resize(400, 200);
        const QModelIndex line = view->lines()->index(2, 0);
        const auto reddest = [&] {
            const QRect rect = view->visualRect(line).adjusted(view->visualRect(line).height() + 8, 0, 0, 0);
            const QImage shot = view->viewport()->grab(rect).toImage();
            int most = 0;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x) {
                    const QColor c = shot.pixelColor(x, y);
                    most = qMax(most, c.red() - qMax(c.green(), c.blue()));
                }
            return most;
        };
        QVERIFY(reddest() > 100);
        view->selectionModel()->select(line, QItemSelectionModel::Select);
        QCOMPARE(reddest(), 0);
    }

    // A "LINE n" line names the sheet row its n-th row is, rows above the table's first not counted.
    void messageLineTellsItsSheetRow()
    {
        for (int r = 0; r < 3; ++r) {
            kova::RowReport row;
            row.values = QStringList{QString::number(r)};
            row.sheetRow = r + 4;
            if (r == 2)
                row.messages = {{kova::Severity::Error, 3, {"", "Amount", " is empty"}}};
            m_rows.add(row);
        }
        m_window->ON_Trx_Logger(m_rows.take());
        m_window->ON_Trx_Done({"Total"});
        LogLines* lines = child<LogLineView>("txtStatus")->lines();
        QCOMPARE(lines->index(2, 0).data(Qt::ToolTipRole).toString(), QString("LINE 3 is row 6 of the sheet"));
        QVERIFY(!lines->index(0, 0).data(Qt::ToolTipRole).isValid());
    }

    // The form takes what it asks for up to a little over half, the logs the rest and what the window gains; a split
    // the user dragged holds across the types; a log column stops at a readable width.
    void logsHaveRoom()
    {
        showActive(QRect(40, 30, 1100, 700));
        auto* split = child<QSplitter>("splitter_2");
        const QList<int> first = split->sizes();
        QVERIFY2(first.at(1) >= (first.at(0) + first.at(1)) * 45 / 100, qPrintable(QString("%1 %2").arg(first.at(0)).arg(first.at(1))));
        m_window->resize(1100, 900);
        QApplication::processEvents();
        QCOMPARE(split->sizes().at(0), first.at(0));

        QSplitterHandle* handle = split->handle(1);
        const QPoint at = handle->rect().center();
        QMouseEvent press(QEvent::MouseButtonPress, at, handle->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent move(QEvent::MouseMove, at - QPoint(0, 60), handle->mapToGlobal(at - QPoint(0, 60)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at - QPoint(0, 60), handle->mapToGlobal(at - QPoint(0, 60)), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        for (QMouseEvent* event : {&press, &move, &release})
            QApplication::sendEvent(handle, event);
        const QList<int> dragged = split->sizes();
        QCOMPARE(dragged.at(0), first.at(0) - 60);
        for (int type : {1, 3, 0}) {
            child<QComboBox>("cboTrxType")->setCurrentIndex(type);
            QApplication::processEvents();
            QCOMPARE(split->sizes(), dragged);
        }

        m_window->ON_Headers_Change({"Name", "Bank Name"});
        report({"PT " + QString(200, 'M'), "Bank"}, {}, {}, -1);
        m_window->ON_Trx_Done({"Total"});
        QTest::qWait(20);
        auto* table = child<QTableView>("tableView");
        QCOMPARE(table->columnWidth(0), table->fontMetrics().horizontalAdvance('x') * 32);
    }

    // Marked fields, the amount column, and cells outside the values or the rows.
    void rowReport()
    {
        m_window->ON_Headers_Change({"No", "Date", "Name"});
        m_window->ON_Headers_Change({"First", "Second"});   // a shorter report leaves the later titles
        report({"a", "b", "c"}, {}, {}, 2);
        report({"a", "b", "c"}, {{1, 0}, {1, 2}}, {}, 1);
        report({"a", "b"}, {{0, 2}, {2, 0}, {2, 3}, {3, 1}}, {}, -1);
        QCOMPARE(cellPicture(m_window), QStringLiteral("1: p p dr>|2: dr p> dr|3: dr p ."));
        QCOMPARE(logTable(m_window)->index(1, 1).data().toString() + logTable(m_window)->index(2, 2).data().toString(), "b");
        QCOMPARE(logTable(m_window)->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Name"));
    }

    // The log holds a value its column repeats once and names it by number, across deliveries, and
    // its rows in blocks; what it shows is what was reported, whatever the column: one value
    // throughout, values that come round again (more of them than are numbered), values that
    // never repeat or seldom do (no longer looked up), text beyond ASCII, long text, one value
    // after the rows that tell a column's kind and new values after them (no longer compared with
    // the row before), a value longer than a delivery's rows together, and values of one hash.
    void packedValues()
    {
        QVector<QStringList> sent;
        const int settled = LogPacker::trialRows + 900;
        for (int r = 0; r < 70000; ++r) {
            const QString again = QString::number(r % 1500);
            const QString seldom = r < 1024 || r % 10 == 0 ? QString("S%1").arg(r % 1024) : QString("U%1").arg(r);
            const QString huge = r == 30001 ? QString(1500000, QChar(0x00e9)) : r == 30002 ? QString(400000, 'x') : QString();
            sent.append({"1234567890", "REF-" + QString::number(r), again, r % 7 ? again : QString(r % 2 ? "Zo\u00eb %1" : "\u6771\u4eac %1").arg(r),
                         QString(r % 3, ' '), seldom, QString(60 + r % 5, QChar('a' + r % 26)),
                         r < settled ? QString::number(r % 2) : "settled", r < settled ? "same" : QString::number(r / 3),
                         huge, QStringList{"AaAa", "AaBB", "BBAa", "BBBB"}.at(r % 4)});
        }
        for (int r = 0; r < sent.size(); ++r) {
            kova::RowReport row;
            row.values = sent.at(r);
            row.sheetRow = r + 2;
            m_rows.add(row);
            // Deliveries of every size, one row up.
            if (r % 9973 == 0 || r % 1013 == 1 || r == sent.size() - 1)
                m_window->ON_Trx_Logger(m_rows.take());
        }
        QAbstractItemModel* log = logTable(m_window);
        QCOMPARE(log->rowCount(), sent.size());
        for (int r = 0; r < sent.size(); ++r) {
            QStringList shown;
            for (int c = 0; c < log->columnCount(); ++c)
                shown.append(log->index(r, c).data().toString());
            if (shown != sent.at(r))
                QFAIL(qPrintable(QString("row %1: %2 for %3").arg(r).arg(shown.join('|'), sent.at(r).join('|'))));
        }
        QCOMPARE(log->headerData(69999, Qt::Vertical).toString(), QString("70001"));
    }

    // Every marked cell of a full sheet reads back its tint and its tip, packed as an export packs them, across
    // the blocks that hold the rows and the marks: rows without marks, a cut, errors and a cut on one row, an error
    // and a cut on one cell (tips a line each) and marks without a tip, a mark on an earlier row (held, the last
    // of a run of two, or not yet), texts said once, beyond ASCII, longer than a block; then a column cut on every
    // row saying one text, broken by a row without, a line that does not follow, another text, another kind, and
    // a cell in its midst marked again rows later.
    void markedCells_data()
    {
        QTest::addColumn<int>("delivery");
        QTest::newRow("one row at a time") << 1;
        QTest::newRow("deliveries across the blocks' ends") << 4093;
    }

    void markedCells()
    {
        QFETCH(int, delivery);
        const int rows = 140000;
        struct Told
        {
            quint8 marks = 0;
            bool tip = false;
            QString text;
        };
        QHash<qint64, Told> expected;
        QSet<int> errorRows;
        LogTableModel model;
        LogPacker packer;
        kova::RowReport report;
        auto mark = [&](int row, int column, bool error, const kova::RowMessage* tip) {
            kova::MarkedCell cell{row, column, -1};
            if (tip) {
                cell.message = report.messages.size();
                report.messages.append(*tip);
            }
            (error ? report.cells : report.warningCells).append(cell);
            Told& told = expected[(qint64(row) << 32) | quint32(column)];
            told.marks |= error ? 1 : 2;
            if (tip) {
                told.text = told.tip ? told.text + '\n' + kova::plainLine(*tip) : kova::plainLine(*tip);
                told.tip = true;
            }
            if (error)
                errorRows.insert(row);
        };
        const QString huge(2200000, QChar(0xe9));   // two lines of it, longer than a block of tips
        for (int r = 0; r < rows; ++r) {
            report = kova::RowReport();
            // A sheet row skipped now and then, a row of fewer values, and the amount's column changing.
            report.sheetRow = r + 2 + r / 1000;
            report.amountColumn = r / 30000 % 3;
            for (int c = 0; c < (r % 10000 == 5 ? 3 : 4); ++c)
                report.values.append(QString::number(r * 4 + c));
            const kova::RowMessage cut{kova::Severity::Warning, r + 2, {"", "Remarks", " cut"}};
            const kova::RowMessage error{kova::Severity::Error, r + 2, {"", "Amount", " is empty"}};
            const kova::RowMessage other{kova::Severity::Warning, r + 2,
                                         r % 7 ? kova::MessageWords{"Name ", QString::number(r), " cut"}
                                               : kova::MessageWords{QString("Zo\u00eb \u6771 %1").arg(r), "", ""}};
            const kova::RowMessage long_{kova::Severity::Error, r + 2, {"", "Name", huge}};
            if (r < 100000) {
                switch (r % 5) {
                case 0:
                    break;
                case 1:
                    mark(r, 3, false, &cut);
                    break;
                case 2:
                    mark(r, 0, true, &error);
                    mark(r, 3, false, &cut);
                    mark(r, 2, true, &other);
                    break;
                case 3:
                    mark(r, 1, true, &error);
                    mark(r, 1, false, &cut);
                    mark(r, 1, false, nullptr);
                    mark(r, 2, false, r % 50000 == 3 ? &long_ : nullptr);
                    mark(r, 2, false, r % 50000 == 3 ? &long_ : nullptr);
                    break;
                case 4:
                    mark(r, 0, false, &other);
                    // An earlier row: the last cell of a run of two, a cell not held, and one no row shows.
                    if (r % 100 == 4) {
                        mark(r - 2, 3, r % 200 == 4, &error);
                        mark(r - 4, 2, true, &cut);
                        mark(r - 3, 4, false, &cut);
                    }
                    break;
                }
            } else if (r % 1000 != 0) {
                const kova::RowMessage jumped{kova::Severity::Warning, r + 5, cut.words};
                const kova::RowMessage otherText{kova::Severity::Warning, r + 2, {"", "Remarks", " too long"}};
                mark(r, 3, r % 900 == 0, r % 777 == 0 ? &jumped : r % 500 == 0 ? &otherText : &cut);
                if (r % 1000 == 999)
                    mark(r - 300, 3, true, &error);
            }
            packer.add(report);
            if ((r + 1) % delivery == 0 || r == rows - 1)
                model.append(packer.take());
        }
        QCOMPARE(model.rowCount(), rows);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < model.columnCount(); ++c) {
                const QModelIndex index = model.index(r, c);
                const Told told = expected.value((qint64(r) << 32) | quint32(c));
                const QString tint = told.marks & 1 ? "#f5b5ba" : told.marks & 2 ? "#fddcbf" : errorRows.contains(r) ? "#fbe1e3" : "";
                const QVariant tip = index.data(Qt::ToolTipRole);
                const QVariant background = index.data(Qt::BackgroundRole);
                const QString shown = (background.isValid() ? background.value<QBrush>().color().name() : QString()) + '|'
                    + (tip.isValid() ? "tip:" + tip.toString() : "no tip") + '|' + QString::number(index.data(Qt::FontRole).value<QFont>().bold())
                    + '|' + index.data().toString() + (index.data(Qt::TextAlignmentRole).isValid() ? " >" : "");
                const bool shownAtAll = c < (r % 10000 == 5 ? 3 : 4);
                const QString wanted = !shownAtAll ? "|no tip|0|"
                    : tint + '|' + (told.tip ? "tip:" + told.text : "no tip") + '|' + QString::number(told.marks & 1) + '|'
                        + QString::number(r * 4 + c) + (c > 0 && c == r / 30000 % 3 ? " >" : "");
                if (shown != wanted)
                    QFAIL(qPrintable(QString("row %1 column %2: %3 for %4").arg(r).arg(c).arg(shown.left(200), wanted.left(200))));
            }
            if (model.headerData(r, Qt::Vertical, Qt::DisplayRole).toString() != QString::number(r + 2 + r / 1000))
                QFAIL(qPrintable(QString("row %1 is not its sheet row").arg(r)));
        }
        model.clear();
        QCOMPARE(model.rowCount(), 0);
    }

    void summaryAndMessages()
    {
        const kova::RowMessage error{kova::Severity::Error, 1, {"", "Amount", " is empty"}};
        const kova::RowMessage warning{kova::Severity::Warning, 2, {"", "Remarks", " cut"}};
        report({"1"}, {{0, 0}}, {error}, 0);
        report({"2"}, {}, {}, 0);
        report({"3"}, {}, {warning, error}, 0);
        // Summary lines are shown as written, not read as markup.
        m_window->ON_Trx_Done({"Total rows processed: 3", "a < b && c  >  d", ""});
        QCOMPARE(logText(m_window).split('\n'), (QStringList{"Total rows processed: 3", "a < b && c  >  d", "", separator,
                                                  "LINE 1: Error. Amount is empty", "LINE 2: Warning. Remarks cut",
                                                  "LINE 1: Error. Amount is empty"}));

        // The form's export starts inside the emission; it must find both logs empty.
        child<QLineEdit>("txtSource")->setText("in.xlsx");
        child<QLineEdit>("txtDest")->setText("out.txt");
        bool emptyDuringExport = false;
        connect(m_window, &MainWindow::SIG_Export, this, [&] {
            emptyDuringExport = logTable(m_window)->rowCount() + logTable(m_window)->columnCount() == 0 && logText(m_window).isEmpty();
        });
        QSignalSpy finished(hosted(), SIGNAL(exportFinished()));
        m_window->ON_btnExport_Click();
        QVERIFY(finished.wait());
        QVERIFY(emptyDuringExport);
        m_window->ON_Trx_Done({"Total"});
        QCOMPARE(logText(m_window).split('\n').mid(1), (QStringList{"Total", separator}));
    }

    // A full sheet's message lines arrive in many batches and fill many blocks of the log, saying a few things over
    // and over (row after row, or in turns) and some things once: each text goes to the window once however often it is
    // said, and every line reads back whole and in order, in its hue darkened to read on white, with its kind's icon
    // and its n, and copies as its plain words; lines added after the summary follow them, the widest line is found
    // among them all, and the next export's texts are its own.
    void manyMessageLines()
    {
        LogLines lines;
        lines.appendPlain({"Matched by header: To Acc"});
        LogPacker packer;
        QStringList rich, plain;
        QVector<int> numbers;
        QVector<bool> errors;
        int textsSent = 0, widest = -1;
        const auto say = [&](kova::RowReport& row, kova::Severity severity, int n, const kova::MessageWords& words) {
            const bool error = severity == kova::Severity::Error;
            row.messages.append({severity, n, words});
            const QString lead = QString("LINE %1: %2. ").arg(n).arg(error ? "Error" : "Warning");
            const QString title = words.title.isEmpty() ? "" : "<span style=\"font-weight:bold;\">" + words.title + "</span>";
            rich << QString("<span style=\"color:#%1;\">").arg(error ? "c0262f" : "a34a00") + lead + words.before + title + words.after
                    + "</span>";
            plain << lead + words.before + words.title + words.after;
            numbers << n;
            errors << error;
        };
        const int count = 70000;
        for (int n = 1; n <= count; ++n) {
            kova::RowReport row;
            const kova::Severity severity = n % 3 ? kova::Severity::Warning : kova::Severity::Error;
            // The same warning row after row, a row here and there saying nothing.
            if (n > 30000 && n <= 40000) {
                if (n % 1000 != 500)
                    say(row, kova::Severity::Warning, n, kova::truncated("Remarks \u6771", 35));
            } else if (n % 5 == 0) {
                if (n == 9000)
                    widest = rich.size();
                say(row, severity, n, {QString("row %1 own").arg(n), n == 9000 ? QString(1200000, QChar(0xe9)) : QString(), " words"});
            } else {
                say(row, severity, n, n % 2 ? kova::truncated("Remarks \u6771", 35) : kova::MessageWords{"", "Amount", " is empty"});
            }
            if (n % 7 == 0)
                say(row, kova::Severity::Error, n, {"Invalid amount", "", ""});
            packer.add(row);
            if (n % 1000 == 0) {
                const LogBatch batch = packer.take();
                textsSent += batch.texts.size();
                lines.holdMessages(batch);
            }
        }
        QCOMPARE(textsSent, 5 + (count - 10000) / 5);
        QCOMPARE(lines.rowCount(), 1);
        lines.showSummary({"Total rows processed: 70000"});
        lines.appendPlain({"Written: out.txt"});
        QCOMPARE(lines.rowCount(), 3 + rich.size() + 1);
        QCOMPARE(lines.index(1, 0).data().toString(), QString("Total rows processed: 70000"));
        QCOMPARE(lines.index(2, 0).data().toString(), separator);
        const QImage errorIcon = QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(16).toImage();
        const QImage warningIcon = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(16).toImage();
        for (int i = 0; i < rich.size(); ++i) {
            const QModelIndex line = lines.index(3 + i, 0);
            if (line.data(LogLines::RichTextRole).toString() != rich.at(i) || lines.messageLine(3 + i) != numbers.at(i)
                || line.data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage() != (errors.at(i) ? errorIcon : warningIcon))
                QFAIL(qPrintable(QString("message line %1 reads back otherwise").arg(i + 1)));
        }
        QVector<int> rows(rich.size());
        std::iota(rows.begin(), rows.end(), 3);
        QCOMPARE(lines.plainText(rows), plain.join('\n'));
        QCOMPARE(lines.index(3 + rich.size(), 0).data().toString(), QString("Written: out.txt"));
        QCOMPARE(lines.index(3 + rich.size(), 0).data(LogLines::RichTextRole).toString(), QString());
        QCOMPARE(lines.longestRow(), 3 + widest);

        lines.clear();
        QCOMPARE(lines.rowCount(), 0);
        LogPacker next;
        kova::RowReport row;
        row.messages = {{kova::Severity::Error, 1, {"", "Amount", " is empty"}}};
        next.add(row);
        lines.holdMessages(next.take());
        lines.showSummary({"Total rows processed: 1"});
        QCOMPARE(lines.index(2, 0).data(LogLines::RichTextRole).toString(),
                 QString("<span style=\"color:#c0262f;\">LINE 1: Error. <span style=\"font-weight:bold;\">Amount</span> is empty</span>"));
    }

    // What one run leaves the next: its place, its splitters and the folder used
    // last, without touching any other key of the shared settings file.
    void nextRun()
    {
        const QString settingsPath = kova::defaultSettingsPath();
        QSettings(settingsPath, QSettings::IniFormat).setValue("Payroll/Kept", "as it was");
        QVERIFY(QDir(m_dir.path()).mkpath("books") && QDir(m_dir.path()).mkpath("uploads"));
        choose(workbook("books/in.xlsx", {"Data"}));
        choose(m_dir.filePath("uploads/out.txt"), "btnDest");
        QCOMPARE(m_dialogs.at(0), "Open File: " + QDir::homePath());
        const QString books = QFileInfo(m_dir.filePath("books")).absoluteFilePath() + QDir::separator();
        QVERIFY2(m_dialogs.at(1).startsWith("Destination File: " + books + "AutoTransfer-"), qPrintable(m_dialogs.at(1)));
        // With a workbook chosen, its folder, whichever folder was used last.
        choose("");
        QCOMPARE(m_dialogs.at(2), "Open File: " + QFileInfo(m_dir.filePath("books")).absoluteFilePath());

        showActive(QRect(40, 30, 1000, 700));
        child<QSplitter>("splitter_2")->setSizes({200, 400});
        child<QSplitter>("splitter")->setSizes({600, 200});
        const QList<int> sizes = child<QSplitter>("splitter_2")->sizes() + child<QSplitter>("splitter")->sizes();
        m_window->close();
        QCOMPARE(WindowSettings::read(settingsPath).geometry, QRect(40, 30, 1000, 700));
        delete m_window;
        m_window = new MainWindow;
        showActive(QRect(40, 30, 1000, 700));
        QCOMPARE(child<QSplitter>("splitter_2")->sizes() + child<QSplitter>("splitter")->sizes(), sizes);
        QCOMPARE(QSettings(settingsPath, QSettings::IniFormat).value("Payroll/Kept").toString(), QStringLiteral("as it was"));
        // The folder used last; one gone since sends the dialog home.
        choose("");
        QVERIFY(QDir(m_dir.filePath("uploads")).removeRecursively());
        choose("");
        QCOMPARE(m_dialogs.mid(3), QStringList({"Open File: " + QFileInfo(m_dir.filePath("uploads")).absoluteFilePath(),
                                                "Open File: " + QDir::homePath()}));
    }

    // The Browse dialog offers the kinds a drop takes, the reader's.
    void readableKinds()
    {
        QString filter;
        FileDialogs::setChooser([&filter](QWidget*, FileDialogs::Mode, const QString&, const QString&, const QString& offered) {
            filter = offered;
            return QString();
        });
        choose("");
        QCOMPARE(filter, QString("Workbooks and delimited text (*.xlsx *.xlsm *.xls *.ods *.csv *.txt);;All files (*)"));
        for (const QString& suffix : reader::readableSuffixes()) {
            QMimeData mime;
            mime.setUrls({QUrl::fromLocalFile(workbook("dropped." + suffix.toUpper(), {"Data"}))});
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(m_window, &enter);
            QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(m_window, &dropped);
            QVERIFY(workbookRead(m_window));
            QCOMPARE(child<QLineEdit>("txtSource")->text(), m_dir.filePath("dropped." + suffix.toUpper()));
        }
    }

    // One workbook dropped is chosen, whatever the case of its extension; anything else is refused.
    void drop()
    {
        QStringList chosen;
        for (const char* file : {"LOUD.XLSX", "book.ods", "notes.pdf"}) {
            QMimeData mime;
            mime.setUrls({QUrl::fromLocalFile(workbook(file, {"Data"}))});
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(m_window, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(m_window, &dropped);
            chosen.append(QFileInfo(child<QLineEdit>("txtSource")->text()).fileName());
        }
        QCOMPARE(chosen, (QStringList{"LOUD.XLSX", "book.ods", "book.ods"}));
        QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Not a workbook or CSV file: notes.pdf"));
        QCOMPARE(m_boxes, QStringList{});
    }

    // No caption cut short in any type or mode, and one round of Tab through the window.
    void formAtWork()
    {
        showActive();
        for (int type : {0, 1, 2, 3}) {
            child<QComboBox>("cboTrxType")->setCurrentIndex(type);
            QWidget* form = hosted();
            for (const char* mode : {"rdbOthers", "rdbWDK"}) {
                if (auto* button = form->findChild<QRadioButton*>(mode))
                    button->click();
                // Nested layouts settle over several posted requests, later on a loaded machine.
                QTest::qWait(50);
                for (QLabel* label : form->findChildren<QLabel*>())
                    QTRY_VERIFY2_WITH_TIMEOUT(!label->isVisible() || label->width() >= label->sizeHint().width(),
                                              qPrintable(label->objectName()), 5000);
            }
        }
        QStringList names;
        child<QComboBox>("cboTrxType")->setFocus();
        while (names.size() < 200 && names.value(names.size() - 1) != "cboTrxType") {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (names.value(names.size() - 1) != QApplication::focusWidget()->objectName())
                names << QApplication::focusWidget()->objectName();
        }
        // The layout bar's Delete is off while the type has one layout.
        QVERIFY2(names.mid(0, 11) == (QStringList{"btnTemplate", "btnBatches", "btnCheckUpload", "cboLayout", "btnLayoutSaveAs", "btnLayoutRename", "txtSource", "btnSrc", "cboSheets", "txtDest", "btnDest"})
                     && names.mid(names.size() - 5) == (QStringList{"btnSave", "btnExport", "tableView", "txtStatus", "cboTrxType"}),
                 qPrintable(names.join(' ')));
    }

    // Account rows not saved are asked about before the window closes them: No keeps it open.
    void unsavedAccountsOnClose()
    {
        showActive();
        child<QComboBox>("cboTrxType")->setCurrentIndex(1);
        hosted()->findChild<QPushButton*>("btnAdd")->click();
        auto* accounts = qobject_cast<QStandardItemModel*>(hosted()->findChild<QTableView*>("tblAcc")->model());
        accounts->item(accounts->rowCount() - 1, 1)->setText("2222222222");
        // Another type's form would replace this one: asked too, and No keeps the type and the row.
        QWidget* form = hosted();
        child<QComboBox>("cboTrxType")->setCurrentIndex(2);
        QCOMPARE(child<QComboBox>("cboTrxType")->currentIndex(), 1);
        QCOMPARE(hosted(), form);
        QVERIFY(!m_window->close());
        QVERIFY(m_window->isVisible());
        Messages::setCapturedAnswer(true);
        QVERIFY(m_window->close());
        Messages::setCapturedAnswer(false);
        const QString asked = "other information: The accounts table has changes that are not saved. Close and lose them?";
        QCOMPARE(m_boxes, (QStringList{asked, asked, asked}));
    }

    // A wheel over a field without focus scrolls the form; with focus it changes the field.
    void wheelNeedsFocus()
    {
        showActive(QRect(0, 0, 1100, 500));
        child<QComboBox>("cboTrxType")->setCurrentIndex(3);
        QApplication::processEvents();   // a form added to the shown window shows itself a moment later
        auto* date = hosted()->findChild<QDateEdit*>("dteFrom");
        const QDate before = date->date();
        const auto turn = [](QWidget* w, int notches) {
            QWheelEvent wheel(QPointF(5, 5), w->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QSpontaneKeyEvent::setSpontaneous(&wheel);   // as from the mouse: only such a turn travels on
            qApp->notify(w, &wheel);
        };
        child<QLineEdit>("txtDest")->setFocus();
        turn(child<QComboBox>("cboTrxType"), 1);
        turn(date, -1);
        QVERIFY(child<QComboBox>("cboTrxType")->currentIndex() == 3 && date->date() == before);
        QVERIFY(hosted()->findChild<QScrollArea*>("scrollArea")->verticalScrollBar()->value() > 0);
        date->setFocus();   // clicked or tabbed into, it takes the wheel as before
        turn(date, 1);
        QVERIFY(date->date() != before);
    }

    // The register's batches, newest first, read a page at a time as the table is scrolled;
    // one window of them, which a second click brings forward.
    void writtenBatches()
    {
        QFile::remove(kova::registerPathFor(kova::defaultSettingsPath()));
        kova::BatchRegister batches(kova::registerPathFor(kova::defaultSettingsPath()));
        const QDateTime written(QDate(2026, 12, 1), QTime(9, 30), Qt::UTC);
        QVector<kova::BatchEntry> entries;
        for (int i = 0; i < 600; ++i) {
            // A key with its date, one paid on authorization, and none, as registers before keys kept.
            const std::optional<kova::BatchKey> key = i % 3 == 2 ? std::nullopt
                                                                 : std::optional<kova::BatchKey>({i % 3 ? "" : "2026-12-05", QString("ACC%1").arg(i)});
            entries.prepend({written.addSecs(i), i % 2 ? "Auto Transfer" : "Payroll", i % 2 ? QString::number(i) : "",
                             QString("/data/batch-%1.txt").arg(i), i, 150000050 + i, QString::number(i),
                             // And a file's SHA-256, but where an older register kept none.
                             i % 4 ? QString("%1").arg(i, 64, 10, QChar('0')) : QString(), key});
            QVERIFY(batches.open() && batches.record(entries.first()));
        }
        showActive();
        child<QPushButton>("btnBatches")->click();
        auto* table = m_window->findChild<QTableView*>("tblBatches");
        QAbstractItemModel* model = table->model();
        QCOMPARE(model->rowCount(), 256);
        // Ctrl+End reaches the oldest batch, not the last one read.
        table->setFocus();
        QTest::keyClick(table, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(model->rowCount(), 600);
        QCOMPARE(table->currentIndex().row(), 599);
        QString shown, wanted;
        for (int r = 0; r < model->rowCount(); ++r)
            for (int c = 0; c < model->columnCount(); ++c)
                shown += model->index(r, c).data().toString() + (c + 1 < model->columnCount() ? "\t" : "\n");
        for (const kova::BatchEntry& entry : qAsConst(entries)) {
            QStringList fields = kova::historyText({entry}).split('\t');
            const QString date = !entry.key ? "" : entry.key->effectiveDate.isEmpty() ? "On authorization" : entry.key->effectiveDate;
            fields.insert(3, entry.key ? entry.key->account : "");
            fields.insert(3, date);
            wanted += fields.join('\t').chopped(1) + '\t' + entry.fileSha256 + '\n';
        }
        QCOMPARE(shown, wanted);
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString() + "|" + model->headerData(3, Qt::Horizontal).toString() + "|"
                     + model->headerData(8, Qt::Horizontal).toString(),
                 QString("Written|Effective date|SHA-256"));
        child<QPushButton>("btnBatches")->click();
        QCOMPARE(m_window->findChildren<QDialog*>().size(), 1);
    }

    // The forms name their icons by resource path; a missing or undecodable one leaves a button blank.
    void icons()
    {
        for (const char* name : {"Add", "Apply", "Delete", "Lock", "Notes", "Save", "Script", "Unlock"}) {
            const QImage image(QStringLiteral(":/icons/icons/%1.ico").arg(name));
            QVERIFY2(image.size() == QSize(32, 32) && qAlpha(image.pixel(0, 0)) == 0, name);
        }
    }

    // The template of the chosen type; one that cannot be written is reported.
    void saveTemplate()
    {
        QString filter = "none offered";
        FileDialogs::setChooser([&filter](QWidget*, FileDialogs::Mode, const QString&, const QString&, const QString& offered) {
            filter = offered;
            return QString();
        });
        child<QPushButton>("btnTemplate")->click();
        QCOMPARE(filter, QString("Excel workbook (*.xlsx)"));
        init();
        child<QComboBox>("cboTrxType")->setCurrentIndex(1);
        choose(m_dir.filePath("credit.xlsx"), "btnTemplate");
        choose(m_dir.filePath("missing/credit.xlsx"), "btnTemplate");
        QCOMPARE(m_dialogs.at(0), "Save Template: " + QDir::homePath() + "/Auto Credit template.xlsx");
        QCOMPARE(reader::Document(m_dir.filePath("credit.xlsx"), {}).sheetNames(), QStringList{"Auto Credit"});
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.at(0).startsWith("window critical: Template could not be written: "), qPrintable(m_boxes.at(0)));

        // Never over the open workbook or a file of the program: they stay as they were.
        const QString settings = kova::defaultSettingsPath();
        QSettings(settings, QSettings::IniFormat).setValue("Credit/Amount", 3);
        { kova::BatchRegister created(kova::registerPathFor(settings)); QVERIFY(created.open()); }
        QFile(settings + ".headerid.lock").open(QIODevice::WriteOnly);
        const QString book = workbook("open.xlsx", {"Data"});
        choose(book);
        m_boxes.clear();
        for (const QString& own : {book, settings, kova::registerPathFor(settings), settings + ".headerid.lock"}) {
            const QByteArray before = expect::fileBytes(own);
            choose(own, "btnTemplate");
            QCOMPARE(expect::fileBytes(own), before);
        }
        QCOMPARE(m_boxes, (QStringList{"window critical: Template must not be the source workbook",
                                       "window critical: Template must not be the settings file",
                                       "window critical: Template must not be the register of written batches",
                                       "window critical: Template must not be a lock file of the settings"}));
        QFile::remove(settings + ".headerid.lock");
    }

    // A typed source counts once confirmed: by Return, or by leaving the field for Export.
    void typedSourcePath()
    {
        showActive();
        for (const bool byReturn : {true, false}) {
            choose(workbook("browsed.xlsx", {"Old"}));
            const QString typed = workbook("typed.xlsx", {"New", "Other"});
            auto* source = child<QLineEdit>("txtSource");
            QSignalSpy changes(m_window, &MainWindow::SIG_Excel_Changed);
            m_boxes.clear();
            QTest::mouseClick(source, Qt::LeftButton);
            QTest::keyClick(source, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(source, typed);
            QCOMPARE(changes.count(), 0);
            if (byReturn)
                QTest::keyClick(source, Qt::Key_Return);
            QTest::mouseClick(hosted()->findChild<QPushButton*>("btnExport"), Qt::LeftButton);
            QVERIFY(workbookRead(m_window));
            QCOMPARE(calls(changes), (QList<QVariantList>{{typed, "New"}}));
            QCOMPARE(m_boxes, QStringList{"window critical: Dest can not be empty"});
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
