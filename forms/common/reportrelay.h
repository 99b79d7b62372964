#pragma once

#include "export/exportsink.h"
#include "markedpoints.h"
#include "messages.h"

// Relays what an export reports as the form's own signals, and its boxes
// through the message seam. Every transaction form declares the same three
// report signals, so one relay serves all four.
template <typename Form>
class ReportRelay final : public kova::ExportSink
{
public:
    explicit ReportRelay(Form* form) : m_form(form) {}

    void headerChanged(const QStringList& titles) override { emit m_form->SIG_HEADER_CHANGE(titles); }

    void rowProcessed(const kova::RowReport& report) override
    {
        const MarkedPoints points(report.cells);
        emit m_form->SIG_TRX_PROC(report.values, points.list(), report.messages, report.amountColumn);
    }

    void summaryReady(const QStringList& lines) override { emit m_form->SIG_TRX_DONE(lines); }
    void critical(const QString& text) override { Messages::critical(m_form, text); }
    void information(const QString& text) override { Messages::information(m_form, text); }
    bool askWriteAgain(const QString& question) override { return Messages::question(m_form, question); }
    // Meant for the processing log; until the log can take it, a box here
    // would follow exports whose boxes are settled.
    void registerProblem(const QString&) override {}

private:
    Form* m_form;
};
