#include "messages.h"

#include <QMessageBox>

namespace Messages {
namespace {

Presenter& presenter()
{
    static Presenter current;
    return current;
}

bool& capturedAnswer()
{
    static bool yes = false;
    return yes;
}

void show(QWidget* parent, Kind kind, const QString& text)
{
    if (presenter()) {
        presenter()(parent, kind, text);
        return;
    }
    const QString caption = QStringLiteral("KOVA");
    if (kind == Kind::Critical)
        QMessageBox::critical(parent, caption, text, QMessageBox::Ok);
    else
        QMessageBox::information(parent, caption, text, QMessageBox::Ok);
}

} // namespace

void critical(QWidget* parent, const QString& text) { show(parent, Kind::Critical, text); }
void information(QWidget* parent, const QString& text) { show(parent, Kind::Information, text); }
bool question(QWidget* parent, const QString& text)
{
    if (presenter()) {
        presenter()(parent, Kind::Question, text);
        return capturedAnswer();
    }
    return QMessageBox::question(parent, QStringLiteral("KOVA"), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No)
        == QMessageBox::Yes;
}

void setPresenter(Presenter p) { presenter() = std::move(p); }
void setCapturedAnswer(bool yes) { capturedAnswer() = yes; }

} // namespace Messages
