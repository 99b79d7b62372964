#include "textprompt.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace TextPrompt {
namespace {

Presenter& presenter()
{
    static Presenter current;
    return current;
}

std::optional<QString> showDialog(QWidget* parent, const QString& text, const QString& initial)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("KOVA"));
    auto* label = new QLabel(text, &dialog);
    auto* field = new QLineEdit(initial, &dialog);
    field->selectAll();
    label->setBuddy(field);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(!initial.trimmed().isEmpty());
    QObject::connect(field, &QLineEdit::textChanged, ok,
                     [ok](const QString& typed) { ok->setEnabled(!typed.trimmed().isEmpty()); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(field);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return field->text();
}

} // namespace

std::optional<QString> ask(QWidget* parent, const QString& text, const QString& initial)
{
    return presenter() ? presenter()(parent, text, initial) : showDialog(parent, text, initial);
}

void setPresenter(Presenter p) { presenter() = std::move(p); }

} // namespace TextPrompt
