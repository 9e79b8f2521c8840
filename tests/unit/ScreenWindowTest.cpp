#include "core/AppLifecycle.h"
#include "core/Settings.h"
#include "panel/Form1.h"
#include "panel/PictureButton.h"
#include "playback/ControlStates.h"
#include "playback/PlayState.h"
#include "screen/Scr.h"
#include "screen/ScreenFonts.h"
#include "screen/VideoWidget.h"
#include "support/AppFixture.h"
#include "support/MouseEvents.h"

#include <QAction>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

namespace {

using ScreenWindowTest = AppFixture;

qint64 key(const QLabel* label) { return label->pixmap().cacheKey(); }

TEST_F(ScreenWindowTest, LoadsEmptyTextsIdleTimersAndTheRunningPoll)
{
    EXPECT_EQ(screen().Sec, 0);
    EXPECT_EQ(screen().Sec2, 0);
    EXPECT_EQ(screen().Text1->text(), QString());
    EXPECT_EQ(screen().Text2->text(), QString());
    EXPECT_FALSE(screen().Timer1->isActive());
    EXPECT_FALSE(screen().Timer2->isActive());
    EXPECT_TRUE(screen().Timer3->isActive());
    EXPECT_EQ(screen().Timer3->interval(), 10);
    EXPECT_TRUE(screen().windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(screen().windowIcon().isNull());
}

TEST_F(ScreenWindowTest, HoldersKeepThePicturesAtTheirSizesAndNeverShow)
{
    struct Holder {
        QLabel* label;
        QSize size;
    };
    for (const Holder& h : {Holder{screen().Picture1, {32, 32}}, Holder{screen().Picture2, {32, 32}},
                            Holder{screen().Picture4, {936, 577}}, Holder{screen().Picture5, {813, 567}}}) {
        EXPECT_EQ(h.label->pixmap().size(), h.size);
        EXPECT_TRUE(h.label->isHidden());
        // Below the window's normal area.
        EXPECT_GE(h.label->y(), 512);
    }
    EXPECT_NE(key(screen().Picture1), key(screen().Picture2));
    EXPECT_EQ(key(screen().Picture3), key(screen().Picture5));
    EXPECT_EQ(key(screen().Image1), key(screen().Picture2));
    EXPECT_TRUE(screen().Image1->hasScaledContents());
    EXPECT_EQ(screen().Image1->size(), QSize(32, 16));
    EXPECT_EQ(screen().Image1->toolTip(), QStringLiteral("Quorvelを終了する"));
}

TEST_F(ScreenWindowTest, DrawsTheSkinAndTheCoverUnscaledFromTheTopLeft)
{
    screen().setGeometry(123, 47, 767, 512);
    screen().DVD->setGeometry(4, 24, 757, 481);
    screen().Picture3->setGeometry(4, 24, 757, 481);
    const QImage shot = screen().grab().toImage();
    const QImage skin(QStringLiteral(":/scr_skin.png"));
    const QImage cover(QStringLiteral(":/cover_normal.png"));
    ASSERT_FALSE(skin.isNull());
    // The band across the top and the frame are the skin's own pixels.
    for (QPoint p : {QPoint(0, 0), QPoint(100, 12), QPoint(2, 200), QPoint(764, 509)})
        EXPECT_EQ(shot.pixelColor(p), skin.pixelColor(p)) << p.x() << "," << p.y();
    // The cover's pixel (200, 240) is on the disc of its logo; the box starts at (4, 24).
    EXPECT_NE(cover.pixelColor(200, 240), QColor(Qt::black));
    EXPECT_EQ(shot.pixelColor(4 + 200, 24 + 240), cover.pixelColor(200, 240));
}

TEST_F(ScreenWindowTest, TextsAreGreenBoldGothicOnBlackWithoutFrameOrFocus)
{
    for (QLineEdit* text : {screen().Text1, screen().Text2}) {
        EXPECT_TRUE(text->isReadOnly());
        EXPECT_EQ(text->focusPolicy(), Qt::NoFocus);
        EXPECT_FALSE(text->hasFrame());
        EXPECT_EQ(text->contextMenuPolicy(), Qt::NoContextMenu);
        EXPECT_EQ(text->palette().color(QPalette::Base), QColor(Qt::black));
        EXPECT_EQ(text->palette().color(QPalette::Text), QColor(0, 255, 0));
        EXPECT_EQ(text->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
        EXPECT_DOUBLE_EQ(text->font().pointSizeF(), 14.25);
        EXPECT_TRUE(text->font().bold());
    }
    EXPECT_EQ(screen().Text1->geometry(), QRect(504, 32, 233, 25));
    EXPECT_EQ(screen().Text2->geometry(), QRect(32, 32, 353, 25));
}

TEST_F(ScreenWindowTest, TheGothicNameResolvesToTheInstalledJapaneseFace)
{
    if (!QFontDatabase::families().contains(QStringLiteral("IPAPGothic")))
        GTEST_SKIP() << "fonts-ipafont-gothic is not installed";
    // The substitution is installed before the first window, as the program does.
    EXPECT_EQ(QFontInfo(screen().Text1->font()).family(), QStringLiteral("IPAPGothic"));
}

TEST_F(ScreenWindowTest, TextsNeitherSelectNorPassPressesToTheWindow)
{
    screen().Text1->setText(QStringLiteral("RootMenu"));
    sendMouse(screen().Text1, QEvent::MouseButtonDblClick, QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
    sendMouse(screen().Text1, QEvent::MouseButtonPress, QPoint(2, 10), Qt::LeftButton, Qt::LeftButton);
    sendMove(screen().Text1, QPoint(100, 10), Qt::LeftButton);
    EXPECT_FALSE(screen().Text1->hasSelectedText());
    EXPECT_TRUE(fakePlatform.drags.empty());
}

TEST_F(ScreenWindowTest, ExitPictureShowsHoverAndHintUntilThePointerCrossesTheBareSurface)
{
    sendMove(screen().Image1, QPoint(5, 5));
    EXPECT_EQ(key(screen().Image1), key(screen().Picture1));
    EXPECT_EQ(screen().Text2->text(), QStringLiteral("Quorvelを終了する"));
    EXPECT_TRUE(screen().Timer1->isActive());

    // Straight onto the video area and the cover: the hover picture stays.
    sendMove(screen().DVD, QPoint(300, 200));
    sendMove(screen().Picture3, QPoint(300, 200));
    sendMove(screen().Text1, QPoint(5, 5));
    EXPECT_EQ(key(screen().Image1), key(screen().Picture1));

    // The window's own surface (the band across the top) without a button.
    sendMove(&screen(), QPoint(300, 10));
    EXPECT_EQ(key(screen().Image1), key(screen().Picture2));
    EXPECT_TRUE(fakePlatform.drags.empty());
}

TEST_F(ScreenWindowTest, HintOfTheExitPictureIsSetEvenWhenItsTextIsHidden)
{
    screen().Text2->hide();
    sendMove(screen().Image1, QPoint(5, 5));
    EXPECT_EQ(screen().Text2->text(), QStringLiteral("Quorvelを終了する"));
    EXPECT_TRUE(screen().Text2->isHidden());
}

TEST_F(ScreenWindowTest, OnlyTheLeftButtonAloneOnTheBareSurfaceDragsTheWindow)
{
    sendMove(&screen(), QPoint(300, 10), Qt::RightButton);
    sendMove(&screen(), QPoint(300, 10), Qt::LeftButton | Qt::RightButton);
    sendMove(&screen(), QPoint(300, 10), Qt::MiddleButton);
    EXPECT_TRUE(fakePlatform.drags.empty());

    // Pressing on the video, the cover or a text and moving does not drag.
    for (QWidget* child : {static_cast<QWidget*>(screen().DVD), static_cast<QWidget*>(screen().Picture3),
                           static_cast<QWidget*>(screen().Text2)}) {
        sendMouse(child, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
        sendMove(child, QPoint(8, 8), Qt::LeftButton);
        sendMouse(child, QEvent::MouseButtonRelease, QPoint(8, 8), Qt::LeftButton, Qt::NoButton);
    }
    EXPECT_TRUE(fakePlatform.drags.empty());

    sendMove(&screen(), QPoint(300, 10), Qt::LeftButton);
    ASSERT_EQ(fakePlatform.drags.size(), 1u);
    EXPECT_EQ(fakePlatform.drags[0], &screen());
    EXPECT_EQ(fakePlatform.endCalls, 0);
}

TEST_F(ScreenWindowTest, ClickOnTheExitPictureEndsTheProgram)
{
    sendClick(screen().Image1, QPoint(5, 5));
    EXPECT_EQ(fakePlatform.endCalls, 1);
    EXPECT_TRUE(appEnding());
    // Shutdown saved the settings.
    EXPECT_FALSE(fakePlatform.settingsFileBytes().isEmpty());
}

TEST_F(ScreenWindowTest, RightClickOnTheExitPictureDoesNotEndTheProgram)
{
    sendClick(screen().Image1, QPoint(5, 5), Qt::RightButton);
    EXPECT_EQ(fakePlatform.endCalls, 0);
}

TEST_F(ScreenWindowTest, MenuHoldsItsItemsInOrder)
{
    const QList<QAction*> items = screen().R_Pop->actions();
    ASSERT_EQ(items.size(), 7);
    const QList<QAction*> named = {screen().R_ShowRimort, screen().sen1, screen().R_Play, screen().R_Stop,
                                   screen().R_Pause,      screen().sen2, screen().R_End};
    EXPECT_EQ(items, named);
    EXPECT_EQ(screen().R_ShowRimort->text(), QStringLiteral("リモコンの表示"));
    EXPECT_TRUE(screen().sen1->isSeparator());
    EXPECT_EQ(screen().R_Play->text(), QStringLiteral("再生"));
    EXPECT_EQ(screen().R_Stop->text(), QStringLiteral("再生中止"));
    EXPECT_EQ(screen().R_Pause->text(), QStringLiteral("一時停止"));
    EXPECT_TRUE(screen().sen2->isSeparator());
    EXPECT_EQ(screen().R_End->text(), QStringLiteral("Quorvelの終了"));
}

TEST_F(ScreenWindowTest, MenuEnablesPlayWhileStoppedAndStopPauseWhilePlaying)
{
    struct Row {
        void (*apply)();
        bool play, stop, pause;
    };
    for (const Row& row : {Row{SetPlayingControls, false, true, true}, Row{SetStoppedControls, true, false, false},
                           Row{SetPlayingControls, false, true, true}}) {
        row.apply();
        EXPECT_EQ(screen().R_Play->isEnabled(), row.play);
        EXPECT_EQ(screen().R_Stop->isEnabled(), row.stop);
        EXPECT_EQ(screen().R_Pause->isEnabled(), row.pause);
        EXPECT_TRUE(screen().R_ShowRimort->isEnabled());
        EXPECT_TRUE(screen().R_End->isEnabled());
    }
    // A scan brings play back and leaves the rest.
    SetScanControls();
    EXPECT_TRUE(screen().R_Play->isEnabled());
    EXPECT_TRUE(screen().R_Stop->isEnabled());
    EXPECT_TRUE(screen().R_Pause->isEnabled());
}

TEST_F(ScreenWindowTest, ShowPanelItemShowsTheHiddenPanel)
{
    ASSERT_FALSE(panel().isVisible());
    screen().R_ShowRimort->trigger();
    EXPECT_TRUE(panel().isVisible());
    // Again on a visible panel: it stays shown, nothing else happens.
    screen().R_ShowRimort->trigger();
    EXPECT_TRUE(panel().isVisible());
    EXPECT_EQ(fakePlatform.endCalls, 0);
    EXPECT_TRUE(fakeEngine.calls.empty());
}

TEST_F(ScreenWindowTest, PlayStopAndPauseItemsRunTheirCommands)
{
    screen().R_Play->trigger();
    EXPECT_EQ(fakeEngine.count(EngineOp::Play), 1);
    EXPECT_EQ(PlayState, 2);
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("Play"));

    screen().R_Stop->trigger();
    EXPECT_EQ(fakeEngine.count(EngineOp::Stop), 1);
    EXPECT_EQ(PlayState, 0);

    screen().R_Play->trigger();
    screen().R_Pause->trigger();
    EXPECT_EQ(fakeEngine.count(EngineOp::Pause), 1);
    EXPECT_EQ(PlayState, 1);
    EXPECT_TRUE(fakePlatform.messages.empty());
}

TEST_F(ScreenWindowTest, EndItemEndsTheProgram)
{
    screen().R_End->trigger();
    EXPECT_EQ(fakePlatform.endCalls, 1);
}

} // namespace
