#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

// A question answered with a line of text (a layout's name): modal, caption
// "KOVA", the text above a field holding initial, OK (while the field holds
// more than white space) and Cancel. Tests replace the presenter to answer
// without a modal dialog.
namespace TextPrompt {

// What was typed, or nullopt when the question was cancelled.
using Presenter = std::function<std::optional<QString>(QWidget* parent, const QString& text, const QString& initial)>;

std::optional<QString> ask(QWidget* parent, const QString& text, const QString& initial = QString());

// Replaces the presenter; an empty function restores the real dialog.
void setPresenter(Presenter presenter);

} // namespace TextPrompt
