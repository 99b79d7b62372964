#include "summarypages.h"

#include "record/money.h"
#include "types/registry.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>

#include <cmath>

namespace kova {

namespace {

// Landscape A4 in points.
constexpr qreal pageWidth = 842;
constexpr qreal pageHeight = 595;
constexpr qreal margin = 36;
constexpr qreal contentWidth = pageWidth - 2 * margin;
// The title line and the page number above every page's content.
constexpr qreal runningHead = 24;
// The SHA-256 under every page's content.
constexpr qreal runningFoot = 24;
constexpr qreal tableBottom = pageHeight - margin - runningFoot;
// The facts on the first page, whatever their number: the page count is
// known before the first payment is drawn.
constexpr qreal factLine = 14;
constexpr int factLines = 14;
constexpr qreal firstTableTop = margin + runningHead + factLines * factLine + 12;
constexpr qreal tableTop = margin + runningHead;
// Two signature blocks side by side.
constexpr qreal signatureHeight = 110;
constexpr qreal gap = 12;

// The widest text each column of a layout's table takes, in characters.
struct ColumnWidths
{
    int name;
    int account;
    int fromAccount;   // 0: the layout names the paying account in its header; else as wide as its title
};

ColumnWidths widthsOf(BatchType type)
{
    switch (type) {
    case BatchType::Transfer:
        return {70, 34, 12};
    case BatchType::Credit:
        return {70, 34, 0};
    case BatchType::Collection:
        return {35, 10, 0};
    case BatchType::Payroll:
        break;
    }
    return {30, 10, 0};
}

// "99.999.999.999.999.999,99": the largest amount any layout writes, shown.
constexpr int amountWidth = 25;
constexpr int numberWidth = 8;

} // namespace

SummaryPages::SummaryPages(QIODevice& device, BatchType type, const SummaryFacts& facts, qint64 payments,
                           const QString& sha256)
    : m_writer(&device), m_type(type), m_facts(facts), m_payments(payments), m_sha256(sha256)
{
    m_writer.setResolution(72);
    m_writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
    m_writer.setCreator(QStringLiteral("KOVA"));
    m_writer.setTitle(QStringLiteral("Approval summary"));
    m_painter.begin(&m_writer);

    m_text = QFont(QStringLiteral("DejaVu Sans"));
    m_text.setPointSizeF(10);
    // Ligatures would make "fi" one glyph, which a reader copying the text out gets as one character.
    m_text.setStyleStrategy(QFont::PreferNoShaping);
    m_mono = QFont(QStringLiteral("DejaVu Sans Mono"));
    m_mono.setStyleHint(QFont::Monospace);
    // The largest size at which the widest row of the layout fits the page.
    const ColumnWidths widths = widthsOf(type);
    const int characters = numberWidth + widths.name + widths.account + widths.fromAccount + amountWidth;
    const int columns = widths.fromAccount ? 5 : 4;
    qreal size = 9;
    qreal advance = 0;
    for (;; size -= 0.25) {
        m_mono.setPointSizeF(size);
        advance = QFontMetricsF(m_mono, &m_writer).horizontalAdvance(QLatin1Char('0'));
        if (characters * advance + (columns - 1) * gap <= contentWidth || size <= 5)
            break;
    }
    m_lineHeight = std::ceil(QFontMetricsF(m_mono, &m_writer).lineSpacing()) + 2;
    qreal x = margin;
    m_columns << x;
    for (const int width : {numberWidth, widths.name, widths.fromAccount, widths.account, amountWidth}) {
        if (width == 0)
            continue;
        x += width * advance + gap;
        m_columns << x;
    }
    m_columns.last() -= gap;
    startPage();
}

int SummaryPages::pageCount() const
{
    const qint64 first = qint64((tableBottom - firstTableTop) / m_lineHeight) - 1;
    const qint64 other = qint64((tableBottom - tableTop) / m_lineHeight) - 1;
    qint64 pages = 1;
    qint64 onLast = m_payments;
    qreal top = firstTableTop;
    if (m_payments > first) {
        const qint64 rest = m_payments - first;
        pages += (rest + other - 1) / other;
        onLast = rest - (pages - 2) * other;
        top = tableTop;
    }
    const qreal end = top + (onLast + 1) * m_lineHeight;
    if (end + signatureHeight > tableBottom)
        ++pages;
    return int(pages);
}

void SummaryPages::startPage()
{
    if (m_page > 0)
        m_writer.newPage();
    ++m_page;
    m_painter.setPen(Qt::black);
    m_painter.setFont(m_text);
    const QRectF head(margin, margin, contentWidth, runningHead);
    m_painter.drawText(head, Qt::AlignLeft | Qt::AlignTop,
                       QStringLiteral("Approval summary: ") + batchTypeName(m_type));
    m_painter.drawText(head, Qt::AlignRight | Qt::AlignTop,
                       QStringLiteral("Page %1 of %2").arg(m_page).arg(pageCount()));
    m_painter.drawText(QRectF(margin, tableBottom + 8, contentWidth, runningFoot), Qt::AlignLeft | Qt::AlignTop,
                       QStringLiteral("SHA-256 of the upload file: ") + m_sha256);
    m_y = tableTop;
    if (m_page == 1) {
        for (const auto& fact : m_facts) {
            // A long value (the total in words) wraps under its own column.
            const QRectF value(margin + 170, m_y, contentWidth - 170, 3 * factLine);
            const QRectF used = m_painter.boundingRect(value, Qt::TextWordWrap, fact.second);
            m_painter.drawText(QRectF(margin, m_y, 165, factLine), Qt::AlignLeft | Qt::AlignTop, fact.first + ':');
            m_painter.drawText(value, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, fact.second);
            m_y += std::max(factLine, std::ceil(used.height() / factLine) * factLine);
        }
        m_y = firstTableTop;
    }
    QStringList heading{QStringLiteral("No."), QStringLiteral("Name")};
    if (widthsOf(m_type).fromAccount)
        heading << QStringLiteral("From account") << QStringLiteral("To account");
    else
        heading << QStringLiteral("Account");
    heading << QStringLiteral("Amount");
    drawRow(heading, true);
}

void SummaryPages::drawRow(const QStringList& cells, bool heading)
{
    m_painter.setFont(m_mono);
    for (int i = 0; i < cells.size(); ++i) {
        const bool amount = i == cells.size() - 1;
        const QRectF cell(m_columns.at(i), m_y, m_columns.at(i + 1) - m_columns.at(i) - (amount ? 0 : gap),
                          m_lineHeight);
        m_painter.drawText(cell, (amount || i == 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                           cells.at(i));
    }
    m_y += m_lineHeight;
    if (heading)
        m_painter.drawLine(QPointF(margin, m_y - 1), QPointF(m_columns.last(), m_y - 1));
}

void SummaryPages::detail(int, const UploadPayee& payee, std::optional<Cents> amount)
{
    if (m_y + m_lineHeight > tableBottom)
        startPage();
    QStringList cells{QString::number(++m_drawn), payee.name};
    if (widthsOf(m_type).fromAccount)
        cells << payee.fromAccount;
    cells << payee.account << (amount ? displayAmount(*amount) : QString());
    drawRow(cells, false);
}

bool SummaryPages::finish()
{
    if (m_y + signatureHeight > tableBottom)
        startPage();
    m_painter.setFont(m_text);
    const qreal top = m_y + 24;
    const qreal blockWidth = (contentWidth - 48) / 2;
    const QStringList roles{QStringLiteral("Prepared by"), QStringLiteral("Approved by")};
    for (int i = 0; i < roles.size(); ++i) {
        const qreal left = margin + i * (blockWidth + 48);
        m_painter.drawText(QRectF(left, top, blockWidth, factLine), Qt::AlignLeft, roles.at(i));
        qreal y = top + factLine + 8;
        for (const QString& line : {QStringLiteral("Name"), QStringLiteral("Date"), QStringLiteral("Signature")}) {
            y += 22;
            m_painter.drawText(QRectF(left, y - factLine, 70, factLine), Qt::AlignLeft | Qt::AlignBottom, line);
            m_painter.drawLine(QPointF(left + 72, y), QPointF(left + blockWidth, y));
        }
    }
    return m_painter.end();
}

} // namespace kova
