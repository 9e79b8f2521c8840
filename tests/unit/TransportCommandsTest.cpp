#include "core/Settings.h"
#include "panel/Form1.h"
#include "panel/PictureButton.h"
#include "panel/StatusDisplay.h"
#include "playback/ControlStates.h"
#include "playback/PlayState.h"
#include "playback/TransportCommands.h"
#include "screen/Scr.h"
#include "support/AppFixture.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>

namespace {

using Call = FakeEngine::Call;
using Calls = std::vector<Call>;

const QString PlayFailure = QStringLiteral("再生時にエラーがありました。DVDがドライブに入っているか確認してください");
const QString StopFailure = QStringLiteral("再生中止時にエラーがありました");
const QString PauseFailure = QStringLiteral("再生停止中にエラーがありました");
const QString ChapterFailure = QStringLiteral("チャプター移動に失敗しました");

enum class Controls { Stopped, Playing, Scan, Other };

class TransportTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        Settings.dir = "/media/disc";
        Settings.volume = -700;
        Settings.speed = 4;
        screen().Text1->setText(QStringLiteral("before"));
    }

    void enter(int16_t state)
    {
        PlayState = state;
        fakeEngine.state = state;
        if (state == 2)
            SetPlayingControls();
        else
            SetStoppedControls();
        screen().Picture3->setVisible(state == 0);
        fakeEngine.calls.clear();
    }

    Controls controls()
    {
        Form1& p = panel();
        std::vector<bool> others{p.Image3->isEnabled(),  p.Image5->isEnabled(),  p.Image6->isEnabled(),
                                 p.Image11->isEnabled(), p.Image12->isEnabled(), p.Image13->isEnabled(),
                                 p.Image14->isEnabled(), p.Image22->isEnabled(), p.Image23->isEnabled(),
                                 screen().R_Pause->isEnabled(), screen().R_Stop->isEnabled()};
        bool allOn = std::all_of(others.begin(), others.end(), [](bool b) { return b; });
        bool allOff = std::none_of(others.begin(), others.end(), [](bool b) { return b; });
        bool play = p.Image4->isEnabled();
        EXPECT_EQ(play, screen().R_Play->isEnabled());
        if (allOff && play)
            return Controls::Stopped;
        if (allOn && !play)
            return Controls::Playing;
        if (allOn && play)
            return Controls::Scan;
        return Controls::Other;
    }

    QString notice() { return screen().Text1->text(); }
};

TEST_F(TransportTest, PlayFromStoppedGivesFolderPlaysAndGivesVolumeAgain)
{
    enter(0);
    DvdPlay();
    EXPECT_EQ(fakeEngine.calls, (Calls{{EngineOp::Directory, "/media/disc"}, {EngineOp::Play, ""},
                                       {EngineOp::State, "get"}, {EngineOp::Volume, "-700"}}));
    EXPECT_EQ(PlayState, 2);
    EXPECT_FALSE(screen().Picture3->isVisible());
    EXPECT_EQ(controls(), Controls::Playing);
    EXPECT_EQ(notice(), QStringLiteral("Play"));
    EXPECT_TRUE(fakePlatform.messages.empty());
}

TEST_F(TransportTest, FolderIsGivenOnlyWhenNotPausedAndInFolderMode)
{
    struct Case {
        int16_t state;
        int16_t dirsta;
        bool folderGiven;
    };
    for (Case c : {Case{0, 0, true}, Case{2, 0, true}, Case{1, 0, false}, Case{0, 1, false}, Case{2, 1, false}}) {
        enter(c.state);
        Settings.dirsta = c.dirsta;
        DvdPlay();
        EXPECT_EQ(fakeEngine.count(EngineOp::Directory), c.folderGiven ? 1 : 0) << c.state << "/" << c.dirsta;
        EXPECT_EQ(fakeEngine.count(EngineOp::Play), 1);
    }
}

TEST_F(TransportTest, PlayFailureBeforeTheStateReadChangesNothing)
{
    for (EngineOp failing : {EngineOp::Directory, EngineOp::Play, EngineOp::State}) {
        enter(0);
        fakeEngine.clearFailures();
        fakeEngine.failOn(failing);
        fakePlatform.messages.clear();
        DvdPlay();
        EXPECT_EQ(messageTexts(), std::vector<QString>{PlayFailure}) << static_cast<int>(failing);
        EXPECT_EQ(fakePlatform.messages.back().title, QStringLiteral("Quorvel"));
        EXPECT_EQ(fakePlatform.messages.back().kind, QStringLiteral("ok"));
        EXPECT_EQ(PlayState, 0);
        EXPECT_EQ(controls(), Controls::Stopped);
        EXPECT_EQ(notice(), QStringLiteral("before"));
        EXPECT_EQ(fakeEngine.count(EngineOp::Volume), 0);
    }
}

