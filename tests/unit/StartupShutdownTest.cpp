#include "core/AppLifecycle.h"
#include "core/AppObjects.h"
#include "core/Settings.h"
#include "panel/Form1.h"
#include "panel/PictureButton.h"
#include "playback/PlayState.h"
#include "playback/TransportCommands.h"
#include "screen/Scr.h"
#include "screen/VideoWidget.h"
#include "support/AppFixture.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>

namespace {

const QByteArray ValidFile = "[quorvel]\nvolume=-5000\nbalance=0\nscreen=0\nmute=0\nspeed=3\nr_lbl=1\nl_lbl=1\ndir=\ndirsta=0\n";

using StartupTest = AppFixture;

TEST_F(StartupTest, PlacesWindowsAndControlsInTwips)
{
    fakePlatform.writeSettingsFile(ValidFile);
    ASSERT_TRUE(Form1Load());
    // 15 twips a pixel.
    EXPECT_EQ(screen().geometry(), QRect(123, 47, 767, 512));
    EXPECT_EQ(screen().DVD->geometry(), QRect(4, 24, 757, 481));
    EXPECT_EQ(screen().Picture3->geometry(), QRect(4, 24, 757, 481));
    EXPECT_EQ(panel().height(), 108);
    EXPECT_EQ(panel().pos(), QPoint(253, 567));
    EXPECT_EQ(panel().Label1->text(), QStringLiteral("Stop"));
    EXPECT_EQ(panel().Label7->text(), QStringLiteral("Time : 00:00:00 / 00:00:00"));
    EXPECT_TRUE(fakePlatform.messages.empty());
    EXPECT_EQ(fakePlatform.trayAdds, 1);
    EXPECT_EQ(fakePlatform.trayTip, QStringLiteral("左クリックで最小化されたQuorvelを表示できます"));
    // Stopped: only play reacts.
    EXPECT_TRUE(panel().Image4->isEnabled());
    EXPECT_FALSE(panel().Image5->isEnabled());
    EXPECT_TRUE(screen().R_Play->isEnabled());
    EXPECT_FALSE(screen().R_Stop->isEnabled());
}

TEST_F(StartupTest, PromptShowsOverTheVisibleScreenWindowBeforeThePanel)
{
    bool screenVisible = false;
    bool panelVisible = true;
    fakePlatform.onMessage = [&](const FakePlatform::Message&) {
        screenVisible = screen().isVisible();
        panelVisible = panel().isVisible();
    };
    ASSERT_TRUE(Form1Load());
    ASSERT_EQ(fakePlatform.messages.size(), 1u);
    EXPECT_TRUE(screenVisible);
    EXPECT_FALSE(panelVisible);
    EXPECT_EQ(fakePlatform.trayAdds, 1);
    EXPECT_TRUE(QFile::exists(fakePlatform.settingsPath()));
}

TEST_F(StartupTest, NoAtThePromptEndsBeforeTrayAndPanel)
{
    fakePlatform.answers = {MessageAnswer::No};
    EXPECT_FALSE(Form1Load());
    EXPECT_EQ(fakePlatform.endCalls, 1);
    EXPECT_EQ(fakePlatform.trayAdds, 0);
    EXPECT_EQ(fakePlatform.endWatches, 0);
    EXPECT_FALSE(panel().isVisible());
    EXPECT_FALSE(QFile::exists(fakePlatform.settingsPath()));
}

TEST_F(StartupTest, EndsFromOutsideAreTakenOnlyOnceTheSettingsAreLoaded)
{
    // During the prompt a signal still ends the program the system's way: saving then would
    // write the start values, an answer the user never gave.
    int watchesDuringPrompt = -1;
    fakePlatform.onMessage = [&](const FakePlatform::Message&) { watchesDuringPrompt = fakePlatform.endWatches; };
    ASSERT_TRUE(Form1Load());
    EXPECT_EQ(watchesDuringPrompt, 0);
    EXPECT_EQ(fakePlatform.endWatches, 1);
    EXPECT_TRUE(fakePlatform.outsideEnd);
    EXPECT_TRUE(fakePlatform.outsideSave);
}

class ShutdownTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        fakePlatform.writeSettingsFile(ValidFile);
        ASSERT_TRUE(Form1Load());
        panel().show();
        fakeEngine.calls.clear();
        fakePlatform.profileWrites = 0;
    }
    void expectOneShutdown()
    {
        EXPECT_EQ(fakePlatform.profileWrites, 1);
        EXPECT_EQ(fakePlatform.trayRemoves, 1);
        EXPECT_EQ(fakePlatform.endCalls, 1);
        EXPECT_FALSE(screen().isVisible());
        EXPECT_FALSE(panel().isVisible());
    }
};

TEST_F(ShutdownTest, QuitWhileStoppedSavesOnceWithoutStopping)
{
    Settings.volume = -1234;
    AppEnd();
    expectOneShutdown();
    EXPECT_EQ(fakeEngine.count(EngineOp::Stop), 0);
    EXPECT_TRUE(fakePlatform.settingsFileBytes().contains("volume=-1234\n"));
}

