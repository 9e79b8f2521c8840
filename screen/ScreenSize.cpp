#include "screen/ScreenSize.h"

#include "core/AppObjects.h"
#include "core/Settings.h"
#include "core/Twips.h"
#include "panel/Form1.h"
#include "platform/Platform.h"
#include "screen/Notice.h"
#include "screen/Scr.h"
#include "screen/VideoWidget.h"

#include <QLabel>
#include <QLineEdit>

namespace {

bool fullSize()
{
    Scr& screen = scr();
    const QSize display = platform().displaySizePixels();
    const double width = pixelsToTwipsX(display.width());
    const double height = pixelsToTwipsY(display.height());
    setTwipsGeometry(&screen, 0, 0, width, height);
    setTwipsGeometry(screen.DVD, 0, 0, width, height);
    setTwipsGeometry(screen.Picture3, 0, 0, width, height);
    screen.Picture3->setPixmap(screen.Picture4->pixmap());
    Settings.screen = 1;
    setTwipsLeft(screen.Text1, 11000);
    ShowNotice(QStringLiteral("FULL"));
    return true;
}

bool normalSize()
{
    Scr& screen = scr();
    setTwipsGeometry(&screen, 1850, 700, 11500, 7680);
    setTwipsGeometry(screen.DVD, 60, 360, 11355, 7215);
    setTwipsGeometry(screen.Picture3, 60, 360, 11355, 7215);
    screen.Picture3->setPixmap(screen.Picture5->pixmap());
    if (form1Exists())
        setTwipsPosition(&form1(), 3795, 8505);
    setTwipsLeft(screen.Text1, 7000);
    ShowNotice(QStringLiteral("NORMAL"));
    Settings.screen = 0;
    return true;
}

} // namespace

bool SetScreenSize(int16_t mode)
{
    switch (mode) {
    case 0:
        if (Settings.screen == 0)
            return fullSize();
        if (Settings.screen == 1)
            return normalSize();
        return true;
    case 1:
        return fullSize();
    case 2:
        return normalSize();
    default:
        return true;
    }
}
