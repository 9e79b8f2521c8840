#pragma once

class QTimer;

// One tick of the screen window's right-button poll: while the screen window is the foreground
// window, a right button that is down, or was pressed since the previous tick, opens its
// context menu at the pointer. While another window is in front the tick slows its timer to a
// rest; a change of the window in front wakes it again.
void RightButtonPoll();

// The poll's two paces: watching, while the screen window is in front, and resting.
constexpr int RightButtonPollMs = 10;
constexpr int RightButtonPollRestMs = 250;
void WakeRightButtonPoll(QTimer& timer);
void RestRightButtonPoll(QTimer& timer);
