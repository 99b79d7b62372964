#include "loglineview.h"
#include "loglines.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStyledItemDelegate>
#include <QTextDocument>

#include <algorithm>
#include <numeric>

namespace {

// Lays a line out as the rich-text log did, one paragraph in the view's font.
// A selected line is drawn in the selection's text colour: red or orange on
// the selection's blue would not read, and its icon still tells its kind.
void layOut(QTextDocument& document, const QModelIndex& index, const QFont& font, bool selected = false)
{
    document.setDocumentMargin(0);
    document.setDefaultFont(font);
    const QString rich = index.data(LogLines::RichTextRole).toString();
    if (rich.isEmpty())
        document.setPlainText(index.data(Qt::DisplayRole).toString());
    else if (selected)
        document.setHtml(QString(rich).remove(QRegularExpression(QStringLiteral("color:#[0-9a-fA-F]{6};"))));
    else
        document.setHtml(rich);
}

class LineDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        // The background and a message's icon as the style draws them.
        QStyleOptionViewItem background(option);
        initStyleOption(&background, index);
        background.text.clear();
        background.decorationSize = iconSize(option);
        const QWidget* view = option.widget;
        QStyle* style = view ? view->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &background, painter, view);
        const int indent = background.features & QStyleOptionViewItem::HasDecoration
            ? background.decorationSize.width() + textMargin : 0;

        QTextDocument document;
        const bool selected = option.state & QStyle::State_Selected;
        layOut(document, index, option.font, selected);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette = option.palette;
        if (selected)
            context.palette.setColor(QPalette::Text, option.palette.color(QPalette::HighlightedText));
        painter->save();
        painter->translate(option.rect.topLeft() + QPoint(textMargin + indent, 0));
        painter->setClipRect(QRect(QPoint(0, 0), option.rect.size()));
        document.documentLayout()->draw(painter, context);
        painter->restore();
    }

    // Every line is one line high; the longest line sets the width, so the
    // view can scroll to the end of any line.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const auto* lines = qobject_cast<const LogLines*>(index.model());
        QTextDocument document;
        layOut(document, lines->index(lines->longestRow()), option.font);
        return QSize(int(document.idealWidth()) + 3 * textMargin + iconSize(option).width(), int(document.size().height()));
    }

private:
    static constexpr int textMargin = 4;

    // A message's icon no taller than its line: the log stays as dense as text.
    static QSize iconSize(const QStyleOptionViewItem& option)
    {
        const int line = option.fontMetrics.height();
        return QSize(line, line);
    }
};

} // namespace

LogLineView::LogLineView(QWidget* parent)
    : QListView(parent)
    , m_lines(new LogLines(this))
{
    setModel(m_lines);
    setItemDelegate(new LineDelegate(this));
    setUniformItemSizes(true);
    // A full export's lines arrive at once, and laying a million of them out
    // in one go would hold the window; in batches, it answers in between.
    setLayoutMode(QListView::Batched);
    setBatchSize(1 << 16);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (const int line = m_lines->messageLine(index.row()))
            emit messageLineChosen(line);
    });
}

QString LogLineView::toPlainText() const
{
    QVector<int> rows(m_lines->rowCount());
    std::iota(rows.begin(), rows.end(), 0);
    return m_lines->plainText(rows);
}

void LogLineView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (const int line = m_lines->messageLine(currentIndex().row()))
            emit messageLineChosen(line);
        return;
    }
    if (!event->matches(QKeySequence::Copy)) {
        QListView::keyPressEvent(event);
        return;
    }
    QVector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    QGuiApplication::clipboard()->setText(m_lines->plainText(rows));
}
