#include "core/WindowDrag.h"

#include "core/AppObjects.h"
#include "panel/Form1.h"
#include "platform/Platform.h"
#include "screen/Scr.h"

namespace {
void drag(QWidget* window, int buttons)
{
    if (buttons != 1)
        return;
    platform().startWindowDrag(window);
}
} // namespace

void DragForm1(int buttons)
{
    drag(&form1(), buttons);
}

void DragScr(int buttons)
{
    drag(&scr(), buttons);
}

int buttonState(int qtButtons)
{
    int state = 0;
    if (qtButtons & Qt::LeftButton)
        state |= 1;
    if (qtButtons & Qt::RightButton)
        state |= 2;
    if (qtButtons & Qt::MiddleButton)
        state |= 4;
    return state;
}
