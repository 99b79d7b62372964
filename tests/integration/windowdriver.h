#pragma once

#include "app/mainwindow.h"
#include "forms/common/filedialogs.h"
#include "forms/common/messages.h"
#include "register/batchregister.h"

#include <QtTest>
#include <QtWidgets>

// Drives the real main window as a user would: the open and save dialogs are
// answered from a queue, the message boxes are recorded instead of shown, and
// widgets are found by the object names the user sees them under.
class WindowDriver final
{
public:
    struct Box { QWidget* parent; Messages::Kind kind; QString text; };

    // The settings file must be written before: the forms read it when created.
    WindowDriver()
    {
        Messages::setPresenter([this](QWidget* parent, Messages::Kind kind, const QString& text) {
            boxes.append({parent, kind, text});
        });
        FileDialogs::setChooser([this](QWidget*, FileDialogs::Mode, const QString&, const QString&, const QString&) {
            return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
        });
        // The register of written batches beside the settings file: no batch written yet.
        QFile::remove(kova::registerPathFor(settingsPath()));
        m_window = new MainWindow;
        m_window->resize(1100, 760);
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window))
            qFatal("the main window was never shown");
    }
    ~WindowDriver()
    {
        delete m_window;
        Messages::setPresenter({});
        Messages::setCapturedAnswer(false);
        FileDialogs::setChooser({});
    }
    WindowDriver(const WindowDriver&) = delete;
    WindowDriver& operator=(const WindowDriver&) = delete;

    // "kova.ini" beside the test executable, where the program looks for it.
    static QString settingsPath() { return QDir(QCoreApplication::applicationDirPath()).filePath("kova.ini"); }

    MainWindow* window() const { return m_window; }
    // The transaction form the window hosts now.
    QWidget* form() const { return m_window->findChild<QHBoxLayout*>("horzFormUI")->itemAt(0)->widget(); }
    // A widget of the window, or of the hosted form (whose designer names may
    // repeat the window's); the test stops when there is none of that kind.
    template<typename T> T* widget(const QString& name) const { return checked<T>(m_window->findChild<QWidget*>(name), name); }
    template<typename T> T* field(const QString& name) const { return checked<T>(form()->findChild<QWidget*>(name), name); }

    void chooseType(int index) { widget<QComboBox>("cboTrxType")->setCurrentIndex(index); }
    void browseSource(const QString& path) { click("btnSrc", path); }
    void browseDestination(const QString& path) { click("btnDest", path); }
    void chooseSheet(const QString& name) { widget<QComboBox>("cboSheets")->setCurrentText(name); }
    void checkAccount(int row)
    {
        auto* table = field<QTableView>("tblAcc");
        checked<QRadioButton>(table->indexWidget(table->model()->index(row, 0)), "account radio button")->click();
    }
    void clickExport() { QTest::mouseClick(field<QPushButton>("btnExport"), Qt::LeftButton); }

    QStandardItemModel* log() const { return qobject_cast<QStandardItemModel*>(widget<QTableView>("tableView")->model()); }
    QString logText() const { return widget<QTextEdit>("txtStatus")->toPlainText(); }

    QList<Box> boxes;

private:
    template<typename T> static T* checked(QWidget* w, const QString& name)
    {
        T* typed = qobject_cast<T*>(w);
        if (!typed)
            qFatal("widget %s is missing or of another kind", qPrintable(name));
        return typed;
    }
    void click(const char* button, const QString& answer)
    {
        m_answers.append(answer);
        QTest::mouseClick(widget<QPushButton>(button), Qt::LeftButton);
    }

    MainWindow* m_window = nullptr;
    QStringList m_answers;
};
