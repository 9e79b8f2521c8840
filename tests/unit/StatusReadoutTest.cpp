#include "core/AppObjects.h"
#include "core/Settings.h"
#include "panel/Form1.h"
#include "panel/StatusDisplay.h"
#include "playback/PlayState.h"
#include "support/AppFixture.h"

#include <QLabel>
#include <QTimer>
#include <climits>

namespace {

using Calls = std::vector<FakeEngine::Call>;

// The ten reads of a refresh while playing, in the order they are made; the title is read twice.
const std::vector<EngineOp> PlayingReads{EngineOp::TimeText,  EngineOp::TotalTimeText, EngineOp::Title,
                                         EngineOp::TitleCount, EngineOp::Title,        EngineOp::Chapter,
                                         EngineOp::ChapterCount, EngineOp::Angle,     EngineOp::AngleCount,
                                         EngineOp::Mute};

// Fails exactly one read, counted across all reads, so the second title read can fail alone.
class OneFailingReadEngine : public FakeEngine {
public:
    int failAt = -1;

    std::optional<int32_t> EngineChapterCount(int32_t t) override { return pass(FakeEngine::EngineChapterCount(t)); }
    std::optional<int32_t> EngineTitle() override { return pass(FakeEngine::EngineTitle()); }
    std::optional<int32_t> EngineChapter() override { return pass(FakeEngine::EngineChapter()); }
    std::optional<std::string> EngineTimeText() override { return pass(FakeEngine::EngineTimeText()); }
    std::optional<int32_t> EngineTitleCount() override { return pass(FakeEngine::EngineTitleCount()); }
    std::optional<std::string> EngineTotalTimeText() override { return pass(FakeEngine::EngineTotalTimeText()); }
    std::optional<int32_t> EngineAngle() override { return pass(FakeEngine::EngineAngle()); }
    std::optional<int32_t> EngineAngleCount() override { return pass(FakeEngine::EngineAngleCount()); }
    std::optional<bool> EngineMute() override { return pass(FakeEngine::EngineMute()); }

private:
    int reads = 0;
    template <typename T>
    std::optional<T> pass(std::optional<T> value)
    {
        return reads++ == failAt ? std::nullopt : value;
    }
};

class StatusReadoutTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        Settings.speed = 3;
        Settings.balance = -2500;
        fakeEngine.timeText = "01:02:03";
        fakeEngine.totalTimeText = "01:30:00";
        fakeEngine.title = 2;
        fakeEngine.titleCount = 9;
        fakeEngine.chapter = 14;
        fakeEngine.chapterCount = 30;
        fakeEngine.angle = 1;
        fakeEngine.angleCount = 3;
    }

    // Marks every line so that an untouched one can be told from a rewritten one.
    void markLines()
    {
        for (QLabel* label : lines())
            label->setText(QStringLiteral("old ") + label->objectName());
    }

    std::vector<QLabel*> lines()
    {
        Form1& p = panel();
        return {p.Label1, p.Label2, p.Label3, p.Label4, p.Label5, p.Label6, p.Label7};
    }

    std::vector<QString> texts()
    {
        std::vector<QString> result;
        for (QLabel* label : lines())
            result.push_back(label->text());
        return result;
    }

    QString text(QLabel* label) { return label->text(); }
};

TEST_F(StatusReadoutTest, ResetWritesTheIdleTextsAndLeavesTheSpeedLine)
{
    Form1& p = panel();
    EXPECT_EQ(p.Label2->text(), QStringLiteral("Label2"));
    markLines();
    const QString speedBefore = p.Label2->text();
    ResetStatus();
    EXPECT_EQ(p.Label1->text(), QStringLiteral("Stop"));
    EXPECT_EQ(p.Label7->text(), QStringLiteral("Time : 00:00:00 / 00:00:00"));
    EXPECT_EQ(p.Label4->text(), QStringLiteral("Title : 00 / 00"));
    EXPECT_EQ(p.Label5->text(), QStringLiteral("Chapter : 00 / 00"));
    EXPECT_EQ(p.Label6->text(), QStringLiteral("Angle : 0 / 0"));
    EXPECT_EQ(p.Label3->text(), QStringLiteral("Mute : OFF"));
    EXPECT_EQ(p.Label2->text(), speedBefore);
    EXPECT_TRUE(fakeEngine.calls.empty());
}

