#include "passwordprompt.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace PasswordPrompt {
namespace {

Presenter& presenter()
{
    static Presenter current;
    return current;
}

std::optional<QString> showDialog(QWidget* parent, const QString& text)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("KOVA"));
    auto* label = new QLabel(text, &dialog);
    auto* field = new QLineEdit(&dialog);
    // Masked, and kept from the clipboard and from input-method history.
    field->setEchoMode(QLineEdit::Password);
    label->setBuddy(field);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);
    QObject::connect(field, &QLineEdit::textChanged, ok, [ok](const QString& typed) { ok->setEnabled(!typed.isEmpty()); });
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

std::optional<QString> ask(QWidget* parent, const QString& text)
{
    return presenter() ? presenter()(parent, text) : showDialog(parent, text);
}

void setPresenter(Presenter p) { presenter() = std::move(p); }

} // namespace PasswordPrompt
