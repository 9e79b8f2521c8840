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
    for (QWidget* window : {static_cast<QWidget*>(&form1()), static_cast<QWidget*>(&scr())}) {
        window->show();
        window->raise();
        window->activateWindow();
    }
}
