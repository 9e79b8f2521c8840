#include "engine/GstEngine.h"

#include "engine/DiscLocator.h"
#include "engine/EngineCore.h"
#include "engine/TimeText.h"

#include <gst/gst.h>

#include <cstdio>

using engine::kStartWaitMs;
using engine::kStateWaitMs;

GstEngine::Core::Core(GstEngineOptions opts)
    : options(std::move(opts)), context(std::make_unique<QObject>()), bookmarks(options.bookmarkFile)
{
    if (!gst_is_initialized()) {
        GError* error = nullptr;
        if (!gst_init_check(nullptr, nullptr, &error)) {
            std::fprintf(stderr, "quorvel: GStreamer cannot start: %s\n", error ? error->message : "unknown error");
            if (error)
                g_error_free(error);
        }
    }
    frames = std::make_unique<engine::FrameSink>(context.get());
    GstElement* audioSink = options.makeAudioSink ? options.makeAudioSink() : nullptr;
    engine::Pipeline::Handlers handlers;
    handlers.failed = [this](const std::string& reason) { playbackFailed(reason); };
    handlers.ended = [this] { playbackEnded(); };
    pipeline = std::make_unique<engine::Pipeline>(frames->element(), audioSink, options.runFirstPlay, handlers);
    scanTimer = new QTimer(context.get());
    scanTimer->setInterval(100);
    QObject::connect(scanTimer, &QTimer::timeout, context.get(), [this] { scanTick(); });
    applyAudio();
}

GstEngine::Core::~Core()
{
    scanTimer->stop();
    // The pipelines first: no streaming thread may deliver into what follows.
    scanDecoder.reset();
    pipeline.reset();
    context.reset();
    frames.reset();
}

bool GstEngine::Core::fail(const char* operation, const std::string& reason)
{
    std::string text = std::string(operation) + ": " + reason;
    if (text != lastFailure) {
        std::fprintf(stderr, "quorvel: %s\n", text.c_str());
        lastFailure = std::move(text);
    }
    return false;
}

bool GstEngine::Core::openDiscForPlay(std::string* error)
{
    if (disc && !discFoundByItself) {
        // Opened again: the folder may have changed or the disc been swapped since.
        auto reopened = engine::DiscInfo::open(disc->device(), error);
        if (!reopened)
            return false;
        disc = std::move(reopened);
        return true;
    }
    for (const auto& candidate : engine::discCandidates(options.discSearch)) {
        if (auto info = engine::DiscInfo::open(candidate, nullptr)) {
            disc = std::move(info);
            discFoundByItself = true;
            return true;
        }
    }
    *error = "no DVD-Video disc found in the drives or mounted media";
    return false;
}

bool GstEngine::Core::play()
{
    if (state == 2) {
        if (scan != Scan::None)
            endScan(true);
        return true;
    }
    std::string error;
    if (state == 1) {
        if (!pipeline->play(kStateWaitMs, &error))
            return fail("play", error);
        state = 2;
        return true;
    }
    if (!openDiscForPlay(&error))
        return fail("play", error);
    applyAudio();
    clearChapterTracking();
    if (!pipeline->start(disc->device(), kStartWaitMs, &error)) {
        frames->clear();
        return fail("play", error);
    }
    state = 2;
    lastFailure.clear();
    return true;
}

bool GstEngine::Core::pause()
{
    if (state == 0)
        return fail("pause", "nothing is playing");
    if (scan != Scan::None)
        endScan(true);
    std::string error;
    if (!pipeline->pause(kStateWaitMs, &error))
        return fail("pause", error);
    state = 1;
    return true;
}

bool GstEngine::Core::stop()
{
    stopPlayback();
    return true;
}

void GstEngine::Core::stopPlayback()
{
    if (scan != Scan::None)
        endScan(false);
    pipeline->stop();
    scanDecoder.reset();
    frames->clear();
    state = 0;
    clearChapterTracking();
}

void GstEngine::Core::playbackFailed(const std::string& reason)
{
    std::fprintf(stderr, "quorvel: playback stopped: %s\n", reason.c_str());
    stopPlayback();
}

void GstEngine::Core::playbackEnded()
{
    stopPlayback();
}

void GstEngine::Core::clearChapterTracking()
{
    pendingChapter.reset();
    lastChapter = 0;
    lastTitle = 0;
    lastTimeText.clear();
}

bool GstEngine::Core::setDirectory(const std::string& path)
{
    std::string error;
    std::unique_ptr<engine::DiscInfo> info;
    bool foundByItself = false;
    if (path.empty()) {
        for (const auto& candidate : engine::discCandidates(options.discSearch)) {
            if ((info = engine::DiscInfo::open(candidate, nullptr)))
                break;
        }
        if (!info)
            return fail("directory", "no DVD-Video disc found in the drives or mounted media");
        foundByItself = true;
    } else {
        const auto location = engine::discLocation(path, &error);
        if (!location)
            return fail("directory", error);
        info = engine::DiscInfo::open(*location, &error);
        if (!info)
            return fail("directory", error);
    }
    // The same disc again (every play from the panel names the folder): keep playing.
    if (state != 0 && disc && disc->device() == info->device() && disc->key() == info->key()) {
        discFoundByItself = foundByItself;
        return true;
    }
    if (state != 0)
        stopPlayback();
    disc = std::move(info);
    discFoundByItself = foundByItself;
    return true;
}

// The seam, operation by operation.

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
    if (const auto position = d->position()) {
        d->lastTimeText = engine::formatTimeText(*position);
        return d->lastTimeText;
    }
    // Just after a start or a jump the sinks have no position yet.
    if (!d->lastTimeText.empty())
        return d->lastTimeText;
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
    const auto duration = d->pipeline->duration();
    if (!duration)
        return d->failRead<std::string>("total time", "the length is not known yet");
    return engine::formatTimeText(*duration);
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
    return d->muted;
}

bool GstEngine::EngineMute(bool muted)
{
    d->muted = muted;
    d->applyAudio();
    return true;
}

bool GstEngine::EngineVolume(int32_t volume)
{
    if (volume < -10000 || volume > 0)
        return d->fail("volume", "outside -10000..0: " + std::to_string(volume));
    d->volume = volume;
    d->applyAudio();
    return true;
}

bool GstEngine::EngineBalance(int32_t balance)
{
    if (balance < -10000 || balance > 10000)
        return d->fail("balance", "outside -10000..10000: " + std::to_string(balance));
    d->balance = balance;
    d->applyAudio();
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

void GstEngine::setVideoOutput(VideoOutput* output)
{
    d->frames->setOutput(output);
}

uint64_t GstEngine::framesShown() const
{
    return d->frames->framesShown();
}

std::optional<int64_t> GstEngine::positionNs()
{
    return d->position();
}
