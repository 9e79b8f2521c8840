#pragma once

// One tick of the screen window's right-button poll: while the screen window is the foreground
// window, a right button that is down, or was pressed since the previous tick, opens its
// context menu at the pointer.
void RightButtonPoll();
