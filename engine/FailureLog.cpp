#include "engine/FailureLog.h"

#include <cstdio>

namespace gstdvd {

bool FailureLog::report(const char* operation, const std::string& reason)
{
    std::string text = std::string(operation) + ": " + reason;
    if (text != last_) {
        std::fprintf(stderr, "quorvel: %s\n", text.c_str());
        last_ = std::move(text);
    }
    return false;
}

}  // namespace gstdvd
