#pragma once

#include "playback/Engine.h"

// A playback control without any disc support: it keeps volume, balance and mute and reports
// "stopped", and refuses everything else. The program falls back to it when the real engine
// cannot be created (its GStreamer plugins are missing), so the settings and windows still work.
class StandInEngine : public Engine {
public:
    bool EnginePlay() override { return false; }
    bool EnginePause() override { return false; }
    bool EngineStop() override { return false; }
    bool EngineScanBackward(double) override { return false; }
    bool EngineScanForward(double) override { return false; }
    bool EngineShowMenu(int32_t) override { return false; }
    bool EngineResume() override { return false; }
    std::optional<int32_t> EngineChapterCount(int32_t) override { return std::nullopt; }
    std::optional<int32_t> EngineState() override { return 0; }
    bool EngineNextChapter() override { return false; }
    bool EnginePreviousChapter() override { return false; }
    std::optional<int32_t> EngineTitle() override { return std::nullopt; }
    std::optional<int32_t> EngineChapter() override { return std::nullopt; }
    std::optional<std::string> EngineTimeText() override { return std::nullopt; }
    bool EngineDirectory(const std::string&) override { return false; }
    std::optional<int32_t> EngineTitleCount() override { return std::nullopt; }
    std::optional<std::string> EngineTotalTimeText() override { return std::nullopt; }
    std::optional<int32_t> EngineAngle() override { return std::nullopt; }
    bool EngineAngle(int32_t) override { return false; }
    std::optional<int32_t> EngineAngleCount() override { return std::nullopt; }
    std::optional<bool> EngineMute() override { return muted_; }
    bool EngineMute(bool muted) override
    {
        muted_ = muted;
        return true;
    }
    bool EngineVolume(int32_t) override { return true; }
    bool EngineBalance(int32_t) override { return true; }
    bool EngineSaveBookmark() override { return false; }
    bool EngineRestoreBookmark() override { return false; }
    void setVideoOutput(VideoOutput*) override {}
    void pointerMoved(double, double) override {}
    void pointerClicked(double, double) override {}

private:
    bool muted_ = false;
};
