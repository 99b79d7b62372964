#include "mainwindow.h"
#include "ui_mainwindow.h"
#include "batchhistorydialog.h"
#include "destinationfolder.h"
#include "loglines.h"
#include "loglineview.h"
#include "logtablemodel.h"
#include "sourcepicker.h"
#include "sourcetextchoice.h"
#include "uploadcheckdialog.h"
#include "windowsettings.h"

#include "approval/approvalsummary.h"

#include "widgets/dayfollower.h"
#include "widgets/filedialogs.h"
#include "widgets/messages.h"
#include "widgets/pastetrim.h"
#include "forms/base/sheetloader.h"
#include "forms/base/transactionform.h"
#include "widgets/wheelguard.h"
#include "forms/formfactory.h"
#include "forms/parts/layoutbar.h"
#include "widgets/clock.h"
#include "widgets/effectivedate.h"
#include "run/pathchecks.h"
#include "settings/settingsfile.h"
#include "register/batchregister.h"
#include "types/registry.h"
#include "types/templateworkbook.h"

#include <QApplication>
#include <QComboBox>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QAction>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>

#ifdef __GLIBC__
#include <malloc.h>
#endif

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , ui(new Ui_MainWindow)
    , m_progress(new QProgressBar(this))
    , m_cancel(new QPushButton(QStringLiteral("Cancel"), this))
    , m_outcome(new QLabel(this))
    , m_summary(new QPushButton(QStringLiteral("Save summary (PDF)..."), this))
{
    ui->setupUi(this);
    m_outcome->setObjectName(QStringLiteral("lblOutcome"));
    m_outcome->setWordWrap(true);
    m_outcome->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_outcome->hide();
    m_summary->setObjectName(QStringLiteral("btnSummary"));
    m_summary->setToolTip(QStringLiteral("The batch just written, for its approver: every payment, the total and the "
                                         "upload file's SHA-256"));
    m_summary->hide();
    connect(m_summary, &QPushButton::clicked, this, &MainWindow::saveSummary);
    auto* outcomeRow = new QHBoxLayout;
    outcomeRow->addWidget(m_outcome, 1);
    outcomeRow->addWidget(m_summary, 0, Qt::AlignTop);
    ui->verticalLayout_3->insertLayout(ui->verticalLayout_3->indexOf(ui->splitter_2) + 1, outcomeRow);
    // Room the window gains goes to the logs; the form has what it asks for.
    ui->splitter_2->setStretchFactor(0, 0);
    ui->splitter_2->setStretchFactor(1, 1);
    ui->splitter->setStretchFactor(0, 3);
    ui->splitter->setStretchFactor(1, 2);
    connect(ui->splitter_2, &QSplitter::splitterMoved, this, [this] { m_splitDragged = m_formSized = true; });
    m_source = new SourcePicker(this, ui->txtSource, ui->cboSheets);
    m_progress->setObjectName(QStringLiteral("progressExport"));
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    m_progress->setFormat(QStringLiteral("%v of %m rows"));
    m_progress->hide();
    m_cancel->hide();
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (m_source->isReading()) {
            m_source->cancelRead();
            return;
        }
        m_cancel->setEnabled(false);
        if (m_form)
            m_form->cancelExport();
    });
    connect(m_source, &SourcePicker::fileChosen, this, &MainWindow::rememberFolderOf);
    connect(m_source, &SourcePicker::readStarted, this, [this] {
        // Export pressed while an earlier choice was read was meant for that one.
        m_exportWhenLoaded = false;
        showBusy(true);
    });
    connect(m_source, &SourcePicker::readStopped, this, [this] {
        m_exportWhenLoaded = false;
        showBusy(false);
    });
    connect(m_source, &SourcePicker::sourceRead, this, &MainWindow::sourceRead);
    // An empty sheet name also empties the form's mapping lists.
    connect(m_source, &SourcePicker::sourceCleared, this,
            [this](const QString& path) { emit SIG_Excel_Changed(path, QString()); });
    // A row of its own under the source: beside it, four more choices would
    // squeeze the path out of sight.
    ui->verticalLayout_6->insertWidget(ui->verticalLayout_6->indexOf(ui->horizontalLayout_2) + 1, m_source->textChoice());
    ui->verticalLayout_6->setMargin(0);
    ui->verticalLayout_6->setSpacing(0);
    // The log's columns fit a sample of rows around those in sight: measuring
    // a thousand, as the view would, keeps the window from answering too long.
    ui->tableView->horizontalHeader()->setResizeContentsPrecision(250);

    for (const kova::TypeDescriptor* type : kova::transactionTypes())
        ui->cboTrxType->addItem(type->displayName);
    // A row of its own under the type: beside it, the top row would not fit a small screen.
    m_layoutBar = new LayoutBar(this);
    ui->verticalLayout_6->insertWidget(ui->verticalLayout_6->indexOf(ui->horizontalLayout_7) + 1, m_layoutBar);

    connect(ui->cboTrxType, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &MainWindow::ON_cboTrxType_Change);
    connect(ui->btnSrc, &QPushButton::clicked, this, &MainWindow::ON_btnBrowse_Click);
    connect(ui->btnDest, &QPushButton::clicked, this, &MainWindow::ON_btnBrowse_Click);

    connect(ui->txtStatus, &LogLineView::messageLineChosen, this, &MainWindow::showLogRow);
    ui->txtStatus->lines()->setSheetRowOf([this](int line) {
        return line <= m_logModel->rowCount() ? m_logModel->headerData(line - 1, Qt::Vertical, Qt::DisplayRole).toInt() : 0;
    });
    // The form's Export button answers Ctrl+E from wherever the focus is; a
    // line edit claims that key for itself (the end of its line), so the key
    // is kept from it.
    qApp->installEventFilter(this);
    // The logs are read by keyboard too, so which one has the focus must show.
    ui->tableView->setStyleSheet(QStringLiteral("QTableView:focus { border: 2px solid #0b57d0; }"));
    ui->txtStatus->setStyleSheet(QStringLiteral("QTextEdit:focus { border: 2px solid #0b57d0; }"));

    connect(ui->btnBatches, &QPushButton::clicked, this, &MainWindow::showBatches);
    connect(ui->btnTemplate, &QPushButton::clicked, this, &MainWindow::saveTemplate);
    buildActions();
    // Tab runs through the layout bar after the row above it (its last the
    // button buildActions() put after "Written batches"), on to the source.
    QWidget* previous = ui->btnBatches->nextInFocusChain();
    for (QWidget* input : m_layoutBar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (input->focusPolicy() & Qt::TabFocus) {
            QWidget::setTabOrder(previous, input);
            previous = input;
        }
    QWidget::setTabOrder(previous, ui->txtSource);
    guardWheel(this);
    setAcceptDrops(true);

    // The items went in before the connection, so no signal installed the first form.
    ON_cboTrxType_Change(0);
    restoreLayout();
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    // The source field loses the focus while the window's widgets are torn
    // down, when there is no longer a window to read a confirmed path for.
    disconnect(ui->txtSource, nullptr, m_source, nullptr);
    delete ui;
}

