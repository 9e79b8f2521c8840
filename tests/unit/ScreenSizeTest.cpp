#include "core/Settings.h"
#include "panel/Form1.h"
#include "panel/PictureButton.h"
#include "screen/Notice.h"
#include "screen/Scr.h"
#include "screen/ScreenSize.h"
#include "screen/VideoWidget.h"
#include "support/AppFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace {

// At 15 twips a pixel: Scr 1850, 700, 11500, 7680; DVD and cover 60, 360, 11355, 7215;
// panel 3795, 8505; Text1 Left 7000 / 11000 / 7560 (layout).
const QRect NormalScr(123, 47, 767, 512);
const QRect NormalVideo(4, 24, 757, 481);
const QPoint NormalPanel(253, 567);
const int Text1NormalX = 467;
const int Text1FullX = 733;
const int Text1LayoutX = 504;

class ScreenSizeTest : public AppFixture {
protected:
    void expectNormal()
    {
        EXPECT_EQ(screen().geometry(), NormalScr);
        EXPECT_EQ(screen().DVD->geometry(), NormalVideo);
        EXPECT_EQ(screen().Picture3->geometry(), NormalVideo);
        EXPECT_EQ(screen().Picture3->pixmap().cacheKey(), screen().Picture5->pixmap().cacheKey());
        EXPECT_EQ(screen().Text1->x(), Text1NormalX);
        EXPECT_EQ(panel().pos(), NormalPanel);
        EXPECT_EQ(screen().Text1->text(), QStringLiteral("NORMAL"));
        EXPECT_EQ(Settings.screen, 0);
    }
    void expectFull(const QRect& display)
    {
        EXPECT_EQ(screen().geometry(), display);
        EXPECT_EQ(screen().DVD->geometry(), display);
        EXPECT_EQ(screen().Picture3->geometry(), display);
        EXPECT_EQ(screen().Picture3->pixmap().cacheKey(), screen().Picture4->pixmap().cacheKey());
        EXPECT_EQ(screen().Text1->x(), Text1FullX);
        EXPECT_EQ(screen().Text1->text(), QStringLiteral("FULL"));
        EXPECT_EQ(Settings.screen, 1);
    }
    // Geometry, cover and texts as they are, to show that nothing moved.
    struct Snapshot {
        QRect scr, video, cover;
        qint64 coverKey;
        QPoint text1, panel;
        QString notice;
        bool operator==(const Snapshot& o) const
        {
            return scr == o.scr && video == o.video && cover == o.cover && coverKey == o.coverKey &&
                   text1 == o.text1 && panel == o.panel && notice == o.notice;
        }
    };
    Snapshot snapshot()
    {
        return {screen().geometry(),      screen().DVD->geometry(), screen().Picture3->geometry(),
                screen().Picture3->pixmap().cacheKey(), screen().Text1->pos(), panel().pos(),
                screen().Text1->text()};
    }
};

TEST_F(ScreenSizeTest, FullSizeCoversTheDisplayAndLeavesThePanelWhereItIs)
{
    panel().move(40, 30);
    ASSERT_TRUE(SetScreenSize(1));
    expectFull(QRect(0, 0, 1920, 1080));
    EXPECT_EQ(panel().pos(), QPoint(40, 30));
    EXPECT_TRUE(screen().Timer2->isActive());
    EXPECT_EQ(screen().Sec, 0);
}

TEST_F(ScreenSizeTest, FullSizeFollowsTheDisplaysSizeAndTwipsPerPixel)
{
    fakePlatform.display = QSize(1280, 1024);
    fakePlatform.twips = 12; // 120 dots per inch
    ASSERT_TRUE(SetScreenSize(1));
    EXPECT_EQ(screen().geometry(), QRect(0, 0, 1280, 1024));
    EXPECT_EQ(screen().DVD->geometry(), QRect(0, 0, 1280, 1024));
    EXPECT_EQ(screen().Text1->x(), 917); // 11000 / 12
}

