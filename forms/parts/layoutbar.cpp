#include "layoutbar.h"

#include "forms/base/layoutchoice.h"
#include "forms/base/transactionform.h"
#include "widgets/messages.h"
#include "widgets/textprompt.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

LayoutBar::LayoutBar(QWidget* parent)
    : QWidget(parent)
{
    // Made in the order Tab takes them.
    auto* label = new QLabel(QStringLiteral("&Layout"), this);
    m_layouts = new QComboBox(this);
    auto* saveAs = new QPushButton(QStringLiteral("Save as..."), this);
    m_rename = new QPushButton(QStringLiteral("Rename..."), this);
    m_delete = new QPushButton(QStringLiteral("Delete"), this);
    label->setBuddy(m_layouts);
    // Under the window's "Trx Type", as wide as it, the list under the type's.
    label->setFixedWidth(80);
    m_layouts->setObjectName(QStringLiteral("cboLayout"));
    m_layouts->setToolTip(QStringLiteral("The saved column mapping the sheet is read by"));
    saveAs->setObjectName(QStringLiteral("btnLayoutSaveAs"));
    saveAs->setToolTip(QStringLiteral("Keep the mapping shown as a new layout"));
    m_rename->setObjectName(QStringLiteral("btnLayoutRename"));
    m_delete->setObjectName(QStringLiteral("btnLayoutDelete"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(label);
    row->addWidget(m_layouts, 1);
    for (QWidget* button : {static_cast<QWidget*>(saveAs), static_cast<QWidget*>(m_rename), static_cast<QWidget*>(m_delete)})
        row->addWidget(button);

    connect(m_layouts, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        if (LayoutChoice* choice = m_form ? m_form->layoutChoice() : nullptr)
            choice->chooseLayout(index);
    });
    connect(saveAs, &QPushButton::clicked, this, &LayoutBar::saveAs);
    connect(m_rename, &QPushButton::clicked, this, &LayoutBar::rename);
    connect(m_delete, &QPushButton::clicked, this, &LayoutBar::remove);
    setForm(nullptr);
}

void LayoutBar::setForm(TransactionForm* form)
{
    disconnect(m_formChanged);
    m_form = form;
    if (form)
        m_formChanged = connect(form, &TransactionForm::layoutsChanged, this, &LayoutBar::refresh);
    refresh();
}

void LayoutBar::refresh()
{
    const LayoutChoice* choice = m_form ? m_form->layoutChoice() : nullptr;
    setVisible(choice != nullptr);
    const QSignalBlocker quiet(m_layouts);
    m_layouts->clear();
    if (!choice)
        return;
    const QStringList names = choice->layoutNames();
    m_layouts->addItems(names);
    m_layouts->setCurrentIndex(choice->currentLayout());
    // The last layout is what the type is read by; it can be renamed, not removed.
    m_delete->setEnabled(names.size() > 1);
}

bool LayoutBar::accepted(const QString& refusal)
{
    if (!refusal.isEmpty())
        Messages::critical(this, refusal);
    return refusal.isEmpty();
}

void LayoutBar::saveAs()
{
    LayoutChoice* choice = m_form ? m_form->layoutChoice() : nullptr;
    if (!choice)
        return;
    const std::optional<QString> name =
        TextPrompt::ask(this, QStringLiteral("Name of the new layout (the mapping shown):"));
    if (name)
        accepted(choice->saveLayoutAs(*name));
}

void LayoutBar::rename()
{
    LayoutChoice* choice = m_form ? m_form->layoutChoice() : nullptr;
    if (!choice)
        return;
    const std::optional<QString> name =
        TextPrompt::ask(this, QStringLiteral("New name of the layout:"), m_layouts->currentText());
    if (name)
        accepted(choice->renameLayout(*name));
}

void LayoutBar::remove()
{
    LayoutChoice* choice = m_form ? m_form->layoutChoice() : nullptr;
    if (!choice)
        return;
    const QString question = QStringLiteral("Delete the layout \"%1\"? Its saved mapping is lost.").arg(m_layouts->currentText());
    if (Messages::question(this, question))
        accepted(choice->deleteLayout());
}
