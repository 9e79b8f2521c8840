// Thousands of commands in random order and state, as a user with an unreliable disc would give
// them: after each, the play state, the enabled controls, the cover picture, the messages and
// the notice must be what the command table says, whatever failed along the way.
#include "core/Settings.h"
#include "dialogs/Cont.h"
#include "panel/Form1.h"
#include "panel/PanelButtons.h"
#include "panel/PictureButton.h"
#include "playback/ControlStates.h"
#include "playback/PlayState.h"
#include "screen/Scr.h"
#include "support/AppFixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QWindow>

#include <map>
#include <random>
#include <set>

namespace {

// The operations a disc can fail, and so the ones the test makes fail at random. Reads are left
// alone: a command goes on without them and shows nothing.
const EngineOp kFallible[] = {EngineOp::Play,          EngineOp::Pause,       EngineOp::Stop,
                              EngineOp::ScanBackward,  EngineOp::ScanForward, EngineOp::NextChapter,
                              EngineOp::PreviousChapter, EngineOp::ShowMenu,  EngineOp::Resume,
                              EngineOp::SaveBookmark,  EngineOp::RestoreBookmark, EngineOp::Angle,
                              EngineOp::Volume,        EngineOp::Directory};

struct Command {
    const char* name;
    // What the command posts when nothing fails; empty when it posts nothing to check.
    QString notice;
};

// The play state a command leaves, from the command table: what each engine call does when it
// succeeds, and that a failure ends the procedure it happened in (an inner play or pause
// handles its own, and the outer command goes on).
struct StateModel {
    const std::set<EngineOp>& failing;
    bool fails(EngineOp op) const { return failing.count(op) > 0; }

