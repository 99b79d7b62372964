#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

// The question for a workbook's password: modal, caption "KOVA", the text
// above a masked field, OK (while the field is not empty) and Cancel. The
// answer is the caller's to use and drop; nothing here keeps it. Tests
// replace the presenter to answer without a modal dialog.
namespace PasswordPrompt {

// What was typed, or nullopt when the question was cancelled.
using Presenter = std::function<std::optional<QString>(QWidget* parent, const QString& text)>;

std::optional<QString> ask(QWidget* parent, const QString& text);

// Replaces the presenter; an empty function restores the real dialog.
void setPresenter(Presenter presenter);

} // namespace PasswordPrompt
