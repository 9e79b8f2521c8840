#include "dialogs/ContLabels.h"

#include <cmath>

QString VolumeLabelText(int32_t volume)
{
    const double steps = std::floor(std::fabs(std::fabs(static_cast<double>(volume)) - 10000.0) / 500.0);
    return QString::number(static_cast<long long>(steps));
}

QString BalanceLabelText(int32_t balance)
{
    // floor, not truncation: -1 to -1000 read "-1", so the left and right halves of the bar
    // get the same number of steps.
    const double steps = std::floor(static_cast<double>(balance) / 1000.0);
    return QString::number(static_cast<long long>(steps));
}
