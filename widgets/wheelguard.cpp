#include "wheelguard.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace {

class WheelGuard final : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel || static_cast<QWidget*>(watched)->hasFocus())
            return false;
        // Swallowed here but left unaccepted, so the application hands the
        // turn on to the parent: the scroll area around the form.
        event->ignore();
        return true;
    }
};

WheelGuard* sharedGuard()
{
    static WheelGuard* guard = new WheelGuard(QCoreApplication::instance());
    return guard;
}

void guard(QWidget* widget)
{
    // Wheel focus would hand the widget the focus before the filter asks for it.
    widget->setFocusPolicy(Qt::StrongFocus);
    widget->removeEventFilter(sharedGuard());
    widget->installEventFilter(sharedGuard());
}

} // namespace

void guardWheel(QWidget* root)
{
    for (QComboBox* combo : root->findChildren<QComboBox*>())
        guard(combo);
    for (QAbstractSpinBox* spin : root->findChildren<QAbstractSpinBox*>())
        guard(spin);
}
