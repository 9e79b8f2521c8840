// Play, pause, stop and what the engine reports right after each.
#include "EngineFixture.h"

#include <regex>

TEST_F(EngineTest, StateReadsBackRightAfterEachTransportCall)
{
    EXPECT_EQ(engine->EngineState(), 0);
    ASSERT_TRUE(engine->EngineDirectory(testdisc::path()));
    ASSERT_TRUE(engine->EnginePlay());
    EXPECT_EQ(engine->EngineState(), 2);
    ASSERT_TRUE(waitUntil([&] { return testdisc::pictureName(output.last()) == "menu 3"; }));
    playTitle(1);

    ASSERT_TRUE(engine->EnginePause());
    EXPECT_EQ(engine->EngineState(), 1);
    ASSERT_TRUE(engine->EngineNextChapter());
    EXPECT_EQ(engine->EngineState(), 1);
    ASSERT_TRUE(engine->EnginePlay());
    EXPECT_EQ(engine->EngineState(), 2);
    ASSERT_TRUE(engine->EngineNextChapter());
    EXPECT_EQ(engine->EngineState(), 2);
    ASSERT_TRUE(engine->EnginePreviousChapter());
    EXPECT_EQ(engine->EngineState(), 2);
    ASSERT_TRUE(engine->EngineStop());
    EXPECT_EQ(engine->EngineState(), 0);
    EXPECT_TRUE(output.cleared());
}

TEST_F(EngineTest, PlayFromStoppedRunsTheFirstPlayProgramIntoTheRootMenu)
{
    playToRootMenu();
    EXPECT_EQ(engine->EngineTitle(), 0);
    EXPECT_EQ(engine->EngineChapter(), 0);
    // Square pixels: the 720x576 4:3 picture comes out 768 wide.
    EXPECT_EQ(output.last().size(), QSize(768, 576));
}

TEST_F(EngineTest, TimeAdvancesWhilePlayingAndHoldsWhilePaused)
{
    playToRootMenu();
    playTitle(1);
    EXPECT_EQ(engine->EngineTotalTimeText(), "00:00:24");
    const std::regex hms("\\d\\d:\\d\\d:\\d\\d");
    ASSERT_TRUE(engine->EngineTimeText());
    EXPECT_TRUE(std::regex_match(*engine->EngineTimeText(), hms)) << *engine->EngineTimeText();

    const double before = seconds();
    ASSERT_TRUE(waitUntil([&] { return seconds() >= before + 1.5; }));
    const int earlier = static_cast<int>(seconds());
    const auto text = engine->EngineTimeText();
    const int later = static_cast<int>(seconds());
    EXPECT_TRUE(text == "00:00:0" + std::to_string(earlier) || text == "00:00:0" + std::to_string(later))
        << text.value_or("none");

    ASSERT_TRUE(engine->EnginePause());
    runFor(300);
    const double paused = seconds();
    runFor(1000);
    EXPECT_NEAR(seconds(), paused, 0.05);
    ASSERT_TRUE(engine->EnginePlay());
    EXPECT_TRUE(waitUntil([&] { return seconds() >= paused + 0.5; }));
}

TEST_F(EngineTest, SettingsAreKeptWithoutADiscAndReadsOtherwiseFail)
{
    EXPECT_TRUE(engine->EngineVolume(-1500));
    EXPECT_TRUE(engine->EngineMute(true));
    EXPECT_TRUE(engine->EngineBalance(2500));
    EXPECT_EQ(engine->EngineMute(), true);
    EXPECT_EQ(engine->EngineState(), 0);
    EXPECT_FALSE(engine->EngineTitle());
    EXPECT_FALSE(engine->EngineTimeText());
    EXPECT_FALSE(engine->EnginePause());
    EXPECT_FALSE(engine->EngineNextChapter());
    EXPECT_FALSE(engine->EngineScanForward(2));
    EXPECT_FALSE(engine->EngineShowMenu(3));
    EXPECT_FALSE(engine->EngineRestoreBookmark());

    playToRootMenu();
    EXPECT_EQ(engine->EngineMute(), true);
    ASSERT_TRUE(engine->EngineStop());
    EXPECT_TRUE(engine->EngineMute(false));
    EXPECT_EQ(engine->EngineMute(), false);
    EXPECT_EQ(engine->EngineState(), 0);
}
