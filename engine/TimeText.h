#pragma once

#include <cstdint>
#include <string>

namespace engine {

// The control's time texts: "hh:mm:ss", whole seconds rounded down; negative times read as zero.
std::string formatTimeText(int64_t nanoseconds);

}  // namespace engine
