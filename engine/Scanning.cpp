// Where the picture is, and starting a scan from there (the scans themselves: Scanner).
#include "engine/EngineCore.h"

#include <chrono>
#include <thread>

namespace {

bool validRate(double rate)
{
    return rate >= 1.0 && rate <= 16.0;
}

}  // namespace

std::optional<int64_t> GstEngine::Core::position()
{
    if (state == 0)
        return std::nullopt;
    return scanner->position();
}

std::optional<int64_t> GstEngine::Core::settledPosition()
{
    // Right after a chapter jump the source answers no position until the new segment starts;
    // that takes a few milliseconds, far less than the bound.
    const auto until = Clock::now() + std::chrono::milliseconds(gstdvd::kStateWaitMs);
    auto value = position();
    while (!value && state != 0 && Clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        value = position();
    }
    return value;
}

bool GstEngine::Core::scanCanStart(const char* operation, double rate, int* titleNumber, int64_t* from)
{
    if (state != 2)
        return fail(operation, "only while playing");
    settleNavigation();
    if (!validRate(rate))
        return fail(operation, "rate " + std::to_string(rate) + " outside 1..16");
    const auto current = title();
    if (!current || *current == 0)
        return fail(operation, "a menu is showing");
    if (pipeline->inStill())
        return fail(operation, "the disc is holding a still picture");
    const auto position = settledPosition();
    if (!position)
        return fail(operation, "the position is not known yet");
    *titleNumber = *current;
    *from = *position;
    return true;
}

bool GstEngine::Core::scanForward(double rate)
{
    int current = 0;
    int64_t from = 0;
    return scanCanStart("fast-forward", rate, &current, &from) && scanner->forward(rate, current, from);
}

bool GstEngine::Core::scanBackward(double rate)
{
    int current = 0;
    int64_t from = 0;
    return scanCanStart("rewind", rate, &current, &from)
        && scanner->backward(rate, current, from, disc->device(), clearingMenu());
}
