// The bookmark: saved by one engine, restored by the next.
#include "EngineFixture.h"

TEST_F(EngineTest, ABookmarkOutlivesTheEngineAndRestoresTitleChapterAndTime)
{
    playToRootMenu();
    playTitle(1);
    ASSERT_TRUE(engine->EngineNextChapter());
    ASSERT_TRUE(engine->EngineNextChapter());
    ASSERT_TRUE(waitUntil([&] { return seconds() > 13.5; }));
    const double saved = seconds();
    ASSERT_TRUE(engine->EngineSaveBookmark());

    makeEngine();
    playToRootMenu();
    // Long enough for the menu to have settled into its still picture.
    runFor(1500);
    ASSERT_TRUE(engine->EngineRestoreBookmark());
    EXPECT_EQ(engine->EngineTitle(), 1);
    EXPECT_EQ(engine->EngineChapter(), 3);
    ASSERT_TRUE(waitUntil([&] { return testdisc::pictureName(output.last()) == "title 1 chapter 3"; }));
    ASSERT_TRUE(waitUntil([&] { return seconds() > 0; }));
    EXPECT_NEAR(seconds(), saved, 1.5);
    EXPECT_EQ(engine->EngineChapter(), 3);
    EXPECT_EQ(engine->EngineAngle(), 1);
    EXPECT_EQ(engine->EngineState(), 2);
}

TEST_F(EngineTest, RestoringWithoutABookmarkFailsAndPlayGoesOn)
{
    playToRootMenu();
    EXPECT_FALSE(engine->EngineRestoreBookmark());
    // Nothing to mark in a menu.
    EXPECT_FALSE(engine->EngineSaveBookmark());
    playTitle(2);
    EXPECT_FALSE(engine->EngineRestoreBookmark());
    EXPECT_EQ(engine->EngineTitle(), 2);
    EXPECT_EQ(engine->EngineState(), 2);
}
