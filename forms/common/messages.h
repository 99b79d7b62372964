#pragma once

#include <QString>

#include <functional>

class QWidget;

// Every message box of the program goes through here: modal, caption "KOVA",
// one OK button, or Yes and No for a question. Tests replace the presenter to capture the messages instead
// of blocking on a modal box.
namespace Messages {

enum class Kind { Critical, Information, Question };

using Presenter = std::function<void(QWidget* parent, Kind kind, const QString& text)>;

void critical(QWidget* parent, const QString& text);
void information(QWidget* parent, const QString& text);
// True when Yes was chosen. No is the default button, and the answer while a
// presenter captures the boxes.
bool question(QWidget* parent, const QString& text);

// Replaces the presenter; an empty function restores the real message boxes.
void setPresenter(Presenter presenter);

} // namespace Messages
