#include "pastetrim.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

namespace {

void pasteTrimmed(QLineEdit* edit)
{
    edit->insert(QGuiApplication::clipboard()->text().trimmed());
}

class PasteTrim final : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (!edit || edit->isReadOnly())
            return false;
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
            pasteTrimmed(edit);
            return true;
        }
        if (event->type() == QEvent::ContextMenu) {
            // The line edit's own menu, with its Paste going through here.
            QMenu* menu = edit->createStandardContextMenu();
            for (QAction* action : menu->actions()) {
                if (action->objectName() == QLatin1String("edit-paste")) {
                    action->disconnect(edit);
                    connect(action, &QAction::triggered, edit, [edit] { pasteTrimmed(edit); });
                }
            }
            menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
            delete menu;
            return true;
        }
        return false;
    }
};

PasteTrim* sharedTrim()
{
    static PasteTrim* trim = new PasteTrim(QCoreApplication::instance());
    return trim;
}

} // namespace

void trimPastes(QLineEdit* edit)
{
    edit->removeEventFilter(sharedTrim());
    edit->installEventFilter(sharedTrim());
}

void trimPastesUnder(QWidget* root)
{
    // The editors inside date edits and combo boxes keep their own rules.
    for (QLineEdit* edit : root->findChildren<QLineEdit*>())
        if (!qobject_cast<QAbstractSpinBox*>(edit->parent()) && !qobject_cast<QComboBox*>(edit->parent()))
            trimPastes(edit);
}
