// The engine on discs authored the ways commercial discs are (tools/testdisc/make-corpus-disc and
// make-angle-disc): NTSC and 16:9, several sound tracks and sub-pictures with setup menus whose
// buttons stay in the menu, many chapters, two title sets, first-play into a title, no menus at
// all, a title that ends with nowhere to go, and angle blocks.
#include "EngineFixture.h"

#include <QElapsedTimer>

namespace {

// Stored-picture geometry of the NTSC disc's menus: button centres and a bare corner.
constexpr int kNtsc = 480;
constexpr int kButtonX = 360;
constexpr int kRow1 = 172;
constexpr int kRow2 = 228;
constexpr int kRow3 = 284;
constexpr int kCorner = 20;

constexpr QRgb kNtscRoot = 0x14233f;
constexpr QRgb kNtscAudioMenu = 0x0d2f3a;
constexpr QRgb kNtscSubtitleMenu = 0x2f0d3a;
constexpr QRgb kNtscChapter1 = 0x102a50;
constexpr QRgb kNtscChapter2 = 0x4a1430;
constexpr QRgb kRed = 0xff0000;
constexpr QRgb kGreen = 0x00ff00;

// PAL discs: the first button's centre and a bare background pixel.
constexpr int kPalRow1 = 226;
constexpr int kPalRow2 = 294;
constexpr int kBare = 40;

}  // namespace

class CorpusTest : public EngineTest {
protected:
    // The pitch heard over 0.7 s, once there is sound at all: on a loaded machine the title's
    // sound may start a moment after its picture.
    double pitch()
    {
        double heard = 0;
        for (int attempt = 0; attempt < 5 && heard == 0; ++attempt) {
            runFor(300);
            tap.reset();
            runFor(700);
            heard = tap.frequency();
        }
        return heard;
    }
    bool waitForSeconds(double from, double until)
    {
        return waitUntil([&] { return seconds() >= from && seconds() < until; }, 10000);
    }
};

TEST_F(CorpusTest, AButtonThatStaysInItsMenuChoosesTheSoundTrackAndTheMenuStaysUsable)
{
    playUntil(corpus::path("ntsc-wide"), kCorner, kCorner, kNtscRoot, kNtsc);
    clickUntil(kButtonX, kRow2, kCorner, kCorner, kNtscAudioMenu, kNtsc);
    // The menu's buttons answer once its navigation packet is active.
    runFor(400);
    const long before = residentKb();
    click(kButtonX, kRow2, kNtsc);  // "Audio 2": audio=1; and nothing else
    QElapsedTimer free;
    free.start();
    EXPECT_EQ(engine->EngineTitle(), 0);
    EXPECT_LT(free.elapsed(), 50) << "the window thread is held";
    runFor(1500);
    EXPECT_EQ(engine->EngineState(), 2);
    EXPECT_EQ(engine->EngineTitle(), 0);
    EXPECT_TRUE(shows(kCorner, kCorner, kNtscAudioMenu, kNtsc));
    // Stuck, the source grew by tens of megabytes a second.
    EXPECT_LT(residentKb() - before, 40000);

    // The choice holds in the title, reached by the next menu's button.
    ASSERT_TRUE(engine->EngineShowMenu(3));
    ASSERT_TRUE(waitUntil([&] { return shows(kCorner, kCorner, kNtscRoot, kNtsc); }));
    clickUntil(kButtonX, kRow1, 60, 240, kNtscChapter1, kNtsc);
    EXPECT_NEAR(pitch(), 1000, 40);

    // And again from inside the title: the audio menu, "Audio 1" (stays), back to the film.
    ASSERT_TRUE(engine->EngineShowMenu(5));
    ASSERT_TRUE(waitUntil([&] { return shows(kCorner, kCorner, kNtscAudioMenu, kNtsc); }));
    runFor(400);
    click(kButtonX, kRow1, kNtsc);
    runFor(500);
    EXPECT_TRUE(shows(kCorner, kCorner, kNtscAudioMenu, kNtsc));
    ASSERT_TRUE(engine->EngineResume());
    ASSERT_TRUE(waitUntil([&] { return engine->EngineTitle() == 1; }));
    EXPECT_NEAR(pitch(), 500, 40);
}

