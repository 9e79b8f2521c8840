#include "screen/Notice.h"
#include "screen/Scr.h"
#include "support/AppFixture.h"

#include <QLineEdit>
#include <QTimer>

namespace {

using NoticeTest = AppFixture;

TEST_F(NoticeTest, NoticeStaysForTwoTicksAndClearsOnTheThird)
{
    ShowNotice(QStringLiteral("Play"));
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("Play"));
    EXPECT_TRUE(screen().Timer2->isActive());
    EXPECT_EQ(screen().Timer2->interval(), 1000);

    NoticeTimerTick();
    NoticeTimerTick();
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("Play"));
    EXPECT_EQ(screen().Sec, 2);
    EXPECT_TRUE(screen().Timer2->isActive());

    NoticeTimerTick();
    EXPECT_EQ(screen().Text1->text(), QString());
    EXPECT_EQ(screen().Sec, 0);
    EXPECT_FALSE(screen().Timer2->isActive());
    // The hint side is not touched.
    EXPECT_FALSE(screen().Timer1->isActive());
}

TEST_F(NoticeTest, SecondNoticeReplacesTheFirstAndStaysThreeMoreTicks)
{
    ShowNotice(QStringLiteral("Play"));
    NoticeTimerTick();
    NoticeTimerTick();
    ShowNotice(QStringLiteral("Pause"));
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("Pause"));
    EXPECT_EQ(screen().Sec, 0);

    NoticeTimerTick();
    NoticeTimerTick();
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("Pause"));
    NoticeTimerTick();
    EXPECT_EQ(screen().Text1->text(), QString());
    EXPECT_FALSE(screen().Timer2->isActive());
}

TEST_F(NoticeTest, HintStaysForOneTickAndClearsOnTheSecond)
{
    ShowHint(QStringLiteral("再生"));
    EXPECT_EQ(screen().Text2->text(), QStringLiteral("再生"));
    EXPECT_TRUE(screen().Timer1->isActive());
    EXPECT_EQ(screen().Timer1->interval(), 300);

    HintTimerTick();
    EXPECT_EQ(screen().Text2->text(), QStringLiteral("再生"));
    EXPECT_EQ(screen().Sec2, 1);

    HintTimerTick();
    EXPECT_EQ(screen().Text2->text(), QString());
    EXPECT_EQ(screen().Sec2, 0);
    EXPECT_FALSE(screen().Timer1->isActive());
    EXPECT_FALSE(screen().Timer2->isActive());
}

TEST_F(NoticeTest, HintPostedAgainWhileShowingStartsTheCountAgain)
{
    ShowHint(QStringLiteral("再生"));
    HintTimerTick();
    ShowHint(QStringLiteral("停止"));
    HintTimerTick();
    EXPECT_EQ(screen().Text2->text(), QStringLiteral("停止"));
    HintTimerTick();
    EXPECT_EQ(screen().Text2->text(), QString());
}

TEST_F(NoticeTest, NoticeAndHintExpireIndependently)
{
    ShowNotice(QStringLiteral("Stop"));
    ShowHint(QStringLiteral("停止"));
    HintTimerTick();
    HintTimerTick();
    EXPECT_EQ(screen().Text2->text(), QString());
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("Stop"));
    EXPECT_EQ(screen().Sec, 0);

    NoticeTimerTick();
    NoticeTimerTick();
    NoticeTimerTick();
    EXPECT_EQ(screen().Text1->text(), QString());
}

TEST_F(NoticeTest, PostsIntoHiddenTextsAreWrittenAndClearedAllTheSame)
{
    screen().Text1->hide();
    screen().Text2->hide();
    ShowNotice(QStringLiteral("RootMenu"));
    ShowHint(QStringLiteral("Quorvelを終了する"));
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("RootMenu"));
    EXPECT_EQ(screen().Text2->text(), QStringLiteral("Quorvelを終了する"));
    EXPECT_TRUE(screen().Timer1->isActive());
    EXPECT_TRUE(screen().Timer2->isActive());

    HintTimerTick();
    HintTimerTick();
    for (int i = 0; i < 3; ++i)
        NoticeTimerTick();
    EXPECT_EQ(screen().Text1->text(), QString());
    EXPECT_EQ(screen().Text2->text(), QString());
    EXPECT_TRUE(screen().Text1->isHidden());
    EXPECT_TRUE(screen().Text2->isHidden());
}

TEST_F(NoticeTest, TimersOfTheWindowRunTheExpiry)
{
    ShowNotice(QStringLiteral("Play"));
    ShowHint(QStringLiteral("再生"));
    for (int i = 0; i < 3; ++i)
        QMetaObject::invokeMethod(screen().Timer2, "timeout");
    for (int i = 0; i < 2; ++i)
        QMetaObject::invokeMethod(screen().Timer1, "timeout");
    EXPECT_EQ(screen().Text1->text(), QString());
    EXPECT_EQ(screen().Text2->text(), QString());
}

} // namespace
