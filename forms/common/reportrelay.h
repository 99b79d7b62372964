#pragma once

#include "export/exportsink.h"
#include "export/money.h"
#include "render/messagetext.h"
#include "render/summarylines.h"
#include "messages.h"
#include "transactionform.h"

// Relays what an export reports as the form's own signals, and its boxes
// through the message seam; one relay serves all four forms.
class ReportRelay final : public kova::ExportSink
{
public:
    // destinationPath: where the upload file goes, for the log's closing line.
    ReportRelay(TransactionForm* form, const QString& destinationPath)
        : m_form(form)
        , m_destinationPath(destinationPath)
    {
    }

    void headerChanged(const QStringList& titles) override { emit m_form->SIG_HEADER_CHANGE(titles); }

    void rowProcessed(const kova::RowReport& report) override
    {
        emit m_form->SIG_TRX_PROC(report.values, report.cells, kova::htmlLines(report.messages), report.amountColumn);
        emit m_form->SIG_TRX_ROW(report.sheetRow, report.warningCells);
        ++m_records;
        m_total += report.amount;
    }

    void summaryReady(const kova::Summary& summary) override
    {
        emit m_form->SIG_TRX_DONE(kova::summaryLines(summary));
        m_summarised = true;
    }

    // The log says what became of the batch before the box covers it.
    void critical(const QString& text) override
    {
        if (m_summarised)
            emit m_form->SIG_TRX_END(QStringLiteral("Nothing written: ") + text);
        Messages::critical(m_form, text);
    }

    void information(const QString& text) override
    {
        emit m_form->SIG_TRX_END(QStringLiteral("Upload file written to ") + m_destinationPath
                                 + QStringLiteral(": ") + QString::number(m_records)
                                 + QStringLiteral(" records, total ") + kova::displayAmount(m_total));
        Messages::information(m_form, text);
    }

    // A "no" writes nothing; the log says so, as it does for every other end.
    bool askWriteAgain(const QString& question) override
    {
        const bool again = Messages::question(m_form, question);
        if (!again)
            emit m_form->SIG_TRX_END(QStringLiteral("Nothing written: ") + question);
        return again;
    }

    // The batch is written either way; the log tells why it is not in the register.
    void registerProblem(const QString& text) override { emit m_form->SIG_TRX_END(text); }

private:
    TransactionForm* m_form;
    QString m_destinationPath;
    bool m_summarised = false;
    int m_records = 0;
    kova::Cents m_total = 0;
};
