#include "core/Settings.h"
#include "dialogs/Cont.h"
#include "dialogs/ContLabels.h"
#include "panel/PanelButtons.h"
#include "screen/Scr.h"
#include "support/AppFixture.h"
#include "support/MouseEvents.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>

namespace {

const QString RestartText = QStringLiteral("ディレクトリの設定を有効にするためにはQuorvelを再起動してください。");

class DialogContTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        Settings.volume = -5000;
    }
    Cont& open()
    {
        ShowSettingsDialog();
        return *contIfLoaded();
    }
    static void pressKey(QWidget* widget, Qt::Key key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(widget, &press);
    }
    size_t restartQuestions() const
    {
        const std::vector<QString> texts = messageTexts();
        return std::count(texts.begin(), texts.end(), RestartText);
    }
};

TEST(DialogContLabels, NumbersAtTheEdgesOfTheirSteps)
{
    for (auto [value, text] : {std::pair{0, "20"}, {-1, "19"}, {-500, "19"}, {-9501, "0"}, {-10000, "0"}})
        EXPECT_EQ(VolumeLabelText(value), QString::fromLatin1(text)) << value;
    for (auto [value, text] : {std::pair{10000, "10"}, {999, "0"}, {0, "0"}, {-1, "-1"}, {-1000, "-1"}})
        EXPECT_EQ(BalanceLabelText(value), QString::fromLatin1(text)) << value;
}

TEST_F(DialogContTest, FillWithMuteLocksVolumeAndLeavesTheEngineMuted)
{
    Settings.mute = 1;
    fakeEngine.mute = true;
    Cont& d = open();
    EXPECT_TRUE(d.Check1->isChecked());
    EXPECT_FALSE(d.HScroll1->isEnabled());
    EXPECT_EQ(fakeEngine.count(EngineOp::Mute), 0);
    EXPECT_TRUE(fakeEngine.mute);
    EXPECT_EQ(d.Command4->text(), QStringLiteral("Quorvelの情報\u3000>>"));
    pressKey(d.HScroll2, Qt::Key_End); // the left end of a bar laid out right to left
    EXPECT_EQ(d.Label4->text(), QStringLiteral("10"));
    EXPECT_EQ(fakeEngine.balance, 10000);
}

TEST_F(DialogContTest, BarsMoveTheWayTheirArrowsAndKeysPointAndHoldTheValuesThemselves)
{
    Settings.balance = 10000;
    Cont& d = open();
    d.show();
    // The balance bar's value is the balance: the left end, where +10000 is shown, holds 10000.
    EXPECT_EQ(d.HScroll2->value(), 10000);
    QStyleOptionSlider option;
    option.initFrom(d.HScroll2);
    option.orientation = Qt::Horizontal;
    option.minimum = d.HScroll2->minimum();
    option.maximum = d.HScroll2->maximum();
    option.sliderPosition = option.sliderValue = d.HScroll2->value();
    option.pageStep = d.HScroll2->pageStep();
    option.singleStep = d.HScroll2->singleStep();
    option.upsideDown = d.HScroll2->invertedAppearance();
    option.direction = d.HScroll2->layoutDirection();
    // Where the style draws the thumb (it mirrors the rectangle for the bar's direction itself).
    const QRect thumb
        = d.HScroll2->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, d.HScroll2);
    EXPECT_LT(thumb.center().x(), d.HScroll2->width() / 2);

    const QPoint leftArrow(2, d.HScroll2->height() / 2);
    const QPoint rightArrow(d.HScroll2->width() - 3, d.HScroll2->height() / 2);
    sendClick(d.HScroll2, rightArrow);
    EXPECT_EQ(fakeEngine.balance, 9900);
    sendClick(d.HScroll2, leftArrow);
    EXPECT_EQ(fakeEngine.balance, 10000);
    pressKey(d.HScroll2, Qt::Key_Right);
    pressKey(d.HScroll2, Qt::Key_Right);
    pressKey(d.HScroll2, Qt::Key_Left);
    EXPECT_EQ(fakeEngine.balance, 9900);
    EXPECT_EQ(d.Label4->text(), QStringLiteral("9"));

    // The volume bar: quieter to the left, by arrow button and by key.
    sendClick(d.HScroll1, leftArrow);
    EXPECT_EQ(fakeEngine.volume, -5100);
    pressKey(d.HScroll1, Qt::Key_Right);
    pressKey(d.HScroll1, Qt::Key_Right);
    EXPECT_EQ(fakeEngine.volume, -4900);
}

TEST_F(DialogContTest, StoredValuesTheBarsCannotHoldStayUntilMoved)
{
    Settings.volume = 3000;
    Cont& d = open();
    EXPECT_EQ(d.HScroll1->value(), 0);
    EXPECT_EQ(d.TempVolume, 3000);
    EXPECT_EQ(fakeEngine.count(EngineOp::Volume), 0);
    d.HScroll1->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(d.TempVolume, -100);
}

