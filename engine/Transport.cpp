// Play, pause, stop, and which disc: the engine's own view of the play state.
#include "engine/BusMessage.h"
#include "engine/DiscLocator.h"
#include "engine/EngineCore.h"

#include <QTimer>

#include <cstdio>

using gstdvd::kStateDecideMs;

bool GstEngine::Core::startDisc(const std::shared_ptr<const gstdvd::DiscInfo>& next, std::string* error)
{
    forgetPlace();
    if (next->scrambled()) {
        *error = gstdvd::scrambledReason();
        return false;
    }
    if (!pipeline->start(next->device(), kStateDecideMs, error)) {
        // The source blames encryption for any block it cannot read: only a disc whose reads
        // were not clear may be encrypted.
        if (!next->readsClear())
            *error = gstdvd::withDecryptionHint(*error);
        frames->clear();
        return false;
    }
    disc = next;
    playingLocation = chosenLocation;
    return true;
}

void GstEngine::Core::waitForDisc(uint64_t generation, Clock::time_point deadline)
{
    QTimer::singleShot(gstdvd::kDiscPollMs, context.get(), [this, generation, deadline] {
        // Stopped (or started again) meanwhile: this wait is over.
        if (generation != playGeneration || state == 0)
            return;
        const auto answer = catalog.get(chosenLocation, 0);
        if (answer.pending && Clock::now() < deadline) {
            waitForDisc(generation, deadline);
            return;
        }
        std::string error = answer.pending ? "the disc did not answer in time" : answer.error;
        if (answer.disc && startDisc(answer.disc, &error))
            return;
        fail("play", error);
        stopByItself(PlaybackEnd::Failed);
    });
}

bool GstEngine::Core::play()
{
    if (state == 2) {
        endScan(true);
        return true;
    }
    std::string error;
    if (state == 1) {
        if (!pipeline->play(kStateDecideMs, &error))
            return fail("play", error);
        state = 2;
        return true;
    }
    // Read again: the folder may hold another disc by now, or the drive another one. An
    // unchanged folder costs a look at its files' dates.
    catalog.request(chosenLocation);
    const auto answer = catalog.get(chosenLocation, gstdvd::kDiscDecideMs);
    if (!answer.pending) {
        if (!answer.disc)
            return fail("play", answer.error);
        if (!startDisc(answer.disc, &error))
            return fail("play", error);
    }
    state = 2;
    ++playGeneration;
    failures.forget();
    // A drive still spinning up: playing it is the engine's business from here; the window
    // thread is not held for it.
    if (answer.pending)
        waitForDisc(playGeneration, Clock::now() + std::chrono::milliseconds(options.discDeadlineMs));
    return true;
}

bool GstEngine::Core::pause()
{
    if (state == 0)
        return fail("pause", "nothing is playing");
    endScan(true);
    std::string error;
    if (!pipeline->pause(kStateDecideMs, &error))
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
    scanner->end(false, false);
    pipeline->stop();
    scanner->discClosed();
    frames->clear();
    forgetPlace();
    navigation.forget();
}

void GstEngine::Core::playbackFailed(const std::string& reason)
{
    const std::string why = disc && !disc->readsClear() ? gstdvd::withDecryptionHint(reason) : reason;
    std::fprintf(stderr, "quorvel: playback stopped: %s\n", why.c_str());
    stopByItself(PlaybackEnd::Failed);
}

void GstEngine::Core::playbackEnded()
{
    stopByItself(PlaybackEnd::Finished);
}

void GstEngine::Core::stopByItself(PlaybackEnd end)
{
    if (state == 0)
        return;
    stopPlayback();
    // Queued: the listener runs commands, and this may be deep inside a bus message or a timer.
    if (endedHandler)
        QTimer::singleShot(0, context.get(), [this, end] {
            if (endedHandler && state == 0)
                endedHandler(end);
        });
}

void GstEngine::Core::forgetPlace()
{
    place.forget();
}

bool GstEngine::Core::setDirectory(const std::string& path)
{
    // Empty: the automatic mode, which looks in the drives and mounted media.
    std::string location;
    if (!path.empty()) {
        std::string error;
        const auto found = gstdvd::discLocation(path, &error);
        if (!found)
            return fail("directory", error);
        location = *found;
    }
    // The same disc again (every play from the panel names the folder): keep playing.
    if (state != 0 && location == playingLocation)
        return true;
    catalog.request(location);
    const auto answer = catalog.get(location, gstdvd::kDiscDecideMs);
    if (!answer.pending && !answer.disc)
        return fail("directory", answer.error);
    // A drive slow to answer is taken on trust: the play that follows waits for it, and fails
    // with the reason if it turns out to hold no disc.
    if (state != 0)
        stopPlayback();
    chosenLocation = location;
    return true;
}
