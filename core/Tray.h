#pragma once

// The notification-area icon, there from the end of start-up until shutdown.
void TrayAdd();
void TrayRemove();
// A mouse message on the icon; the release of the left button brings both windows back.
void TrayNotify(int message);
// The panel and then the screen window, each shown, out of the minimized state, raised and
// activated: the screen window ends up in front.
void ShowBothWindows();

constexpr int WM_LBUTTONUP = 0x0202;
