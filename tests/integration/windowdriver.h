#pragma once

#include "app/mainwindow.h"
#include "forms/common/messages.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QAbstractItemModel;

// Drives the real main window as a user would: the open and save dialogs are
// answered from a queue, the message boxes are recorded instead of shown, and
// widgets are found by the object names the user sees them under.
class WindowDriver final
{
public:
    struct Box
    {
        QWidget* parent;
        Messages::Kind kind;
        QString text;
    };

    // The settings file must be written before: the forms read it when created.
    WindowDriver();
    ~WindowDriver();
    WindowDriver(const WindowDriver&) = delete;
    WindowDriver& operator=(const WindowDriver&) = delete;

    // "kova.ini" beside the test executable, where the program looks for it.
    static QString settingsPath();

    MainWindow* window() const { return m_window; }
    // The transaction form the window hosts now.
    QWidget* form() const;
    // A widget of the window, or of the hosted form (whose designer names may repeat
    // the window's); the test stops when there is none of that kind.
    template<typename T>
    T* widget(const QString& name) const
    {
        return checked<T>(findIn(m_window, name), name);
    }
    template<typename T>
    T* field(const QString& name) const
    {
        return checked<T>(findIn(form(), name), name);
    }

    void chooseType(int index);
    void browseSource(const QString& path);
    void chooseSheet(const QString& name);
    void browseDestination(const QString& path);
    void checkAccount(int row);
    void clickExport();

    QAbstractItemModel* log() const;
    QString logText() const;

    QList<Box> boxes;

private:
    template<typename T>
    static T* checked(QWidget* w, const QString& name)
    {
        T* typed = qobject_cast<T*>(w);
        if (!typed)
            qFatal("widget %s is missing or of another kind", qPrintable(name));
        return typed;
    }
    static QWidget* findIn(QWidget* parent, const QString& name);
    void answerNextDialog(const QString& path);

    MainWindow* m_window = nullptr;
    QStringList m_answers;
};

// The whole content of a file, or an empty array with a missing file.
QByteArray fileBytes(const QString& path);
