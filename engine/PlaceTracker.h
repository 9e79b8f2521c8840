#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace gstdvd {

// What the reads of the place in the disc answered last. While a jump settles, the pipeline
// flushes and the navigator runs ahead of the picture, so a read then answers as before rather
// than fail or guess. After a chapter jump the navigator still names the old chapter, then
// none, until the jump has landed: until then the chapter asked for is the answer.
class PlaceTracker {
public:
    using Clock = std::chrono::steady_clock;

    // A new disc, a menu, a jump elsewhere: nothing read before holds.
    void forget();

    int title() const { return title_; }
    // A title read from the navigator (0 between programs and in menus); another title than
    // before forgets the chapter.
    void sawTitle(int title);
    // A jump to the chapter has been asked for; title is where it lands.
    void expectChapter(int title, int chapter);
    // The chapter to answer in title, given what the disc says now (nothing while it cannot
    // tell); nothing when no chapter has been known since the last forget.
    std::optional<int> chapter(int title, std::optional<int64_t> reading);
    // The chapter last answered, when there was one.
    std::optional<int> lastChapter() const;

    // The time read-outs last given.
    const std::string& timeText() const { return timeText_; }
    const std::string& totalTimeText() const { return totalTimeText_; }
    void setTimeText(std::string text) { timeText_ = std::move(text); }
    void setTotalTimeText(std::string text) { totalTimeText_ = std::move(text); }

private:
    int title_ = 0;
    int chapter_ = 0;
    std::optional<int> expectedChapter_;
    int expectedTitle_ = 0;
    Clock::time_point expectedUntil_;
    std::string timeText_;
    std::string totalTimeText_;
};

}  // namespace gstdvd
