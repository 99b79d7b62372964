#pragma once

#include "forms/base/logbatch.h"

#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QVector>

#include <memory>

class QCloseEvent;
class QLabel;
class QShowEvent;
class QDragEnterEvent;
class QDropEvent;
class LogTableModel;
class QProgressBar;
class QPushButton;
class LayoutBar;
class SourcePicker;
struct LoadedSheet;
class TransactionForm;
class Ui_MainWindow;

// The one window of the program. It hosts the form of the chosen transaction
// type, tells that form which workbook, sheet and destination the user chose,
// and shows what the form's export reports: one log table row per processed
// sheet row, then the summary and every warning and error line.
class MainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

signals:
    // Both go to the hosted form.
    void SIG_Export(QString source, QString destination);
    void SIG_Excel_Changed(QString path, QString sheet);

public slots:
    void ON_cboTrxType_Change(int index);
    void ON_btnExport_Click();
    void ON_btnBrowse_Click();
    void ON_Trx_Logger(const LogBatch& rows);
    void ON_Headers_Change(QStringList titles);
    void ON_Trx_Done(QStringList lines);

protected:
    // Lets the Export key through the line edits that would take it.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Keeps the window's place and splitters for the next start. While an
    // export runs or a workbook is read, asks first.
    void closeEvent(QCloseEvent* event) override;
    // The first show sizes the form against the logs, now that the window's height is known.
    void showEvent(QShowEvent* event) override;
    // A workbook or delimited text file dropped onto the window is chosen as Browse would choose it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Empties the form host: the hosted form (or the design-time placeholder)
    // goes, and its connections with it.
    void Delete_Form();
    // The window's requests go to the form, the form's reports to the window.
    void wireForm(TransactionForm* form);
    // The form takes the workbook read, with how it was read, and is told of
    // the sheet shown. An Export pressed meanwhile goes ahead now.
    void sourceRead(const std::shared_ptr<LoadedSheet>& read, const QString& sheet);
    // The progress and Cancel in the status bar, while an export runs or a workbook is read.
    void showBusy(bool busy);
    void chooseDestination();
    // While an export runs only its Cancel answers; the logs stay readable.
    // The export ended or never started: the window is usable again, or closes if asked to.
    void exportOver();
    void setExporting(bool exporting);
    void showProgress(int done, int total);
    // Fits a newly installed form into the window: the wheel guard, and Tab
    // through its fields, then its Save and Export, then the two logs.
    void prepareForm(QWidget* form);
    // The splitter positions the window had when it was last closed.
    void restoreLayout();
    // The form gets the height it asks for, up to half of what lies under
    // the file choices (it scrolls); the logs take the rest.
    void fitForm();
    // A refusal of the window's own: the box, and the log's last line.
    void refuse(const QString& text, QWidget* field = nullptr);
    // The line that says what became of the batch, in the log and, wrapped,
    // under it, where it reads without scrolling.
    void showOutcome(const QString& line);
    // Where file dialogs start: the chosen workbook's folder, else the folder
    // used last, else the home folder.
    QString startFolder() const;
    void rememberFolderOf(const QString& file);
    // The register of written batches, in a window of its own beside this one.
    void showBatches();
    // Writes an empty workbook with the columns of the chosen type.
    void saveTemplate();
    // Selects and shows the log table's row of the export's line-th row.
    void showLogRow(int line);
    // "Check an upload file...", and the window's commands on their usual keys.
    void buildActions();
    // The approval summary of the batch just written, as a PDF the clerk names.
    void saveSummary();
    // An upload file the clerk picks, checked as the bank reads it.
    void checkUpload();
    // Offers the summary of the batch written (an empty path: none).
    void offerSummary(const QString& uploadPath, const QString& uploadSha256);

    Ui_MainWindow* ui;
    LogTableModel* m_logModel = nullptr;
    TransactionForm* m_form = nullptr;
    QProgressBar* m_progress;
    QPushButton* m_cancel;
    QLabel* m_outcome;
    QPushButton* m_summary;   // "Save summary (PDF)..." beside the result line
    QAction* m_summaryAction = nullptr;
    // The batch the last export wrote: its upload file and the SHA-256 of the bytes committed.
    QString m_writtenUpload;
    QString m_writtenSha256;
    SourcePicker* m_source;
    int m_typeIndex = 0;              // cboTrxType's index of the form shown
    LayoutBar* m_layoutBar;
    bool m_exporting = false;
    bool m_exportWhenLoaded = false;  // Export was pressed while the workbook was read
    bool m_closeWhenStopped = false;  // the user chose to close once the export stops
    bool m_formSized = false;         // the split of form and logs was dragged, stored or fitted
    bool m_splitDragged = false;      // by the user, or stored by an earlier run: a type switch keeps it
    QString m_loggedSource;           // path and sheet of the export the logs show, a line each
    QPointer<QDialog> m_batches;   // the window of written batches while it is open
};
