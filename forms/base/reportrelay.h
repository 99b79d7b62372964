#pragma once

#include "core/exportjob.h"
#include "record/exportsink.h"
#include "record/money.h"
#include "render/messagetext.h"
#include "render/summarylines.h"
#include "forms/base/logpacker.h"
#include "widgets/messages.h"
#include "forms/base/transactionform.h"
#include "forms/base/windowgate.h"

#include <QElapsedTimer>
#include <QMetaObject>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

// Relays what an export reports as the form's own signals, and its boxes
// through the message seam; one relay serves all four forms. It runs on the
// export's own thread (TransactionForm::startExport): the signals arrive
// queued, the boxes are shown on the form's thread in the order reported, and
// the question waits there for its answer. Rows travel in batches, at most one
// per 100 ms or 65536 rows, so that a million of them cost the window a few
// dozen deliveries (and as many repaints: each also costs the table's row
// header a pass over all its rows; ten a second show the rows arriving as
// well as twenty, for less of the window's time) rather than a million, packed here
// for the log table (LogPacker), so that the window's thread only appends
// them; and the export waits while the window is two batches behind, so that
// no more than those are held in between.
class ReportRelay final : public kova::ExportSink
{
public:
    // destinationPath: where the upload file goes, for the log's closing line;
    // gate: where the export waits on the window, shared with the form; job:
    // the export's, whose Header ID the closing box names.
    ReportRelay(TransactionForm* form, const QString& destinationPath, std::shared_ptr<WindowGate> gate,
                const kova::ExportJob& job)
        : m_form(form)
        , m_destinationPath(destinationPath)
        , m_job(job)
        , m_gate(std::move(gate))
    {
        m_sinceSent.start();
    }

    ~ReportRelay() override { sendRows(); }

    void headerChanged(const QStringList& titles) override { emit m_form->SIG_HEADER_CHANGE(titles); }

    void rowProcessed(const kova::RowReport& report) override
    {
        m_rows.add(report);
        const auto error = std::find_if(report.messages.cbegin(), report.messages.cend(),
                                        [](const kova::RowMessage& m) { return m.severity == kova::Severity::Error; });
        if (error != report.messages.cend() && m_firstError.isEmpty())
            m_firstError = kova::plainLine(*error);
        if (error != report.messages.cend())
            ++m_rowsWithErrors;
        // The clock is read every few rows: a million readings would cost more than the wait they save.
        if (m_rows.rows() >= rowsPerBatch || (m_rows.rows() % 64 == 0 && m_sinceSent.elapsed() >= batchMilliseconds))
            sendRows();
    }

    void summaryReady(const kova::Summary& summary) override
    {
        sendRows();
        emit m_form->SIG_TRX_DONE(kova::summaryLines(summary));
        m_summary = summary;
    }

    // A refusal the form answers itself once the export has ended, with a
    // question rather than a box: takes(text) is true for those. It runs on
    // the export's thread.
    void takeRefusals(std::function<bool(const QString&)> takes) { m_takesRefusal = std::move(takes); }
    QString takenRefusal() const { return m_takenRefusal; }

    // The log says what became of the batch before the box covers it, a
    // refusal of the settings before any row was read included: the box
    // goes, the log stays.
    void critical(const QString& text) override
    {
        sendRows();
        emit m_form->batchOutcome(QStringLiteral("Nothing written: ") + text + leftOutNotes());
        if (m_takesRefusal && m_takesRefusal(text)) {
            m_takenRefusal = text;
            return;
        }
        // Rows with errors: the box names the first, so the clerk knows where to look.
        QString box = text;
        if (m_summary && m_summary->errors > 0 && !m_firstError.isEmpty())
            box += QStringLiteral("\nNothing written: ") + QString::number(m_rowsWithErrors)
                + (m_rowsWithErrors == 1 ? QStringLiteral(" row has errors") : QStringLiteral(" rows have errors"))
                + QStringLiteral("\nThe first: ") + m_firstError;
        showBox([form = m_form, box] { Messages::critical(form, box); });
    }

