// Scanning forwards and backwards at the user's speed.
#include "EngineFixture.h"

#include <QElapsedTimer>

namespace {

// Runs for about `ms` and returns the title seconds moved per second of wall time.
double measureRate(const std::function<double()>& seconds, int ms)
{
    QElapsedTimer wall;
    const double from = seconds();
    wall.start();
    runFor(ms);
    return (seconds() - from) / (wall.elapsed() / 1000.0);
}

}  // namespace

class ScanTest : public EngineTest, public ::testing::WithParamInterface<double> {
protected:
    // Plays title 1 and goes to the chapter, past its first second.
    void playChapter(int chapter)
    {
        playToRootMenu();
        playTitle(1);
        for (int i = 1; i < chapter; ++i)
            ASSERT_TRUE(engine->EngineNextChapter());
        ASSERT_TRUE(waitUntil([&] { return seconds() > 6.0 * (chapter - 1) + 1.0; }));
    }
};

TEST_P(ScanTest, ForwardScanMovesAtTheRateSilentlyAndPlayReturnsToNormalSpeed)
{
    const double rate = GetParam();
    playChapter(1);
    ASSERT_TRUE(engine->EngineScanForward(rate));
    EXPECT_EQ(engine->EngineState(), 2);
    runFor(400);
    tap.reset();
    const double measured = measureRate([&] { return seconds(); }, 2000);
    EXPECT_NEAR(measured, rate, rate * 0.2);
    EXPECT_LT(tap.right(), 0.01);

    ASSERT_TRUE(engine->EnginePlay());
    EXPECT_EQ(engine->EngineState(), 2);
    runFor(500);
    tap.reset();
    EXPECT_NEAR(measureRate([&] { return seconds(); }, 1500), 1.0, 0.25);
    EXPECT_GT(tap.right(), 0.2);
}

TEST_P(ScanTest, BackwardScanShowsEnoughPicturesMovingBackAtTheRate)
{
    const double rate = GetParam();
    playChapter(4);
    ASSERT_TRUE(engine->EngineScanBackward(rate));
    EXPECT_EQ(engine->EngineState(), 2);
    runFor(300);
    tap.reset();
    output.takeDistinct();
    QElapsedTimer wall;
    wall.start();
    const double measured = measureRate([&] { return seconds(); }, 2000);
    const double shownPerSecond = output.takeDistinct() / (wall.elapsed() / 1000.0);
    EXPECT_NEAR(measured, -rate, rate * 0.2);
    EXPECT_GE(shownPerSecond, 8.0);
    EXPECT_LT(tap.right(), 0.01);
    // The picture is where the time says.
    const double at = seconds();
    const int chapter = static_cast<int>(at / 6.0) + 1;
    if (at - 6.0 * (chapter - 1) > 0.8 && 6.0 * chapter - at > 0.8) {
        EXPECT_EQ(testdisc::pictureName(output.last()), "title 1 chapter " + std::to_string(chapter)) << at;
    }

    ASSERT_TRUE(engine->EnginePlay());
    EXPECT_EQ(engine->EngineState(), 2);
    runFor(600);
    EXPECT_NEAR(seconds(), at, 2.0);
    tap.reset();
    EXPECT_NEAR(measureRate([&] { return seconds(); }, 1500), 1.0, 0.25);
    EXPECT_GT(tap.right(), 0.2);
}

INSTANTIATE_TEST_SUITE_P(Rates, ScanTest, ::testing::Values(2.0, 5.0));

TEST_F(EngineTest, BackwardScanEndsAtTheTitleStartPlayingOn)
{
    playToRootMenu();
    playTitle(1);
    ASSERT_TRUE(waitUntil([&] { return seconds() > 2.0; }));
    ASSERT_TRUE(engine->EngineScanBackward(5.0));
    ASSERT_TRUE(waitUntil([&] { return seconds() < 0.3; }));
    ASSERT_TRUE(waitUntil([&] { return seconds() > 1.0; }));
    EXPECT_EQ(engine->EngineState(), 2);
    EXPECT_EQ(engine->EngineTitle(), 1);
    tap.reset();
    runFor(500);
    EXPECT_GT(tap.right(), 0.2);
}

TEST_F(EngineTest, ForwardScanSlowsDownBeforeTheTitleEndSoTheDiscProgramRuns)
{
    playToRootMenu();
    playTitle(2);
    ASSERT_TRUE(engine->EngineScanForward(5.0));
    // Title 2 ends by calling the root menu.
    ASSERT_TRUE(waitUntil([&] { return testdisc::pictureName(output.last()) == "menu 3"; }, 15000));
    EXPECT_EQ(engine->EngineTitle(), 0);
    EXPECT_EQ(engine->EngineState(), 2);
    // The menu it landed in works as ever, at normal speed.
    playTitle(1);
    EXPECT_NEAR(measureRate([&] { return seconds(); }, 1000), 1.0, 0.25);
}

TEST_F(EngineTest, ScanningNeedsATitlePlaying)
{
    playToRootMenu();
    EXPECT_FALSE(engine->EngineScanForward(2.0));
    EXPECT_FALSE(engine->EngineScanBackward(2.0));
    playTitle(1);
    ASSERT_TRUE(engine->EnginePause());
    EXPECT_FALSE(engine->EngineScanForward(2.0));
    EXPECT_EQ(engine->EngineState(), 1);
    ASSERT_TRUE(engine->EnginePlay());
    EXPECT_FALSE(engine->EngineScanForward(0.5));
    EXPECT_TRUE(engine->EngineScanForward(3.0));
}

// FFmpeg's plugin maps some 40 MB of libraries; libmpeg2's decoder does the disc's pictures
// wherever it is installed, the backward scan's decoder too.
TEST_F(EngineTest, NeitherPipelineLoadsFfmpegsPluginWhereLibmpeg2IsInstalled)
{
    GstPluginFeature* lean = gst_registry_lookup_feature(gst_registry_get(), "mpeg2dec");
    if (!lean)
        GTEST_SKIP() << "libmpeg2's plugin is not installed";
    gst_object_unref(lean);
    playToRootMenu();
    playTitle(1);
    ASSERT_TRUE(waitUntil([&] { return seconds() > 2.0; }));
    ASSERT_TRUE(engine->EngineScanBackward(2.0));
    ASSERT_TRUE(waitUntil([&] { return seconds() < 1.0; }));
    GstPlugin* ffmpeg = gst_registry_find_plugin(gst_registry_get(), "libav");
    if (ffmpeg) {
        EXPECT_FALSE(gst_plugin_is_loaded(ffmpeg));
        gst_object_unref(ffmpeg);
    }
}
