#include "sourceaccountstable.h"

#include <QHeaderView>
#include <QRadioButton>
#include <QSettings>
#include <QStandardItemModel>
#include <QTableView>

namespace {

enum Column { MarkerColumn = 0, AccountColumn = 1, CompanyCodeColumn = 2 };

} // namespace

SourceAccountsTable::SourceAccountsTable(QTableView* tblAcc, const QString& accountTitle, QWidget* form)
    : QObject(form)
    , m_view(tblAcc)
    , m_model(new QStandardItemModel(0, 3, form))
{
    m_model->setHorizontalHeaderItem(MarkerColumn, new QStandardItem(QStringLiteral("    ")));
    m_model->setHorizontalHeaderItem(AccountColumn, new QStandardItem(accountTitle));
    m_model->setHorizontalHeaderItem(CompanyCodeColumn,
                                     new QStandardItem(QStringLiteral("Company Code\n(9999/99999/XXXX)")));
    m_view->setModel(m_model);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_view->setMaximumHeight(150);
    m_view->horizontalHeader()->setStretchLastSection(true);
}

QStandardItemModel* SourceAccountsTable::model() const
{
    return m_model;
}

void SourceAccountsTable::add()
{
    appendRow(QString(), {});
    // The new cell becomes the current one, not only the edited one: Tab, the
    // arrow keys and Delete go from the current cell, and must act on this row.
    const QModelIndex account = m_model->index(m_model->rowCount() - 1, AccountColumn);
    m_view->setCurrentIndex(account);
    m_view->edit(account);
}

void SourceAccountsTable::removeCurrent()
{
    const QModelIndex current = m_view->currentIndex();
    if (current.isValid())
        m_model->removeRow(current.row());
}

void SourceAccountsTable::load(QSettings& settings)
{
    m_model->removeRows(0, m_model->rowCount());
    const QVector<kova::SourceAccount> accounts = kova::loadAccounts(settings);
    for (const kova::SourceAccount& account : accounts)
        appendRow(QStringLiteral(" "), account);
    m_view->resizeColumnsToContents();
}

void SourceAccountsTable::save(QSettings& settings) const
{
    kova::saveAccounts(settings, rows());
}

QVector<kova::SourceAccount> SourceAccountsTable::rows() const
{
    QVector<kova::SourceAccount> result;
    result.reserve(m_model->rowCount());
    for (int row = 0; row < m_model->rowCount(); ++row)
        result.append({m_model->item(row, AccountColumn)->text(),
                       m_model->item(row, CompanyCodeColumn)->text()});
    return result;
}

std::optional<kova::SourceAccount> SourceAccountsTable::checked() const
{
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QRadioButton* button = radioButton(row);
        if (button && button->isChecked())
            return kova::SourceAccount{m_model->item(row, AccountColumn)->text(),
                                       m_model->item(row, CompanyCodeColumn)->text()};
    }
    return std::nullopt;
}

void SourceAccountsTable::appendRow(const QString& marker, const kova::SourceAccount& account)
{
    auto* markerItem = new QStandardItem(marker);
    markerItem->setTextAlignment(Qt::AlignCenter);
    m_model->appendRow({markerItem, new QStandardItem(account.account),
                        new QStandardItem(account.companyCode)});
    // Every button lands on the viewport, so the buttons are siblings and
    // their auto-exclusivity keeps at most one row checked.
    auto* button = new QRadioButton(m_view->viewport());
    button->setAutoExclusive(true);
    m_view->setIndexWidget(markerItem->index(), button);
}

QRadioButton* SourceAccountsTable::radioButton(int row) const
{
    return qobject_cast<QRadioButton*>(m_view->indexWidget(m_model->index(row, MarkerColumn)));
}
