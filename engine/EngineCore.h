#pragma once

#include "engine/BackgroundJobs.h"

#include "engine/AudioMix.h"
#include "engine/BookmarkStore.h"
#include "engine/DiscCatalog.h"
#include "engine/DiscInfo.h"
#include "engine/EngineTimes.h"
#include "engine/FailureLog.h"
#include "engine/FrameSink.h"
#include "engine/GstEngine.h"
#include "engine/PendingNavigation.h"
#include "engine/Pipeline.h"
#include "engine/PlaceTracker.h"
#include "engine/Scanner.h"

#include <QObject>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>

// Behind GstEngine: the disc and the play state, and the commands that need several of the
// parts below. The engine keeps its own view of the play state: the pipeline passes through
// other states for a moment after a seek or a chapter skip, and the callers must read back
// the state they asked for.
struct GstEngine::Core {
    using Clock = std::chrono::steady_clock;

    explicit Core(GstEngineOptions options);
    ~Core();

    bool fail(const char* operation, const std::string& reason) { return failures.report(operation, reason); }
    template <typename T>
    std::optional<T> failRead(const char* operation, const std::string& reason)
    {
        fail(operation, reason);
        return std::nullopt;
    }

    // Transport and disc (Transport.cpp).
    bool play();
    bool pause();
    bool stop();
    bool setDirectory(const std::string& path);
    // Opens the disc in the pipeline; false with the reason.
    bool startDisc(const std::shared_ptr<const gstdvd::DiscInfo>& next, std::string* error);
    // Polls the catalog for a disc still being read when play was asked for, until the deadline.
    void waitForDisc(uint64_t generation, Clock::time_point deadline);
    void stopPlayback();
    void playbackFailed(const std::string& reason);
    void playbackEnded();
    // Stops after a fault or the disc's end, and tells whoever listens once the call that
    // noticed it is over.
    void stopByItself(PlaybackEnd end);
    // A jump elsewhere: what the reads answered before no longer holds.
    void forgetPlace();

    // Titles, chapters, menus, angles, pointer (Navigation.cpp).
    std::optional<int> title();
    std::optional<int> chapter();
    std::optional<int> chapterCount(int title);
    bool skipChapter(int direction);
    bool showMenu(int menu);
    bool resume();
    std::optional<std::pair<int, int>> angles();
    bool setAngle(int angle);
    void sendCommand(int command);
    // The id of the menu on screen (0 for one that is no menu entry), none in a title.
    std::optional<int> menuShowing() const;
    bool navigationPending() { return navigation.pending(*pipeline); }
    void settleNavigation() const { navigation.settle(*pipeline); }
    // A click on the picture, with the watch it needs when it lands on a menu button.
    void click(double x, double y);
    void watchMenuButton(gstdvd::NavigationSender::Ticket ticket, int menu, int round);
    // A navigation command calling a menu the disc has, which makes the navigator let go of a
    // still picture; -1 when the disc has neither a root nor a title menu.
    int clearingMenu() const;
    bool waitFor(const std::function<bool()>& condition, int waitMs);

    // Position and scans (Scanning.cpp).
    std::optional<int64_t> position();
    // The position, waiting a moment for it right after a jump, when the source has none yet.
    std::optional<int64_t> settledPosition();
    // What both scans need: playing a title, not a still, a sensible rate and a known position.
    // Fills in the title and the position to start from; false (reported) otherwise.
    bool scanCanStart(const char* operation, double rate, int* title, int64_t* from);
    bool scanForward(double rate);
    bool scanBackward(double rate);
    void endScan(bool resumeNormal) { scanner->end(resumeNormal, state == 2); }

    // Bookmark (Bookmarks.cpp).
    bool saveBookmark();
    bool restoreBookmark();

    GstEngineOptions options;
    // Anchors queued deliveries and timers on the window thread; deleting it drops the
    // deliveries still queued.
    std::unique_ptr<QObject> context;
    gstdvd::FailureLog failures;
    std::unique_ptr<gstdvd::FrameSink> frames;
    std::unique_ptr<gstdvd::Pipeline> pipeline;
    std::unique_ptr<gstdvd::Scanner> scanner;
    // Loads the playback plugins while the user has not yet pressed play.
    std::unique_ptr<gstdvd::BackgroundJobs> preload;
    gstdvd::AudioMix audio;
    gstdvd::DiscCatalog catalog;
    gstdvd::BookmarkStore bookmarks;
    gstdvd::PlaceTracker place;
    gstdvd::PendingNavigation navigation;

    // Where the next play from stopped takes its disc (empty: found by itself), and where the
    // one playing came from.
    std::string chosenLocation;
    std::string playingLocation;
    // The disc playing (or last played), as the catalog read it.
    std::shared_ptr<const gstdvd::DiscInfo> disc;
    int state = 0;
    // Counts starts and stops, so that a check scheduled for one disc's playback leaves the
    // next one alone.
    uint64_t playGeneration = 0;
    std::function<void(PlaybackEnd)> endedHandler;
};
