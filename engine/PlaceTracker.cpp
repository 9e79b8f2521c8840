#include "engine/PlaceTracker.h"

namespace gstdvd {

namespace {

// A chapter jump lands within a few hundred milliseconds; one that has not by then never will.
constexpr auto kJumpLands = std::chrono::seconds(3);

}  // namespace

void PlaceTracker::forget()
{
    expectedChapter_.reset();
    chapter_ = 0;
    title_ = 0;
    timeText_.clear();
    totalTimeText_.clear();
}

void PlaceTracker::sawTitle(int title)
{
    if (title != title_) {
        title_ = title;
        chapter_ = 0;
    }
}

void PlaceTracker::expectChapter(int title, int chapter)
{
    title_ = title;
    expectedChapter_ = chapter;
    expectedTitle_ = title;
    expectedUntil_ = Clock::now() + kJumpLands;
}

std::optional<int> PlaceTracker::chapter(int title, std::optional<int64_t> reading)
{
    if (expectedChapter_) {
        if (expectedTitle_ == title && Clock::now() < expectedUntil_ && (!reading || *reading != *expectedChapter_))
            return *expectedChapter_;
        expectedChapter_.reset();
    }
    if (reading && *reading >= 1)
        chapter_ = static_cast<int>(*reading);
    return lastChapter();
}

std::optional<int> PlaceTracker::lastChapter() const
{
    if (chapter_ >= 1)
        return chapter_;
    return std::nullopt;
}

}  // namespace gstdvd
