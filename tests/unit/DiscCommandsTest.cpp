#include "playback/DiscCommands.h"
#include "playback/PlayState.h"
#include "screen/Scr.h"
#include "support/AppFixture.h"

#include <QLineEdit>

namespace {

using Call = FakeEngine::Call;
using Calls = std::vector<Call>;

struct DiscCommandCase {
    const char* name;
    void (*command)();
    Call call;
    const char* notice;
    const char* failure;
    EngineOp op;
};

class DiscCommandTest : public AppFixture, public ::testing::WithParamInterface<DiscCommandCase> {};

TEST_P(DiscCommandTest, CallsTheEngineInAnyStateAndPostsItsNotice)
{
    const DiscCommandCase& c = GetParam();
    for (int16_t state : {0, 1, 2}) {
        PlayState = state;
        fakeEngine.calls.clear();
        c.command();
        EXPECT_EQ(fakeEngine.calls, Calls{c.call});
        EXPECT_EQ(screen().Text1->text(), QString::fromUtf8(c.notice));
        EXPECT_EQ(PlayState, state);
    }
    EXPECT_TRUE(fakePlatform.messages.empty());
}

TEST_P(DiscCommandTest, FailureShowsItsMessageAndNoNotice)
{
    const DiscCommandCase& c = GetParam();
    fakeEngine.failOn(c.op);
    screen().Text1->setText(QStringLiteral("before"));
    c.command();
    EXPECT_EQ(messageTexts(), std::vector<QString>{QString::fromUtf8(c.failure)});
    EXPECT_EQ(fakePlatform.messages[0].title, QStringLiteral("Quorvel"));
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("before"));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, DiscCommandTest,
    ::testing::Values(
        DiscCommandCase{"Root", DvdRootMenu, {EngineOp::ShowMenu, "3"}, "RootMenu", "ルートメニューを開けません。", EngineOp::ShowMenu},
        DiscCommandCase{"Angle", DvdAngleMenu, {EngineOp::ShowMenu, "6"}, "AngleMenu", "アングルメニューを開けません", EngineOp::ShowMenu},
        DiscCommandCase{"Title", DvdTitleMenu, {EngineOp::ShowMenu, "2"}, "TitleMenu", "タイトルメニューを開けません", EngineOp::ShowMenu},
        DiscCommandCase{"Chapter", DvdChapterMenu, {EngineOp::ShowMenu, "7"}, "ChapterMenu", "チャプターメニューを開けません", EngineOp::ShowMenu},
        DiscCommandCase{"Audio", DvdAudioMenu, {EngineOp::ShowMenu, "5"}, "AudioMenu", "オーディオメニューを開けません", EngineOp::ShowMenu},
        DiscCommandCase{"SubPicture", DvdSubPictureMenu, {EngineOp::ShowMenu, "4"}, "SubPictureMenu", "サブピクチャーメニューを開けません", EngineOp::ShowMenu},
        DiscCommandCase{"Resume", DvdResume, {EngineOp::Resume, ""}, "Resume", "リジュームに失敗", EngineOp::Resume},
        DiscCommandCase{"SaveBookmark", DvdSaveBookmark, {EngineOp::SaveBookmark, ""}, "Save Bookmark", "ブックマークの保存に失敗しました", EngineOp::SaveBookmark},
        DiscCommandCase{"LoadBookmark", DvdLoadBookmark, {EngineOp::RestoreBookmark, ""}, "Load Bookmark", "ブックマークの復元に失敗しました", EngineOp::RestoreBookmark}),
    [](const ::testing::TestParamInfo<DiscCommandCase>& info) { return std::string(info.param.name); });

class AngleTest : public AppFixture {
protected:
    void playingWith(int32_t count, int32_t current)
    {
        PlayState = 2;
        fakeEngine.angleCount = count;
        fakeEngine.angle = current;
    }
    QString notice() { return screen().Text1->text(); }
};

TEST_F(AngleTest, StepsThroughTheAnglesAndWrapsAround)
{
    playingWith(3, 1);
    DvdNextAngle();
    EXPECT_EQ(fakeEngine.calls,
              (Calls{{EngineOp::AngleCount, "get"}, {EngineOp::Angle, "get"}, {EngineOp::Angle, "2"}}));
    EXPECT_EQ(notice(), QStringLiteral("Angle 2"));
    playingWith(3, 3);
    DvdNextAngle();
    EXPECT_EQ(fakeEngine.calls.back(), (Call{EngineOp::Angle, "1"}));
    EXPECT_EQ(notice(), QStringLiteral("Angle 1"));
}

TEST_F(AngleTest, AngleAboveTheCountIsPutAgain)
{
    playingWith(3, 5);
    PlayState = 1;
    DvdNextAngle();
    EXPECT_EQ(fakeEngine.calls.back(), (Call{EngineOp::Angle, "5"}));
    EXPECT_EQ(notice(), QStringLiteral("Angle 5"));
}

TEST_F(AngleTest, OneAngleOnlyTellsTheUser)
{
    playingWith(1, 1);
    screen().Text1->setText(QStringLiteral("before"));
    DvdNextAngle();
    EXPECT_EQ(messageTexts(), std::vector<QString>{QStringLiteral("アングルは一種類のみです")});
    EXPECT_EQ(fakeEngine.count(EngineOp::Angle), 1); // the read, no put
    EXPECT_EQ(notice(), QStringLiteral("before"));
}

TEST_F(AngleTest, WhenNotPlayingTheAnglesAreNotReadAndAngleOneIsAsked)
{
    playingWith(3, 2);
    PlayState = 0;
    DvdNextAngle();
    EXPECT_EQ(fakeEngine.calls, (Calls{{EngineOp::Angle, "1"}}));
    EXPECT_EQ(notice(), QStringLiteral("Angle 1"));
}

TEST_F(AngleTest, FailedReadsFallBackSilently)
{
    playingWith(3, 2);
    fakeEngine.failOnGet(EngineOp::Angle);
    DvdNextAngle(); // count 3, current 0
    EXPECT_EQ(fakeEngine.calls.back(), (Call{EngineOp::Angle, "1"}));
    EXPECT_TRUE(fakePlatform.messages.empty());

    fakeEngine.clearFailures();
    fakeEngine.failOnGet(EngineOp::AngleCount);
    fakeEngine.calls.clear();
    DvdNextAngle(); // both 0
    EXPECT_EQ(fakeEngine.calls, (Calls{{EngineOp::AngleCount, "get"}, {EngineOp::Angle, "1"}}));
}

TEST_F(AngleTest, RefusedAngleShowsTheSwitchFailure)
{
    playingWith(2, 1);
    fakeEngine.failOnPut(EngineOp::Angle);
    DvdNextAngle();
    EXPECT_EQ(messageTexts(), std::vector<QString>{QStringLiteral("アングルの切り替えの失敗")});
}

} // namespace
