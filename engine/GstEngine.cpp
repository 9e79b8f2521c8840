#include "engine/GstEngine.h"

#include "engine/EngineCore.h"
#include "engine/TimeText.h"

GstEngine::GstEngine(GstEngineOptions options) : d(std::make_unique<Core>(std::move(options))) {}

GstEngine::~GstEngine() = default;

bool GstEngine::EnginePlay()
{
    return d->play();
}

bool GstEngine::EnginePause()
{
    return d->pause();
}

bool GstEngine::EngineStop()
{
    return d->stop();
}

bool GstEngine::EngineScanBackward(double rate)
{
    return d->scanBackward(rate);
}

bool GstEngine::EngineScanForward(double rate)
{
    return d->scanForward(rate);
}

bool GstEngine::EngineShowMenu(int32_t menu)
{
    return d->showMenu(menu);
}

bool GstEngine::EngineResume()
{
    return d->resume();
}

std::optional<int32_t> GstEngine::EngineChapterCount(int32_t title)
{
    return d->chapterCount(title);
}

std::optional<int32_t> GstEngine::EngineState()
{
    return d->state;
}

bool GstEngine::EngineNextChapter()
{
    return d->skipChapter(+1);
}

bool GstEngine::EnginePreviousChapter()
{
    return d->skipChapter(-1);
}

std::optional<int32_t> GstEngine::EngineTitle()
{
    return d->title();
}

std::optional<int32_t> GstEngine::EngineChapter()
{
    return d->chapter();
}

std::optional<std::string> GstEngine::EngineTimeText()
{
    if (d->state == 0)
        return d->failRead<std::string>("time", "nothing is playing");
    if (d->navigationPending() && !d->place.timeText().empty())
        return d->place.timeText();
    if (auto position = d->position()) {
        // A menu's still picture goes on counting its clock past the menu's own short length.
        if (const auto length = d->pipeline->duration(); length && *position > *length)
            position = length;
        d->place.setTimeText(gstdvd::formatTimeText(*position));
        return d->place.timeText();
    }
    // Just after a start or a jump the sinks have no position yet.
    if (!d->place.timeText().empty())
        return d->place.timeText();
    return d->failRead<std::string>("time", "the position is not known yet");
}

bool GstEngine::EngineDirectory(const std::string& path)
{
    return d->setDirectory(path);
}

std::optional<int32_t> GstEngine::EngineTitleCount()
{
    if (!d->disc)
        return d->failRead<int32_t>("title count", "no disc");
    return d->disc->titleCount();
}

std::optional<std::string> GstEngine::EngineTotalTimeText()
{
    if (d->state == 0)
        return d->failRead<std::string>("total time", "nothing is playing");
    if (d->navigationPending() && !d->place.totalTimeText().empty())
        return d->place.totalTimeText();
    const auto duration = d->pipeline->duration();
    if (!duration)
        return d->failRead<std::string>("total time", "the length is not known yet");
    d->place.setTotalTimeText(gstdvd::formatTimeText(*duration));
    return d->place.totalTimeText();
}

std::optional<int32_t> GstEngine::EngineAngle()
{
    const auto angles = d->angles();
    if (!angles)
        return std::nullopt;
    return angles->first;
}

bool GstEngine::EngineAngle(int32_t angle)
{
    return d->setAngle(angle);
}

std::optional<int32_t> GstEngine::EngineAngleCount()
{
    const auto angles = d->angles();
    if (!angles)
        return std::nullopt;
    return angles->second;
}

std::optional<bool> GstEngine::EngineMute()
{
    return d->audio.muted();
}

bool GstEngine::EngineMute(bool muted)
{
    d->audio.setMuted(muted);
    d->audio.applyTo(*d->pipeline);
    return true;
}

bool GstEngine::EngineVolume(int32_t volume)
{
    std::string error;
    if (!d->audio.setVolume(volume, &error))
        return d->fail("volume", error);
    d->audio.applyTo(*d->pipeline);
    return true;
}

bool GstEngine::EngineBalance(int32_t balance)
{
    std::string error;
    if (!d->audio.setBalance(balance, &error))
        return d->fail("balance", error);
    d->audio.applyTo(*d->pipeline);
    return true;
}

bool GstEngine::EngineSaveBookmark()
{
    return d->saveBookmark();
}

bool GstEngine::EngineRestoreBookmark()
{
    return d->restoreBookmark();
}

void GstEngine::setPlaybackEndedHandler(std::function<void(PlaybackEnd)> handler)
{
    d->endedHandler = std::move(handler);
}

void GstEngine::setVideoOutput(VideoOutput* output)
{
    d->frames->setOutput(output);
}

void GstEngine::videoAreaResized(int width, int height)
{
    d->frames->setAreaSize(QSize(width, height));
}

uint64_t GstEngine::framesShown() const
{
    return d->frames->framesShown();
}

std::optional<int64_t> GstEngine::positionNs()
{
    return d->position();
}
