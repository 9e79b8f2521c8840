#pragma once

// Which panel buttons and screen-menu items react, for stopped (and paused), playing and
// scanning.
void SetStoppedControls();
void SetPlayingControls();
void SetScanControls();