TEST_F(TransportTest, FailedVolumeAfterPlayKeepsTheNewStateAndShowsThePlayMessage)
{
    enter(0);
    fakeEngine.failOnPut(EngineOp::Volume);
    DvdPlay();
    EXPECT_EQ(messageTexts(), std::vector<QString>{PlayFailure});
    EXPECT_EQ(PlayState, 2);
    EXPECT_EQ(controls(), Controls::Playing);
    EXPECT_EQ(notice(), QStringLiteral("Play"));
}

TEST_F(TransportTest, StopWhenNotPlayingOrPausedDoesNothing)
{
    for (int16_t state : {0, 3, -1}) {
        enter(state);
        DvdStop();
        EXPECT_TRUE(fakeEngine.calls.empty());
        EXPECT_TRUE(fakePlatform.messages.empty());
        EXPECT_EQ(notice(), QStringLiteral("before"));
    }
}

TEST_F(TransportTest, StopResetsReadOutControlsAndCover)
{
    for (int16_t state : {1, 2}) {
        enter(state);
        panel().Label4->setText(QStringLiteral("Title : 2/9"));
        DvdStop();
        EXPECT_EQ(fakeEngine.calls, (Calls{{EngineOp::Stop, ""}, {EngineOp::State, "get"}}));
        EXPECT_EQ(PlayState, 0);
        EXPECT_TRUE(screen().Picture3->isVisibleTo(&screen()));
        EXPECT_EQ(controls(), Controls::Stopped);
        EXPECT_EQ(panel().Label4->text(), QStringLiteral("Title : 00 / 00"));
        EXPECT_EQ(notice(), QStringLiteral("Stop"));
    }
}

TEST_F(TransportTest, FailedStopShowsItsMessageAndKeepsPlaying)
{
    enter(2);
    fakeEngine.failOn(EngineOp::Stop);
    DvdStop();
    EXPECT_EQ(messageTexts(), std::vector<QString>{StopFailure});
    EXPECT_EQ(PlayState, 2);
    EXPECT_EQ(controls(), Controls::Playing);
}

TEST_F(TransportTest, PauseInAnyStateLeavesOnlyPlayEnabled)
{
    for (int16_t state : {0, 1, 2}) {
        enter(state);
        DvdPause();
        EXPECT_EQ(fakeEngine.calls, (Calls{{EngineOp::Pause, ""}, {EngineOp::State, "get"}}));
        EXPECT_EQ(PlayState, 1);
        EXPECT_FALSE(screen().Picture3->isVisibleTo(&screen()));
        EXPECT_EQ(controls(), Controls::Stopped);
        EXPECT_EQ(notice(), QStringLiteral("Pause"));
    }
}

TEST_F(TransportTest, FailedPauseIsFollowedByStop)
{
    enter(2);
    fakeEngine.failOn(EngineOp::Pause);
    DvdPause();
    EXPECT_EQ(messageTexts(), std::vector<QString>{PauseFailure});
    EXPECT_EQ(fakeEngine.ops(), (std::vector<EngineOp>{EngineOp::Pause, EngineOp::Stop, EngineOp::State}));
    EXPECT_EQ(PlayState, 0);
    EXPECT_EQ(notice(), QStringLiteral("Stop"));

    // Stopped: the stop that follows does nothing.
    enter(0);
    fakePlatform.messages.clear();
    DvdPause();
    EXPECT_EQ(messageTexts(), std::vector<QString>{PauseFailure});
    EXPECT_EQ(fakeEngine.ops(), std::vector<EngineOp>{EngineOp::Pause});
}

TEST_F(TransportTest, ChapterSkipWhilePlayingReadsStateBackAndKeepsControls)
{
    enter(2);
    DvdNextChapter();
    EXPECT_EQ(fakeEngine.calls, (Calls{{EngineOp::NextChapter, ""}, {EngineOp::State, "get"}}));
    EXPECT_EQ(notice(), QStringLiteral(">>|"));
    EXPECT_EQ(controls(), Controls::Playing);
    DvdPrevChapter();
    EXPECT_EQ(notice(), QStringLiteral("|<<"));
    EXPECT_EQ(fakeEngine.count(EngineOp::PreviousChapter), 1);
}

