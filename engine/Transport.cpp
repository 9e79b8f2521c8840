// Play, pause, stop, and which disc: the engine's own view of the play state.
#include "engine/DiscLocator.h"
#include "engine/EngineCore.h"

#include <cstdio>

using gstdvd::kStartWaitMs;
using gstdvd::kStateWaitMs;

namespace {

// Drives first, then mounted media; the first place a DVD-Video structure opens.
std::unique_ptr<gstdvd::DiscInfo> findDisc(const gstdvd::DiscSearch& search)
{
    for (const auto& candidate : gstdvd::discCandidates(search)) {
        if (auto info = gstdvd::DiscInfo::open(candidate, nullptr))
            return info;
    }
    return nullptr;
}

constexpr const char* kNoDisc = "no DVD-Video disc found in the drives or mounted media";

}  // namespace

bool GstEngine::Core::openDiscForPlay(std::string* error)
{
    if (disc && discFresh) {
        discFresh = false;
        return true;
    }
    if (disc && !discFoundByItself) {
        // Opened again: the folder may have changed or the disc been swapped since.
        auto reopened = gstdvd::DiscInfo::open(disc->device(), error);
        if (!reopened)
            return false;
        disc = std::move(reopened);
        return true;
    }
    // Found by itself before (the automatic mode never names a folder): look again, the disc
    // may have been swapped.
    auto found = findDisc(options.discSearch);
    if (!found) {
        *error = kNoDisc;
        return false;
    }
    disc = std::move(found);
    discFoundByItself = true;
    return true;
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
    clearChapterTracking();
    if (!pipeline->start(disc->device(), kStartWaitMs, &error)) {
        frames->clear();
        return fail("play", error);
    }
    state = 2;
    ++playGeneration;
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
    // Stopped first, so that ending a scan does not set the pipeline playing again.
    state = 0;
    ++playGeneration;
    if (scan != Scan::None)
        endScan(false);
    pipeline->stop();
    scanDecoder.reset();
    frames->clear();
    clearChapterTracking();
    lastNavigation = 0;
}

void GstEngine::Core::playbackFailed(const std::string& reason)
{
    std::fprintf(stderr, "quorvel: playback stopped: %s\n", reason.c_str());
    stopByItself();
}

void GstEngine::Core::playbackEnded()
{
    stopByItself();
}

void GstEngine::Core::stopByItself()
{
    if (state == 0)
        return;
    stopPlayback();
    // Queued: the listener runs commands, and this may be deep inside a bus message or a timer.
    if (endedHandler)
        QTimer::singleShot(0, context.get(), [this] {
            if (endedHandler && state == 0)
                endedHandler();
        });
}

void GstEngine::Core::clearChapterTracking()
{
    pendingChapter.reset();
    lastChapter = 0;
    lastTitle = 0;
    lastTimeText.clear();
    lastTotalTimeText.clear();
}

bool GstEngine::Core::setDirectory(const std::string& path)
{
    std::string error;
    std::unique_ptr<gstdvd::DiscInfo> info;
    bool foundByItself = false;
    if (path.empty()) {
        info = findDisc(options.discSearch);
        if (!info)
            return fail("directory", kNoDisc);
        foundByItself = true;
    } else {
        const auto location = gstdvd::discLocation(path, &error);
        if (!location)
            return fail("directory", error);
        info = gstdvd::DiscInfo::open(*location, &error);
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
    discFresh = true;
    return true;
}
