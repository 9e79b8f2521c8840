#pragma once

#include <string>

namespace gstdvd {

// Why an operation could not be done, on standard error for the user and a bug report. The same
// text repeated (a read that keeps failing twice a second) is written once.
class FailureLog {
public:
    // Always false, so that a failing command can return it.
    bool report(const char* operation, const std::string& reason);
    // A new start: the same failure again is news.
    void forget() { last_.clear(); }

private:
    std::string last_;
};

}  // namespace gstdvd