TEST_F(StatusReadoutTest, ResetTakesTheMuteLineFromTheSettingOnlyWhenItIsOne)
{
    for (auto [mute, expected] : {std::pair{int16_t{1}, "Mute : ON"}, std::pair{int16_t{0}, "Mute : OFF"},
                                  std::pair{int16_t{2}, "Mute : OFF"}, std::pair{int16_t{-1}, "Mute : OFF"}}) {
        Settings.mute = mute;
        fakeEngine.mute = mute != 1; // the engine is not asked
        ResetStatus();
        EXPECT_EQ(panel().Label3->text(), QString::fromUtf8(expected)) << "mute " << mute;
    }
}

TEST_F(StatusReadoutTest, PlayingShowsEveryLineWithTightSeparators)
{
    PlayState = 2;
    RefreshStatus();
    Form1& p = panel();
    EXPECT_EQ(p.Label1->text(), QStringLiteral("Play"));
    EXPECT_EQ(p.Label7->text(), QStringLiteral("Time : 01:02:03/01:30:00"));
    EXPECT_EQ(p.Label4->text(), QStringLiteral("Title : 2/9"));
    EXPECT_EQ(p.Label5->text(), QStringLiteral("Chapter : 14/30"));
    EXPECT_EQ(p.Label6->text(), QStringLiteral("Angle : 1/3"));
    EXPECT_EQ(p.Label3->text(), QStringLiteral("Mute : OFF"));
    EXPECT_EQ(p.Label2->text(), QStringLiteral("*3"));
}

TEST_F(StatusReadoutTest, PlayingReadsTheEngineInOrderAndCountsChaptersOfTheTitleJustRead)
{
    PlayState = 2;
    RefreshStatus();
    EXPECT_EQ(fakeEngine.ops(), PlayingReads);
    EXPECT_EQ(fakeEngine.calls[6], (FakeEngine::Call{EngineOp::ChapterCount, "2"}));
}

TEST_F(StatusReadoutTest, StoppedPausedAndUnknownStatesReadOnlyTheMuteAndKeepThePlayingLines)
{
    struct Case {
        int16_t state;
        const char* playLine; // null: left as it was
    };
    for (const Case& c : {Case{0, "Stop"}, Case{1, "Pause"}, Case{3, nullptr}, Case{-1, nullptr},
                          Case{INT16_MAX, nullptr}}) {
        markLines();
        const std::vector<QString> before = texts();
        fakeEngine.calls.clear();
        fakeEngine.mute = true;
        PlayState = c.state;
        RefreshStatus();
        Form1& p = panel();
        EXPECT_EQ(p.Label1->text(), c.playLine ? QString::fromUtf8(c.playLine) : before[0]) << c.state;
        EXPECT_EQ(p.Label7->text(), before[6]) << c.state;
        EXPECT_EQ(p.Label4->text(), before[3]) << c.state;
        EXPECT_EQ(p.Label5->text(), before[4]) << c.state;
        EXPECT_EQ(p.Label6->text(), before[5]) << c.state;
        EXPECT_EQ(p.Label3->text(), QStringLiteral("Mute : ON")) << c.state;
        EXPECT_EQ(p.Label2->text(), QStringLiteral("*3")) << c.state;
        EXPECT_EQ(fakeEngine.ops(), std::vector<EngineOp>{EngineOp::Mute}) << c.state;
    }
}