TEST_F(ScreenSizeTest, NormalSizePutsWindowCoverAndPanelBack)
{
    ASSERT_TRUE(SetScreenSize(1));
    panel().move(40, 30);
    ASSERT_TRUE(SetScreenSize(2));
    expectNormal();
}

TEST_F(ScreenSizeTest, ToggleFlipsBetweenTheSizesAndEndsAtLeft7000NotTheLayouts)
{
    ASSERT_EQ(screen().Text1->x(), Text1LayoutX);
    ASSERT_TRUE(SetScreenSize(0));
    expectFull(QRect(0, 0, 1920, 1080));
    ASSERT_TRUE(SetScreenSize(0));
    expectNormal();
    ASSERT_TRUE(SetScreenSize(0));
    expectFull(QRect(0, 0, 1920, 1080));
}

TEST_F(ScreenSizeTest, ToggleWithAHandEditedScreenValueDoesNothing)
{
    Settings.screen = 7;
    const Snapshot before = snapshot();
    EXPECT_TRUE(SetScreenSize(0));
    EXPECT_TRUE(snapshot() == before);
    EXPECT_EQ(Settings.screen, 7);
    EXPECT_FALSE(screen().Timer2->isActive());

    // A stored 2 counts as neither size for the toggle either.
    Settings.screen = 2;
    EXPECT_TRUE(SetScreenSize(0));
    EXPECT_TRUE(snapshot() == before);
    EXPECT_EQ(Settings.screen, 2);
}

TEST_F(ScreenSizeTest, ModesOtherThanZeroOneTwoDoNothing)
{
    const Snapshot before = snapshot();
    for (int16_t mode : {int16_t(-1), int16_t(3), int16_t(100)}) {
        EXPECT_TRUE(SetScreenSize(mode));
        EXPECT_TRUE(snapshot() == before) << mode;
        EXPECT_EQ(Settings.screen, 0) << mode;
    }
}

TEST_F(ScreenSizeTest, StoredTwoIsAppliedAsNormalAndThenHoldsZero)
{
    Settings.screen = 2;
    ASSERT_TRUE(SetScreenSize(2));
    expectNormal();
}

TEST_F(ScreenSizeTest, NoticeOfTheSizeExpiresLikeAnyOther)
{
    ASSERT_TRUE(SetScreenSize(1));
    for (int i = 0; i < 3; ++i)
        NoticeTimerTick();
    EXPECT_EQ(screen().Text1->text(), QString());
    EXPECT_EQ(Settings.screen, 1);
}

TEST_F(ScreenSizeTest, InFullSizeTheCoverLiesOverTheExitPicture)
{
    const QPoint exitCentre = screen().Image1->geometry().center();
    EXPECT_EQ(screen().childAt(exitCentre), screen().Image1);

    ASSERT_TRUE(SetScreenSize(1));
    EXPECT_EQ(screen().childAt(exitCentre), screen().Picture3);
    // While playing the cover is hidden and the video area lies there instead.
    screen().Picture3->hide();
    EXPECT_EQ(screen().childAt(exitCentre), screen().DVD);

    ASSERT_TRUE(SetScreenSize(2));
    EXPECT_EQ(screen().childAt(exitCentre), screen().Image1);
}

TEST_F(ScreenSizeTest, TextsStayOnTopOfTheVideoInBothSizes)
{
    for (int16_t mode : {int16_t(1), int16_t(2)}) {
        ASSERT_TRUE(SetScreenSize(mode));
        for (QLineEdit* text : {screen().Text1, screen().Text2})
            EXPECT_EQ(screen().childAt(text->geometry().center()), text) << mode;
        screen().Picture3->hide();
        for (QLineEdit* text : {screen().Text1, screen().Text2})
            EXPECT_EQ(screen().childAt(text->geometry().center()), text) << mode;
        screen().Picture3->show();
    }
}

} // namespace
