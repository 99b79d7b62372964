#pragma once

#include "forms/base/logbatch.h"

#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QVector>

#include <memory>

class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class LogTableModel;
class QProgressBar;
class QPushButton;
class SheetLoader;
class SourceTextChoice;
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
    void ON_cboSheets_Change(int index);

protected:
    // Lets the Export key through the line edits that would take it.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Keeps the window's place and splitters for the next start. While an
    // export runs or a workbook is read, asks first.
    void closeEvent(QCloseEvent* event) override;
    // A workbook or delimited text file dropped onto the window is chosen as Browse would choose it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Empties the form host: the hosted form (or the design-time placeholder)
    // goes, and its connections with it.
    void Delete_Form();
    // The window's requests go to the form, the form's reports to the window.
    void wireForm(TransactionForm* form);
    void chooseSource();
    // A path typed or pasted into txtSource counts once the user confirms it
    // (Return, or leaving the field), so that Export reads the workbook whose
    // sheets and columns are shown.
    void sourceConfirmed();
    // Reads the workbook named in txtSource off the window's thread (its
    // first sheet, or sheet); sourceLoaded() goes on from there.
    void loadSource(const QString& sheet = QString());
    // Lists the sheets of the workbook read and tells the form, which takes
    // the sheet read; a file that is not a readable workbook empties the
    // lists and says so. An Export pressed meanwhile goes ahead now.
    void sourceLoaded(const std::shared_ptr<LoadedSheet>& read);
    // The read running is dropped, its result unseen.
    void stopLoad();
    // stopLoad(), and the workbook shown before the read began stays, with its sheet and mapping.
    void cancelLoad();
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
    // Where file dialogs start: the folder used last, else the home folder.
    QString startFolder() const;
    void rememberFolderOf(const QString& file);
    // The register of written batches, in a window of its own beside this one.
    void showBatches();
    // Writes an empty workbook with the columns of the chosen type.
    void saveTemplate();
    // Selects and shows the log table's row of the export's line-th row.
    void showLogRow(int line);

    Ui_MainWindow* ui;
    LogTableModel* m_logModel = nullptr;
    TransactionForm* m_form = nullptr;
    QProgressBar* m_progress;
    QPushButton* m_cancel;
    SourceTextChoice* m_textChoice;
    bool m_exporting = false;
    SheetLoader* m_loader;
    QString m_shownPath;              // the workbook whose sheets are listed
    QString m_shownSheet;             // the sheet the form was last told of
    bool m_loadingSheetChoice = false;   // the read is of another sheet of the listed workbook
    bool m_exportWhenLoaded = false;  // Export was pressed while the workbook was read
    bool m_closeWhenStopped = false;  // the user chose to close once the export stops
    QPointer<QDialog> m_batches;   // the window of written batches while it is open
};
