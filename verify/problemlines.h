#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryFile>

#include <cstdio>
#include <functional>

namespace kova {

// The problem lines of one upload file, "LINE n: text", in line order. The
// header record's (LINE 1, the file's count and total among them) are held;
// those of the other lines, which a file saved with CR LF has one a record,
// wait in a temporary file from the first block on, so that memory does not
// grow with the file.
class ProblemLines final
{
public:
    // Lines after the first come in order.
    void add(int line, const QString& text);
    int count() const { return m_count; }
    // Every line in order, each ending in a line feed. False when not every
    // line was written.
    bool writeTo(std::FILE* stream);
    // The same, in blocks of whole lines, to out, which returns false to stop.
    bool writeTo(const std::function<bool(const QByteArray&)>& out);

private:
    QByteArray m_first;
    QByteArray m_rest;
    QTemporaryFile m_spill;
    qint64 m_spilled = 0;
    bool m_spillFailed = false;
    int m_count = 0;
};

} // namespace kova
