#pragma once

#include <cstdint>

class PictureButton;

// Puts the normal picture back on every picture button of the panel.
void RestoreButtonImages();
// A pointer move over a picture button: its hover picture, and its tooltip repeated on the
// screen window.
void HoverButton(PictureButton& button);
// 1 the disc-menu pop-up, 2 the bookmark pop-up; only while the panel is the foreground window.
void ShowPanelMenu(int16_t menu);
// The settings button's target.
void ShowSettingsDialog();
