#include "screen/RightButtonPoll.h"

#include "core/AppObjects.h"
#include "platform/Platform.h"
#include "screen/Scr.h"

#include <QTimer>

void RightButtonPoll()
{
    // The menu call waits in a nested event loop where this timer may fire again; the open menu
    // must not open a second one over itself.
    static bool menuOpen = false;
    if (menuOpen)
        return;
    if (platform().foregroundWindow() != &scr()) {
        // Its tick does nothing here, and an idle program should not wake a hundred times a
        // second for it.
        RestRightButtonPoll(*scr().Timer3);
        return;
    }
    // The change of the window in front wakes the poll; should the window system's word on it
    // go missing, the resting tick makes up for it, a press being kept until it is asked for.
    WakeRightButtonPoll(*scr().Timer3);
    if (!platform().rightButtonPressedSinceLastQuery())
        return;
    menuOpen = true;
    platform().popupMenuAtPointer(scr().R_Pop);
    menuOpen = false;
}

void WakeRightButtonPoll(QTimer& timer)
{
    if (timer.interval() != RightButtonPollMs || !timer.isActive()) {
        timer.setInterval(RightButtonPollMs);
        timer.start();
    }
}

void RestRightButtonPoll(QTimer& timer)
{
    if (timer.interval() != RightButtonPollRestMs)
        timer.setInterval(RightButtonPollRestMs);
}
