#pragma once

#include "engine/BookmarkStore.h"
#include "engine/DiscCatalog.h"
#include "engine/DiscInfo.h"
#include "engine/FrameSink.h"
#include "engine/GstEngine.h"
#include "engine/Pipeline.h"
#include "engine/ReverseScan.h"
#include "engine/ScanDecoder.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>

// Everything behind GstEngine. The engine keeps its own view of the play state: the pipeline
// passes through other states for a moment after a seek or a chapter skip, and the callers
// must read back the state they asked for.
struct GstEngine::Core {
    enum class Scan { None, Forward, Backward };
    using Clock = std::chrono::steady_clock;

    explicit Core(GstEngineOptions options);
    ~Core();

    // Writes why an operation could not be done to standard error; the same text repeated (a
    // read that keeps failing twice a second) is written once.
    bool fail(const char* operation, const std::string& reason);
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
    void clearChapterTracking();

    // Titles, chapters, menus, angles, pointer (Navigation.cpp).
    std::optional<int> title();
    std::optional<int> chapter();
    std::optional<int> chapterCount(int title);
    bool skipChapter(int direction);
    bool showMenu(int menu);
    bool resume();
    std::optional<std::pair<int, int>> angles();
    bool setAngle(int angle);
    gstdvd::NavigationSender::Ticket sendCommand(int command);
    // The id of the menu on screen (0 for one that is no menu entry), none in a title.
    std::optional<int> menuShowing() const;
    // The last pointer click or command is still with the source: until it is done, reads
    // answer as before it (the navigator has moved, the picture and the clock not yet).
    bool navigationPending();
    // Commands wait, within the bound, for navigation already under way: the source takes one
    // jump at a time.
    void settleNavigation();
    // A click on the picture, with the watch it needs when it lands on a menu button.
    void click(double x, double y);
    void watchMenuButton(gstdvd::NavigationSender::Ticket ticket, int menu, int round);
    // A navigation command calling a menu the disc has, which makes the navigator let go of a
    // still picture; -1 when the disc has neither a root nor a title menu.
    int clearingMenu();
    bool waitFor(const std::function<bool()>& condition, int waitMs);

    // Scanning (Scanning.cpp).
    std::optional<int64_t> position();
    // The position, waiting a moment for it right after a jump, when the source has none yet.
    std::optional<int64_t> settledPosition();
    // What both scans need: playing a title, not a still, a sensible rate and a known position.
    // Fills in the title and the position to start from; false (reported) otherwise.
    bool scanCanStart(const char* operation, double rate, int* title, int64_t* from);
    bool scanForward(double rate);
    bool scanBackward(double rate);
    // Ends a scan; with resumeNormal the picture goes on at normal speed from where the scan
    // had got to, otherwise the caller is about to move elsewhere anyway.
    void endScan(bool resumeNormal);
    void scanTick();
    void forwardTick();
    void backwardTick();
    void startFill(const gstdvd::ReverseScan::Fill& fill);

    // Volume, balance, mute (AudioControls.cpp).
    void applyAudio();

    // Bookmark (Bookmarks.cpp).
    bool saveBookmark();
    bool restoreBookmark();

    GstEngineOptions options;
    // Anchors queued deliveries and timers on the window thread; deleting it drops the
    // deliveries still queued.
    std::unique_ptr<QObject> context;
    std::unique_ptr<gstdvd::FrameSink> frames;
    std::unique_ptr<gstdvd::Pipeline> pipeline;
    gstdvd::DiscCatalog catalog;
    // Where the next play from stopped takes its disc (empty: found by itself), and where the
    // one playing came from.
    std::string chosenLocation;
    std::string playingLocation;
    // The disc playing (or last played), as the catalog read it.
    std::shared_ptr<const gstdvd::DiscInfo> disc;
    gstdvd::BookmarkStore bookmarks;

    int state = 0;
    // Counts starts and stops, so that a check scheduled for one disc's playback leaves the
    // next one alone.
    uint64_t playGeneration = 0;
    int32_t volume = 0;
    int32_t balance = 0;
    bool muted = false;
    std::optional<int32_t> appliedVolume;
    std::optional<int32_t> appliedBalance;
    std::optional<bool> appliedMuted;

    // After a chapter skip the navigator reports the old chapter, then -1, until the jump has
    // landed; until then the chapter asked for is the answer.
    std::optional<int> pendingChapter;
    int pendingTitle = 0;
    Clock::time_point pendingUntil;
    int lastChapter = 0;
    int lastTitle = 0;
    std::string lastTimeText;
    std::string lastTotalTimeText;
    gstdvd::NavigationSender::Ticket lastNavigation = 0;
    // Handled, the jump still has to give the clock a position (a few milliseconds), unless
    // this passes first.
    Clock::time_point positionDue;

    Scan scan = Scan::None;
    double scanRate = 1.0;
    int scanTitle = 0;
    QTimer* scanTimer = nullptr;
    std::unique_ptr<gstdvd::ReverseScan> reverse;
    // Opened at the first backward scan and kept while the disc plays.
    std::unique_ptr<gstdvd::ScanDecoder> scanDecoder;
    // The playing pipeline waits paused while a backward scan shows pictures from the decoder.
    bool parked = false;
    Clock::time_point fillDeadline;

    std::string lastFailure;
    std::function<void(PlaybackEnd)> endedHandler;
};

namespace gstdvd {
// The scan decoder's own disc opens within this.
constexpr int kStartWaitMs = 400;
// Right after a jump the source has a position again within this.
constexpr int kStateWaitMs = 250;
// How long play, pause and stop wait on the window thread for what came of a state change:
// a failure at once still fails the command; what takes longer goes on by itself.
constexpr int kStateDecideMs = 40;
// How long the window thread waits for the navigator to take a command.
constexpr int kCommandWaitMs = 50;
// A menu button still being handled after this has stayed in a still menu.
constexpr int kButtonSettleMs = 80;
// A button that even calling its menu again cannot free after this has stuck the source.
constexpr int kRunawayMs = 1000;
constexpr int64_t kSecond = 1000000000;
// How long the folder and play commands wait for the disc's reading on the window thread; a
// local disc is read well within it, a drive spinning up goes on in the background.
constexpr int kDiscDecideMs = 40;
constexpr int kDiscPollMs = 20;

inline int64_t wallNow()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace gstdvd