    void information(const QString& text) override
    {
        const QString records = QString::number(m_summary ? m_summary->processedRows : 0);
        const QString total = kova::displayAmount(m_summary ? m_summary->total : 0);
        emit m_form->batchOutcome(QStringLiteral("Upload file written to ") + m_destinationPath
                                 + QStringLiteral(": ") + records + QStringLiteral(" records, total ") + total
                                 + leftOutNotes());
        // What the clerk checks against the customer's list before sending it on.
        QString box = text + QStringLiteral("\n") + records + QStringLiteral(" records written, total ") + total;
        const QString headerId = m_job.headerId();
        if (!headerId.isEmpty())
            box += QStringLiteral(", Header ID ") + headerId;
        box += QStringLiteral("\nFile: ") + m_destinationPath;
        if (m_summary)
            for (const QString& note : m_summary->leftOut)
                box += QStringLiteral("\n") + note;
        showBox([form = m_form, box] { Messages::information(form, box); });
    }

    // The export runs again within one request: a question the user answered
    // Yes to in the run before is not asked again while its text stands.
    void acceptWriteAgain(const QString& question) { m_accepted = question; }
    QString acceptedWriteAgain() const { return m_accepted; }

    // A "no" writes nothing; the log says so, as it does for every other end.
    bool askWriteAgain(const QString& question) override
    {
        sendRows();
        bool again = !m_accepted.isEmpty() && question == m_accepted;
        if (!again) {
            QMetaObject::invokeMethod(
                m_form, [form = m_form, question, gate = m_gate] { gate->answer(Messages::question(form, question)); },
                Qt::QueuedConnection);
            again = m_gate->awaitAnswer();
        }
        m_accepted = again ? question : QString();
        if (!again)
            emit m_form->batchOutcome(QStringLiteral("Nothing written: ") + question + leftOutNotes());
        return again;
    }

    // The batch is written either way; the log tells why it is not in the register.
    void registerProblem(const QString& text) override { emit m_form->batchOutcome(text); }
    // A plain line of the log too, ahead of the rows.
    void note(const QString& text) override { emit m_form->batchOutcome(text); }

    // A stop is final, so the log says so as soon as it is seen.
    void stopped() override
    {
        sendRows();
        emit m_form->batchOutcome(QStringLiteral("Export cancelled: nothing written"));
    }

    // The bar shows the count as its text, and its every change repaints it
    // there and then: a count comes every few thousand rows, faster than
    // anyone reads it, so counts sent within one batch's time of the one
    // before are dropped, the first and the last never.
    void progress(int done, int total) override
    {
        if (m_progressSent && done < total && m_sinceProgress.elapsed() < batchMilliseconds)
            return;
        m_progressSent = true;
        m_sinceProgress.start();
        emit m_form->rowsRead(done, total);
    }

private:
    static constexpr int rowsPerBatch = 65536;
    static constexpr int batchMilliseconds = 100;

    // Rows the filters left out, and why, close the line that tells what
    // became of the batch: "; 3 LLG/RTGS rows left out in WDK mode".
    QString leftOutNotes() const
    {
        if (!m_summary || m_summary->leftOut.isEmpty())
            return {};
        return QStringLiteral("; ") + m_summary->leftOut.join(QStringLiteral("; "));
    }

    template<typename Box>
    void showBox(Box box)
    {
        QMetaObject::invokeMethod(m_form, std::move(box), Qt::QueuedConnection);
    }

    void sendRows()
    {
        m_sinceSent.restart();
        if (m_rows.rows() == 0)
            return;
        m_gate->enter();
        emit m_form->rowsReported(m_rows.take());
        // Served right after the batch: the signal was queued before it.
        QMetaObject::invokeMethod(m_form, [gate = m_gate] { gate->leave(); }, Qt::QueuedConnection);
    }

    TransactionForm* m_form;
    QString m_destinationPath;
    const kova::ExportJob& m_job;
    QString m_firstError;   // as a terminal shows it
    int m_rowsWithErrors = 0;
    LogPacker m_rows;
    // Shared with the window's thread, which may serve a batch after the relay is gone.
    std::shared_ptr<WindowGate> m_gate;
    QElapsedTimer m_sinceSent;
    QElapsedTimer m_sinceProgress;
    bool m_progressSent = false;
    std::function<bool(const QString&)> m_takesRefusal;
    QString m_takenRefusal;
    QString m_accepted;
    // Once sent: the upload file written holds its rows and total.
    std::optional<kova::Summary> m_summary;
};
