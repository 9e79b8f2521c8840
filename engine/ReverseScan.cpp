#include "engine/ReverseScan.h"

#include <algorithm>
#include <cmath>

namespace gstdvd {

namespace {
constexpr int64_t kSecond = 1000000000;
// Pictures shown per second of wall time while scanning back: as smooth as a forward scan.
constexpr double kPicturesPerSecond = 25.0;
}  // namespace

Picture pictureOf(GstSample* sample)
{
    return Picture(sample, [](GstSample* held) {
        if (held)
            gst_sample_unref(held);
    });
}

ReverseScan::ReverseScan(double rate, int64_t start, int64_t wallStart)
    : rate_(rate), start_(start), wallStart_(wallStart), coveredFrom_(start + 1)
{
}

int64_t ReverseScan::position(int64_t wallNow) const
{
    const double elapsed = static_cast<double>(std::max<int64_t>(0, wallNow - wallStart_));
    const auto moved = static_cast<int64_t>(elapsed * rate_);
    return std::max<int64_t>(0, start_ - moved);
}

int64_t ReverseScan::spacing() const
{
    // A little under the distance between two shown pictures, so rounding never skips one.
    return static_cast<int64_t>(rate_ * kSecond / kPicturesPerSecond * 0.8);
}

int64_t ReverseScan::chunk() const
{
    // About a quarter of a second of wall time on screen per stretch: the pictures held, the one
    // being shown and the next, stay under twenty (a dozen MB). Never so short that the seek
    // costs more than the decoding.
    return std::max<int64_t>(kSecond / 2, static_cast<int64_t>(rate_ * kSecond / 4));
}

std::optional<ReverseScan::Fill> ReverseScan::fillNeeded(int64_t position) const
{
    if (filling_ || coveredFrom_ <= 0)
        return std::nullopt;
    // More than a stretch still to show: decoding can wait.
    if (position - coveredFrom_ > chunk())
        return std::nullopt;
    return Fill{std::max<int64_t>(0, coveredFrom_ - chunk()), coveredFrom_};
}

void ReverseScan::fillStarted(const Fill& fill)
{
    fill_ = fill;
    filling_ = true;
    lowestKept_ = -1;
}

void ReverseScan::addFrames(std::vector<CapturedFrame> frames)
{
    for (auto& frame : frames) {
        if (lowestKept_ < 0 || frame.streamTime < lowestKept_)
            lowestKept_ = frame.streamTime;
        frames_[frame.streamTime] = std::move(frame.picture);
    }
}

void ReverseScan::fillFinished()
{
    if (!filling_)
        return;
    filling_ = false;
    // The source lands on a time-map entry at or before `from`, so the stretch may reach lower.
    int64_t reached = fill_.from;
    if (lowestKept_ >= 0)
        reached = std::min(reached, lowestKept_);
    coveredFrom_ = std::min(coveredFrom_, reached);
}

std::optional<Picture> ReverseScan::frameToShow(int64_t position)
{
    auto above = frames_.upper_bound(position);
    if (above == frames_.begin())
        return std::nullopt;
    auto current = std::prev(above);
    // Keep the one on screen, drop everything after it.
    frames_.erase(std::next(current), frames_.end());
    if (current->first == lastShown_)
        return std::nullopt;
    lastShown_ = current->first;
    return current->second;
}

}  // namespace gstdvd