void MainWindow::wireForm(TransactionForm* form)
{
    connect(this, &MainWindow::SIG_Export, form, &TransactionForm::ON_Export_Signal);
    connect(this, &MainWindow::SIG_Excel_Changed, form, &TransactionForm::ON_Excel_Changed);
    connect(form, &TransactionForm::rowsReported, this, &MainWindow::ON_Trx_Logger);
    connect(form, &TransactionForm::rowsRead, this, &MainWindow::showProgress);
    connect(form, &TransactionForm::SIG_HEADER_CHANGE, this, &MainWindow::ON_Headers_Change);
    connect(form, &TransactionForm::SIG_TRX_DONE, this, &MainWindow::ON_Trx_Done);
    connect(form, &TransactionForm::SIG_EXPBTN_CLICK, this, &MainWindow::ON_btnExport_Click);
    connect(form, &TransactionForm::exportFinished, this, &MainWindow::exportOver);
    LogLines* log = ui->txtStatus->lines();
    connect(form, &TransactionForm::batchOutcome, this, &MainWindow::showOutcome);
    connect(form, &TransactionForm::batchWritten, this, &MainWindow::offerSummary);
    connect(form, &TransactionForm::exportRestarted, this, [this] {
        m_logModel->clear();
        ui->txtStatus->lines()->clear();
        m_outcome->hide();
    });
    // The lines of the workbook, sheet or header mode chosen last; an earlier
    // choice's matches no longer hold.
    connect(form, &TransactionForm::mappingMatched, log, [log](const QStringList& lines) {
        log->clear();
        log->appendPlain(lines);
    });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType()
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_E
        && static_cast<QKeyEvent*>(event)->modifiers() == Qt::ControlModifier
        && isAncestorOf(static_cast<QWidget*>(watched))) {
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::Delete_Form()
{
    while (QLayoutItem* item = ui->horzFormUI->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->setParent(nullptr);
            delete widget;
        }
        delete item;
    }
}

