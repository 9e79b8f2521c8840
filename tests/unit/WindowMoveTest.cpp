#include "platform/WindowMove.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A borderless window whose bare surface starts the move loop on a move with the left button
// alone, as the panel and the screen window do; it counts the moves it gets to see.
class BareWindow : public QWidget {
public:
    explicit BareWindow(WindowMove& loop)
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
        , loop_(loop)
    {
        setMouseTracking(true);
        resize(200, 100);
    }
    int movesSeen = 0;

protected:
    void mouseMoveEvent(QMouseEvent* event) override
    {
        ++movesSeen;
        if (event->buttons() == Qt::LeftButton)
            loop_.start(this);
    }

private:
    WindowMove& loop_;
};

// Pointer events with screen positions of their own: the window moves under the pointer, so
// a position inside it says nothing about where the pointer is on the screen.
class WindowMoveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<BareWindow>(loop);
        window->move(origin);
        window->show();
        QCoreApplication::processEvents();
        ASSERT_EQ(window->pos(), origin);
    }

    void send(QEvent::Type type, QPoint screen, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(20, 10), QPointF(screen), button, held, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &event);
    }
    void press(QPoint screen, Qt::MouseButton button, Qt::MouseButtons held) { send(QEvent::MouseButtonPress, screen, button, held); }
    void release(QPoint screen, Qt::MouseButton button, Qt::MouseButtons held) { send(QEvent::MouseButtonRelease, screen, button, held); }
    void moveTo(QPoint screen, Qt::MouseButtons held) { send(QEvent::MouseMove, screen, Qt::NoButton, held); }

    const QPoint origin{300, 200};
    const QPoint grip{320, 210};
    WindowMove loop;
    std::unique_ptr<BareWindow> window;
};

TEST_F(WindowMoveTest, FollowsThePointersMotionSinceThePressFirstMotionIncludedAndStopsOnRelease)
{
    press(grip, Qt::LeftButton, Qt::LeftButton);
    moveTo(grip + QPoint(15, 9), Qt::LeftButton);
    EXPECT_EQ(window->pos(), origin + QPoint(15, 9));
    EXPECT_TRUE(loop.moving());
    moveTo(grip + QPoint(40, -25), Qt::LeftButton);
    moveTo(grip + QPoint(100, 60), Qt::LeftButton);
    EXPECT_EQ(window->pos(), origin + QPoint(100, 60));
    release(grip + QPoint(100, 60), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(loop.moving());

    moveTo(grip + QPoint(180, 90), Qt::NoButton);
    EXPECT_EQ(window->pos(), origin + QPoint(100, 60));
}

TEST_F(WindowMoveTest, TheWindowSeesNoMovesWhileItIsBeingMoved)
{
    press(grip, Qt::LeftButton, Qt::LeftButton);
    moveTo(grip + QPoint(1, 1), Qt::LeftButton);
    moveTo(grip + QPoint(2, 2), Qt::LeftButton);
    moveTo(grip + QPoint(3, 3), Qt::LeftButton);
    EXPECT_EQ(window->movesSeen, 1);
    release(grip + QPoint(3, 3), Qt::LeftButton, Qt::NoButton);
    moveTo(grip + QPoint(4, 4), Qt::NoButton);
    EXPECT_EQ(window->movesSeen, 2);
}

TEST_F(WindowMoveTest, ASecondButtonEndsTheMoveAndItsMotionIsNeverCounted)
{
    press(grip, Qt::LeftButton, Qt::LeftButton);
    moveTo(grip + QPoint(10, 5), Qt::LeftButton);
    press(grip + QPoint(10, 5), Qt::RightButton, Qt::LeftButton | Qt::RightButton);
    EXPECT_FALSE(loop.moving());
    moveTo(grip + QPoint(60, 55), Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(window->pos(), origin + QPoint(10, 5));

    // Left alone again: the move goes on from where the pointer is, with no jump.
    release(grip + QPoint(60, 55), Qt::RightButton, Qt::LeftButton);
    moveTo(grip + QPoint(61, 56), Qt::LeftButton);
    EXPECT_EQ(window->pos(), origin + QPoint(10, 5));
    moveTo(grip + QPoint(71, 58), Qt::LeftButton);
    EXPECT_EQ(window->pos(), origin + QPoint(20, 7));
}

TEST_F(WindowMoveTest, LeftPressedAfterRightCountsNothingOfTheTwoButtonGesture)
{
    press(grip, Qt::RightButton, Qt::RightButton);
    press(grip, Qt::LeftButton, Qt::LeftButton | Qt::RightButton);
    moveTo(grip + QPoint(30, 30), Qt::LeftButton | Qt::RightButton);
    release(grip + QPoint(30, 30), Qt::RightButton, Qt::LeftButton);
    moveTo(grip + QPoint(31, 30), Qt::LeftButton);
    EXPECT_EQ(window->pos(), origin);
}

TEST_F(WindowMoveTest, ANewPressStartsANewMoveFromWhereTheWindowWasLeft)
{
    press(grip, Qt::LeftButton, Qt::LeftButton);
    moveTo(grip + QPoint(50, 40), Qt::LeftButton);
    release(grip + QPoint(50, 40), Qt::LeftButton, Qt::NoButton);
    const QPoint second = grip + QPoint(50, 40);
    press(second, Qt::LeftButton, Qt::LeftButton);
    moveTo(second + QPoint(-30, 20), Qt::LeftButton);
    release(second + QPoint(-30, 20), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(window->pos(), origin + QPoint(20, 60));
}

} // namespace
