#pragma once

#include <QString>

#include <functional>

class QWidget;

// Every message box of the program goes through here: modal, caption "KOVA",
// one OK button, or Yes and No for a question; a text of several lines shows
// its first line as the box's headline and the rest beneath. Tests replace the presenter to capture the messages instead
// of blocking on a modal box.
namespace Messages {

enum class Kind { Critical, Information, Question };

using Presenter = std::function<void(QWidget* parent, Kind kind, const QString& text)>;

void critical(QWidget* parent, const QString& text);
void information(QWidget* parent, const QString& text);
// True when Yes was chosen. No is the default button; while a presenter
// captures the boxes, the answer is the one set below (No unless set).
bool question(QWidget* parent, const QString& text);

// Replaces the presenter; an empty function restores the real message boxes.
void setPresenter(Presenter presenter);
// What a captured question answers, so tests can take both roads.
void setCapturedAnswer(bool yes);

} // namespace Messages