void MainWindow::ON_cboTrxType_Change(int index)
{
    // Another type's form replaces this one: account rows not saved are asked
    // about first, and a No keeps the form and its type.
    if (m_form && index != m_typeIndex && !m_form->mayClose()) {
        const QSignalBlocker still(ui->cboTrxType);
        ui->cboTrxType->setCurrentIndex(m_typeIndex);
        return;
    }
    m_typeIndex = index;
    const QList<int> split = ui->splitter_2->sizes();
    Delete_Form();

    // The new form knows no workbook, so nothing chosen for the old one may stay.
    m_source->clear();
    ui->txtDest->clear();
    ui->txtStatus->lines()->clear();
    m_outcome->hide();

    LogTableModel* oldModel = m_logModel;
    m_logModel = new LogTableModel(this);

    // cboTrxType lists the types in the order of BatchType.
    m_form = createTransactionForm(static_cast<kova::BatchType>(index));
    if (TransactionForm* form = m_form) {
        ui->horzFormUI->addWidget(form);
        prepareForm(form);
        wireForm(form);
    }
    m_layoutBar->setForm(m_form);

    ui->tableView->setModel(m_logModel);
    ui->tableView->horizontalHeader()->setStretchLastSection(true);
    delete oldModel;

    // A split the user chose holds for every type; otherwise each form is fitted.
    if (m_splitDragged)
        ui->splitter_2->setSizes(split);
    else if (isVisible())
        fitForm();
}

void MainWindow::fitForm()
{
    const QList<int> sizes = ui->splitter_2->sizes();
    const int room = sizes.value(0) + sizes.value(1);
    if (room <= 0 || !m_form)
        return;
    const int form = qMin(m_form->sizeHint().height(), room / 2);
    ui->splitter_2->setSizes({form, room - form});
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!std::exchange(m_formSized, true))
        fitForm();
}

void MainWindow::refuse(const QString& text, QWidget* field)
{
    Messages::critical(this, text);
    showOutcome(QStringLiteral("Nothing written: ") + text);
    if (field)
        field->setFocus();
}

void MainWindow::showOutcome(const QString& line)
{
    ui->txtStatus->lines()->appendPlain({line});
    m_outcome->setText(line);
    m_outcome->show();
}

void MainWindow::ON_btnExport_Click()
{
    if (m_source->path().trimmed().isEmpty()) {
        refuse(QStringLiteral("Source can not be empty"), ui->txtSource);
        return;
    }
    const QString destination = ui->txtDest->text();
    if (destination.trimmed().isEmpty()) {
        refuse(QStringLiteral("Dest can not be empty"), ui->txtDest);
        return;
    }
    // The export is of the workbook shown, once it is read.
    if (m_source->isReading()) {
        m_exportWhenLoaded = true;
        statusBar()->showMessage(QStringLiteral("Reading the workbook; the export starts when it is read"));
        return;
    }
    // Refused before any question: a Yes to replacing the source workbook
    // would only lead to the refusal, and a folder that takes no file would
    // say so only once the whole sheet was read.
    for (const QString& refusal : {kova::exportPathsRefusal(m_source->path(), destination, kova::defaultSettingsPath()),
                                   unwritableDestinationFolder(destination)}) {
        if (!refusal.isEmpty()) {
            refuse(refusal, ui->txtDest);
            return;
        }
    }
    if (m_form) {
        const QString dateQuestion = kova::effectiveDateQuestion(m_form->effectiveDate(), kova::today());
        if (!dateQuestion.isEmpty() && !Messages::question(this, dateQuestion))
            return;
    }
    // The earlier upload file may not have reached the bank yet.
    if (QFileInfo(ui->txtDest->text()).isFile()
        && !Messages::question(this, QStringLiteral("Destination ") + QDir::toNativeSeparators(ui->txtDest->text())
                                         + QStringLiteral(" already exists. Replace it?")))
        return;

    m_logModel->clear();
    ui->txtStatus->lines()->clear();
    m_outcome->hide();
    m_loggedSource = m_source->path() + QLatin1Char('\n') + ui->cboSheets->currentText();

    // The last export's logs were freed on this thread just now; the export
    // allocates on its own, which would not reuse that memory, and a full
    // sheet's logs would be held twice at once.
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    // Passed as typed: the form opens exactly what the user sees. The export
    // starts inside the emission and runs on, the window answering meanwhile.
    setExporting(true);
    emit SIG_Export(m_source->path(), ui->txtDest->text());
    if (!m_form || !m_form->exporting())
        exportOver();
}

