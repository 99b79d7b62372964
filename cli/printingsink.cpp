#include "printingsink.h"

#include "render/messagetext.h"
#include "render/summarylines.h"

#include <sys/sendfile.h>

namespace {

const QString separator = QStringLiteral("-------------------------------------");
// Lines are gathered into writes of this size.
constexpr int blockSize = 1 << 16;

} // namespace

void printLine(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

PrintingSink::PrintingSink(std::FILE* out, std::FILE* err, bool keepRows, bool allowDuplicate)
    : m_out(out), m_err(err), m_keepRows(keepRows), m_allowDuplicate(allowDuplicate)
{
    // Reserved, the buffer keeps its memory when emptied.
    m_lines.reserve(blockSize + 4096);
}

void PrintingSink::headerChanged(const QStringList& titles)
{
    m_report.titles = titles;
}

void PrintingSink::rowProcessed(const kova::RowReport& report)
{
    for (const kova::RowMessage& message : report.messages)
        kova::appendPlainLine(m_lines, message);
    if (m_lines.size() >= blockSize && !m_spillFailed)
        spill();
    if (m_keepRows)
        m_report.rows.append(report);
}

void PrintingSink::spill()
{
    if (!m_spill.isOpen()) {
        if (!m_spill.open()) {
            m_spillFailed = true;
            return;
        }
        // Nothing left behind, however the run ends.
        if (QFile::remove(m_spill.fileName()))
            m_spill.setAutoRemove(false);
    }
    // Only what the file took whole counts as spilled; the rest stays here.
    if (m_spill.write(m_lines) != m_lines.size()) {
        m_spillFailed = true;
        return;
    }
    m_spilled += m_lines.size();
    m_lines.resize(0);
}

void PrintingSink::copySpilled()
{
    if (m_spilled == 0)
        return;
    // The kernel copies the lines from file to file or pipe without bringing
    // them through this process: a full-size batch's lines come after the
    // summary, when nothing else is left to do.
    std::fflush(m_out);
    off_t offset = 0;
    while (offset < m_spilled && m_spill.flush()) {
        const ssize_t sent = ::sendfile(fileno(m_out), int(m_spill.handle()), &offset, std::size_t(m_spilled - offset));
        if (sent <= 0)
            break;
    }
    // What the system would not copy (standard output opened to append, on
    // older kernels) is read and written here.
    bool copied = m_spill.seek(offset);
    QByteArray block;
    for (qint64 left = m_spilled - offset; copied && left > 0; left -= block.size()) {
        block = m_spill.read(qMin<qint64>(left, blockSize));
        copied = !block.isEmpty();
        std::fwrite(block.constData(), 1, size_t(block.size()), m_out);
    }
}

void PrintingSink::hold()
{
    m_holding = true;
}

void PrintingSink::release()
{
    m_holding = false;
    std::fwrite(m_held.constData(), 1, size_t(m_held.size()), m_err);
    std::fflush(m_err);
    m_held.clear();
}

void PrintingSink::printError(const QString& text)
{
    if (m_holding) {
        m_held += text.toUtf8() + '\n';
        return;
    }
    printLine(m_err, text);
    std::fflush(m_err);
}

void PrintingSink::note(const QString& text)
{
    printError(text);
}

void PrintingSink::summaryReady(const kova::Summary& summary)
{
    release();
    m_report.summary = kova::summaryLines(summary);
    for (const QString& line : qAsConst(m_report.summary))
        printLine(m_out, line);
    printLine(m_out, separator);
    copySpilled();
    std::fwrite(m_lines.constData(), 1, size_t(m_lines.size()), m_out);
    std::fflush(m_out);
    // Rows the filters left out are no part of the log, which stays as it was;
    // the user is told of them beside the boxes.
    for (const QString& note : summary.leftOut)
        printError(note);
}

// Message boxes come after the log, as in the window; flushing keeps that
// order when both streams go to one terminal.
void PrintingSink::critical(const QString& text)
{
    printError(text);
}

void PrintingSink::information(const QString& text)
{
    printError(text);
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
