#pragma once

#include "export/rowreport.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>

struct LoadedSheet;

// What the main window knows of a transaction form: the two requests it
// makes of every form, and the reports every form's export sends back.
class TransactionForm : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    // A workbook or sheet was chosen: the mapping lists offer that sheet's
    // columns. An empty sheet name empties them.
    virtual void ON_Excel_Changed(const QString& path, const QString& sheet) = 0;
    // Exports the chosen sheet of the workbook at sourcePath into the upload
    // file destinationPath, reporting as it goes through the signals below.
    virtual void ON_Export_Signal(const QString& sourcePath, const QString& destinationPath) = 0;

    // The date the batch's header record would carry, for the window to
    // question one in the past or far ahead; invalid when it carries none.
    virtual QDate effectiveDate() const { return {}; }

    // The window read the workbook off its thread: the next ON_Excel_Changed
    // for that path and sheet takes it instead of reading the file again.
    void offerLoadedSheet(std::shared_ptr<LoadedSheet> sheet) { m_offered = std::move(sheet); }
    // The sheet offered for path and sheet, once; null when none was.
    std::shared_ptr<LoadedSheet> takeLoadedSheet(const QString& path, const QString& sheet);

    // Stops the running export if its Header ID is not reserved yet; safe from any thread.
    void cancelExport() { m_cancelRequested = true; }
    bool cancelRequested() const { return m_cancelRequested; }

protected:
    // Runs export on a thread of its own and returns when it is done; the
    // window's events are served meanwhile, and the reports arrive queued, in
    // the order sent, before this returns.
    void runOffGuiThread(const std::function<void()>& exportRun);

signals:
    // Processed rows, in batches, in the order read.
    void SIG_TRX_ROWS(QVector<kova::RowReport> reports);
    // Rows of the sheet read so far, of its total.
    void SIG_TRX_PROGRESS(int done, int total);
    void SIG_TRX_DONE(QStringList lines);
    void SIG_HEADER_CHANGE(QStringList titles);
    // The form's Export button was pressed; the window decides whether to export.
    void SIG_EXPBTN_CLICK();
    // Fields the sheet's header texts mapped by themselves, a line each; may be empty.
    void SIG_MAPPING_MATCHED(QStringList lines);
    // What became of the batch, once its summary was sent.
    void SIG_TRX_END(QString line);
    // The export starts over within the same request (a question was
    // answered): what the run before it logged goes.
    void SIG_TRX_RESTART();

private:
    std::atomic_bool m_cancelRequested{false};
    std::shared_ptr<LoadedSheet> m_offered;
};

Q_DECLARE_METATYPE(QVector<kova::RowReport>)
