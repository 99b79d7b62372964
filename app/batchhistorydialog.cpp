#include "batchhistorydialog.h"

#include "batchhistorymodel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

BatchHistoryDialog::BatchHistoryDialog(const QString& registerPath, QWidget* parent)
    : QDialog(parent)
    , m_model(new BatchHistoryModel(registerPath, this))
    , m_table(new QTableView(this))
{
    setWindowTitle(QStringLiteral("Written batches"));
    m_table->setObjectName(QStringLiteral("tblBatches"));
    m_table->setModel(m_model);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    // Rows of one height, so the view need not measure each row it is given.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->horizontalHeader()->setStretchLastSection(true);
    // Sized by the first page: every later row has the same fields.
    m_table->resizeColumnsToContents();

    // Whole rows, not the table's own copy of the one current cell.
    auto* copy = new QAction(this);
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, this, [this] { QApplication::clipboard()->setText(selectedText()); });
    addAction(copy);
    // The table's own Ctrl+End stops at the last page read so far; and
    // without a current row, its keys only find the first.
    m_table->installEventFilter(this);
    m_table->setCurrentIndex(m_model->index(0, 0));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    resize(1100, 400);
}

bool BatchHistoryDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_table && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_End && key->modifiers() & Qt::ControlModifier)
            m_model->fetchAll();
    }
    return QDialog::eventFilter(watched, event);
}

QString BatchHistoryDialog::problem() const
{
    return m_model->problem();
}

QString BatchHistoryDialog::selectedText() const
{
    QVector<int> rows;
    for (const QModelIndex& index : m_table->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return m_model->linesOf(rows);
}
