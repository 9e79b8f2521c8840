#pragma once

#include <cstdint>

// 0 toggles between the sizes, 1 full screen, 2 the normal window; other modes do nothing.
// False when a step failed (the steps after it did not run).
bool SetScreenSize(int16_t mode);
