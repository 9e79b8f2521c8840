#include "core/AppLifecycle.h"
#include "core/AppObjects.h"
#include "core/FilePlace.h"
#include "desktop/MprisService.h"
#include "desktop/ScreenSaverHold.h"
#include "panel/Form1.h"
#include "platform/QtPlatform.h"
#include "app/CreatePlaybackControl.h"
#include "playback/Engine.h"
#include "screen/Scr.h"
#include "screen/ScreenFonts.h"
#include "screen/VideoWidget.h"

#include <QApplication>
#include <QDBusConnection>
#include <memory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Lower case, as the program and its folders are named on the desktop: the user's settings
    // folder is ~/.config/quorvel.
    QApplication::setApplicationName(QStringLiteral("quorvel"));
    // Before any window resolves a font: fonts are cached once resolved.
    installFontSubstitutions();
    // Both windows are closed by shutdown itself, which then ends the process.
    QApplication::setQuitOnLastWindowClosed(false);

    QtPlatform qtPlatform;
    installPlatform(&qtPlatform);

    // The bookmarks are kept beside the settings file, like everything else the program remembers.
    std::unique_ptr<Engine> dvd = createPlaybackControl(bookmarkFilePath());
    installEngine(dvd.get());

    auto* panel = new Form1;
    installForm1(panel);
    dvd->setVideoOutput(scr().DVD);

    if (!Form1Load())
        return 0;
    panel->show();

    // Media keys and the screensaver go through the desktop's session bus; without one the
    // program simply goes without them.
    std::unique_ptr<MprisService> mediaControls;
    std::unique_ptr<ScreenSaverHold> screenSaver;
    QDBusConnection sessionBus = QDBusConnection::sessionBus();
    if (sessionBus.isConnected()) {
        mediaControls = std::make_unique<MprisService>(sessionBus);
        screenSaver = std::make_unique<ScreenSaverHold>(sessionBus);
    }
    return app.exec();
}
