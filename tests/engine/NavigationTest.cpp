// Titles, chapters, disc menus, resume, angles and the pointer on menu buttons.
#include "EngineFixture.h"

namespace {

bool isYellow(QRgb p)
{
    return qRed(p) > 180 && qGreen(p) > 180 && qBlue(p) < 100;
}

}  // namespace

TEST_F(EngineTest, CountsComeFromTheDiscForAnyTitle)
{
    playToRootMenu();
    EXPECT_EQ(engine->EngineTitleCount(), 2);
    EXPECT_EQ(engine->EngineChapterCount(1), 4);
    EXPECT_EQ(engine->EngineChapterCount(2), 2);
    EXPECT_EQ(engine->EngineChapterCount(0), 0);
    EXPECT_FALSE(engine->EngineChapterCount(3));
    EXPECT_EQ(engine->EngineAngleCount(), 1);
    EXPECT_EQ(engine->EngineAngle(), 1);
}

TEST_F(EngineTest, ChapterSkipsReportTheChapterAskedForAndLandThere)
{
    playToRootMenu();
    playTitle(1);
    for (int chapter = 2; chapter <= 4; ++chapter) {
        ASSERT_TRUE(engine->EngineNextChapter());
        // At once, though the navigator has not landed yet.
        EXPECT_EQ(engine->EngineChapter(), chapter);
        const std::string picture = "title 1 chapter " + std::to_string(chapter);
        ASSERT_TRUE(waitUntil([&] { return testdisc::pictureName(output.last()) == picture; }));
        EXPECT_EQ(engine->EngineChapter(), chapter);
        EXPECT_GE(seconds(), 6.0 * (chapter - 1) - 0.2);
    }
    EXPECT_FALSE(engine->EngineNextChapter());
    EXPECT_EQ(engine->EngineChapter(), 4);

    ASSERT_TRUE(engine->EnginePreviousChapter());
    EXPECT_EQ(engine->EngineChapter(), 3);
    ASSERT_TRUE(waitUntil([&] { return testdisc::pictureName(output.last()) == "title 1 chapter 3"; }));
    ASSERT_TRUE(engine->EnginePreviousChapter());
    ASSERT_TRUE(engine->EnginePreviousChapter());
    ASSERT_TRUE(waitUntil([&] { return testdisc::pictureName(output.last()) == "title 1 chapter 1"; }));
    ASSERT_TRUE(waitUntil([&] { return seconds() > 1.0; }));
    // Before the first chapter is its start again.
    ASSERT_TRUE(engine->EnginePreviousChapter());
    EXPECT_EQ(engine->EngineChapter(), 1);
    ASSERT_TRUE(waitUntil([&] { return seconds() >= 0 && seconds() < 0.8; }));
    EXPECT_EQ(engine->EngineTitle(), 1);
}

TEST_F(EngineTest, ChapterSkipsFailInAMenu)
{
    playToRootMenu();
    EXPECT_FALSE(engine->EngineNextChapter());
    EXPECT_FALSE(engine->EnginePreviousChapter());
    EXPECT_EQ(engine->EngineState(), 2);
}

TEST_F(EngineTest, EachMenuIdShowsItsMenuAndResumeReturnsToThePointLeft)
{
    playToRootMenu();
    playTitle(1);
    ASSERT_TRUE(engine->EngineNextChapter());
    ASSERT_TRUE(waitUntil([&] { return seconds() > 7.0; }));
    for (int menu = 2; menu <= 7; ++menu) {
        SCOPED_TRACE("menu " + std::to_string(menu));
        const double left = seconds();
        ASSERT_TRUE(engine->EngineShowMenu(menu));
        EXPECT_EQ(engine->EngineTitle(), 0);
        EXPECT_EQ(engine->EngineState(), 2);
        const std::string picture = "menu " + std::to_string(menu);
        ASSERT_TRUE(waitUntil([&] { return testdisc::pictureName(output.last()) == picture; }))
            << testdisc::pictureName(output.last());

        ASSERT_TRUE(engine->EngineResume());
        EXPECT_EQ(engine->EngineTitle(), 1);
        ASSERT_TRUE(waitUntil([&] { return testdisc::pictureName(output.last()) == "title 1 chapter 2"; }));
        ASSERT_TRUE(waitUntil([&] { return seconds() > 0; }));
        // The navigator resumes at the start of the cell's VOBU it left.
        EXPECT_NEAR(seconds(), left, 1.5);
    }
}

TEST_F(EngineTest, ResumeFailsUnlessAMenuCalledFromATitleIsShowing)
{
    playToRootMenu();
    // Reached by the first-play program: there is no point to return to.
    EXPECT_FALSE(engine->EngineResume());
    playTitle(1);
    EXPECT_FALSE(engine->EngineResume());
    EXPECT_EQ(engine->EngineTitle(), 1);
}

TEST_F(EngineTest, ThePointerHighlightsAndClicksDiscMenuButtons)
{
    playToRootMenu();
    // Left edge of the highlight frame drawn inside each button, in the 720x576 picture.
    auto frameEdge = [&](int y) {
        const QImage frame = output.last();
        return frame.pixel(184 * frame.width() / 720, y * frame.height() / 576);
    };
    // The buttons answer once the menu's navigation packet is active: keep moving, as a hand
    // on the mouse does.
    ASSERT_TRUE(waitUntil([&] {
        move(testdisc::kButtonX, testdisc::kPlayTitle2Y);
        return isYellow(frameEdge(testdisc::kPlayTitle2Y));
    }));
    EXPECT_FALSE(isYellow(frameEdge(testdisc::kPlayTitle1Y)));
    ASSERT_TRUE(waitUntil([&] {
        move(testdisc::kButtonX, testdisc::kPlayTitle1Y);
        return isYellow(frameEdge(testdisc::kPlayTitle1Y));
    }));
    EXPECT_FALSE(isYellow(frameEdge(testdisc::kPlayTitle2Y)));

    click(testdisc::kButtonX, testdisc::kPlayTitle2Y);
    ASSERT_TRUE(waitUntil([&] { return testdisc::pictureName(output.last()) == "title 2 chapter 1"; }));
    EXPECT_EQ(engine->EngineTitle(), 2);
    EXPECT_EQ(engine->EngineChapterCount(2), 2);
}

TEST_F(EngineTest, AnAngleIsReachedOnlyWhenTheDiscHasIt)
{
    playToRootMenu();
    playTitle(1);
    EXPECT_EQ(engine->EngineAngleCount(), 1);
    EXPECT_EQ(engine->EngineAngle(), 1);
    EXPECT_TRUE(engine->EngineAngle(1));
    EXPECT_FALSE(engine->EngineAngle(2));
    EXPECT_FALSE(engine->EngineAngle(0));
    EXPECT_EQ(engine->EngineAngle(), 1);
    EXPECT_EQ(engine->EngineState(), 2);
}
