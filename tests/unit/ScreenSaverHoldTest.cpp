#include "core/AppLifecycle.h"
#include "desktop/ScreenSaverHold.h"
#include "panel/Form1.h"
#include "playback/PlayState.h"
#include "playback/TransportCommands.h"
#include "screen/Scr.h"
#include "support/AppFixture.h"
#include "support/FakeScreenSaver.h"
#include "support/PrivateSessionBus.h"

#include <QCoreApplication>
#include <QTimer>
#include <memory>

namespace {

// The program's windows and commands on the engine double, with the hold on a private session
// bus where the test puts whichever desktop services it wants.
class ScreenSaverHoldTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        panel().Timer1->stop();
        screen().Timer3->stop();
        ASSERT_FALSE(bus.address().isEmpty()) << bus.error().toStdString();
        program = bus.connect(QStringLiteral("program"));
        ASSERT_TRUE(program.isConnected());
    }

    void TearDown() override
    {
        hold.reset();
        services.clear();
        AppFixture::TearDown();
    }

    FakeDesktopService& start(FakeDesktopService::Kind kind)
    {
        const QString name = QStringLiteral("service%1").arg(services.size());
        services.push_back(std::make_unique<FakeDesktopService>(kind, bus.connect(name)));
        EXPECT_TRUE(services.back()->registered());
        return *services.back();
    }

    void startHold() { hold = std::make_unique<ScreenSaverHold>(program); }

    // Once the hold has its answer, and whatever it sent after it has arrived.
    void settle(const std::function<bool()>& arrived)
    {
        EXPECT_TRUE(processEventsUntil([&] { return !hold->asking() && arrived(); }));
    }

    PrivateSessionBus bus;
    QDBusConnection program{QString()};
    std::vector<std::unique_ptr<FakeDesktopService>> services;
    std::unique_ptr<ScreenSaverHold> hold;
};

TEST_F(ScreenSaverHoldTest, HeldWhilePlayingAndLetGoOnPauseStopAndQuit)
{
    FakeScreenSaver& saver = *start(FakeDesktopService::Kind::ScreenSaver).screenSaver();
    startHold();
    EXPECT_TRUE(saver.calls().isEmpty()) << "held while stopped";

    DvdPlay();
    settle([&] { return saver.held().size() == 1; });
    EXPECT_TRUE(hold->holding());
    EXPECT_EQ(saver.calls(), QStringList{QStringLiteral("Inhibit Quorvel / Playing a DVD -> 41")});

    // A scan plays on: still the one hold.
    DvdFastForward();
    QCoreApplication::processEvents();
    EXPECT_EQ(saver.calls().size(), 1);

    DvdPause();
    settle([&] { return saver.held().empty(); });
    EXPECT_FALSE(hold->holding());

    DvdPlay();
    settle([&] { return saver.held().size() == 1; });
    DvdStop();
    settle([&] { return saver.held().empty(); });

    DvdPlay();
    settle([&] { return saver.held().size() == 1; });
    AppEnd();
    EXPECT_EQ(fakePlatform.endCalls, 1);
    // At quit the release has gone out before the process would end.
    EXPECT_TRUE(saver.held().empty());
    EXPECT_EQ(saver.calls(), (QStringList{QStringLiteral("Inhibit Quorvel / Playing a DVD -> 41"),
                                          QStringLiteral("UnInhibit 41"),
                                          QStringLiteral("Inhibit Quorvel / Playing a DVD -> 42"),
                                          QStringLiteral("UnInhibit 42"),
                                          QStringLiteral("Inhibit Quorvel / Playing a DVD -> 43"),
                                          QStringLiteral("UnInhibit 43")}));
}

TEST_F(ScreenSaverHoldTest, APauseBeforeTheAnswerCameLetsGoAsSoonAsItComes)
{
    FakeScreenSaver& saver = *start(FakeDesktopService::Kind::ScreenSaver).screenSaver();
    startHold();
    DvdPlay();
    DvdPause();
    settle([&] { return saver.calls().size() == 2; });
    EXPECT_TRUE(saver.held().empty());
    EXPECT_FALSE(hold->holding());
}

TEST_F(ScreenSaverHoldTest, WithoutAScreenSaverServiceThePortalHoldsItOff)
{
    FakeInhibitPortal& portal = *start(FakeDesktopService::Kind::Portal).portal();
    startHold();
    DvdPlay();
    settle([&] { return portal.held().size() == 1; });
    EXPECT_TRUE(hold->holding());
    const QString request = *portal.held().begin();
    // Flag 8: the session must not go idle.
    EXPECT_EQ(portal.calls(), QStringList{QStringLiteral("Inhibit '' 8 Playing a DVD -> ") + request});

    DvdPause();
    settle([&] { return portal.held().empty(); });
    EXPECT_EQ(portal.calls().last(), QStringLiteral("Close ") + request);
}

TEST_F(ScreenSaverHoldTest, TheScreenSaverServiceComesBeforeThePortal)
{
    FakeScreenSaver& saver = *start(FakeDesktopService::Kind::ScreenSaver).screenSaver();
    FakeInhibitPortal& portal = *start(FakeDesktopService::Kind::Portal).portal();
    startHold();
    DvdPlay();
    settle([&] { return saver.held().size() == 1; });
    EXPECT_TRUE(portal.calls().isEmpty());
}

TEST_F(ScreenSaverHoldTest, WithNeitherServiceNothingHappensAndItIsSaidOnlyOnce)
{
    startHold();
    testing::internal::CaptureStderr();
    for (int round = 0; round < 3; ++round) {
        DvdPlay();
        settle([] { return true; });
        EXPECT_FALSE(hold->holding());
        DvdPause();
        settle([] { return true; });
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(QString::fromStdString(said).count(QLatin1Char('\n')), 1) << said;
    EXPECT_NE(said.find("screensaver"), std::string::npos) << said;
    EXPECT_TRUE(fakePlatform.messages.empty());
}

TEST_F(ScreenSaverHoldTest, AlreadyPlayingWhenStartedHoldsAtOnce)
{
    FakeScreenSaver& saver = *start(FakeDesktopService::Kind::ScreenSaver).screenSaver();
    DvdPlay();
    startHold();
    settle([&] { return saver.held().size() == 1; });
}

} // namespace
