#pragma once

#include <cstdint>
#include <string>

namespace gstdvd {

// The control's time texts: "hh:mm:ss", whole seconds rounded down; negative times read as zero.
std::string formatTimeText(int64_t nanoseconds);

}  // namespace gstdvd
