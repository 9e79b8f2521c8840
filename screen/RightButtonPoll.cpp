#include "screen/RightButtonPoll.h"

#include "core/AppObjects.h"
#include "platform/Platform.h"
#include "screen/Scr.h"

void RightButtonPoll()
{
    // The menu call waits in a nested event loop where this timer may fire again; the open menu
    // must not open a second one over itself.
    static bool menuOpen = false;
    if (menuOpen)
        return;
    if (platform().foregroundWindow() != &scr())
        return;
    if (!platform().rightButtonPressedSinceLastQuery())
        return;
    menuOpen = true;
    platform().popupMenuAtPointer(scr().R_Pop);
    menuOpen = false;
}