TEST_F(CorpusTest, SubtitleButtonsThatStayInTheMenuTurnSubPicturesOnAndOff)
{
    playUntil(corpus::path("ntsc-wide"), kCorner, kCorner, kNtscRoot, kNtsc);
    clickUntil(kButtonX, kRow3, kCorner, kCorner, kNtscSubtitleMenu, kNtsc);
    runFor(400);
    click(kButtonX, kRow2, kNtsc);  // "Subtitles 2": subtitle=65;
    runFor(500);
    EXPECT_TRUE(shows(kCorner, kCorner, kNtscSubtitleMenu, kNtsc));
    ASSERT_TRUE(engine->EngineShowMenu(3));
    ASSERT_TRUE(waitUntil([&] { return shows(kCorner, kCorner, kNtscRoot, kNtsc); }));
    clickUntil(kButtonX, kRow1, 60, 240, kNtscChapter1, kNtsc);

    // Stream 2's green box shows from 1 s to 3 s of each chapter; stream 1's red one never.
    ASSERT_TRUE(waitForSeconds(1.4, 2.6));
    ASSERT_TRUE(waitUntil([&] { return shows(600, 90, kGreen, kNtsc); }, 1000));
    EXPECT_FALSE(shows(120, 90, kRed, kNtsc));
    ASSERT_TRUE(waitForSeconds(3.3, 3.9));
    EXPECT_TRUE(waitUntil([&] { return shows(600, 90, kNtscChapter1, kNtsc); }, 500));

    // "Off" (stays), back to the film: nothing in chapter 2's stretch.
    ASSERT_TRUE(engine->EngineShowMenu(4));
    ASSERT_TRUE(waitUntil([&] { return shows(kCorner, kCorner, kNtscSubtitleMenu, kNtsc); }));
    runFor(400);
    click(kButtonX, kRow3, kNtsc);
    runFor(300);
    ASSERT_TRUE(engine->EngineResume());
    ASSERT_TRUE(waitForSeconds(5.4, 6.6));
    ASSERT_TRUE(waitUntil([&] { return shows(60, 240, kNtscChapter2, kNtsc); }, 1000));
    EXPECT_TRUE(shows(600, 90, kNtscChapter2, kNtsc));
    EXPECT_TRUE(shows(120, 90, kNtscChapter2, kNtsc));
}

TEST_F(CorpusTest, AWidescreenPictureKeepsARoundPatternRound)
{
    playUntil(corpus::path("ntsc-wide"), kCorner, kCorner, kNtscRoot, kNtsc);
    clickUntil(kButtonX, kRow1, 60, 240, kNtscChapter1, kNtsc);
    const QImage frame = output.last();
    EXPECT_NEAR(double(frame.width()) / frame.height(), 16.0 / 9.0, 0.02);
    auto white = [&](int x, int y) { return qRed(frame.pixel(x, y)) > 200 && qBlue(frame.pixel(x, y)) > 200; };
    int across = 0;
    for (int x = 0; x < frame.width(); ++x)
        across += white(x, frame.height() / 2);
    int down = 0;
    for (int y = 0; y < frame.height(); ++y)
        down += white(frame.width() / 2, y);
    ASSERT_GT(down, frame.height() / 2);
    EXPECT_NEAR(double(across) / down, 1.0, 0.04);
}

TEST_F(CorpusTest, PlayAfterTheDiscHasEndedPlaysItAgain)
{
    int ended = 0;
    PlaybackEnd how = PlaybackEnd::Failed;
    engine->setPlaybackEndedHandler([&](PlaybackEnd end) {
        ++ended;
        how = end;
    });
    playUntil(corpus::path("no-menu"), kBare, kBare, 0x203a70);
    ASSERT_TRUE(engine->EngineNextChapter());
    // Title 1 has no command and links nowhere: the disc ends with it.
    ASSERT_TRUE(waitUntil([&] { return ended == 1; }, 8000));
    EXPECT_EQ(how, PlaybackEnd::Finished);
    EXPECT_EQ(engine->EngineState(), 0);
    EXPECT_TRUE(engine->EngineStop());

    ASSERT_TRUE(engine->EngineDirectory(corpus::path("no-menu")));
    ASSERT_TRUE(engine->EnginePlay());
    EXPECT_EQ(engine->EngineState(), 2);
    ASSERT_TRUE(waitUntil([&] { return shows(kBare, kBare, 0x203a70) && seconds() > 0.5; }));
    const int frames = output.frames();
    runFor(500);
    EXPECT_GT(output.frames(), frames + 5);
    EXPECT_EQ(engine->EngineTitle(), 1);
    EXPECT_EQ(ended, 1);
}

TEST_F(CorpusTest, RewindWorksOnADiscWithoutMenus)
{
    playUntil(corpus::path("no-menu"), kBare, kBare, 0x203a70);
    ASSERT_TRUE(waitUntil([&] { return seconds() > 2.5; }));
    const double from = seconds();
    ASSERT_TRUE(engine->EngineScanBackward(2.0));
    runFor(600);
    EXPECT_LT(seconds(), from - 0.6);
    EXPECT_GT(output.takeDistinct(), 3);
    ASSERT_TRUE(engine->EnginePlay());
    EXPECT_EQ(engine->EngineTitle(), 1);
}

