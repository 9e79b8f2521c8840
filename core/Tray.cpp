#include "core/Tray.h"

#include "core/AppObjects.h"
#include "panel/Form1.h"
#include "platform/Platform.h"
#include "screen/Scr.h"

void TrayAdd()
{
    platform().trayAdd(form1().windowIcon(), QStringLiteral("左クリックで最小化されたQuorvelを表示できます"),
                       [] { TrayNotify(WM_LBUTTONUP); });
}

void TrayRemove()
{
    platform().trayRemove();
}

void TrayNotify(int message)
{
    if (message != WM_LBUTTONUP)
        return;
    ShowBothWindows();
}

void ShowBothWindows()
{
    for (QWidget* window : {static_cast<QWidget*>(&form1()), static_cast<QWidget*>(&scr())}) {
        // A minimized window is still shown as far as the toolkit is concerned; showing it again
        // would leave it where the user put it, out of sight.
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->show();
        window->raise();
        window->activateWindow();
    }
}
