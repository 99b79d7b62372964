#pragma once

#include "report.h"

#include "record/exportsink.h"

#include <QByteArray>
#include <QTemporaryFile>

#include <cstdio>

// Shows an export on a terminal: standard output gets what the processing
// log shows (summary, separator, every warning and error line as plain
// text), standard error every message box text, at once and one per line.
// Keeps the titles and the summary, and the rows only when asked to, since a
// large sheet makes them the bulk of the memory.
class PrintingSink final : public kova::ExportSink
{
public:
    // allowDuplicate answers yes to writing a batch that was (or may have
    // been) written before, or that a register that cannot be read cannot
    // tell about; otherwise the question is printed as the refusal.
    PrintingSink(std::FILE* out, std::FILE* err, bool keepRows, bool allowDuplicate);

    void headerChanged(const QStringList& titles) override;
    void rowProcessed(const kova::RowReport& report) override;
    void summaryReady(const kova::Summary& summary) override;
    void critical(const QString& text) override;
    void information(const QString& text) override;
    bool askWriteAgain(const QString& question) override;
    void registerProblem(const QString& text) override;

    // A line on standard error beside the message boxes (what the sheet moved).
    void note(const QString& text) override;
    // Until release(), or the summary (which only a sheet read as it is gets),
    // what goes to standard error is kept back: a run that reads the sheet
    // again prints only what the second reading says.
    void hold();
    void release();

    const Report& report() const { return m_report; }
    // The upload file was written but the register could not record it.
    bool unrecorded() const { return m_unrecorded; }

private:
    std::FILE* m_out;
    std::FILE* m_err;
    bool m_keepRows;
    bool m_allowDuplicate;
    bool m_unrecorded = false;
    bool m_holding = false;
    QByteArray m_held;
    void spill();
    // The spilled lines, to standard output.
    void copySpilled();
    void printError(const QString& text);

    // The pending message lines, printed after the summary: a full-size batch
    // can carry one a row, so they go to a temporary file as they come, and
    // memory does not grow with the sheet. What the file does not take (no
    // temporary folder, a full disk) waits here.
    QTemporaryFile m_spill;
    qint64 m_spilled = 0;
    bool m_spillFailed = false;
    QByteArray m_lines;
    Report m_report;
};

// Writes text and a line feed as UTF-8.
void printLine(std::FILE* stream, const QString& text);