TEST_F(CorpusTest, ThirtyChaptersAreCountedAndEachIsReached)
{
    playUntil(corpus::path("chapters30"), kBare, kBare, 0x14233f);
    EXPECT_EQ(engine->EngineChapterCount(1), 30);
    clickUntil(kButtonX, kPalRow1, kBare, kBare, 0x101028);
    // Chapter n's background: red by (n-1) mod 5, green by (n-1)/5 mod 3, blue by (n-1)/15.
    const int reds[] = {0x10, 0x34, 0x58, 0x7c, 0xa0};
    const int greens[] = {0x10, 0x48, 0x80};
    const int blues[] = {0x28, 0x78};
    for (int chapter = 2; chapter <= 30; chapter += 7) {
        while (engine->EngineChapter().value_or(0) < chapter)
            ASSERT_TRUE(engine->EngineNextChapter());
        const int n = chapter - 1;
        const QRgb colour = qRgb(reds[n % 5], greens[(n / 5) % 3], blues[n / 15]);
        ASSERT_TRUE(waitUntil([&] { return shows(kBare, kBare, colour); })) << "chapter " << chapter;
        EXPECT_EQ(engine->EngineChapter(), chapter);
    }
}

TEST_F(CorpusTest, AChapterMenuEntryThatLeadsToTheRootMenuShowsTheRootMenu)
{
    // dvdauthor gives a title set without a chapter menu an entry that only links to its root
    // menu: the call succeeds where the disc leads.
    playUntil(corpus::path("chapters30"), kBare, kBare, 0x14233f);
    clickUntil(kButtonX, kPalRow1, kBare, kBare, 0x101028);
    ASSERT_TRUE(engine->EngineShowMenu(7));
    EXPECT_EQ(engine->EngineTitle(), 0);
    ASSERT_TRUE(waitUntil([&] { return shows(kBare, kBare, 0x14233f); }));
    ASSERT_TRUE(engine->EngineResume());
    ASSERT_TRUE(waitUntil([&] { return engine->EngineTitle() == 1; }));
}

TEST_F(CorpusTest, TitlesOfTwoTitleSetsAreReachedFromTheTitleMenuAcrossThem)
{
    playUntil(corpus::path("two-sets"), kBare, kBare, 0x0d3b2e);
    EXPECT_EQ(engine->EngineTitleCount(), 2);
    EXPECT_EQ(engine->EngineChapterCount(1), 2);
    EXPECT_EQ(engine->EngineChapterCount(2), 3);
    clickUntil(kButtonX, kPalRow2, kBare, kBare, 0x1f6a4a);
    EXPECT_EQ(engine->EngineTitle(), 2);
    ASSERT_TRUE(engine->EngineNextChapter());
    ASSERT_TRUE(waitUntil([&] { return shows(kBare, kBare, 0x7a4a1a); }));
    ASSERT_TRUE(engine->EngineShowMenu(2));
    ASSERT_TRUE(waitUntil([&] { return shows(kBare, kBare, 0x0d3b2e); }));
    runFor(300);
    clickUntil(kButtonX, kPalRow1, kBare, kBare, 0x203a70);
    EXPECT_EQ(engine->EngineTitle(), 1);
}

TEST_F(CorpusTest, ADiscWhoseFirstPlayGoesIntoATitleStartsThereAndStillHasItsMenus)
{
    playUntil(corpus::path("first-play-title"), kBare, kBare, 0x203a70);
    EXPECT_EQ(engine->EngineTitle(), 1);
    ASSERT_TRUE(waitUntil([&] { return seconds() > 1.0; }));
    ASSERT_TRUE(engine->EngineShowMenu(3));
    ASSERT_TRUE(waitUntil([&] { return shows(kBare, kBare, 0x14233f); }));
    ASSERT_TRUE(engine->EngineResume());
    ASSERT_TRUE(waitUntil([&] { return shows(kBare, kBare, 0x203a70) && seconds() > 0.9; }));
}

TEST_F(CorpusTest, TheAngleStepsShowEachAngleOnScreenAndWrapAround)
{
    constexpr QRgb kAngle[] = {0, 0xb00000, 0x00a000, 0x0000c0};
    playUntil(corpus::path("angles"), kBare, kBare, 0x14233f);
    clickUntil(kButtonX, kPalRow1, kBare, kBare, kAngle[1]);
    EXPECT_EQ(engine->EngineAngleCount(), 3);
    EXPECT_EQ(engine->EngineAngle(), 1);
    // As the panel's angle button does: 2, 3, then round to 1. A change shows from the next
    // angle block the source has not read yet, at most two blocks (2.4 s) on.
    for (int angle : {2, 3, 1}) {
        ASSERT_TRUE(engine->EngineAngle(angle));
        EXPECT_EQ(engine->EngineAngle(), angle);
        if (angle == 1)
            break;
        EXPECT_TRUE(waitUntil([&] { return shows(kBare, kBare, kAngle[angle]); }, 3000)) << "angle " << angle;
    }
    EXPECT_FALSE(engine->EngineAngle(4));
}

TEST_F(CorpusTest, InAStillMenuTheTimeNeverRunsPastTheTotal)
{
    playUntil(corpus::path("two-sets"), kBare, kBare, 0x0d3b2e);
    runFor(2500);
    const auto time = engine->EngineTimeText();
    const auto total = engine->EngineTotalTimeText();
    ASSERT_TRUE(time && total);
    EXPECT_LE(*time, *total);
}