void MainWindow::exportOver()
{
    setExporting(false);
    if (m_closeWhenStopped)
        QTimer::singleShot(0, this, &QWidget::close);
}

void MainWindow::setExporting(bool exporting)
{
    m_exporting = exporting;
    // A summary is of the batch just written; the next export may write another.
    if (exporting)
        offerSummary({}, {});
    for (QWidget* input : {static_cast<QWidget*>(ui->cboTrxType), static_cast<QWidget*>(ui->btnTemplate),
                           static_cast<QWidget*>(ui->btnBatches), static_cast<QWidget*>(ui->btnSrc),
                           static_cast<QWidget*>(ui->txtDest), static_cast<QWidget*>(ui->btnDest),
                           static_cast<QWidget*>(m_form), static_cast<QWidget*>(m_layoutBar)})
        if (input)
            input->setEnabled(!exporting);
    m_source->setEnabled(!exporting);
    setAcceptDrops(!exporting);
    showBusy(exporting);
}

void MainWindow::showBusy(bool busy)
{
    // In the status bar only while needed: even hidden, they would make it taller.
    m_progress->setRange(0, 0);
    m_cancel->setEnabled(busy);
    for (QWidget* shown : {static_cast<QWidget*>(m_progress), static_cast<QWidget*>(m_cancel)}) {
        if (busy) {
            statusBar()->addPermanentWidget(shown);
            shown->show();
        } else {
            statusBar()->removeWidget(shown);
        }
    }
}

void MainWindow::showProgress(int done, int total)
{
    m_progress->setRange(0, total);
    m_progress->setValue(done);
}

void MainWindow::ON_btnBrowse_Click()
{
    if (sender() == ui->btnSrc)
        m_source->browse(startFolder());
    else if (sender() == ui->btnDest)
        chooseDestination();
}

void MainWindow::sourceRead(const std::shared_ptr<LoadedSheet>& read, const QString& sheet)
{
    showBusy(false);
    const bool exportNow = std::exchange(m_exportWhenLoaded, false);
    // The rows of another workbook or sheet no longer describe what Export would write.
    if (read->path + QLatin1Char('\n') + sheet != m_loggedSource) {
        m_logModel->clear();
        ui->txtStatus->lines()->clear();
        m_outcome->hide();
        m_loggedSource.clear();
    }
    if (m_form)
        m_form->offerLoadedSheet(read);
    // An empty sheet name also empties the form's mapping lists.
    emit SIG_Excel_Changed(read->path, sheet);
    // A sheet that could not be read was reported; the export would only say so again.
    if (exportNow && read->selected)
        ON_btnExport_Click();
}

void MainWindow::chooseDestination()
{
    const QString name = kova::transactionTypes().at(ui->cboTrxType->currentIndex())->fileNamePrefix
                         + QLocale::system().toString(kova::today(), QStringLiteral("d-MMM-yyyy"))
                         + QStringLiteral(".txt");
    const QString chosen = FileDialogs::saveFile(this, QStringLiteral("Destination File"),
                                                 startFolder() + QDir::separator() + name);
    if (chosen.isEmpty())
        return;
    rememberFolderOf(chosen);
    ui->txtDest->setText(chosen);
}

void MainWindow::prepareForm(QWidget* form)
{
    guardWheel(form);
    trimPastesUnder(form);
    new DayFollower(form);

    // Tab runs from the file choice through the form's fields in the form's
    // own order, on to its Save and Export, and then to the two logs. The
    // form joined the focus chain behind the logs, and the chain does not
    // always survive the removal of the previous form, so it is laid anew.
    QWidgetList fields;
    for (QWidget* w = form->nextInFocusChain(); w != form && fields.size() < 1000; w = w->nextInFocusChain()) {
        const bool inner = std::any_of(fields.cbegin(), fields.cend(),
                                       [w](const QWidget* field) { return field->isAncestorOf(w); });
        if (form->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && !inner && !fields.contains(w))
            fields.append(w);
    }
    QWidget* previous = ui->btnDest;
    for (QWidget* field : qAsConst(fields)) {
        QWidget::setTabOrder(previous, field);
        previous = field;
    }
    QWidget::setTabOrder(previous, ui->tableView);
    QWidget::setTabOrder(ui->tableView, ui->txtStatus);
}

