#pragma once

#include "playback/Engine.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

// The playback control as the tests script it: values to report, every call recorded in order,
// and failures injected per operation (gets and puts apart where an operation has both).
class FakeEngine : public Engine {
public:
    struct Call {
        EngineOp op;
        std::string arg; // the argument as text, empty for none; "get" for property reads
        bool operator==(const Call& other) const { return op == other.op && arg == other.arg; }
    };

    // Reported values.
    int32_t state = 0;
    int32_t title = 1;
    int32_t titleCount = 1;
    int32_t chapter = 1;
    int32_t chapterCount = 1;
    int32_t angle = 1;
    int32_t angleCount = 1;
    bool mute = false;
    std::string timeText = "00:00:00";
    std::string totalTimeText = "00:00:00";
    // What the transport calls leave the state at, as a real control would report.
    bool transportSetsState = true;

    // Kept from puts.
    int32_t volume = 0;
    int32_t balance = 0;
    std::string directory;

    std::vector<Call> calls;

    void failOn(EngineOp op) { failing.insert({op, Any}); }
    void failOnGet(EngineOp op) { failing.insert({op, Get}); }
    void failOnPut(EngineOp op) { failing.insert({op, Put}); }
    void clearFailures() { failing.clear(); }
    std::vector<EngineOp> ops() const;
    int count(EngineOp op) const;

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
    bool EngineAngle(int32_t value) override;
    std::optional<int32_t> EngineAngleCount() override;
    std::optional<bool> EngineMute() override;
    bool EngineMute(bool muted) override;
    bool EngineVolume(int32_t value) override;
    bool EngineBalance(int32_t value) override;
    bool EngineSaveBookmark() override;
    bool EngineRestoreBookmark() override;
    void setVideoOutput(VideoOutput*) override {}
    void pointerMoved(double, double) override {}
    void pointerClicked(double, double) override {}
    void setPlaybackEndedHandler(std::function<void(PlaybackEnd)> handler) override { endedHandler = std::move(handler); }
    // What a real control does when the disc's program ends or the disc fails: it stops, then
    // says so.
    void endPlaybackByItself(PlaybackEnd end = PlaybackEnd::Finished)
    {
        state = 0;
        if (endedHandler)
            endedHandler(end);
    }
    std::function<void(PlaybackEnd)> endedHandler;

private:
    enum Kind { Any, Get, Put };
    std::set<std::pair<EngineOp, Kind>> failing;
    bool record(EngineOp op, Kind kind, std::string arg);
    template <typename T>
    std::optional<T> get(EngineOp op, T value, std::string arg = "get");
};
