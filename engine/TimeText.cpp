#include "engine/TimeText.h"

#include <cstdio>

namespace gstdvd {

std::string formatTimeText(int64_t nanoseconds)
{
    const int64_t seconds = nanoseconds > 0 ? nanoseconds / 1000000000 : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

}  // namespace gstdvd
