// The bookkeeping of backward scanning, without a pipeline: stretches to decode and pictures to
// show as the time runs back.
#include "engine/ReverseScan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using gstdvd::CapturedFrame;
using gstdvd::ReverseScan;

namespace {

constexpr int64_t kSecond = 1000000000;
constexpr int64_t kFrame = kSecond / 25;

// What a decoder delivers for a stretch: every frame from the landing point (a time-map entry at
// or before `from`, one a second unless told) up to `until`, in the scan's picture spacing.
std::vector<CapturedFrame> decode(const ReverseScan& scan, const ReverseScan::Fill& fill, int64_t entries = kSecond)
{
    std::vector<CapturedFrame> frames;
    int64_t last = -1;
    for (int64_t t = fill.from / entries * entries; t < fill.until; t += kFrame) {
        if (last < 0 || t - last >= scan.spacing()) {
            GstBuffer* buffer = gst_buffer_new();
            GST_BUFFER_PTS(buffer) = static_cast<GstClockTime>(t);
            frames.push_back({t, gstdvd::pictureOf(gst_sample_new(buffer, nullptr, nullptr, nullptr))});
            gst_buffer_unref(buffer);
            last = t;
        }
    }
    return frames;
}

}  // namespace

TEST(ReverseScan, TimeRunsBackAtTheRateAndStopsAtTheTitleStart)
{
    const ReverseScan scan(3.0, 10 * kSecond, 1000);
    EXPECT_EQ(scan.position(1000), 10 * kSecond);
    EXPECT_EQ(scan.position(1000 + 2 * kSecond), 4 * kSecond);
    EXPECT_EQ(scan.position(1000 + 5 * kSecond), 0);
}

TEST(ReverseScan, StretchesCoverTheTitleDownToItsStartWithoutGaps)
{
    ReverseScan scan(5.0, 23 * kSecond + 500000000, 0);
    int64_t covered = 23 * kSecond + 500000000 + 1;
    int fills = 0;
    for (int64_t at = scan.position(0); fills < 100; at = std::max<int64_t>(0, at - kSecond)) {
        const auto fill = scan.fillNeeded(at);
        if (!fill) {
            if (covered <= 0)
                break;
            continue;
        }
        ++fills;
        // Each stretch ends where the one before began, and reaches lower.
        EXPECT_EQ(fill->until, covered);
        EXPECT_LT(fill->from, fill->until);
        scan.fillStarted(*fill);
        EXPECT_FALSE(scan.fillNeeded(at)) << "one stretch at a time";
        scan.addFrames(decode(scan, *fill));
        scan.fillFinished();
        covered = std::min(fill->from, fill->from / kSecond * kSecond);
    }
    EXPECT_EQ(covered, 0);
    // No stretch shorter than a quarter of a second on screen (1.25 s of the title at 5x).
    EXPECT_LE(fills, 19);
}

TEST(ReverseScan, DecodingStaysAboutTwoStretchesAheadOfThePicture)
{
    ReverseScan scan(2.0, 12 * kSecond, 0);
    // Landing right on `from`, so that each stretch covers exactly what it was asked for.
    auto decodeNext = [&](int64_t at) {
        const auto fill = scan.fillNeeded(at);
        if (fill) {
            scan.fillStarted(*fill);
            scan.addFrames(decode(scan, *fill, 1));
            scan.fillFinished();
        }
        return fill;
    };
    const auto first = decodeNext(scan.position(0));
    ASSERT_TRUE(first);
    // One stretch in hand is too little: the next starts at once...
    const auto second = decodeNext(scan.position(0));
    ASSERT_TRUE(second);
    // ...but with two, decoding waits until the picture has used one up.
    EXPECT_FALSE(scan.fillNeeded(scan.position(0)));
    const int64_t stretch = first->until - first->from;
    EXPECT_FALSE(scan.fillNeeded(first->until - stretch / 2));
    EXPECT_TRUE(scan.fillNeeded(second->until - stretch / 10));
}

TEST(ReverseScan, ShowsEachPictureOnceNewestFirstAsTimeRunsBack)
{
    const int64_t start = 8 * kSecond;
    ReverseScan scan(2.0, start, 0);
    const auto fill = scan.fillNeeded(start);
    ASSERT_TRUE(fill);
    scan.fillStarted(*fill);
    scan.addFrames(decode(scan, *fill));
    scan.fillFinished();

    // The stretch lasts half a second of wall time at 2x; the timer ticks 25 times a second.
    std::vector<int64_t> shown;
    for (int64_t wall = 0; wall <= kSecond / 2; wall += kSecond / 25) {
        if (const auto picture = scan.frameToShow(scan.position(wall)))
            shown.push_back(static_cast<int64_t>(GST_BUFFER_PTS(gst_sample_get_buffer(picture->get())) / kFrame));
    }
    // A new, earlier picture nearly every tick.
    ASSERT_GE(shown.size(), 11u);
    for (size_t i = 1; i < shown.size(); ++i)
        EXPECT_LT(shown[i], shown[i - 1]);
    EXPECT_FALSE(scan.frameToShow(scan.position(kSecond / 2))) << "nothing new at the same moment";
}

TEST(ReverseScan, PicturesAreKeptOftenEnoughForTwentyFiveAWallSecond)
{
    for (const double rate : {2.0, 3.0, 4.0, 5.0}) {
        const ReverseScan scan(rate, 20 * kSecond, 0);
        EXPECT_LT(scan.spacing(), static_cast<int64_t>(rate * kSecond / 25)) << rate;
        EXPECT_GE(scan.spacing(), kFrame) << rate;
    }
}
