#pragma once

// The notification-area icon, there from the end of start-up until shutdown.
void TrayAdd();
void TrayRemove();
// A mouse message on the icon; the release of the left button brings both windows back.
void TrayNotify(int message);

constexpr int WM_LBUTTONUP = 0x0202;
