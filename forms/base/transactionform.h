#pragma once

#include "forms/base/logbatch.h"
#include "record/canceltoken.h"
#include "run/exportrun.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QVector>
#include <QWidget>

#include <functional>
#include <memory>

class LayoutChoice;
class WindowGate;
struct LoadedSheet;

// What the main window knows of a transaction form: the two requests it
// makes of every form, and the reports every form's export sends back.
class TransactionForm : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;
    ~TransactionForm() override;

    // A workbook or sheet was chosen: the mapping lists offer that sheet's
    // columns. An empty sheet name empties them.
    virtual void ON_Excel_Changed(const QString& path, const QString& sheet) = 0;
    // Exports the chosen sheet of the workbook at sourcePath into the upload
    // file destinationPath, reporting as it goes through the signals below.
    virtual void ON_Export_Signal(const QString& sourcePath, const QString& destinationPath) = 0;

    // Before the window closes: false when the user chose to keep what
    // closing would drop.
    virtual bool mayClose() { return true; }

    // The named layouts the form's mapping follows; none in a form without one.
    virtual LayoutChoice* layoutChoice() { return nullptr; }

    // The date the batch's header record would carry, for the window to
    // question one in the past or far ahead; invalid when it carries none.
    virtual QDate effectiveDate() const { return {}; }

    // The window read the workbook off its thread: the next ON_Excel_Changed
    // for that path and sheet takes it instead of reading the file again.
    // How it was read stays the form's way of reading that workbook.
    void offerLoadedSheet(std::shared_ptr<LoadedSheet> sheet);
    // The sheet offered for path and sheet, once; null when none was.
    std::shared_ptr<LoadedSheet> takeLoadedSheet(const QString& path, const QString& sheet);
    // How the form reads the delimited text at path, whenever it reads it
    // again or exports it: as the window read the workbook it offered last,
    // when that was path; the defaults for any other file.
    reader::TextOptions sourceText(const QString& path) const;
    // The password the window opened the workbook at path with, for every
    // read and export of it; empty for any other file. Held until the window
    // offers another workbook.
    QString sourcePassword(const QString& path) const;

    // Stops the running export if its Header ID is not reserved yet.
    void cancelExport();
    // Before a question that offers to cancel the export: holds it short of
    // writing anything until releaseExport() or cancelExport(). False when it
    // is past that point already (or there is no export), and nothing is held.
    bool holdExport();
    void releaseExport();
    bool exporting() const { return m_thread != nullptr; }

protected:
    // Starts job on a thread of its own and returns; its reports arrive as the
    // signals below, queued, in the order sent, then exportEnded() and
    // exportFinished().
    // What the relay of an export is told before it runs: a "write again?"
    // question the user already answered Yes to, and which refusals the form
    // answers itself once the export ended instead of showing a box (asked on
    // the export's thread).
    struct ExportTerms
    {
        QString acceptedWriteAgain;
        std::function<bool(const QString&)> takesRefusal;
    };
    // How an export ended: the request it served, its result, the "write
    // again?" question answered Yes to, and the refusal the form took.
    struct ExportEnd
    {
        kova::ExportRequest request;
        kova::ExportResult result;
        QString acceptedWriteAgain;
        QString takenRefusal;
    };
    // The request's text options and password are the form's for its source
    // (sourceText(), sourcePassword()).
    void startExport(kova::ExportRequest request, std::unique_ptr<kova::ExportJob> job, ExportTerms terms = {});
    // What the export left for the form to show, on the form's thread. An
    // export started again from here runs on as the same one.
    virtual void exportEnded(const ExportEnd&) {}
    // Stops the running export and waits for its thread: whatever the export
    // reads (the kept workbook) must outlive it, so each form calls this
    // before its members go.
    void endExport();

signals:
    // Processed rows, in batches, in the order read.
    void rowsReported(LogBatch rows);
    // Rows of the sheet read so far, of its total.
    void rowsRead(int done, int total);
    void SIG_TRX_DONE(QStringList lines);
    void SIG_HEADER_CHANGE(QStringList titles);
    // The form's Export button was pressed; the window decides whether to export.
    void SIG_EXPBTN_CLICK();
    // Fields the sheet's header texts mapped by themselves, a line each; may be empty.
    void mappingMatched(QStringList lines);
    // The layouts, or which one the mapping follows, changed.
    void layoutsChanged();
    // What became of the batch, once its summary was sent.
    void batchOutcome(QString line);
    // An export wrote its batch: the upload file and the SHA-256 of the bytes
    // it committed, which an approval summary is made from. Sent just before
    // exportFinished().
    void batchWritten(QString uploadPath, QString uploadSha256);
    // The export started by ON_Export_Signal is over, everything it reported delivered.
    void exportFinished();
    // The export starts over within the same request (a question was
    // answered): what the run before it logged goes.
    void exportRestarted();

private:
    void finishExport(const ExportEnd& end);

    // The window may be this many batches of rows behind the export.
    static constexpr int batchesInFlight = 2;
    // The running export's; shared with its thread.
    std::shared_ptr<kova::CancelToken> m_cancel;
    std::shared_ptr<WindowGate> m_gate;
    std::unique_ptr<QThread> m_thread;
    std::shared_ptr<LoadedSheet> m_offered;
    // The workbook the window offered last, and how the window read it.
    QString m_sourcePath;
    reader::TextOptions m_sourceText;
    QString m_sourcePassword;
};