TEST_F(TransportTest, ChapterSkipWhilePausedPausesAgain)
{
    enter(1);
    DvdPrevChapter();
    EXPECT_EQ(fakeEngine.ops(), (std::vector<EngineOp>{EngineOp::PreviousChapter, EngineOp::Pause, EngineOp::State,
                                                        EngineOp::State}));
    EXPECT_EQ(PlayState, 1);
    EXPECT_EQ(notice(), QStringLiteral("|<<"));
}

TEST_F(TransportTest, ChapterSkipWhileStoppedDoesNothing)
{
    enter(0);
    DvdNextChapter();
    DvdPrevChapter();
    EXPECT_TRUE(fakeEngine.calls.empty());
    EXPECT_TRUE(fakePlatform.messages.empty());
}

TEST_F(TransportTest, FailedChapterSkipShowsItsMessage)
{
    enter(2);
    fakeEngine.failOn(EngineOp::NextChapter);
    DvdNextChapter();
    EXPECT_EQ(messageTexts(), std::vector<QString>{ChapterFailure});
    EXPECT_EQ(notice(), QStringLiteral("before"));
}

TEST_F(TransportTest, ScanWhilePlayingUsesSpeedAndReEnablesPlay)
{
    enter(2);
    DvdFastForward();
    EXPECT_EQ(fakeEngine.calls, (Calls{{EngineOp::ScanForward, "4"}}));
    EXPECT_EQ(PlayState, 2);
    EXPECT_EQ(controls(), Controls::Scan);
    EXPECT_EQ(notice(), QStringLiteral(">>"));
    DvdRewind();
    EXPECT_EQ(fakeEngine.calls.back(), (Call{EngineOp::ScanBackward, "4"}));
    EXPECT_EQ(notice(), QStringLiteral("<<"));
}

TEST_F(TransportTest, PausedScanPlaysScansAndPausesAgain)
{
    enter(1);
    DvdRewind();
    EXPECT_EQ(fakeEngine.ops(), (std::vector<EngineOp>{EngineOp::Play, EngineOp::State, EngineOp::Volume,
                                                        EngineOp::ScanBackward, EngineOp::Pause, EngineOp::State}));
    EXPECT_EQ(PlayState, 1);
    EXPECT_EQ(controls(), Controls::Stopped);
    EXPECT_EQ(notice(), QStringLiteral("<<"));
}

TEST_F(TransportTest, ScanWhileStoppedOnlyTellsTheUser)
{
    enter(0);
    DvdRewind();
    DvdFastForward();
    EXPECT_EQ(messageTexts(), (std::vector<QString>{QStringLiteral("巻き戻しはできません"), QStringLiteral("早送りはできません")}));
    EXPECT_TRUE(fakeEngine.calls.empty());
    EXPECT_EQ(notice(), QStringLiteral("before"));
}

TEST_F(TransportTest, PausedRewindWhoseInnerPlayFailsGoesOn)
{
    enter(1);
    fakeEngine.failOn(EngineOp::Play);
    DvdRewind();
    EXPECT_EQ(messageTexts(), std::vector<QString>{PlayFailure});
    EXPECT_EQ(fakeEngine.ops(), (std::vector<EngineOp>{EngineOp::Play, EngineOp::ScanBackward, EngineOp::Pause,
                                                        EngineOp::State}));
    EXPECT_EQ(notice(), QStringLiteral("<<"));
}

TEST_F(TransportTest, PausedRewindWhoseInnerPlayAndScanFailShowsBothMessages)
{
    enter(1);
    fakeEngine.failOn(EngineOp::Play);
    fakeEngine.failOn(EngineOp::ScanBackward);
    DvdRewind();
    EXPECT_EQ(messageTexts(), (std::vector<QString>{PlayFailure, QStringLiteral("巻き戻しに失敗しました")}));
    EXPECT_EQ(fakeEngine.count(EngineOp::Pause), 0);
    EXPECT_EQ(notice(), QStringLiteral("before"));
}

TEST_F(TransportTest, FailedForwardScanWhilePlayingKeepsControls)
{
    enter(2);
    fakeEngine.failOn(EngineOp::ScanForward);
    DvdFastForward();
    EXPECT_EQ(messageTexts(), std::vector<QString>{QStringLiteral("早送りに失敗しました")});
    EXPECT_EQ(controls(), Controls::Playing);
}

TEST_F(TransportTest, StateTheEngineReportsIsTakenAsItIs)
{
    enter(0);
    fakeEngine.transportSetsState = false;
    fakeEngine.state = 7;
    screen().Picture3->setVisible(true);
    DvdPlay();
    EXPECT_EQ(PlayState, 7);
    EXPECT_TRUE(screen().Picture3->isVisibleTo(&screen()));
    EXPECT_EQ(controls(), Controls::Playing);
}

} // namespace
