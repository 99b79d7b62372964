#include "app/mainwindow.h"
#include "app/placement.h"
#include "app/readablepalette.h"
#include "app/windowsettings.h"
#include "settings/settingsfile.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstring>

namespace {

// Answered before the application object exists, so a shell without a
// display (and the manual page's generator) can ask.
const char helpText[] = R"help(Usage: kova [--help | --version]

Opens the KOVA window: choose the transaction type, the source workbook, its
sheet and the upload file, fill in the type's form and press Export. Every
row is checked and shown in the log; the upload file is written only when no
row has an error. kova-export runs the same exports without a window.

Options:
  --help      show this text
  --version   show the version
)help";

} // namespace

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(helpText, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("kova " KOVA_VERSION "\n", stdout);
            return 0;
        }
    }
    QApplication application(argc, argv);
    // Every text of the window at 4.5:1 or more, the locked and the selected included.
    QApplication::setPalette(readablePalette(QApplication::palette()));
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
