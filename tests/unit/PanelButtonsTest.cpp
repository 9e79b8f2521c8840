#include "core/AppObjects.h"
#include "core/Settings.h"
#include "panel/Form1.h"
#include "panel/PanelButtons.h"
#include "panel/PictureButton.h"
#include "playback/ControlStates.h"
#include "playback/PlayState.h"
#include "screen/Scr.h"
#include "support/AppFixture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QWindow>

namespace {

using Calls = std::vector<FakeEngine::Call>;

QImage resource(const char* name)
{
    return QImage(QStringLiteral(":/") + QLatin1String(name) + QStringLiteral(".png"))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage shown(const PictureButton* button)
{
    return button->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Records, at the moment a pop-up would open, which buttons show their hover picture.
class PopupWatchingPlatform : public FakePlatform {
public:
    std::vector<std::vector<QString>> hoveredAtPopup;
    void popupMenuAtPointer(QMenu* menu) override;
};

class PanelButtonsTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        Settings.speed = 3;
        panel().show();
    }

    std::vector<PictureButton*> buttons()
    {
        Form1& p = panel();
        return {p.Image4,  p.Image5,  p.Image6,  p.Image11, p.Image12, p.Image13, p.Image14,
                p.Image22, p.Image23, p.Image1,  p.Image2,  p.Image3,  p.Image7};
    }

    std::vector<QString> hovered()
    {
        std::vector<QString> names;
        for (PictureButton* b : buttons())
            if (b->showsHoverPicture())
                names.push_back(b->objectName());
        return names;
    }

    void enableAll()
    {
        SetPlayingControls();
        panel().Image4->setEnabled(true);
    }

    // Delivered to the panel's window as the window system would: Qt picks the control under
    // the pointer, and what it does not take goes on to the panel.
    void mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(pos), QPointF(pos), QPointF(panel().mapToGlobal(pos)), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(panel().windowHandle(), &event);
    }
    void moveTo(QPoint pos, Qt::MouseButtons held = Qt::NoButton)
    {
        mouse(QEvent::MouseMove, pos, Qt::NoButton, held);
    }
    void moveOnto(QWidget* w, Qt::MouseButtons held = Qt::NoButton) { moveTo(w->geometry().center(), held); }
    void press(QPoint pos, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonPress, pos, button, button);
    }
    void release(QPoint pos, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
    }
    void click(QWidget* w)
    {
        moveOnto(w);
        press(w->geometry().center());
        release(w->geometry().center());
    }

    // A spot of bare skin between the read-out and the transport grooves.
    QPoint bare() const { return {300, 20}; }
    QString hint() { return screen().Text2->text(); }
};

void PopupWatchingPlatform::popupMenuAtPointer(QMenu* menu)
{
    FakePlatform::popupMenuAtPointer(menu);
    std::vector<QString> names;
    for (QObject* child : form1().children())
        if (auto* b = qobject_cast<PictureButton*>(child); b && b->showsHoverPicture())
            names.push_back(b->objectName());
    hoveredAtPopup.push_back(names);
}

TEST_F(PanelButtonsTest, EachButtonShowsItsHoverPictureAndRepeatsItsTooltip)
{
    struct Look {
        PictureButton* button;
        const char* tooltip;
        const char* normal;
        const char* hover;
    };
    Form1& p = panel();
    const Look looks[] = {
        {p.Image4, "DVDを再生する", "glyph_play_black", "glyph_play_green"},
        {p.Image5, "DVDの再生を中止する", "glyph_stop_black", "glyph_stop_green"},
        {p.Image6, "DVDの再生を停止する", "glyph_pause_black", "glyph_pause_green"},
        {p.Image11, "巻戻しする", "glyph_rewind_black", "glyph_rewind_green"},
        {p.Image12, "早送りする", "glyph_forward_black", "glyph_forward_green"},
        {p.Image13, "チャプターを戻る", "glyph_prev_black", "glyph_prev_green"},
        {p.Image14, "チャプターを進める", "glyph_next_black", "glyph_next_green"},
        {p.Image22, "各メニューを開く", "oval_orange", "oval_yellow"},
        {p.Image23, "ブックマークの操作", "oval_orange", "oval_yellow"},
        {p.Image3, "アングルを切り替える", "oval_orange", "oval_yellow"},
        {p.Image1, "詳細設定", "oval_orange", "oval_yellow"},
        {p.Image2, "スクリーンの大きさを切り替える", "oval_orange", "oval_yellow"},
        {p.Image7, "Quorvelを終了する", "oval_orange", "oval_yellow"},
    };
    enableAll();
    for (const Look& look : looks) {
        const QString name = look.button->objectName();
        EXPECT_EQ(shown(look.button), resource(look.normal)) << name.toStdString();
        moveOnto(look.button);
        EXPECT_EQ(hovered(), std::vector<QString>{name});
        EXPECT_EQ(shown(look.button), resource(look.hover)) << name.toStdString();
        EXPECT_EQ(hint(), QString::fromUtf8(look.tooltip)) << name.toStdString();
        EXPECT_EQ(look.button->toolTip(), QString::fromUtf8(look.tooltip));
        moveTo(bare());
        EXPECT_EQ(shown(look.button), resource(look.normal)) << name.toStdString();
    }
    EXPECT_TRUE(hovered().empty());
}