TEST_F(ShutdownTest, ClosingEitherWindowEndsEverythingOnce)
{
    screen().close();
    expectOneShutdown();
    panel().close();
    AppEnd();
    expectOneShutdown();
}

TEST_F(ShutdownTest, ClosingThePanelEndsEverythingOnce)
{
    panel().close();
    expectOneShutdown();
}

TEST_F(ShutdownTest, QuitWhilePlayingOrPausedStopsOnce)
{
    for (int16_t state : {1, 2}) {
        resetLifecycle();
        fakePlatform.endCalls = 0;
        fakePlatform.trayRemoves = 0;
        fakePlatform.profileWrites = 0;
        fakeEngine.calls.clear();
        PlayState = state;
        fakeEngine.state = state;
        screen().show();
        panel().show();
        panel().close();
        EXPECT_EQ(fakeEngine.count(EngineOp::Stop), 1) << state;
        EXPECT_EQ(PlayState, 0);
        expectOneShutdown();
    }
}

TEST_F(ShutdownTest, FailingStopShowsItsMessageOnceAndShutdownGoesOn)
{
    PlayState = 2;
    fakeEngine.failOn(EngineOp::Stop);
    AppEnd();
    screen().close();
    ASSERT_EQ(messageTexts(), std::vector<QString>{QStringLiteral("再生中止時にエラーがありました")});
    EXPECT_EQ(fakePlatform.messages[0].title, QStringLiteral("Quorvel"));
    expectOneShutdown();
}

TEST_F(ShutdownTest, AnEndFromOutsideRunsTheQuitsShutdownOnce)
{
    PlayState = 2;
    fakeEngine.state = 2;
    Settings.volume = -1234;
    ASSERT_TRUE(fakePlatform.outsideEnd);
    fakePlatform.outsideEnd();
    EXPECT_EQ(fakeEngine.count(EngineOp::Stop), 1);
    EXPECT_EQ(PlayState, 0);
    expectOneShutdown();
    EXPECT_TRUE(fakePlatform.settingsFileBytes().contains("volume=-1234\n"));

    // A second signal, the exit button, the session's save: the shutdown has been done.
    fakePlatform.outsideEnd();
    AppEnd();
    fakePlatform.outsideSave();
    EXPECT_EQ(fakeEngine.count(EngineOp::Stop), 1);
    expectOneShutdown();
}

TEST_F(ShutdownTest, ASignalAfterAQuitDoesNotShutDownAgain)
{
    AppEnd();
    fakePlatform.outsideEnd();
    fakePlatform.outsideSave();
    expectOneShutdown();
}

TEST_F(ShutdownTest, ASaveAskedFromOutsideKeepsTheSettingsAndTheProgramGoesOn)
{
    Settings.speed = 5;
    fakePlatform.outsideSave();
    EXPECT_EQ(fakePlatform.profileWrites, 1);
    EXPECT_TRUE(fakePlatform.settingsFileBytes().contains("speed=5\n"));
    EXPECT_EQ(fakePlatform.endCalls, 0);
    EXPECT_EQ(fakePlatform.trayRemoves, 0);
    EXPECT_TRUE(panel().isVisible());
    EXPECT_TRUE(screen().isVisible());

    // The logout goes ahead after all: the shutdown writes what the record holds by then.
    Settings.speed = 2;
    fakePlatform.outsideEnd();
    EXPECT_EQ(fakePlatform.profileWrites, 2);
    EXPECT_TRUE(fakePlatform.settingsFileBytes().contains("speed=2\n"));
    EXPECT_EQ(fakePlatform.endCalls, 1);
}

TEST_F(ShutdownTest, TrayReleaseBringsBothWindowsBack)
{
    panel().hide();
    screen().hide();
    ASSERT_TRUE(fakePlatform.trayRelease);
    fakePlatform.trayRelease();
    EXPECT_TRUE(panel().isVisible());
    EXPECT_TRUE(screen().isVisible());
}

} // namespace

TEST_F(StartupTest, ADiscThatEndsByItselfIsStoppedAsIfStopWerePressedSoPlayWorksAgain)
{
    fakePlatform.writeSettingsFile(ValidFile);
    ASSERT_TRUE(Form1Load());
    DvdPlay();
    ASSERT_EQ(PlayState, 2);
    ASSERT_FALSE(panel().Image4->isEnabled());
    fakeEngine.calls.clear();

    fakeEngine.endPlaybackByItself();
    EXPECT_EQ(fakeEngine.count(EngineOp::Stop), 1);
    EXPECT_EQ(PlayState, 0);
    EXPECT_TRUE(screen().Picture3->isVisibleTo(&screen()));
    EXPECT_TRUE(panel().Image4->isEnabled());
    EXPECT_TRUE(screen().R_Play->isEnabled());
    EXPECT_FALSE(panel().Image5->isEnabled());
    EXPECT_EQ(panel().Label1->text(), QStringLiteral("Stop"));
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("Stop"));
    EXPECT_TRUE(fakePlatform.messages.empty());

    // Stopped already (the user was quicker): nothing more happens.
    fakeEngine.calls.clear();
    fakeEngine.endPlaybackByItself();
    EXPECT_TRUE(fakeEngine.calls.empty());
}
