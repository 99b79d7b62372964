#include "transactionform.h"

#include "reportrelay.h"
#include "windowgate.h"

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

void TransactionForm::endExport()
{
    if (!m_thread)
        return;
    cancelExport();
    m_thread->wait();
    m_thread.reset();
}

void TransactionForm::startExport(kova::ExportRequest request, std::unique_ptr<kova::ExportJob> job)
{
    if (m_thread)
        return;
    qRegisterMetaType<QVector<kova::RowReport>>();
    m_cancel = std::make_shared<kova::CancelToken>();
    m_gate = std::make_shared<WindowGate>(batchesInFlight);
    request.cancel = m_cancel.get();
    m_thread.reset(QThread::create(
        [this, request, job = std::shared_ptr<kova::ExportJob>(std::move(job)),
         // request.cancel points into it
         cancel = m_cancel, gate = m_gate] {
            kova::ExportResult result;
            {
                ReportRelay relay(this, request.destinationPath, gate);
                result = kova::runExport(request, *job, relay);
            }
            // Posted after every report, so it is served after them; dropped
            // with the form if that goes first.
            QMetaObject::invokeMethod(this, [this, result] { finishExport(result); }, Qt::QueuedConnection);
        }));
    m_thread->start();
}

void TransactionForm::finishExport(const kova::ExportResult& result)
{
    endExport();
    exportEnded(result);
    emit exportFinished();
}
