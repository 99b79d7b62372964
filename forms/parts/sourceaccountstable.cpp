#include "sourceaccountstable.h"

#include "widgets/pastetrim.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>

namespace {

enum Column { MarkerColumn = 0, AccountColumn = 1, CompanyCodeColumn = 2 };

// Tab past the last cell, or Shift+Tab before the first, is the keyboard's
// way on to the next field: the table would otherwise go round for ever.
bool leavesTable(const QTableView* view, const QKeyEvent* key)
{
    const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
    const bool backward = key->key() == Qt::Key_Backtab || (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier));
    if ((!forward && !backward) || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    const QAbstractItemModel* model = view->model();
    const QModelIndex current = view->currentIndex();
    if (model->rowCount() == 0 || !current.isValid())
        return true;
    return forward ? current.row() == model->rowCount() - 1 && current.column() == model->columnCount() - 1
                   : current.row() == 0 && current.column() == 0;
}

// Hands the focus to the field before or after the table in the window's
// Tab order, passing over the table's own radio buttons and editor.
void leaveTable(QTableView* view, const QKeyEvent* key)
{
    const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
    QWidget* w = view;
    for (int steps = 0; steps < 1000; ++steps) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (w == view)
            return;
        if (!view->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisible()) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

// The cells' editors take pastes trimmed, and Tab leaves the table from them
// as it does from the table itself.
class AccountCellDelegate final : public QStyledItemDelegate
{
public:
    explicit AccountCellDelegate(QTableView* view)
        : QStyledItemDelegate(view)
        , m_view(view)
    {
        m_view->installEventFilter(this);
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* edit = qobject_cast<QLineEdit*>(editor))
            trimPastes(edit);
        return editor;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && leavesTable(m_view, static_cast<QKeyEvent*>(event))) {
            if (auto* editor = qobject_cast<QWidget*>(watched); editor && editor != m_view) {
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            }
            leaveTable(m_view, static_cast<QKeyEvent*>(event));
            return true;
        }
        return watched == m_view ? false : QStyledItemDelegate::eventFilter(watched, event);
    }

private:
    QTableView* m_view;
};

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
    m_view->setItemDelegate(new AccountCellDelegate(m_view));
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

void SourceAccountsTable::read(QSettings& settings)
{
    m_model->removeRows(0, m_model->rowCount());
    const QVector<kova::SourceAccount> accounts = kova::readAccounts(settings);
    for (const kova::SourceAccount& account : accounts)
        appendRow(QStringLiteral(" "), account);
    // The last column stretches: sized to its contents too, it would stay so
    // in a table already shown, reaching past its edge, until the next resize.
    for (int column : {int(MarkerColumn), int(AccountColumn)})
        m_view->resizeColumnToContents(column);
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
