#include "app/mainwindow.h"
#include "app/placement.h"
#include "app/windowsettings.h"
#include "export/settingsfile.h"

#include <QApplication>
#include <QScreen>

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
    MainWindow window;
    QList<QRect> screenAreas;
    for (const QScreen* screen : QGuiApplication::screens())
        screenAreas.append(screen->availableGeometry());
    window.setGeometry(mainWindowGeometry(WindowSettings::read(kova::defaultSettingsPath()).geometry,
                                          QGuiApplication::primaryScreen()->availableGeometry(), screenAreas));
    window.show();
    return application.exec();
}