TEST_F(StatusReadoutTest, AFailedReadLeavesItsLineAndTheLaterPlayingLinesAndSkipsTheirReads)
{
    PlayState = 2;
    // Position of the failing read -> number of playing lines (time, title, chapter, angle)
    // written before it.
    const int linesWritten[] = {0, 0, 1, 1, 2, 2, 2, 3, 3, 4};
    for (int failAt = 0; failAt < 10; ++failAt) {
        OneFailingReadEngine fresh;
        fresh.timeText = "00:10:00";
        fresh.totalTimeText = "00:20:00";
        fresh.title = 2;
        fresh.titleCount = 9;
        fresh.chapter = 14;
        fresh.chapterCount = 30;
        fresh.angle = 1;
        fresh.angleCount = 3;
        fresh.mute = true;
        fresh.failAt = failAt;
        installEngine(&fresh);
        markLines();
        const std::vector<QString> before = texts();
        RefreshStatus();

        Form1& p = panel();
        const std::vector<std::pair<QLabel*, QString>> playing{
            {p.Label7, QStringLiteral("Time : 00:10:00/00:20:00")},
            {p.Label4, QStringLiteral("Title : 2/9")},
            {p.Label5, QStringLiteral("Chapter : 14/30")},
            {p.Label6, QStringLiteral("Angle : 1/3")}};
        for (int line = 0; line < 4; ++line) {
            const auto& [label, live] = playing[line];
            if (line < linesWritten[failAt])
                EXPECT_EQ(label->text(), live) << "fail at " << failAt << ", line " << line;
            else
                EXPECT_EQ(label->text(), QStringLiteral("old ") + label->objectName())
                    << "fail at " << failAt << ", line " << line;
        }
        EXPECT_EQ(p.Label1->text(), QStringLiteral("Play"));
        EXPECT_EQ(p.Label2->text(), QStringLiteral("*3"));
        if (failAt == 9)
            EXPECT_EQ(p.Label3->text(), before[2]) << "a failed mute read leaves the mute line";
        else
            EXPECT_EQ(p.Label3->text(), QStringLiteral("Mute : ON")) << "fail at " << failAt;

        // Reads stop at the failure and go on with the mute read.
        std::vector<EngineOp> expected(PlayingReads.begin(), PlayingReads.begin() + failAt + 1);
        if (failAt < 9)
            expected.push_back(EngineOp::Mute);
        EXPECT_EQ(fresh.ops(), expected) << "fail at " << failAt;
        EXPECT_TRUE(fakePlatform.messages.empty());
    }
    installEngine(&fakeEngine);
}

TEST_F(StatusReadoutTest, NumbersAreWrittenInPlainDecimalAndTimeTextsAsGiven)
{
    fakeEngine.title = -1;
    fakeEngine.titleCount = INT32_MAX;
    fakeEngine.chapter = INT32_MIN;
    fakeEngine.chapterCount = 0;
    fakeEngine.angle = -5;
    fakeEngine.angleCount = 100000;
    fakeEngine.timeText = " 1:2:3 ";
    fakeEngine.totalTimeText = "不明";
    Settings.speed = -7;
    PlayState = 2;
    RefreshStatus();
    Form1& p = panel();
    EXPECT_EQ(p.Label7->text(), QStringLiteral("Time :  1:2:3 /不明"));
    EXPECT_EQ(p.Label4->text(), QStringLiteral("Title : -1/2147483647"));
    EXPECT_EQ(p.Label5->text(), QStringLiteral("Chapter : -2147483648/0"));
    EXPECT_EQ(p.Label6->text(), QStringLiteral("Angle : -5/100000"));
    EXPECT_EQ(p.Label2->text(), QStringLiteral("*-7"));

    Settings.speed = INT16_MAX;
    PlayState = 0;
    RefreshStatus();
    EXPECT_EQ(p.Label2->text(), QStringLiteral("*32767"));
}

