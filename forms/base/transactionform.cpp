#include "transactionform.h"

#include "forms/base/reportrelay.h"
#include "forms/base/sheetloader.h"
#include "forms/base/windowgate.h"

#include <QThread>

// Each form ends its export first; by now only a form that forgot would have one.
TransactionForm::~TransactionForm()
{
    endExport();
}

void TransactionForm::cancelExport()
{
    if (m_cancel)
        m_cancel->cancel();
    // Nothing the export sends is waited for any more.
    if (m_gate)
        m_gate->close();
}

bool TransactionForm::holdExport()
{
    return m_cancel && m_cancel->hold();
}

void TransactionForm::releaseExport()
{
    if (m_cancel)
        m_cancel->release();
}

void TransactionForm::endExport()
{
    if (!m_thread)
        return;
    cancelExport();
    m_thread->wait();
    m_thread.reset();
}

void TransactionForm::startExport(kova::ExportRequest request, std::unique_ptr<kova::ExportJob> job, ExportTerms terms)
{
    if (m_thread)
        return;
    qRegisterMetaType<LogBatch>();
    m_cancel = std::make_shared<kova::CancelToken>();
    m_gate = std::make_shared<WindowGate>(batchesInFlight);
    request.cancel = m_cancel.get();
    request.text = sourceText(request.sourcePath);
    request.password = sourcePassword(request.sourcePath);
    m_thread.reset(QThread::create(
        [this, request, job = std::shared_ptr<kova::ExportJob>(std::move(job)), terms = std::move(terms),
         // request.cancel points into it
         cancel = m_cancel, gate = m_gate] {
            ExportEnd end{request, {}, {}, {}};
            {
                ReportRelay relay(this, request.destinationPath, gate, *job);
                relay.acceptWriteAgain(terms.acceptedWriteAgain);
                relay.takeRefusals(terms.takesRefusal);
                end.result = kova::runExport(request, *job, relay);
                end.acceptedWriteAgain = relay.acceptedWriteAgain();
                end.takenRefusal = relay.takenRefusal();
            }
            // Posted after every report, so it is served after them; dropped
            // with the form if that goes first.
            QMetaObject::invokeMethod(this, [this, end] { finishExport(end); }, Qt::QueuedConnection);
        }));
    m_thread->start();
}

void TransactionForm::finishExport(const ExportEnd& end)
{
    endExport();
    exportEnded(end);
    if (m_thread)
        return;
    if (end.result.outcome == kova::ExportOutcome::Written)
        emit batchWritten(end.request.destinationPath, end.result.uploadSha256);
    emit exportFinished();
}

void TransactionForm::offerLoadedSheet(std::shared_ptr<LoadedSheet> sheet)
{
    m_sourcePath = sheet->path;
    m_sourceText = sheet->text;
    m_sourcePassword = sheet->password;
    m_offered = std::move(sheet);
}

reader::TextOptions TransactionForm::sourceText(const QString& path) const
{
    return path == m_sourcePath ? m_sourceText : reader::TextOptions();
}

QString TransactionForm::sourcePassword(const QString& path) const
{
    return path == m_sourcePath ? m_sourcePassword : QString();
}

std::shared_ptr<LoadedSheet> TransactionForm::takeLoadedSheet(const QString& path, const QString& sheet)
{
    std::shared_ptr<LoadedSheet> offered = std::move(m_offered);
    m_offered.reset();
    return offered && offered->path == path && offered->sheet == sheet && offered->selected ? offered : nullptr;
}