TEST_F(PanelButtonsTest, MovingAcrossThePanelLeavesOnlyTheSecondButtonLit)
{
    enableAll();
    moveOnto(panel().Image12);
    moveTo(bare());
    moveOnto(panel().Image5);
    EXPECT_EQ(hovered(), std::vector<QString>{QStringLiteral("Image5")});
    EXPECT_EQ(hint(), QStringLiteral("DVDの再生を中止する"));

    // Rewind and fast-forward touch: the pointer goes from one to the other directly.
    moveOnto(panel().Image11);
    moveTo(panel().Image12->geometry().topLeft() + QPoint(1, 16));
    EXPECT_EQ(hovered(), std::vector<QString>{QStringLiteral("Image12")});
}

TEST_F(PanelButtonsTest, SettingsButtonLeavesTheOthersLitButIsRestoredByThem)
{
    enableAll();
    moveOnto(panel().Image2);
    moveOnto(panel().Image1);
    EXPECT_EQ(hovered(), (std::vector<QString>{QStringLiteral("Image1"), QStringLiteral("Image2")}));
    EXPECT_EQ(hint(), QStringLiteral("詳細設定"));
    moveOnto(panel().Image7);
    EXPECT_EQ(hovered(), std::vector<QString>{QStringLiteral("Image7")});
}

TEST_F(PanelButtonsTest, LabelsAndLeavingThePanelKeepTheHoverPicture)
{
    enableAll();
    moveOnto(panel().Image14);
    moveOnto(panel().Label7);
    moveOnto(panel().Label2);
    EXPECT_EQ(hovered(), std::vector<QString>{QStringLiteral("Image14")});

    moveOnto(panel().Image13);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(panel().windowHandle(), &leave);
    EXPECT_EQ(hovered(), std::vector<QString>{QStringLiteral("Image13")});
    moveTo(bare());
    EXPECT_TRUE(hovered().empty());
}

TEST_F(PanelButtonsTest, BarePanelRestoresAndDragsOnlyWithTheLeftButtonAlone)
{
    struct Case {
        Qt::MouseButtons held;
        bool drags;
    };
    for (const Case& c : {Case{Qt::NoButton, false}, Case{Qt::LeftButton, true}, Case{Qt::RightButton, false},
                          Case{Qt::LeftButton | Qt::RightButton, false}, Case{Qt::MiddleButton, false}}) {
        fakePlatform.drags.clear();
        moveOnto(panel().Image4);
        const QPoint start = bare();
        // Buttons pressed one after the other on the bare skin, then a move.
        Qt::MouseButtons down;
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
            if (c.held & b) {
                down |= b;
                mouse(QEvent::MouseButtonPress, start, b, down);
            }
        }
        moveTo(start + QPoint(5, 3), c.held);
        EXPECT_TRUE(hovered().empty()) << int(c.held);
        EXPECT_EQ(fakePlatform.drags, c.drags ? std::vector<QWidget*>{&panel()} : std::vector<QWidget*>{})
            << int(c.held);
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
            if (down & b) {
                down &= ~Qt::MouseButtons(b);
                mouse(QEvent::MouseButtonRelease, start + QPoint(5, 3), b, down);
            }
        }
    }
}

TEST_F(PanelButtonsTest, PressingOnAButtonOrALabelAndMovingDoesNotDrag)
{
    enableAll();
    for (QWidget* w : std::vector<QWidget*>{panel().Image6, panel().Label1}) {
        press(w->geometry().center());
        moveTo(w->geometry().center() + QPoint(40, 40), Qt::LeftButton);
        release(w->geometry().center() + QPoint(40, 40));
        EXPECT_TRUE(fakePlatform.drags.empty()) << w->objectName().toStdString();
    }
    // Moving away from a pressed button is not a click on it.
    EXPECT_EQ(fakeEngine.count(EngineOp::Pause), 0);
}