void MainWindow::restoreLayout()
{
    const WindowSettings stored = WindowSettings::read(kova::defaultSettingsPath());
    if (ui->splitter_2->restoreState(stored.formSplitter))
        m_splitDragged = m_formSized = true;
    ui->splitter->restoreState(stored.logSplitter);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Asked before anything else, so that a No leaves a running export alone.
    if (m_form && !m_form->mayClose()) {
        event->ignore();
        return;
    }
    if (m_exporting || m_source->isReading()) {
        // Held while the question is open: an export that wrote its batch
        // meanwhile would make a Yes stop nothing.
        const bool held = m_exporting && m_form->holdExport();
        if (m_exporting && !held) {
            ui->txtStatus->lines()->appendPlain(
                {QStringLiteral("The export is writing its batch; the window closes once it is written")});
            m_closeWhenStopped = true;
            event->ignore();
            return;
        }
        if (!Messages::question(this, QStringLiteral("An export is running. Cancel it and close?"))) {
            if (held)
                m_form->releaseExport();
            event->ignore();
            return;
        }
        m_source->cancelRead();
        // The export's thread must not outlive the window: the window closes once it stopped.
        if (m_exporting) {
            m_closeWhenStopped = true;
            m_form->cancelExport();
            event->ignore();
            return;
        }
    }
    WindowSettings layout;
    // A maximised window keeps the place it will return to.
    layout.geometry = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
    layout.formSplitter = ui->splitter_2->saveState();
    layout.logSplitter = ui->splitter->saveState();
    layout.writeLayout(kova::defaultSettingsPath());
    QMainWindow::closeEvent(event);
}

QString MainWindow::startFolder() const
{
    const QFileInfo source(m_source->path().trimmed());
    if (!m_source->path().trimmed().isEmpty() && source.isFile())
        return source.absolutePath();
    const QString folder = WindowSettings::read(kova::defaultSettingsPath()).lastFolder;
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

void MainWindow::rememberFolderOf(const QString& file)
{
    WindowSettings::writeLastFolder(kova::defaultSettingsPath(), QFileInfo(file).absolutePath());
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    // Every drag is taken, so that a drop of the wrong thing can say why it did nothing.
    event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    m_source->drop(event);
}

void MainWindow::showBatches()
{
    // One such window: a second click brings it forward.
    if (m_batches) {
        m_batches->raise();
        m_batches->activateWindow();
        return;
    }
    auto* dialog = new BatchHistoryDialog(kova::registerPathFor(kova::defaultSettingsPath()), this);
    if (!dialog->problem().isEmpty()) {
        Messages::critical(this, dialog->problem());
        delete dialog;
        return;
    }
    // Not modal: the user may read it while working on the next batch.
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_batches = dialog;
    dialog->show();
}

void MainWindow::saveTemplate()
{
    // cboTrxType lists the types in the order of BatchType.
    const auto type = static_cast<kova::BatchType>(ui->cboTrxType->currentIndex());
    const QString path = FileDialogs::saveFile(
        this, QStringLiteral("Save Template"),
        startFolder() + QDir::separator() + kova::batchTypeName(type) + QStringLiteral(" template.xlsx"),
        QStringLiteral("Excel workbook (*.xlsx)"));
    if (path.isEmpty())
        return;
    // Refused before anything is written, the folder remembered included.
    QString problem = kova::templatePathRefusal(path, m_source->path(), kova::defaultSettingsPath());
    if (problem.isEmpty()) {
        rememberFolderOf(path);
        problem = kova::writeTemplate(type, path);
    }
    if (!problem.isEmpty()) {
        Messages::critical(this, problem);
        return;
    }
    statusBar()->showMessage(QStringLiteral("Template saved: ") + QDir::toNativeSeparators(path));
}

void MainWindow::showLogRow(int line)
{
    // The table's row headers are sheet rows; LINE n is its n-th row.
    if (line < 1 || line > m_logModel->rowCount())
        return;
    ui->tableView->selectRow(line - 1);
    ui->tableView->scrollTo(m_logModel->index(line - 1, 0), QAbstractItemView::PositionAtCenter);
}

void MainWindow::ON_Headers_Change(QStringList titles)
{
    m_logModel->setTitles(titles);
}

void MainWindow::ON_Trx_Logger(const LogBatch& rows)
{
    m_logModel->append(rows);
    ui->txtStatus->lines()->holdMessages(rows);
}

void MainWindow::ON_Trx_Done(QStringList lines)
{
    ui->txtStatus->lines()->showSummary(lines);
    // Measuring a sample of a full log's cells takes a while: the window
    // answers in between. A long name or remark would push every column
    // after it out of sight; its tooltip and the cell's own width show the rest.
    QTimer::singleShot(0, this, [this] {
        QTableView* table = ui->tableView;
        table->resizeColumnsToContents();
        const int widest = table->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 32;
        for (int column = 0; column < m_logModel->columnCount(); ++column)
            table->setColumnWidth(column, qMin(table->columnWidth(column), widest));
    });
}

void MainWindow::buildActions()
{
    // Beside "Written batches": a file from yesterday, another program or a hand's edit, checked before it is sent.
    auto* check = new QPushButton(QStringLiteral("Check an upload file..."), this);
    check->setObjectName(QStringLiteral("btnCheckUpload"));
    check->setToolTip(QStringLiteral("Check any upload file as the bank reads it (Ctrl+Shift+O)"));
    ui->horizontalLayout_7->insertWidget(ui->horizontalLayout_7->indexOf(ui->btnBatches) + 1, check);
    connect(check, &QPushButton::clicked, this, &MainWindow::checkUpload);
    QWidget::setTabOrder(ui->btnBatches, check);
    QWidget::setTabOrder(check, ui->txtSource);
    // The window's commands answer their usual keys from wherever the focus is.
    const auto shortcut = [this](const QKeySequence& keys, const char* name, auto slot) {
        auto* action = new QAction(this);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
        return action;
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), "actCheckUpload", &MainWindow::checkUpload);
    m_summaryAction = shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), "actSummary", &MainWindow::saveSummary);
    m_summaryAction->setEnabled(false);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_H), "actBatches", &MainWindow::showBatches);
    shortcut(QKeySequence::Quit, "actQuit", &QWidget::close);
}