    int play(int state) const
    {
        if (state != 1 && fails(EngineOp::Directory))
            return state;
        return fails(EngineOp::Play) ? state : 2;
    }
    int stop(int state) const
    {
        if (state != 1 && state != 2)
            return state;
        return fails(EngineOp::Stop) ? state : 0;
    }
    int pause(int state) const { return fails(EngineOp::Pause) ? stop(state) : 1; }
    int chapter(int state, EngineOp op) const
    {
        if (state == 2 || fails(op))
            return state;
        return state == 1 ? pause(state) : state;
    }
    int scan(int state, EngineOp op) const
    {
        if (state != 1)
            return state;
        const int played = play(state);
        return fails(op) ? played : pause(played);
    }
    int after(int which, int state) const
    {
        switch (which) {
        case 0:
        case 17: return play(state);
        case 1:
        case 18: return stop(state);
        case 2:
        case 19: return pause(state);
        case 3: return scan(state, EngineOp::ScanBackward);
        case 4: return scan(state, EngineOp::ScanForward);
        case 5: return chapter(state, EngineOp::PreviousChapter);
        case 6: return chapter(state, EngineOp::NextChapter);
        default: return state;
        }
    }
};

class RandomCommandsTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        Settings.speed = 3;
        Settings.dir = "/disc";
        SetStoppedControls();
        // Clicks go through the panel's window, as the window system's would.
        panel().show();
    }

    void clickButton(QWidget* button)
    {
        Form1& p = panel();
        const QPoint at = button->geometry().center();
        for (auto [type, pressed, held] : {std::tuple{QEvent::MouseMove, Qt::NoButton, Qt::MouseButtons{}},
                                           {QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton},
                                           {QEvent::MouseButtonRelease, Qt::LeftButton, Qt::MouseButtons{}}}) {
            QMouseEvent event(type, QPointF(at), QPointF(at), QPointF(p.mapToGlobal(at)), pressed, held,
                              Qt::NoModifier);
            QApplication::sendEvent(p.windowHandle(), &event);
        }
    }

    // A pop-up item can only be chosen once its oval has opened the pop-up.
    static void choose(QWidget* oval, QAction* item)
    {
        if (oval->isEnabled())
            item->trigger();
    }
    static void chooseOnScreen(QAction* item)
    {
        if (item->isEnabled())
            item->trigger();
    }

    void settingsRound(std::mt19937& random)
    {
        clickButton(panel().Image1);
        Cont* dialog = contIfLoaded();
        ASSERT_NE(dialog, nullptr);
        const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp, Qt::Key_PageDown};
        for (int i = 0; i < 3; ++i) {
            QScrollBar* bar = random() % 2 ? dialog->HScroll1 : dialog->HScroll2;
            QKeyEvent press(QEvent::KeyPress, keys[random() % 4], Qt::NoModifier);
            QApplication::sendEvent(bar, &press);
        }
        if (random() % 3 == 0)
            dialog->Check1->click();
        (random() % 2 ? dialog->Command1 : dialog->Command2)->click();
    }

    // Runs one command by number; tells what it should post.
    Command run(int which, std::mt19937& random)
    {
        Form1& p = panel();
        Scr& s = screen();
        switch (which) {
        case 0: clickButton(p.Image4); return {"play", "Play"};
        case 1: clickButton(p.Image5); return {"stop", "Stop"};
        case 2: clickButton(p.Image6); return {"pause", "Pause"};
        case 3: clickButton(p.Image11); return {"rewind", "<<"};
        case 4: clickButton(p.Image12); return {"fast-forward", ">>"};
        case 5: clickButton(p.Image13); return {"previous chapter", "|<<"};
        case 6: clickButton(p.Image14); return {"next chapter", ">>|"};
        case 7: choose(p.Image22, p.M_Root); return {"root menu", "RootMenu"};
        case 8: choose(p.Image22, p.M_Angle); return {"angle menu", "AngleMenu"};
        case 9: choose(p.Image22, p.M_Title); return {"title menu", "TitleMenu"};
        case 10: choose(p.Image22, p.M_Chap); return {"chapter menu", "ChapterMenu"};
        case 11: choose(p.Image22, p.M_Audio); return {"audio menu", "AudioMenu"};
        case 12: choose(p.Image22, p.M_SubP); return {"sub-picture menu", "SubPictureMenu"};
        case 13: choose(p.Image22, p.M_Resume); return {"resume", "Resume"};
        case 14: choose(p.Image23, p.S_Book); return {"save bookmark", "Save Bookmark"};
        case 15: choose(p.Image23, p.R_Book); return {"load bookmark", "Load Bookmark"};
        case 16: {
            const int count = fakeEngine.angleCount;
            const int next = fakeEngine.angle < count ? fakeEngine.angle + 1 : fakeEngine.angle == count ? 1 : fakeEngine.angle;
            clickButton(p.Image3);
            return {"next angle", count == 1 ? QString() : QStringLiteral("Angle %1").arg(next)};
        }
        case 17: chooseOnScreen(s.R_Play); return {"screen play", "Play"};
        case 18: chooseOnScreen(s.R_Stop); return {"screen stop", "Stop"};
        case 19: chooseOnScreen(s.R_Pause); return {"screen pause", "Pause"};
        case 20: clickButton(p.Image2); return {"screen size", {}};
        default: settingsRound(random); return {"settings", {}};
        }
    }

    // Which controls are on: the stopped set, the playing set, or the playing set with play on
    // again (a scan).
    void expectControls(bool playing, bool scanning, const std::string& where)
    {
        Form1& p = panel();
        Scr& s = screen();
        for (QWidget* playingOnly : {static_cast<QWidget*>(p.Image3), static_cast<QWidget*>(p.Image5), static_cast<QWidget*>(p.Image6),
                                     static_cast<QWidget*>(p.Image11), static_cast<QWidget*>(p.Image12),
                                     static_cast<QWidget*>(p.Image13), static_cast<QWidget*>(p.Image14),
                                     static_cast<QWidget*>(p.Image22), static_cast<QWidget*>(p.Image23)})
            EXPECT_EQ(playingOnly->isEnabled(), playing) << where << ": " << playingOnly->objectName().toStdString();
        EXPECT_EQ(s.R_Pause->isEnabled(), playing) << where;
        EXPECT_EQ(s.R_Stop->isEnabled(), playing) << where;
        EXPECT_EQ(p.Image4->isEnabled(), !playing || scanning) << where;
        EXPECT_EQ(s.R_Play->isEnabled(), !playing || scanning) << where;
    }
};

