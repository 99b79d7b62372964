#include "uploadcheck.h"

#include "register/filesha256.h"
#include "types/registry.h"

#include <QFile>

namespace kova {

namespace {

constexpr qint64 readBlock = 1 << 20;
// Far more than any header record: a file whose first line runs past it is no
// upload file, and is not read to its end to tell.
constexpr int headerRoom = 4096;
const QByteArray byteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

// The problems of one line.
class LineProblems final : public UploadProblems
{
public:
    LineProblems(ProblemLines& lines, int line) : m_lines(lines), m_line(line) {}
    void add(const QString& text) override { m_lines.add(m_line, text); }

private:
    ProblemLines& m_lines;
    int m_line;
};

// What a record says where its fields cannot be told apart: shown, never held against.
class IgnoredProblems final : public UploadProblems
{
public:
    void add(const QString&) override {}
};

std::unique_ptr<UploadLayout> layoutOf(const QByteArray& header)
{
    for (const auto make : {transferLayout, creditLayout, collectionLayout, payrollLayout}) {
        std::unique_ptr<UploadLayout> layout = make();
        if (layout->isHeader(header))
            return layout;
    }
    return nullptr;
}

// The frame every layout is read in: the lines, their ends, the header record
// first, and the header's count and total held against the detail records.
class Reading final
{
public:
    Reading(ProblemLines& problems, UploadRecords* records) : m_problems(problems), m_records(records) {}

    int lines() const { return m_line; }
    const UploadLayout* layout() const { return m_layout.get(); }
    const UploadHeader& header() const { return m_header; }

    // One line without its line feed, ended by one or the last of the file.
    // False when it is the first and no header record.
    bool take(QByteArray record, bool ended)
    {
        ++m_line;
        LineProblems problems(m_problems, m_line);
        if (!ended)
            problems.add(QStringLiteral("has no line feed at its end"));
        else if (record.endsWith('\r')) {
            problems.add(QStringLiteral("ends in CR LF"));
            record.chop(1);
        }
        if (m_line == 1)
            return takeHeader(record, problems);
        if (record.isEmpty()) {
            problems.add(QStringLiteral("is empty"));
            return true;
        }
        ++m_details;
        std::optional<Cents> amount;
        if (m_layout->fitsShape(record, false, problems)) {
            amount = m_layout->readDetail(record, problems);
            if (m_records)
                m_records->detail(m_line, m_layout->payee(record), amount);
        }
        if (amount)
            m_sum += *amount;
        else
            m_amountsKnown = false;
        return true;
    }

    // The file as a whole, once every line was taken.
    void end()
    {
        LineProblems problems(m_problems, 1);
        if (m_details == 0)
            problems.add(QStringLiteral("no detail record follows the header"));
        if (m_header.recordCount && *m_header.recordCount != m_details)
            problems.add(QStringLiteral("record count %1, but %2 detail %3").arg(m_header.records).arg(m_details)
                             .arg(m_details == 1 ? QStringLiteral("record follows") : QStringLiteral("records follow")));
        // A record whose amount does not read leaves the sum unknown; its own line says why.
        if (m_header.totalCents && m_amountsKnown && m_details > 0 && *m_header.totalCents != m_sum)
            problems.add(QStringLiteral("total ") + m_header.total + QStringLiteral(", but the records add up to ")
                         + fixedText(m_sum));
    }

private:
    bool takeHeader(QByteArray record, UploadProblems& problems)
    {
        const bool marked = record.startsWith(byteOrderMark);
        if (marked)
            record.remove(0, byteOrderMark.size());
        m_layout = layoutOf(record);
        if (!m_layout)
            return false;
        if (marked)
            problems.add(QStringLiteral("starts with a byte order mark"));
        if (m_layout->fitsShape(record, true, problems)) {
            m_header = m_layout->readHeader(record, problems);
        } else {
            IgnoredProblems ignored;
            m_header = m_layout->readHeader(record, ignored);
            m_header.recordCount.reset();
            m_header.totalCents.reset();
        }
        return true;
    }

    ProblemLines& m_problems;
    UploadRecords* m_records;
    std::unique_ptr<UploadLayout> m_layout;
    UploadHeader m_header;
    int m_line = 0;
    qint64 m_details = 0;
    Cents m_sum = 0;
    bool m_amountsKnown = true;
};

} // namespace

UploadCheck::UploadCheck(const QString& path, UploadRecords* records)
{
    m_failure = read(path, records);
}

QString UploadCheck::read(const QString& path, UploadRecords* records)
{
    QFile file(path);
    const QString noUpload = path + QStringLiteral(" is not an upload file: its first line is no header record of ")
        + batchTypeName(BatchType::Transfer) + QStringLiteral(", ") + batchTypeName(BatchType::Credit)
        + QStringLiteral(", ") + batchTypeName(BatchType::Collection) + QStringLiteral(" or ")
        + batchTypeName(BatchType::Payroll);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Unable to read ") + path + QStringLiteral(": ") + file.errorString();
    FileSha256 sha256;
    Reading reading(m_problems, records);
    QByteArray rest;
    for (;;) {
        const QByteArray block = file.read(readBlock);
        if (block.isEmpty())
            break;
        sha256.add(block.constData(), block.size());
        int from = 0;
        for (int at = block.indexOf('\n'); at >= 0; from = at + 1, at = block.indexOf('\n', from)) {
            if (!reading.take(rest + block.mid(from, at - from), true))
                return noUpload;
            rest.clear();
        }
        rest += block.mid(from);
        if (reading.lines() == 0 && rest.size() > headerRoom)
            return noUpload;
    }
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("Unable to read ") + path + QStringLiteral(": ") + file.errorString();
    if ((!rest.isEmpty() && !reading.take(rest, false)) || reading.lines() == 0)
        return noUpload;
    reading.end();
    m_type = reading.layout()->type();
    m_header = reading.header();
    m_sha256 = sha256.hex();
    return {};
}

} // namespace kova
