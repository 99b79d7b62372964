#include "printingsink.h"

#include "render/messagetext.h"
#include "render/summarylines.h"

namespace {

const QString separator = QStringLiteral("-------------------------------------");

} // namespace

void printLine(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

PrintingSink::PrintingSink(std::FILE* out, std::FILE* err, bool keepRows, bool allowDuplicate)
    : m_out(out), m_err(err), m_keepRows(keepRows), m_allowDuplicate(allowDuplicate)
{
}

void PrintingSink::headerChanged(const QStringList& titles)
{
    m_report.titles = titles;
}

void PrintingSink::rowProcessed(const kova::RowReport& report)
{
    m_messages += report.messages;
    if (m_keepRows)
        m_report.rows.append(report);
}

void PrintingSink::summaryReady(const kova::Summary& summary)
{
    m_report.summary = kova::summaryLines(summary);
    for (const QString& line : qAsConst(m_report.summary))
        printLine(m_out, line);
    printLine(m_out, separator);
    // Gathered into large writes: a full-size batch can carry a message a row.
    // A reserved buffer keeps its memory when emptied.
    constexpr int blockSize = 1 << 16;
    QByteArray lines;
    lines.reserve(blockSize + 1024);
    for (const kova::RowMessage& message : qAsConst(m_messages)) {
        lines += kova::plainLine(message).toUtf8();
        lines += '\n';
        if (lines.size() >= blockSize) {
            std::fwrite(lines.constData(), 1, size_t(lines.size()), m_out);
            lines.resize(0);
        }
    }
    std::fwrite(lines.constData(), 1, size_t(lines.size()), m_out);
    std::fflush(m_out);
    // Rows the filters left out are no part of the log, which stays as it was;
    // the user is told of them beside the boxes.
    for (const QString& note : summary.leftOut)
        printLine(m_err, note);
    std::fflush(m_err);
}

// Message boxes come after the log, as in the window; flushing keeps that
// order when both streams go to one terminal.
void PrintingSink::critical(const QString& text)
{
    printLine(m_err, text);
    std::fflush(m_err);
}

void PrintingSink::information(const QString& text)
{
    printLine(m_err, text);
    std::fflush(m_err);
}

bool PrintingSink::askWriteAgain(const QString& question)
{
    if (!m_allowDuplicate)
        critical(question);
    return m_allowDuplicate;
}

void PrintingSink::registerProblem(const QString& text)
{
    m_unrecorded = true;
    critical(text);
}