void MainWindow::offerSummary(const QString& uploadPath, const QString& uploadSha256)
{
    m_writtenUpload = uploadPath;
    m_writtenSha256 = uploadSha256;
    m_summary->setVisible(!uploadPath.isEmpty());
    m_summaryAction->setEnabled(!uploadPath.isEmpty());
}

void MainWindow::saveSummary()
{
    if (m_writtenUpload.isEmpty())
        return;
    const QFileInfo upload(m_writtenUpload);
    const QString path = FileDialogs::saveFile(
        this, QStringLiteral("Save summary (PDF)"),
        upload.absolutePath() + QDir::separator() + upload.completeBaseName() + QStringLiteral(" summary.pdf"),
        QStringLiteral("PDF document (*.pdf)"));
    if (path.isEmpty())
        return;
    QString problem = kova::summaryPathRefusal(path, QString(), m_source->path(), m_writtenUpload,
                                               kova::defaultSettingsPath());
    if (problem.isEmpty()) {
        problem = kova::writeApprovalSummary({m_writtenUpload, path, m_writtenSha256});
        if (!problem.isEmpty())
            problem = QStringLiteral("Unable to write summary ") + QDir::toNativeSeparators(path) + QStringLiteral(": ")
                      + problem;
    }
    if (!problem.isEmpty()) {
        Messages::critical(this, problem);
        return;
    }
    rememberFolderOf(path);
    statusBar()->showMessage(QStringLiteral("Summary saved: ") + QDir::toNativeSeparators(path));
}

void MainWindow::checkUpload()
{
    const QString start = ui->txtDest->text().trimmed().isEmpty()
                              ? startFolder()
                              : QFileInfo(ui->txtDest->text().trimmed()).absolutePath();
    const QString path = FileDialogs::openFile(this, QStringLiteral("Check an upload file"), start,
                                               QStringLiteral("Upload files (*.txt);;All files (*)"));
    if (path.isEmpty())
        return;
    // Not modal: several files may be checked side by side.
    auto* dialog = new UploadCheckDialog(path, kova::defaultSettingsPath(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}
