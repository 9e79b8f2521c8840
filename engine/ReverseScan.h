#pragma once

#include <gst/gst.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace gstdvd {

// A decoded picture as the decoder gave it (its own format and size, converted only when it is
// shown), shared so that the one on screen stays while newer ones go.
using Picture = std::shared_ptr<GstSample>;
Picture pictureOf(GstSample* sample);

// A picture decoded for backward scanning, at its title time (nanoseconds).
struct CapturedFrame {
    int64_t streamTime = 0;
    Picture picture;
};

// Bookkeeping of a backward scan. The DVD source cannot read backwards, so the engine decodes
// a stretch of the title forwards (a "fill"), keeps a picture every few frames, and shows them
// newest-first while the time on screen runs back at the scan rate, decoding the next stretch
// down while the current one is shown. All times are title times in nanoseconds.
class ReverseScan {
public:
    struct Fill {
        int64_t from = 0;
        int64_t until = 0;
    };

    ReverseScan(double rate, int64_t start, int64_t wallStart);

    double rate() const { return rate_; }
    // Where the picture should be at this wall-clock time; never below zero.
    int64_t position(int64_t wallNow) const;
    // The title time between two pictures that are worth keeping.
    int64_t spacing() const;

    // The next stretch to decode once the pictures in hand run low, if any is left.
    std::optional<Fill> fillNeeded(int64_t position) const;
    void fillStarted(const Fill& fill);
    void addFrames(std::vector<CapturedFrame> frames);
    // Decoding has passed the end of the stretch (or given up on it).
    void fillFinished();
    bool filling() const { return filling_; }
    const Fill& currentFill() const { return fill_; }

    // The picture to show now, when it differs from the last one shown; pictures above the
    // position are dropped, they have had their turn.
    std::optional<Picture> frameToShow(int64_t position);
    size_t framesHeld() const { return frames_.size(); }

private:
    int64_t chunk() const;

    double rate_;
    int64_t start_;
    int64_t wallStart_;
    int64_t coveredFrom_;
    bool filling_ = false;
    Fill fill_;
    int64_t lowestKept_ = -1;
    std::map<int64_t, Picture> frames_;
    int64_t lastShown_ = -1;
};

}  // namespace gstdvd
