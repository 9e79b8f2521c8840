#pragma once

#include <QString>
#include <cstdint>

// The numbers beside the settings dialog's bars: volume as 0 (silent) to 20 (full), balance as
// 10 (left end) to -10 (right end). Computed in double precision, shown without a leading blank.
QString VolumeLabelText(int32_t volume);
QString BalanceLabelText(int32_t balance);
