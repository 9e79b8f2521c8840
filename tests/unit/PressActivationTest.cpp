#include "platform/PressActivation.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

void pressOn(QWidget* widget, Qt::MouseButton button = Qt::LeftButton)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), button,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

// Two windows of the program, the first one active; the window system answers activation
// requests only when the event loop runs.
class PressActivationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (auto* w : {&first, &second}) {
            *w = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
            (*w)->resize(100, 50);
            (*w)->show();
        }
        child = new QLabel(QStringLiteral("text"), second.get());
        child->show();
        first->activateWindow();
        QCoreApplication::processEvents();
        ASSERT_EQ(QApplication::activeWindow(), first.get());
    }

    PressActivation activation;
    std::unique_ptr<QWidget> first;
    std::unique_ptr<QWidget> second;
    QLabel* child = nullptr;
};

TEST_F(PressActivationTest, APressMakesItsWindowTheFrontOneBeforeTheWindowSystemAnswers)
{
    EXPECT_EQ(activation.foregroundWindow(), first.get());
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        pressOn(child, button);
        // The release of the same click already finds it in front.
        EXPECT_EQ(activation.foregroundWindow(), second.get());
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::activeWindow(), second.get());
        EXPECT_EQ(activation.foregroundWindow(), second.get());

        pressOn(first.get(), button);
        EXPECT_EQ(activation.foregroundWindow(), first.get());
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::activeWindow(), first.get());
    }
}

TEST_F(PressActivationTest, TheWindowSystemsLaterWordCountsAgain)
{
    pressOn(second.get());
    QCoreApplication::processEvents();
    // Another window comes to the front by other means than a press.
    first->activateWindow();
    QCoreApplication::processEvents();
    EXPECT_EQ(activation.foregroundWindow(), first.get());
}

TEST_F(PressActivationTest, PopUpMenusAreNeverMadeTheActiveWindow)
{
    QMenu menu;
    menu.addAction(QStringLiteral("item"));
    menu.popup(QPoint(10, 10));
    QCoreApplication::processEvents();
    pressOn(&menu);
    EXPECT_EQ(activation.foregroundWindow(), first.get());
    menu.hide();
}

} // namespace
