#include "batchhistorydialog.h"

#include "register/batchtexts.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QAction>
#include <QKeySequence>
#include <QTableWidget>
#include <QVBoxLayout>

#include <set>

BatchHistoryDialog::BatchHistoryDialog(const QVector<kova::BatchEntry>& entries, QWidget* parent)
    : QDialog(parent)
    , m_entries(entries)
    , m_table(new QTableWidget(entries.size(), 6, this))
{
    setWindowTitle(QStringLiteral("Written batches"));
    m_table->setObjectName(QStringLiteral("tblBatches"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("Date"), QStringLiteral("Type"), QStringLiteral("Header ID"),
                                        QStringLiteral("Records"), QStringLiteral("Total"), QStringLiteral("File")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    // The cells are the fields of the register's own text lines, so the table
    // and what Ctrl+C copies never differ. The file is the rest of its line.
    for (int row = 0; row < entries.size(); ++row) {
        const QString line = kova::historyText({entries.at(row)}).chopped(1);
        for (int column = 0; column < 6; ++column) {
            const QString field = line.section(QLatin1Char('\t'), column, column == 5 ? -1 : column);
            auto* item = new QTableWidgetItem(field);
            if (column == 3 || column == 4)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row, column, item);
        }
    }
    m_table->resizeColumnsToContents();

    // Whole rows, not the table's own copy of the one current cell.
    auto* copy = new QAction(this);
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, this, [this] { QApplication::clipboard()->setText(selectedText()); });
    addAction(copy);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    resize(900, 400);
}

QString BatchHistoryDialog::selectedText() const
{
    std::set<int> rows;
    for (const QModelIndex& index : m_table->selectionModel()->selectedRows())
        rows.insert(index.row());
    QVector<kova::BatchEntry> selected;
    for (int row : rows)
        selected.append(m_entries.at(row));
    return kova::historyText(selected);
}
