// Scanning forwards and backwards through a title.
//
// Forwards the source keeps up with a fast playback rate by itself. Backwards it cannot read,
// and a negative rate drowns it in errors, so stretches of the title are decoded forwards by a
// second decoder and shown newest-first (see ReverseScan, ScanDecoder) while the playing
// pipeline waits. Either way the sound is silenced while scanning, and the scan ends by itself
// at the title's end or start, going on at normal speed there.
#include "engine/EngineCore.h"

#include <chrono>
#include <thread>

namespace {

constexpr GstSeekFlags kTrickFlags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_TRICKMODE | GST_SEEK_FLAG_TRICKMODE_NO_AUDIO);

bool validRate(double rate)
{
    return rate >= 1.0 && rate <= 16.0;
}

}  // namespace

std::optional<int64_t> GstEngine::Core::position()
{
    if (state == 0)
        return std::nullopt;
    if (scan == Scan::Backward && reverse)
        return reverse->position(gstdvd::wallNow());
    return pipeline->position();
}

std::optional<int64_t> GstEngine::Core::settledPosition()
{
    // Right after a chapter jump the source answers no position until the new segment starts;
    // that takes a few milliseconds, far less than the bound.
    const auto until = Clock::now() + std::chrono::milliseconds(gstdvd::kStateWaitMs);
    auto value = position();
    while (!value && state != 0 && Clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        value = position();
    }
    return value;
}

bool GstEngine::Core::scanCanStart(const char* operation, double rate, int* titleNumber, int64_t* from)
{
    if (state != 2)
        return fail(operation, "only while playing");
    settleNavigation();
    if (!validRate(rate))
        return fail(operation, "rate " + std::to_string(rate) + " outside 1..16");
    const auto current = title();
    if (!current || *current == 0)
        return fail(operation, "a menu is showing");
    if (pipeline->inStill())
        return fail(operation, "the disc is holding a still picture");
    const auto position = settledPosition();
    if (!position)
        return fail(operation, "the position is not known yet");
    *titleNumber = *current;
    *from = *position;
    return true;
}

bool GstEngine::Core::scanForward(double rate)
{
    int current = 0;
    int64_t from = 0;
    if (!scanCanStart("fast-forward", rate, &current, &from))
        return false;
    if (scan == Scan::Backward)
        endScan(false);
    pipeline->setSilenced(true);
    if (!pipeline->seekTime(rate, from, kTrickFlags)) {
        pipeline->setSilenced(false);
        return fail("fast-forward", "the source refused the fast seek");
    }
    scan = Scan::Forward;
    scanRate = rate;
    scanTitle = current;
    scanTimer->start();
    return true;
}

bool GstEngine::Core::scanBackward(double rate)
{
    int current = 0;
    int64_t from = 0;
    if (!scanCanStart("rewind", rate, &current, &from))
        return false;
    if (!scanDecoder)
        scanDecoder = std::make_unique<gstdvd::ScanDecoder>();
    // The decoder may be busy opening for a scan just ended; it takes the new one next.
    std::string error;
    if (scanDecoder->readiness(nullptr) == gstdvd::ScanDecoder::Readiness::Opening)
        return fail("rewind", "the scanning decoder is still opening the disc");
    scanDecoder->openInBackground(disc->device(), current, clearingMenu(), gstdvd::kStartWaitMs);
    if (scan == Scan::Forward) {
        scan = Scan::None;
        scanTimer->stop();
    }
    reverse = std::make_unique<gstdvd::ReverseScan>(rate, from, gstdvd::wallNow());
    if (!parked) {
        // The picture now comes from the scan decoder; the playing pipeline holds its place.
        frames->setSuppressed(true);
        pipeline->pause(0, &error);
        parked = true;
    }
    pipeline->setSilenced(true);
    scan = Scan::Backward;
    scanRate = rate;
    scanTitle = current;
    scanTimer->start();
    backwardTick();
    return true;
}

void GstEngine::Core::endScan(bool resumeNormal)
{
    if (scan == Scan::None)
        return;
    scanTimer->stop();
    const int64_t at = position().value_or(0);
    scan = Scan::None;
    reverse.reset();
    if (scanDecoder)
        scanDecoder->release();
    pipeline->setSilenced(false);
    if (resumeNormal)
        pipeline->seekTime(1.0, at, GST_SEEK_FLAG_NONE);
    if (parked) {
        parked = false;
        frames->setSuppressed(false);
        if (state == 2) {
            std::string error;
            pipeline->play(0, &error);
        }
    }
}

void GstEngine::Core::scanTick()
{
    if (scan == Scan::Forward)
        forwardTick();
    else if (scan == Scan::Backward)
        backwardTick();
    else
        scanTimer->stop();
}

void GstEngine::Core::forwardTick()
{
    const auto current = pipeline->positionIn("title");
    if (current && *current != scanTitle) {
        // The source, reading ahead of the picture, has already left the title by the disc's
        // own program, and a jump the navigator makes by itself keeps the fast rate: bring a
        // new title back to normal speed (a menu's still picture does not care).
        scan = Scan::None;
        scanTimer->stop();
        pipeline->setSilenced(false);
        if (*current > 0)
            pipeline->seekTime(1.0, pipeline->position().value_or(0), GST_SEEK_FLAG_NONE);
        return;
    }
    const auto at = pipeline->position();
    const auto length = pipeline->duration();
    // The source reads ahead of the picture by the pipeline's queues, close to a second of
    // wall time: slow down before it reaches the end, so that the title ends at normal speed
    // and the disc's program after it runs as it should.
    const auto margin = static_cast<int64_t>((scanRate * 1.2 + 0.5) * gstdvd::kSecond);
    if (at && length && *at + margin >= *length)
        endScan(true);
}

void GstEngine::Core::startFill(const gstdvd::ReverseScan::Fill& fill)
{
    reverse->fillStarted(fill);
    fillDeadline = Clock::now() + std::chrono::seconds(3);
    // Give up on a stretch that cannot be decoded rather than wait on it; the next one lies
    // lower anyway.
    if (!scanDecoder->fill(fill.from, fill.until, reverse->spacing()))
        reverse->fillFinished();
}

void GstEngine::Core::backwardTick()
{
    const int64_t at = reverse->position(gstdvd::wallNow());
    std::string error;
    switch (scanDecoder->readiness(&error)) {
    case gstdvd::ScanDecoder::Readiness::Opening:
        // The clock runs back already; the pictures follow once the decoder is in the title.
        if (at <= 0)
            endScan(true);
        return;
    case gstdvd::ScanDecoder::Readiness::Failed:
        fail("rewind", error);
        endScan(true);
        return;
    case gstdvd::ScanDecoder::Readiness::Ready:
        break;
    }
    bool passed = false;
    reverse->addFrames(scanDecoder->takeCaptured(&passed));
    if (reverse->filling() && (passed || Clock::now() > fillDeadline))
        reverse->fillFinished();
    if (auto frame = reverse->frameToShow(at))
        frames->present(*frame);
    if (at <= 0) {
        // The title's start: play on from there.
        endScan(true);
        return;
    }
    if (const auto fill = reverse->fillNeeded(at))
        startFill(*fill);
}
