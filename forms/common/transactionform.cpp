#include "transactionform.h"

#include "reportrelay.h"

#include <QEventLoop>
#include <QThread>

void TransactionForm::cancelExport()
{
    if (m_cancel)
        m_cancel->cancel();
    // Rows need not wait for the window any more.
    if (m_gate)
        m_gate->open();
}

void TransactionForm::startExport(kova::ExportRequest request, std::unique_ptr<kova::ExportJob> job)
{
    qRegisterMetaType<QVector<kova::RowReport>>();
    m_cancel = std::make_shared<kova::CancelToken>();
    m_gate = std::make_shared<RowGate>(batchesInFlight);
    request.cancel = m_cancel.get();
    kova::ExportResult result;
    QEventLoop loop;
    // Posted last from the export's thread, so every report is served before the loop ends.
    const std::unique_ptr<QThread> thread(QThread::create([&] {
        {
            ReportRelay relay(this, request.destinationPath, m_gate);
            result = kova::runExport(request, *job, relay);
        }
        QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    }));
    thread->start();
    loop.exec();
    thread->wait();
    exportEnded(result);
}
