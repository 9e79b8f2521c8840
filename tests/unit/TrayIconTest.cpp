#include "core/Tray.h"
#include "panel/Form1.h"
#include "screen/Scr.h"
#include "support/AppFixture.h"

#include <QApplication>
#include <QEvent>

namespace {

// Notes which window left the minimized state, in order.
class RestoreOrder : public QObject {
public:
    std::vector<QObject*> restored;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowStateChange && !static_cast<QWidget*>(watched)->isMinimized())
            restored.push_back(watched);
        return false;
    }
};

class TrayIconTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        screen().show();
        panel().show();
        QCoreApplication::processEvents();
        for (QWidget* w : {static_cast<QWidget*>(&panel()), static_cast<QWidget*>(&screen())}) {
            w->showMinimized();
            w->installEventFilter(&order);
        }
        QCoreApplication::processEvents();
        ASSERT_TRUE(panel().isMinimized());
        ASSERT_TRUE(screen().isMinimized());
    }

    RestoreOrder order;
};

TEST_F(TrayIconTest, LeftReleaseRestoresThePanelThenTheScreenWindowWhichEndsInFront)
{
    TrayNotify(WM_LBUTTONUP);
    EXPECT_EQ(order.restored, (std::vector<QObject*>{&panel(), &screen()}));
    QCoreApplication::processEvents();
    for (QWidget* w : {static_cast<QWidget*>(&panel()), static_cast<QWidget*>(&screen())}) {
        EXPECT_TRUE(w->isVisible());
        EXPECT_FALSE(w->isMinimized());
    }
    EXPECT_EQ(QApplication::activeWindow(), &screen());
}

TEST_F(TrayIconTest, EveryOtherMouseMessageOnTheIconIsIgnored)
{
    // Move, left press, left double-click, right press, right release, middle press and release.
    for (int message : {0x0200, 0x0201, 0x0203, 0x0204, 0x0205, 0x0207, 0x0208}) {
        TrayNotify(message);
        QCoreApplication::processEvents();
        EXPECT_TRUE(panel().isMinimized()) << message;
        EXPECT_TRUE(screen().isMinimized()) << message;
    }
    EXPECT_TRUE(order.restored.empty());
}

TEST_F(TrayIconTest, TheIconsCallbackIsTheLeftRelease)
{
    TrayAdd();
    ASSERT_TRUE(fakePlatform.trayRelease);
    fakePlatform.trayRelease();
    EXPECT_FALSE(panel().isMinimized());
    EXPECT_FALSE(screen().isMinimized());
}

} // namespace
