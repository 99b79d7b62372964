#include "app/mainwindow.h"
#include "app/placement.h"
#include "app/windowsettings.h"
#include "export/settingsfile.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    MainWindow window;
    QList<QRect> screenAreas;
    for (const QScreen* screen : QGuiApplication::screens())
        screenAreas.append(screen->availableGeometry());
    const QRect stored = WindowSettings::read(kova::defaultSettingsPath()).geometry;
    const QRect primaryArea = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect first = mainWindowGeometry(stored, primaryArea, screenAreas);
    window.setGeometry(first);
    window.show();
    // The frame is the window system's, known only once the window is shown:
    // a first place that does not hold the window with its frame shrinks.
    if (first != stored)
        QTimer::singleShot(0, &window, [&window, primaryArea] {
            if (!primaryArea.contains(window.frameGeometry()))
                window.setGeometry(mainWindowGeometry(primaryArea, window.windowHandle()->frameMargins()));
        });
    return application.exec();
}
