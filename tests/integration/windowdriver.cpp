#include "windowdriver.h"

#include "app/loglineview.h"
#include "app/mainwindow.h"
#include "forms/common/filedialogs.h"
#include "register/batchregister.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

WindowDriver::WindowDriver()
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

WindowDriver::~WindowDriver()
{
    delete m_window;
    Messages::setPresenter({});
    Messages::setCapturedAnswer(false);
    FileDialogs::setChooser({});
}

QString WindowDriver::settingsPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath("kova.ini");
}

QWidget* WindowDriver::form() const
{
    QLayoutItem* item = m_window->findChild<QHBoxLayout*>("horzFormUI")->itemAt(0);
    return item ? item->widget() : nullptr;
}

QWidget* WindowDriver::findIn(QWidget* parent, const QString& name)
{
    return parent ? parent->findChild<QWidget*>(name) : nullptr;
}

void WindowDriver::answerNextDialog(const QString& path)
{
    m_answers.append(path);
}

void WindowDriver::chooseType(int index)
{
    widget<QComboBox>("cboTrxType")->setCurrentIndex(index);
}

void WindowDriver::browseSource(const QString& path)
{
    answerNextDialog(path);
    QTest::mouseClick(widget<QPushButton>("btnSrc"), Qt::LeftButton);
}

void WindowDriver::chooseSheet(const QString& name)
{
    auto* sheets = widget<QComboBox>("cboSheets");
    const int index = sheets->findText(name);
    if (index < 0)
        qFatal("no sheet %s", qPrintable(name));
    sheets->setCurrentIndex(index);
}

void WindowDriver::browseDestination(const QString& path)
{
    answerNextDialog(path);
    QTest::mouseClick(widget<QPushButton>("btnDest"), Qt::LeftButton);
}

void WindowDriver::checkAccount(int row)
{
    auto* table = field<QTableView>("tblAcc");
    checked<QRadioButton>(table->indexWidget(table->model()->index(row, 0)), "account radio button")
        ->click();
}

void WindowDriver::clickExport()
{
    QTest::mouseClick(field<QPushButton>("btnExport"), Qt::LeftButton);
}

QAbstractItemModel* WindowDriver::log() const
{
    return widget<QTableView>("tableView")->model();
}

QString WindowDriver::logText() const
{
    return widget<LogLineView>("txtStatus")->toPlainText();
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
