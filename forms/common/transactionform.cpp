#include "transactionform.h"

#include "sheetloader.h"

#include <QEventLoop>
#include <QThread>

#include <memory>

void TransactionForm::runOffGuiThread(const std::function<void()>& exportRun)
{
    qRegisterMetaType<QVector<kova::RowReport>>();
    m_cancelRequested = false;
    QEventLoop loop;
    // Posted last from the export's thread, so every report is served before the loop ends.
    const std::unique_ptr<QThread> thread(QThread::create([&exportRun, &loop] {
        exportRun();
        QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    }));
    thread->start();
    loop.exec();
    thread->wait();
}

std::shared_ptr<LoadedSheet> TransactionForm::takeLoadedSheet(const QString& path, const QString& sheet)
{
    std::shared_ptr<LoadedSheet> offered = std::move(m_offered);
    m_offered.reset();
    return offered && offered->path == path && offered->sheet == sheet && offered->selected ? offered : nullptr;
}
