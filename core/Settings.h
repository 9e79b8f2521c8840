#pragma once

#include <cstdint>
#include <string>

// The user's choices, held for the whole run and kept in quorvel2.ini. A load that fails part
// of the way writes the start values of the fields it did not reach, so they matter.
struct SettingsRecord {
    int16_t speed = 0;
    int16_t volume = 0;
    int16_t mute = 0;
    int16_t screen = 0;
    int16_t balance = 0;
    int16_t r_lbl = 0;
    int16_t l_lbl = 0;
    std::string dir;
    int16_t dirsta = 0;
};

extern SettingsRecord Settings;

// Back to the values of process start (for tests).
void resetSettings();
