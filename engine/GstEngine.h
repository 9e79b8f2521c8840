#pragma once

#include "engine/DiscLocator.h"
#include "playback/Engine.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

typedef struct _GstElement GstElement;

struct GstEngineOptions {
    // The small file that keeps the bookmark between runs; empty keeps it for this run only.
    std::string bookmarkFile;
    // Builds the audio output (a new element) at the end of the engine's own chain (volume,
    // balance); null means the system's default output. Tests put a measuring sink here.
    std::function<GstElement*()> makeAudioSink;
    // Start a disc the way a player does, with its first-play program (which usually leads to
    // the disc's menu); false jumps straight to the title menu.
    bool runFirstPlay = true;
    // Where to look for a disc when no folder is named.
    gstdvd::DiscSearch discSearch;
    // A play whose disc (a drive spinning up, a stalled mount) has not answered by then fails.
    int discDeadlineMs = 15000;
};

// The playback control on GStreamer: playbin on the DVD source, pictures handed to the
// VideoOutput on the window thread, bus messages taken on the window thread through Qt's GLib
// event loop. Create and use it on the window thread, after QCoreApplication exists.
class GstEngine : public Engine {
public:
    explicit GstEngine(GstEngineOptions options = {});
    ~GstEngine() override;
    GstEngine(const GstEngine&) = delete;
    GstEngine& operator=(const GstEngine&) = delete;

    bool EnginePlay() override;
    bool EnginePause() override;
    bool EngineStop() override;
    bool EngineScanBackward(double rate) override;
    bool EngineScanForward(double rate) override;
    bool EngineShowMenu(int32_t menu) override;
    bool EngineResume() override;
    std::optional<int32_t> EngineChapterCount(int32_t title) override;
    std::optional<int32_t> EngineState() override;
    bool EngineNextChapter() override;
    bool EnginePreviousChapter() override;
    std::optional<int32_t> EngineTitle() override;
    std::optional<int32_t> EngineChapter() override;
    std::optional<std::string> EngineTimeText() override;
    bool EngineDirectory(const std::string& path) override;
    std::optional<int32_t> EngineTitleCount() override;
    std::optional<std::string> EngineTotalTimeText() override;
    std::optional<int32_t> EngineAngle() override;
    bool EngineAngle(int32_t angle) override;
    std::optional<int32_t> EngineAngleCount() override;
    std::optional<bool> EngineMute() override;
    bool EngineMute(bool muted) override;
    bool EngineVolume(int32_t volume) override;
    bool EngineBalance(int32_t balance) override;
    bool EngineSaveBookmark() override;
    bool EngineRestoreBookmark() override;

    void setVideoOutput(VideoOutput* output) override;
    void videoAreaResized(int width, int height) override;
    void pointerMoved(double x, double y) override;
    void pointerClicked(double x, double y) override;
    void setPlaybackEndedHandler(std::function<void(PlaybackEnd)> handler) override;

    // Pictures handed to the video output so far (benchmarks).
    uint64_t framesShown() const;
    // Title time in nanoseconds, finer than the time text (tests and benchmarks).
    std::optional<int64_t> positionNs();

    struct Core;

private:
    std::unique_ptr<Core> d;
};
