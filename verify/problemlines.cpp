#include "problemlines.h"

namespace kova {

namespace {

// Problem lines held before they go to the temporary file, and read back at a time.
constexpr int spillBlock = 1 << 20;

bool write(std::FILE* stream, const QByteArray& bytes)
{
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size());
}

} // namespace

void ProblemLines::add(int line, const QString& text)
{
    ++m_count;
    const QByteArray bytes = (QStringLiteral("LINE ") + QString::number(line) + QStringLiteral(": ") + text).toUtf8() + '\n';
    if (line == 1) {
        m_first += bytes;
        return;
    }
    m_rest += bytes;
    if (m_rest.size() < spillBlock || m_spillFailed)
        return;
    // A write cut short leaves nothing of its block in the file: the block
    // stays here, and so does every line after it.
    if ((m_spill.isOpen() || m_spill.open()) && m_spill.write(m_rest) == m_rest.size()) {
        m_spilled += m_rest.size();
        m_rest.clear();
    } else {
        m_spillFailed = true;
        m_spill.resize(m_spilled);
    }
}

bool ProblemLines::writeTo(std::FILE* stream)
{
    return writeTo([stream](const QByteArray& lines) { return write(stream, lines); });
}

bool ProblemLines::writeTo(const std::function<bool(const QByteArray&)>& out)
{
    bool whole = out(m_first);
    if (m_spilled > 0) {
        whole = m_spill.seek(0) && whole;
        for (qint64 left = m_spilled; whole && left > 0;) {
            const QByteArray block = m_spill.read(qMin<qint64>(left, spillBlock));
            whole = !block.isEmpty() && out(block);
            left -= block.size();
        }
    }
    return out(m_rest) && whole;
}

} // namespace kova
