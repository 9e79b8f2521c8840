#include "support/FakeEngine.h"

#include <algorithm>
#include <sstream>

namespace {
std::string text(double value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}
} // namespace

bool FakeEngine::record(EngineOp op, Kind kind, std::string arg)
{
    calls.push_back({op, std::move(arg)});
    return failing.count({op, Any}) == 0 && failing.count({op, kind}) == 0;
}

template <typename T>
std::optional<T> FakeEngine::get(EngineOp op, T value, std::string arg)
{
    if (!record(op, Get, std::move(arg)))
        return std::nullopt;
    return value;
}

std::vector<EngineOp> FakeEngine::ops() const
{
    std::vector<EngineOp> result;
    for (const Call& call : calls)
        result.push_back(call.op);
    return result;
}

int FakeEngine::count(EngineOp op) const
{
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [op](const Call& c) { return c.op == op; }));
}

bool FakeEngine::EnginePlay()
{
    if (!record(EngineOp::Play, Any, ""))
        return false;
    if (transportSetsState)
        state = 2;
    return true;
}

bool FakeEngine::EnginePause()
{
    if (!record(EngineOp::Pause, Any, ""))
        return false;
    if (transportSetsState)
        state = 1;
    return true;
}

bool FakeEngine::EngineStop()
{
    if (!record(EngineOp::Stop, Any, ""))
        return false;
    if (transportSetsState)
        state = 0;
    return true;
}

bool FakeEngine::EngineScanBackward(double rate) { return record(EngineOp::ScanBackward, Any, text(rate)); }
bool FakeEngine::EngineScanForward(double rate) { return record(EngineOp::ScanForward, Any, text(rate)); }
bool FakeEngine::EngineShowMenu(int32_t menu) { return record(EngineOp::ShowMenu, Any, std::to_string(menu)); }
bool FakeEngine::EngineResume() { return record(EngineOp::Resume, Any, ""); }

std::optional<int32_t> FakeEngine::EngineChapterCount(int32_t forTitle)
{
    return get(EngineOp::ChapterCount, chapterCount, std::to_string(forTitle));
}

std::optional<int32_t> FakeEngine::EngineState() { return get(EngineOp::State, state); }
bool FakeEngine::EngineNextChapter() { return record(EngineOp::NextChapter, Any, ""); }
bool FakeEngine::EnginePreviousChapter() { return record(EngineOp::PreviousChapter, Any, ""); }
std::optional<int32_t> FakeEngine::EngineTitle() { return get(EngineOp::Title, title); }
std::optional<int32_t> FakeEngine::EngineChapter() { return get(EngineOp::Chapter, chapter); }
std::optional<std::string> FakeEngine::EngineTimeText() { return get(EngineOp::TimeText, timeText); }

bool FakeEngine::EngineDirectory(const std::string& path)
{
    if (!record(EngineOp::Directory, Put, path))
        return false;
    directory = path;
    return true;
}

std::optional<int32_t> FakeEngine::EngineTitleCount() { return get(EngineOp::TitleCount, titleCount); }
std::optional<std::string> FakeEngine::EngineTotalTimeText() { return get(EngineOp::TotalTimeText, totalTimeText); }
std::optional<int32_t> FakeEngine::EngineAngle() { return get(EngineOp::Angle, angle); }

bool FakeEngine::EngineAngle(int32_t value)
{
    if (!record(EngineOp::Angle, Put, std::to_string(value)))
        return false;
    angle = value;
    return true;
}

std::optional<int32_t> FakeEngine::EngineAngleCount() { return get(EngineOp::AngleCount, angleCount); }
std::optional<bool> FakeEngine::EngineMute() { return get(EngineOp::Mute, mute); }

bool FakeEngine::EngineMute(bool muted)
{
    if (!record(EngineOp::Mute, Put, muted ? "true" : "false"))
        return false;
    mute = muted;
    return true;
}

bool FakeEngine::EngineVolume(int32_t value)
{
    if (!record(EngineOp::Volume, Put, std::to_string(value)))
        return false;
    volume = value;
    return true;
}

bool FakeEngine::EngineBalance(int32_t value)
{
    if (!record(EngineOp::Balance, Put, std::to_string(value)))
        return false;
    balance = value;
    return true;
}

bool FakeEngine::EngineSaveBookmark() { return record(EngineOp::SaveBookmark, Any, ""); }
bool FakeEngine::EngineRestoreBookmark() { return record(EngineOp::RestoreBookmark, Any, ""); }