TEST_F(PanelButtonsTest, DisabledButtonsRaiseNeitherHoversNorClicks)
{
    Form1& p = panel();
    PlayState = 0;
    SetStoppedControls();
    int hovers = 0;
    int clicks = 0;
    for (PictureButton* b : {p.Image3, p.Image5, p.Image6, p.Image11, p.Image12, p.Image13, p.Image14, p.Image22,
                             p.Image23}) {
        QObject::connect(b, &PictureButton::hovered, [&] { ++hovers; });
        QObject::connect(b, &PictureButton::clicked, [&] { ++clicks; });
    }
    fakePlatform.foreground = &p;
    for (PictureButton* b : {p.Image3, p.Image5, p.Image6, p.Image11, p.Image12, p.Image13, p.Image14, p.Image22,
                             p.Image23})
        click(b);
    EXPECT_EQ(hovers, 0);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(hovered().empty());
    EXPECT_EQ(hint(), QString());
    EXPECT_TRUE(fakeEngine.calls.empty());
    EXPECT_TRUE(fakePlatform.messages.empty());
    EXPECT_TRUE(fakePlatform.popups.empty());

    // The play, settings, size and exit buttons still answer.
    for (PictureButton* b : {p.Image4, p.Image1, p.Image2, p.Image7}) {
        moveTo(bare());
        moveOnto(b);
        EXPECT_EQ(hovered(), std::vector<QString>{b->objectName()});
    }
}

TEST_F(PanelButtonsTest, ADisabledButtonsAreaIsBarePanel)
{
    Form1& p = panel();
    SetStoppedControls();
    moveOnto(p.Image4);
    moveTo(p.Image5->geometry().center());
    EXPECT_TRUE(hovered().empty());
    press(p.Image5->geometry().center());
    moveTo(p.Image5->geometry().center() + QPoint(4, 4), Qt::LeftButton);
    release(p.Image5->geometry().center() + QPoint(4, 4));
    EXPECT_EQ(fakePlatform.drags, std::vector<QWidget*>{&p});
}

TEST_F(PanelButtonsTest, DisabledButtonsKeepTheirOrdinaryLook)
{
    PictureButton* b = panel().Image12;
    b->setEnabled(true);
    const QImage enabled = b->grab().toImage();
    b->setEnabled(false);
    EXPECT_EQ(b->grab().toImage(), enabled);
}

TEST_F(PanelButtonsTest, EachButtonRunsItsCommand)
{
    struct Case {
        PictureButton* Form1::*button;
        int16_t state;
        Calls calls;
    };
    const Case cases[] = {
        {&Form1::Image4, 0, {{EngineOp::Directory, ""}, {EngineOp::Play, ""}, {EngineOp::State, "get"},
                             {EngineOp::Volume, "0"}}},
        {&Form1::Image5, 2, {{EngineOp::Stop, ""}, {EngineOp::State, "get"}}},
        {&Form1::Image6, 2, {{EngineOp::Pause, ""}, {EngineOp::State, "get"}}},
        {&Form1::Image11, 2, {{EngineOp::ScanBackward, "3"}}},
        {&Form1::Image12, 2, {{EngineOp::ScanForward, "3"}}},
        {&Form1::Image13, 2, {{EngineOp::PreviousChapter, ""}, {EngineOp::State, "get"}}},
        {&Form1::Image14, 2, {{EngineOp::NextChapter, ""}, {EngineOp::State, "get"}}},
        {&Form1::Image3, 2, {{EngineOp::AngleCount, "get"}, {EngineOp::Angle, "get"}, {EngineOp::Angle, "2"}}},
    };
    fakeEngine.angleCount = 3;
    for (const Case& c : cases) {
        PlayState = c.state;
        fakeEngine.state = c.state;
        if (c.state == 2)
            SetPlayingControls();
        else
            SetStoppedControls();
        fakeEngine.calls.clear();
        PictureButton* b = panel().*c.button;
        click(b);
        EXPECT_EQ(fakeEngine.calls, c.calls) << b->objectName().toStdString();
        EXPECT_TRUE(fakePlatform.messages.empty()) << b->objectName().toStdString();
    }
}

