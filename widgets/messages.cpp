#include "messages.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

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

// The first line is the verdict ("Done!", "ERROR!"), what follows says what
// happened, in the box's smaller text beneath it.
QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton preferred)
{
    QMessageBox box(icon, QStringLiteral("KOVA"), text.section(QLatin1Char('\n'), 0, 0), buttons, parent);
    box.setInformativeText(text.section(QLatin1Char('\n'), 1));
    box.setDefaultButton(preferred);
    // A box as narrow as "Done!" leaves its title bar no room for the caption,
    // which the window system then cuts to "...".
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(box.fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40, 0, QSizePolicy::Minimum,
                                      QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return QMessageBox::StandardButton(box.exec());
}

void show(QWidget* parent, Kind kind, const QString& text)
{
    if (presenter()) {
        presenter()(parent, kind, text);
        return;
    }
    ask(parent, kind == Kind::Critical ? QMessageBox::Critical : QMessageBox::Information, text, QMessageBox::Ok,
        QMessageBox::Ok);
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
    return ask(parent, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

void setPresenter(Presenter p) { presenter() = std::move(p); }
void setCapturedAnswer(bool yes) { capturedAnswer() = yes; }

} // namespace Messages