TEST_F(StatusReadoutTest, MuteLineFollowsTheEngineNotTheSetting)
{
    for (int16_t state : {int16_t{0}, int16_t{1}, int16_t{2}}) {
        PlayState = state;
        Settings.mute = 0;
        fakeEngine.mute = true;
        RefreshStatus();
        EXPECT_EQ(panel().Label3->text(), QStringLiteral("Mute : ON")) << state;
        Settings.mute = 1;
        fakeEngine.mute = false;
        RefreshStatus();
        EXPECT_EQ(panel().Label3->text(), QStringLiteral("Mute : OFF")) << state;
    }
}

TEST_F(StatusReadoutTest, PauseFreezesThePlayingLinesAtTheLastLiveValues)
{
    PlayState = 2;
    RefreshStatus();
    fakeEngine.chapter = 15;
    fakeEngine.timeText = "01:05:00";
    PlayState = 1;
    RefreshStatus();
    Form1& p = panel();
    EXPECT_EQ(p.Label1->text(), QStringLiteral("Pause"));
    EXPECT_EQ(p.Label5->text(), QStringLiteral("Chapter : 14/30"));
    EXPECT_EQ(p.Label7->text(), QStringLiteral("Time : 01:02:03/01:30:00"));
}

TEST_F(StatusReadoutTest, EveryRefreshReadsAfreshNothingIsKept)
{
    PlayState = 2;
    RefreshStatus();
    fakeEngine.title = 3;
    fakeEngine.chapterCount = 12;
    fakeEngine.angle = 2;
    fakeEngine.timeText = "00:00:01";
    RefreshStatus();
    Form1& p = panel();
    EXPECT_EQ(p.Label4->text(), QStringLiteral("Title : 3/9"));
    EXPECT_EQ(p.Label5->text(), QStringLiteral("Chapter : 14/12"));
    EXPECT_EQ(p.Label6->text(), QStringLiteral("Angle : 2/3"));
    EXPECT_EQ(p.Label7->text(), QStringLiteral("Time : 00:00:01/01:30:00"));
    EXPECT_EQ(fakeEngine.calls.size(), 2 * PlayingReads.size());
}

TEST_F(StatusReadoutTest, TickGivesTheStoredBalanceAfterTheRefreshOnlyWhilePlaying)
{
    for (int16_t state : {int16_t{0}, int16_t{1}, int16_t{2}, int16_t{3}}) {
        fakeEngine.calls.clear();
        PlayState = state;
        StatusTimerTick();
        const bool playing = state == 2;
        EXPECT_EQ(fakeEngine.count(EngineOp::Balance), playing ? 1 : 0) << state;
        if (playing) {
            EXPECT_EQ(fakeEngine.calls.back(), (FakeEngine::Call{EngineOp::Balance, "-2500"}));
            EXPECT_EQ(fakeEngine.calls.size(), PlayingReads.size() + 1);
        }
        EXPECT_EQ(panel().Label2->text(), QStringLiteral("*3"));
    }
}

TEST_F(StatusReadoutTest, TickWritesTheBalanceEvenWhenTheReadsFail)
{
    PlayState = 2;
    fakeEngine.failOnGet(EngineOp::TimeText);
    fakeEngine.failOnGet(EngineOp::Mute);
    StatusTimerTick();
    EXPECT_EQ(fakeEngine.calls.back(), (FakeEngine::Call{EngineOp::Balance, "-2500"}));
    EXPECT_TRUE(fakePlatform.messages.empty());
}

TEST_F(StatusReadoutTest, Timer1RunsTheTickEveryHalfSecondFromTheStart)
{
    QTimer* timer = panel().Timer1;
    EXPECT_EQ(timer->interval(), 500);
    EXPECT_TRUE(timer->isActive());
    EXPECT_FALSE(timer->isSingleShot());
    PlayState = 2;
    // Stands for one expiry of the timer.
    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout"));
    EXPECT_EQ(panel().Label1->text(), QStringLiteral("Play"));
    EXPECT_EQ(fakeEngine.count(EngineOp::Balance), 1);
}

} // namespace