TEST_F(DialogContTest, BarsReachTheEngineAtOnceCancelPutsThemBackOkKeepsThem)
{
    Cont& d = open();
    d.HScroll1->triggerAction(QAbstractSlider::SliderPageStepAdd);
    pressKey(d.HScroll2, Qt::Key_Right); // one step to the right
    EXPECT_EQ(fakeEngine.volume, -4000);
    EXPECT_EQ(fakeEngine.balance, -100);
    EXPECT_EQ(d.Label3->text(), QStringLiteral("12"));
    EXPECT_EQ(d.Label4->text(), QStringLiteral("-1"));
    d.Command2->click();
    EXPECT_EQ(fakeEngine.volume, -5000);
    EXPECT_EQ(fakeEngine.balance, 0);
    EXPECT_EQ(Settings.volume, -5000);
    EXPECT_EQ(contIfLoaded(), nullptr);

    pressKey(open().HScroll2, Qt::Key_PageUp); // a page towards the left
    contIfLoaded()->Command1->click(); // O.K. keeps and stores
    EXPECT_EQ(Settings.balance, 1000);
    EXPECT_EQ(fakeEngine.balance, 1000);
    EXPECT_EQ(contIfLoaded(), nullptr);
}

TEST_F(DialogContTest, CloseBoxRestoresTheVolumeOnlyWhenNotStoredMuted)
{
    for (int16_t storedMute : {0, 1}) {
        Settings.mute = storedMute;
        fakeEngine.mute = storedMute == 1;
        Cont& d = open();
        d.Check1->click(); // toggles the engine's own mute
        d.HScroll1->triggerAction(QAbstractSlider::SliderPageStepAdd);
        d.HScroll2->triggerAction(QAbstractSlider::SliderPageStepAdd);
        d.close();
        EXPECT_EQ(fakeEngine.mute, storedMute == 0) << storedMute;
        EXPECT_EQ(fakeEngine.volume, storedMute == 1 ? -4000 : -5000) << storedMute;
        EXPECT_EQ(fakeEngine.balance, 0);
        EXPECT_EQ(Settings.mute, storedMute);
        EXPECT_EQ(contIfLoaded(), nullptr);
    }
}

TEST_F(DialogContTest, OnlyAChangedDirectoryAsksForARestart)
{
    open().Command1->click();
    EXPECT_EQ(restartQuestions(), 0);

    fakePlatform.answers = {MessageAnswer::No};
    Cont& d = open();
    d.Check4->click();
    EXPECT_FALSE(d.Label6->isEnabled());
    d.Command1->click();
    EXPECT_EQ(restartQuestions(), 1);
    EXPECT_EQ(fakePlatform.messages[0].kind + fakePlatform.messages[0].title, QStringLiteral("yesno設定の変更"));
    EXPECT_EQ(Settings.dirsta, 1);
    EXPECT_EQ(fakePlatform.endCalls, 0);
    EXPECT_EQ(contIfLoaded(), nullptr);

    fakePlatform.answers = {MessageAnswer::Yes};
    open().Check4->click();
    contIfLoaded()->Command1->click();
    EXPECT_EQ(restartQuestions(), 2);
    EXPECT_EQ(Settings.dirsta, 0);
    EXPECT_EQ(fakePlatform.endCalls, 1);
}

TEST_F(DialogContTest, OkReadsTheSpeedAndSideTextBoxes)
{
    Settings.speed = 7;
    Settings.r_lbl = 1;
    screen().Text2->hide();
    Cont& d = open();
    for (QRadioButton* option : {d.Option1, d.Option2, d.Option3, d.Option4})
        EXPECT_FALSE(option->isChecked());
    d.Check2->click();
    d.Check3->click();
    d.Command1->click();
    EXPECT_EQ(Settings.speed, 7);
    EXPECT_FALSE(screen().Text2->isHidden());
    EXPECT_TRUE(screen().Text1->isHidden());
    EXPECT_EQ(Settings.l_lbl, 1);
    EXPECT_EQ(Settings.r_lbl, 0);
    open().Option3->click();
    contIfLoaded()->Command1->click();
    EXPECT_EQ(Settings.speed, 4);
}

TEST_F(DialogContTest, CancelledFolderChooserKeepsTheFolder)
{
    Settings.dir = "/media/old";
    Cont& d = open();
    fakePlatform.folderAnswer = QStringLiteral("/media/新しい");
    d.Command3->click();
    fakePlatform.folderAnswer.clear();
    d.Command3->click();
    EXPECT_EQ(d.Label6->text(), QStringLiteral("/media/新しい"));
    d.Command1->click();
    EXPECT_EQ(Settings.dir, "/media/新しい");
    EXPECT_EQ(restartQuestions(), 1);
}

TEST_F(DialogContTest, AboutHidesTheDialogWithItsEdits)
{
    Cont& d = open();
    d.HScroll1->triggerAction(QAbstractSlider::SliderPageStepAdd);
    d.Command4->click();
    EXPECT_TRUE(d.isHidden());
    fakeEngine.calls.clear();
    EXPECT_EQ(&open(), &d);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.TempVolume, -4000);
    EXPECT_EQ(d.HScroll1->value(), -4000);
    EXPECT_TRUE(fakeEngine.calls.empty());
}

} // namespace
