#include "app/mainwindow.h"
#include "app/placement.h"
#include "app/windowsettings.h"
#include "export/settingsfile.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    MainWindow window;
    QList<QRect> screenAreas;
    for (const QScreen* screen : QGuiApplication::screens())
        screenAreas.append(screen->availableGeometry());
    window.setGeometry(mainWindowGeometry(WindowSettings::read(kova::defaultSettingsPath()).geometry,
                                          QGuiApplication::primaryScreen()->availableGeometry(), screenAreas));
    window.show();
    return application.exec();
}