TEST_F(PanelButtonsTest, RewindWhileStoppedIsRefusedByTheCommandItself)
{
    PlayState = 0;
    SetStoppedControls();
    panel().Image11->setEnabled(true);
    click(panel().Image11);
    ASSERT_EQ(messageTexts(), std::vector<QString>{QStringLiteral("巻き戻しはできません")});
    EXPECT_EQ(fakePlatform.messages[0].title, QStringLiteral("Quorvel"));
}

TEST_F(PanelButtonsTest, SizeExitAndSettingsOvals)
{
    click(panel().Image2);
    EXPECT_EQ(Settings.screen, 1);
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("FULL"));

    fakeEngine.calls.clear();
    click(panel().Image1);
    EXPECT_TRUE(fakeEngine.calls.empty());
    EXPECT_TRUE(fakePlatform.messages.empty());
    EXPECT_EQ(fakePlatform.endCalls, 0);

    click(panel().Image7);
    EXPECT_EQ(fakePlatform.endCalls, 1);
    EXPECT_EQ(fakePlatform.trayRemoves, 1);
}

TEST_F(PanelButtonsTest, PopupOvalsOpenTheirMenuWithEveryButtonRestored)
{
    PopupWatchingPlatform watching;
    installPlatform(&watching);
    SetPlayingControls();
    watching.foreground = &panel();
    click(panel().Image22);
    click(panel().Image23);
    EXPECT_EQ(watching.popups, (std::vector<QMenu*>{panel().M_Pop, panel().B_Pop}));
    EXPECT_EQ(watching.hoveredAtPopup, (std::vector<std::vector<QString>>{{}, {}}));
    installPlatform(&fakePlatform);
}

TEST_F(PanelButtonsTest, PopupsOpenOnlyWhileThePanelIsTheForegroundWindow)
{
    SetPlayingControls();
    for (QWidget* foreground : std::vector<QWidget*>{nullptr, &screen()}) {
        fakePlatform.foreground = foreground;
        click(panel().Image22);
        click(panel().Image23);
        ShowPanelMenu(1);
        EXPECT_TRUE(fakePlatform.popups.empty());
        // The click still puts the pictures back.
        EXPECT_TRUE(hovered().empty());
    }
    fakePlatform.foreground = &panel();
    for (int16_t other : {int16_t{0}, int16_t{3}, int16_t{-1}})
        ShowPanelMenu(other);
    EXPECT_TRUE(fakePlatform.popups.empty());
    ShowPanelMenu(2);
    EXPECT_EQ(fakePlatform.popups, std::vector<QMenu*>{panel().B_Pop});
}

TEST_F(PanelButtonsTest, MenuItemsRunTheirDiscCommands)
{
    Form1& p = panel();
    struct Case {
        QAction* item;
        const char* caption;
        FakeEngine::Call call;
    };
    const Case cases[] = {
        {p.M_Root, "ルートメニュー", {EngineOp::ShowMenu, "3"}},
        {p.M_Angle, "アングルメニュー", {EngineOp::ShowMenu, "6"}},
        {p.M_Title, "タイトルメニュー", {EngineOp::ShowMenu, "2"}},
        {p.M_Chap, "チャプターメニュー", {EngineOp::ShowMenu, "7"}},
        {p.M_Audio, "オーディオメニュー", {EngineOp::ShowMenu, "5"}},
        {p.M_SubP, "サブピクチャメニュー", {EngineOp::ShowMenu, "4"}},
        {p.M_Resume, "リジューム", {EngineOp::Resume, ""}},
        {p.S_Book, "ブックマークに登録", {EngineOp::SaveBookmark, ""}},
        {p.R_Book, "ブックマークから開く", {EngineOp::RestoreBookmark, ""}},
    };
    for (const Case& c : cases) {
        fakeEngine.calls.clear();
        EXPECT_EQ(c.item->text(), QString::fromUtf8(c.caption));
        c.item->trigger();
        EXPECT_EQ(fakeEngine.calls, Calls{c.call}) << c.caption;
    }
    EXPECT_EQ(p.M_Pop->actions(), (QList<QAction*>{p.M_Root, p.M_Angle, p.M_Title, p.M_Chap, p.M_Audio, p.M_SubP,
                                                   p.Sen, p.M_Resume}));
    EXPECT_TRUE(p.Sen->isSeparator());
    EXPECT_EQ(p.B_Pop->actions(), (QList<QAction*>{p.S_Book, p.R_Book}));
}

} // namespace
