#pragma once

#include "verify/uploadcheck.h"

#include <QFont>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>

namespace kova {

// The facts a summary's first page lists, label and value, in order.
using SummaryFacts = QVector<QPair<QString, QString>>;

// The pages of an approval summary as Qt's PDF writer draws them: landscape
// A4, the facts on the first page, then every payment in the file's order in
// a table of fixed columns (a monospaced face, so every name and account the
// layout allows fits whole, never cut), each page numbered "Page n of N"
// with the file's SHA-256 under it, and signature lines after the last
// payment. Payments arrive one by one as the file is read.
class SummaryPages final : public UploadRecords
{
public:
    SummaryPages(QIODevice& device, BatchType type, const SummaryFacts& facts, qint64 payments,
                 const QString& sha256);

    void detail(int line, const UploadPayee& payee, std::optional<Cents> amount) override;
    // The signature lines; false when the writer failed.
    bool finish();

private:
    void startPage();
    void drawRow(const QStringList& cells, bool heading);
    int pageCount() const;

    QPdfWriter m_writer;
    QPainter m_painter;
    BatchType m_type;
    SummaryFacts m_facts;
    qint64 m_payments;
    QString m_sha256;
    QFont m_text;
    QFont m_mono;
    QVector<qreal> m_columns;   // left edges, in points; the last one the table's right edge
    qreal m_lineHeight = 0;
    qreal m_y = 0;
    int m_page = 0;
    qint64 m_drawn = 0;
};

} // namespace kova
