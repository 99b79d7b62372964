#include "app/mainwindow.h"
#include "app/placement.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    MainWindow window;
    window.setGeometry(mainWindowGeometry(QGuiApplication::primaryScreen()->availableGeometry()));
    window.show();
    return application.exec();
}
