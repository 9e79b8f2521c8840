#pragma once

#include <cstdint>

// Last play state read from the playback control: 0 stopped, 1 paused, 2 playing. Other values
// the control may report are kept as they are.
extern int16_t PlayState;

void resetPlayState();