TEST_F(RandomCommandsTest, TenThousandCommandsKeepStateControlsMessagesAndNoticesAsTheTableSays)
{
    std::mt19937 random(20261209);
    // Whether the last control set applied was the scan set (play on again while playing).
    bool scanning = false;
    int failures = 0;
    std::vector<std::string> history;
    int stepsIn[3] = {0, 0, 0};
    for (int step = 0; step < 10000 && !HasFailure(); ++step) {
        fakeEngine.clearFailures();
        std::set<EngineOp> failing;
        for (const EngineOp op : kFallible) {
            if (random() % 8 != 0)
                continue;
            failing.insert(op);
            if (op == EngineOp::Angle)
                fakeEngine.failOnPut(op);
            else
                fakeEngine.failOn(op);
        }
        fakeEngine.angleCount = 1 + static_cast<int>(random() % 3);
        fakeEngine.angle = 1 + static_cast<int>(random() % 4);
        fakeEngine.calls.clear();
        fakePlatform.messages.clear();
        screen().Text1->setText(QStringLiteral("before"));
        const int16_t before = PlayState;
        if (before >= 0 && before <= 2)
            ++stepsIn[before];
        const int which = static_cast<int>(random() % 22);
        const Command command = run(which, random);
        std::string failed;
        for (EngineOp op : failing)
            failed += " " + std::to_string(static_cast<int>(op));
        std::string calls;
        for (const auto& call : fakeEngine.calls)
            calls += " " + std::to_string(static_cast<int>(call.op)) + (call.arg.empty() ? "" : "(" + call.arg + ")");
        history.push_back(std::string(command.name) + " calls" + calls + " failing" + failed);
        if (history.size() > 6)
            history.erase(history.begin());
        std::string recent;
        for (const auto& h : history)
            recent += "\n  " + h;
        const std::string where = recent + "\nstep " + std::to_string(step) + " (" + command.name + " from state "
            + std::to_string(before) + ")";

        int failedCalls = 0;
        for (const auto& call : fakeEngine.calls)
            if (failing.count(call.op) && !(call.op == EngineOp::Angle && call.arg == "get"))
                ++failedCalls;
        failures += failedCalls;
        const bool settings = which == 21;
        const bool oneAngle = which == 16 && !fakeEngine.calls.empty() && fakeEngine.count(EngineOp::Angle) <= 1
            && fakeEngine.angleCount == 1 && (before == 1 || before == 2);
        const size_t messages = fakePlatform.messages.size();
        if (settings) {
            // Trying the bars and the mute out lets the control's failures go.
            EXPECT_EQ(messages, 0u) << where;
        } else {
            // One message for each failure, and none without one (but for the single angle).
            EXPECT_EQ(messages, static_cast<size_t>(failedCalls) + (oneAngle ? 1 : 0)) << where;
        }
        if (failedCalls == 0 && !fakeEngine.calls.empty() && !command.notice.isEmpty()) {
            EXPECT_EQ(screen().Text1->text(), command.notice) << where;
        }
        if (fakeEngine.calls.empty() && !settings && which != 20) {
            EXPECT_EQ(screen().Text1->text(), QStringLiteral("before")) << where << ": a command that did nothing posted";
        }

        // The play state is the engine's, read back, and the rest follows it.
        if (!fakeEngine.calls.empty()) {
            EXPECT_EQ(PlayState, StateModel{failing}.after(which, before)) << where;
        }
        EXPECT_EQ(PlayState, fakeEngine.state) << where;
        EXPECT_EQ(!screen().Picture3->isHidden(), PlayState == 0) << where;
        const bool scanCall = fakeEngine.count(EngineOp::ScanBackward) + fakeEngine.count(EngineOp::ScanForward) > 0;
        const bool scanFailed = (failing.count(EngineOp::ScanBackward) && fakeEngine.count(EngineOp::ScanBackward))
            || (failing.count(EngineOp::ScanForward) && fakeEngine.count(EngineOp::ScanForward));
        if (PlayState != 2)
            scanning = false;
        else if (fakeEngine.count(EngineOp::Play) > 0 && !failing.count(EngineOp::Play))
            scanning = false;
        if (before == 2 && PlayState == 2 && scanCall && !scanFailed)
            scanning = true;
        expectControls(PlayState == 2, scanning, where);
    }
    // The mix reached every state and failure often enough to mean something.
    EXPECT_GT(failures, 500);
    for (int state : {0, 1, 2})
        EXPECT_GT(stepsIn[state], 1000) << "state " << state;
}

}  // namespace
