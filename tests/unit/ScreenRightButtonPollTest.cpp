#include "panel/Form1.h"
#include "screen/RightButtonPoll.h"
#include "screen/Scr.h"
#include "support/AppFixture.h"

#include <QMenu>
#include <QTimer>

namespace {

using ScreenRightButtonPollTest = AppFixture;

TEST_F(ScreenRightButtonPollTest, ScreenWindowInFrontWithRightButtonOpensItsMenu)
{
    fakePlatform.foreground = &screen();
    fakePlatform.rightButton = {true};
    RightButtonPoll();
    ASSERT_EQ(fakePlatform.popups.size(), 1u);
    EXPECT_EQ(fakePlatform.popups[0], screen().R_Pop);
}

TEST_F(ScreenRightButtonPollTest, NoRightButtonNoMenu)
{
    fakePlatform.foreground = &screen();
    fakePlatform.rightButton = {false, false};
    RightButtonPoll();
    RightButtonPoll();
    EXPECT_TRUE(fakePlatform.popups.empty());
}

TEST_F(ScreenRightButtonPollTest, ButtonIsNotEvenAskedForWhileAnotherWindowIsInFront)
{
    // Another program (no window of ours) and the panel.
    for (QWidget* front : {static_cast<QWidget*>(nullptr), static_cast<QWidget*>(&panel())}) {
        fakePlatform.foreground = front;
        fakePlatform.rightButton = {true};
        RightButtonPoll();
        EXPECT_TRUE(fakePlatform.popups.empty());
        // The press stays unread for a later query.
        EXPECT_EQ(fakePlatform.rightButton.size(), 1u);
    }
}

TEST_F(ScreenRightButtonPollTest, HoldingTheButtonAfterTheMenuClosedOpensItAgain)
{
    fakePlatform.foreground = &screen();
    fakePlatform.rightButton = {true, true, false, true};
    for (int tick = 0; tick < 4; ++tick)
        RightButtonPoll();
    EXPECT_EQ(fakePlatform.popups.size(), 3u);
}

// The menu call runs a nested event loop in which the poll's timer keeps firing.
class TickingMenuPlatform : public FakePlatform {
public:
    void popupMenuAtPointer(QMenu* menu) override
    {
        FakePlatform::popupMenuAtPointer(menu);
        RightButtonPoll();
        RightButtonPoll();
    }
};

TEST_F(ScreenRightButtonPollTest, TicksWhileTheMenuIsOpenOpenNoSecondMenu)
{
    TickingMenuPlatform ticking;
    ticking.foreground = &screen();
    ticking.rightButton = {true, true, true, true};
    installPlatform(&ticking);
    RightButtonPoll();
    EXPECT_EQ(ticking.popups.size(), 1u);
    // Once closed, the next tick opens it again.
    RightButtonPoll();
    EXPECT_EQ(ticking.popups.size(), 2u);
    installPlatform(&fakePlatform);
}

TEST_F(ScreenRightButtonPollTest, ThePollRestsWhileAnotherWindowIsInFrontAndAChangeOfItWakesThePoll)
{
    QTimer& poll = *screen().Timer3;
    fakePlatform.foreground = &panel();
    RightButtonPoll();
    EXPECT_TRUE(poll.isActive());
    EXPECT_EQ(poll.interval(), RightButtonPollRestMs);

    // What the screen window registered when it was made is what the platform calls.
    fakePlatform.foreground = &screen();
    ASSERT_TRUE(fakePlatform.foregroundChanged);
    fakePlatform.foregroundChanged();
    EXPECT_TRUE(poll.isActive());
    EXPECT_EQ(poll.interval(), RightButtonPollMs);
}

TEST_F(ScreenRightButtonPollTest, AMissedChangeOfTheWindowInFrontCostsOneRestingTickAndNoPress)
{
    QTimer& poll = *screen().Timer3;
    fakePlatform.foreground = nullptr;
    RightButtonPoll();
    ASSERT_EQ(poll.interval(), RightButtonPollRestMs);

    fakePlatform.foreground = &screen();
    fakePlatform.rightButton = {true};
    RightButtonPoll();
    EXPECT_EQ(fakePlatform.popups.size(), 1u);
    EXPECT_EQ(poll.interval(), RightButtonPollMs);
}

TEST_F(ScreenRightButtonPollTest, TheWindowsPollTimerRunsThePoll)
{
    fakePlatform.foreground = &screen();
    fakePlatform.rightButton = {true};
    QMetaObject::invokeMethod(screen().Timer3, "timeout");
    EXPECT_EQ(fakePlatform.popups.size(), 1u);
}

} // namespace
