#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// The playback control `DVD`: every operation the program issues to it, each with its fixed
// dispatch identifier. Each may fail: a call or a put returns false, a get
// returns an empty optional. The engine writes the technical reason to standard error; the
// caller only decides what the user sees.
enum class EngineOp : int {
    Play = 2,
    Pause = 3,
    Stop = 4,
    ScanBackward = 10,
    ScanForward = 11,
    ShowMenu = 12,
    Resume = 13,
    ChapterCount = 14,
    State = 17,
    NextChapter = 28,
    PreviousChapter = 29,
    Title = 35,
    Chapter = 36,
    TimeText = 38,
    Directory = 39,
    TitleCount = 42,
    TotalTimeText = 49,
    Angle = 54,
    AngleCount = 55,
    Mute = 63,
    Volume = 64,
    Balance = 65,
    SaveBookmark = 100,
    RestoreBookmark = 101,
};

class VideoOutput;

// Why playback stopped by itself: the disc's program came to its end, or the disc could not be
// read on (or, asked to play, could not be read at all).
enum class PlaybackEnd { Finished, Failed };

class Engine {
public:
    virtual ~Engine() = default;

    virtual bool EnginePlay() = 0;
    virtual bool EnginePause() = 0;
    virtual bool EngineStop() = 0;
    virtual bool EngineScanBackward(double rate) = 0;
    virtual bool EngineScanForward(double rate) = 0;
    // DVD-Video menu ids: 2 title, 3 root, 4 sub-picture, 5 audio, 6 angle, 7 chapter.
    virtual bool EngineShowMenu(int32_t menu) = 0;
    virtual bool EngineResume() = 0;
    virtual std::optional<int32_t> EngineChapterCount(int32_t title) = 0;
    // 0 stopped, 1 paused, 2 playing; must already hold the new state when a transport
    // call or a chapter skip returns.
    virtual std::optional<int32_t> EngineState() = 0;
    virtual bool EngineNextChapter() = 0;
    virtual bool EnginePreviousChapter() = 0;
    virtual std::optional<int32_t> EngineTitle() = 0;
    virtual std::optional<int32_t> EngineChapter() = 0;
    virtual std::optional<std::string> EngineTimeText() = 0;
    // An empty path asks the engine to find a disc by itself.
    virtual bool EngineDirectory(const std::string& path) = 0;
    virtual std::optional<int32_t> EngineTitleCount() = 0;
    virtual std::optional<std::string> EngineTotalTimeText() = 0;
    virtual std::optional<int32_t> EngineAngle() = 0;
    virtual bool EngineAngle(int32_t angle) = 0;
    virtual std::optional<int32_t> EngineAngleCount() = 0;
    virtual std::optional<bool> EngineMute() = 0;
    virtual bool EngineMute(bool muted) = 0;
    // Hundredths of a decibel: -10000 silent ... 0 full.
    virtual bool EngineVolume(int32_t volume) = 0;
    // -10000 left ... 0 centre ... 10000 right.
    virtual bool EngineBalance(int32_t balance) = 0;
    virtual bool EngineSaveBookmark() = 0;
    virtual bool EngineRestoreBookmark() = 0;

    // Where decoded pictures go and where pointer events on the picture come from; the
    // screen window's video area provides it. May be null (no picture wanted).
    virtual void setVideoOutput(VideoOutput* output) = 0;
    // The size of the area the pictures are fitted into, in device pixels, when it changes:
    // the engine can then make them at the size they are shown.
    virtual void videoAreaResized(int width, int height)
    {
        (void)width;
        (void)height;
    }
    // Pointer on the picture, in the coordinates of the last frame handed out: highlights and
    // activates the buttons of a disc menu.
    virtual void pointerMoved(double x, double y) = 0;
    virtual void pointerClicked(double x, double y) = 0;

    // Called on the window thread, after the fact, when playback has stopped by itself. The
    // engine reports state 0 by then. A control that never plays never calls it.
    virtual void setPlaybackEndedHandler(std::function<void(PlaybackEnd)> handler) { (void)handler; }
};
