#include "dialogs/Cont.h"

#include "core/AppLifecycle.h"
#include "core/AppObjects.h"
#include "core/Settings.h"
#include "core/Twips.h"
#include "dialogs/BrowseFolder.h"
#include "dialogs/ContLabels.h"
#include "dialogs/Form3.h"
#include "panel/Form1.h"
#include "platform/Platform.h"
#include "playback/Engine.h"
#include "screen/Scr.h"
#include "screen/ScreenFonts.h"
#include "screen/SideTexts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

namespace {

Cont* loadedCont = nullptr;

// Controls inside a frame are laid out in the dialog's own coordinates; Qt places children
// relative to their frame.
void placeIn(QWidget* control, QWidget* frame, double left, double top, double width, double height)
{
    const double frameLeft = frame ? pixelsToTwipsX(frame->x()) : 0;
    const double frameTop = frame ? pixelsToTwipsY(frame->y()) : 0;
    setTwipsGeometry(control, left - frameLeft, top - frameTop, width, height);
}

QScrollBar* makeBar(QWidget* parent, int minimum, int maximum)
{
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setRange(minimum, maximum);
    bar->setSingleStep(100);
    bar->setPageStep(1000);
    // The change reaction tries each position on the playback control: not while the thumb is
    // dragged, only where it is let go.
    bar->setTracking(false);
    // Qt's scroll bars turn the arrow keys round by default: the thumb must go the way the key
    // points.
    bar->setInvertedControls(false);
    bar->setFocusPolicy(Qt::StrongFocus);
    return bar;
}

// A stored value the bar can hold is set as if the user had moved there, so its change
// reaction runs; one it cannot hold is only shown at the nearer end, and the working copy
// keeps the stored value until the user moves the bar.
void showStored(QScrollBar* bar, int position)
{
    const int shown = std::clamp(position, bar->minimum(), bar->maximum());
    if (shown == position) {
        bar->setValue(position);
        return;
    }
    const QSignalBlocker quiet(bar);
    bar->setValue(shown);
}

} // namespace

Cont::Cont()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("設定"));
    if (form1Exists())
        setWindowIcon(form1().windowIcon());
    QFont font(pGothicFamily());
    font.setPointSizeF(9);
    setFont(font);
    setFixedSize(twipsToPixelsX(5400), twipsToPixelsY(4440));
    createControls();
    Form_Load();
}

Cont::~Cont()
{
    if (loadedCont == this)
        loadedCont = nullptr;
}

void Cont::createControls()
{
    auto frame = [this](const char* caption, double left, double top, double width, double height) {
        auto* box = new QGroupBox(QString::fromUtf8(caption), this);
        setTwipsGeometry(box, left, top, width, height);
        return box;
    };
    auto label = [](QWidget* frame, const char* caption, double left, double top, double width, double height) {
        auto* text = new QLabel(QString::fromUtf8(caption), frame);
        placeIn(text, frame, left, top, width, height);
        return text;
    };
    auto check = [](QWidget* frame, const char* caption, double left, double top, double width, double height) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), frame);
        placeIn(box, frame, left, top, width, height);
        return box;
    };
    auto option = [](QWidget* frame, const char* caption, double left, double top) {
        auto* button = new QRadioButton(QString::fromUtf8(caption), frame);
        placeIn(button, frame, left, top, 615, 255);
        return button;
    };
    auto button = [this](QWidget* frame, const char* caption, double left, double top, double width, double height) {
        auto* push = new QPushButton(QString::fromUtf8(caption), frame ? frame : this);
        placeIn(push, frame, left, top, width, height);
        // Enter and Escape are bound to neither O.K. nor Cancel.
        push->setAutoDefault(false);
        push->setDefault(false);
        return push;
    };

    Frame1 = frame("音声の設定", 240, 120, 5055, 1335);
    Label1 = label(Frame1, "音量", 360, 360, 855, 255);
    HScroll1 = makeBar(Frame1, -10000, 0);
    placeIn(HScroll1, Frame1, 1200, 360, 3135, 255);
    Label3 = label(Frame1, "", 4560, 360, 615, 255);
    Label2 = label(Frame1, "バランス", 360, 720, 855, 255);
    // +10000 at the left end: laid out right to left, the bar mirrors its thumb and its arrow
    // buttons alike, so the value is the balance itself (what keyboard users and the
    // accessibility layer read) and arrows and keys still move the thumb the way they point.
    HScroll2 = makeBar(Frame1, -10000, 10000);
    HScroll2->setLayoutDirection(Qt::RightToLeft);
    placeIn(HScroll2, Frame1, 1200, 720, 3135, 255);
    Label4 = label(Frame1, "", 4560, 720, 615, 255);
    Check1 = check(Frame1, "ミュート", 360, 1080, 1215, 255);

    Frame2 = frame("スクリーン表示の設定", 240, 1560, 2655, 1095);
    Check2 = check(Frame2, "左側の文字表示をする", 480, 1920, 2295, 255);
    Check3 = check(Frame2, "右側の文字表示をする", 480, 2280, 2175, 255);

    Frame3 = frame("早送り、巻戻しの速度", 3000, 1560, 2295, 1095);
    Option1 = option(Frame3, "*2", 3240, 1920);
    Option2 = option(Frame3, "*3", 4200, 1920);
    Option3 = option(Frame3, "*4", 3240, 2280);
    Option4 = option(Frame3, "*5", 4200, 2280);
    speedGroup_ = new QButtonGroup(this);
    speedGroup_->setExclusive(true);
    for (QRadioButton* speedOption : {Option1, Option2, Option3, Option4})
        speedGroup_->addButton(speedOption);

    Frame4 = frame("ディレクトリ", 240, 2760, 5055, 1095);
    Check4 = check(Frame4, "自動取得", 360, 3120, 1455, 255);
    Label5 = label(Frame4, "アドレス", 360, 3480, 735, 255);
    Label6 = label(Frame4, "", 1080, 3480, 3615, 255);
    Command3 = button(Frame4, "...", 4680, 3480, 495, 255);

    Command4 = button(nullptr, "Quorvelの情報　>>", 240, 3960, 2655, 375);
    Command1 = button(nullptr, "O.K.", 3360, 3960, 975, 375);
    Command2 = button(nullptr, "Cancel", 4320, 3960, 975, 375);

    QWidget* order[] = {HScroll1, HScroll2, Check1,  Command1, Command2, Check2,   Check3,  Option1,
                        Option2,  Option3,  Option4, Check4,   Command3, Command4};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
    connect(HScroll2, &QScrollBar::valueChanged, this, [this] { HScroll2_Change(); });
    // Clicks only: setting the boxes from stored values must not reach the playback control.
    connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
    connect(Check4, &QCheckBox::clicked, this, [this] { Check4_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
}

void Cont::Form_Load()
{
    TempVolume = Settings.volume;
    TempBalance = Settings.balance;
    TempMute = Settings.mute;
    TempDir = Settings.dir;
    TempDirSta = Settings.dirsta;

    Label6->setText(QString::fromStdString(TempDir));
    HScroll1->setEnabled(TempMute != 1);

    showStored(HScroll1, TempVolume);
    showStored(HScroll2, TempBalance);

    Check1->setChecked(TempMute == 1);
    Check2->setChecked(Settings.l_lbl == 1);
    Check3->setChecked(Settings.r_lbl == 1);

    QRadioButton* const options[] = {Option1, Option2, Option3, Option4};
    if (Settings.speed >= 2 && Settings.speed <= 5)
        options[Settings.speed - 2]->setChecked(true);

    Label6->setEnabled(TempDirSta != 1);
    Check4->setChecked(TempDirSta == 1);

    Label3->setText(VolumeLabelText(TempVolume));
    Label4->setText(BalanceLabelText(TempBalance));
}

// Failures of the control while trying a bar out are let go: the number shows where the bar is.
void Cont::HScroll1_Change()
{
    TempVolume = static_cast<int16_t>(HScroll1->value());
    Label3->setText(VolumeLabelText(TempVolume));
    engine().EngineVolume(TempVolume);
}

void Cont::HScroll2_Change()
{
    TempBalance = static_cast<int16_t>(HScroll2->value());
    Label4->setText(BalanceLabelText(TempBalance));
    engine().EngineBalance(TempBalance);
}

// Toggles what the control itself has, not what the box shows. A mute the control cannot
// report counts as not muted, and a failed put is let go: the dialog reports nothing, and the
// next click tries again.
void Cont::Check1_Click()
{
    if (!engine().EngineMute().value_or(false)) {
        engine().EngineMute(true);
        TempMute = 1;
    } else if (engine().EngineMute().value_or(false)) {
        engine().EngineMute(false);
        TempMute = 0;
    }
    // While muted the volume stays where it is.
    HScroll1->setEnabled(TempMute != 1);
}

void Cont::Check4_Click()
{
    if (Check4->isChecked()) {
        Label6->setEnabled(false);
        TempDirSta = 1;
    } else {
        Label6->setEnabled(true);
        TempDirSta = 0;
    }
}

void Cont::Command1_Click()
{
    Settings.volume = TempVolume;
    Settings.balance = TempBalance;
    Settings.mute = TempMute;
    const std::pair<QRadioButton*, int16_t> speeds[] = {{Option1, 2}, {Option2, 3}, {Option3, 4}, {Option4, 5}};
    for (const auto& [option, value] : speeds) {
        if (option->isChecked()) {
            Settings.speed = value;
            break;
        }
    }

    engine().EngineVolume(Settings.volume);
    engine().EngineBalance(Settings.balance);
    // A failed mute put is let go like the others; the next click or start-up sets it again.
    if (Settings.mute == 0)
        engine().EngineMute(false);
    else if (Settings.mute == 1)
        engine().EngineMute(true);

    Scr& screen = scr();
    screen.Text2->setVisible(Check2->isChecked());
    Settings.l_lbl = Check2->isChecked() ? 1 : 0;
    screen.Text1->setVisible(Check3->isChecked());
    Settings.r_lbl = Check3->isChecked() ? 1 : 0;

    if (TempDir != Settings.dir || TempDirSta != Settings.dirsta) {
        Settings.dir = TempDir;
        Settings.dirsta = TempDirSta;
        // The control is given its folder at start-up and play; a restart makes the new one
        // hold for everything.
        const MessageAnswer answer = platform().messageYesNo(
            QStringLiteral("設定の変更"),
            QStringLiteral("ディレクトリの設定を有効にするためにはQuorvelを再起動してください。"),
            MessageAnswer::Yes);
        if (answer == MessageAnswer::Yes) {
            AppEnd();
            return;
        }
    }
    close();
}

void Cont::Command2_Click()
{
    engine().EngineVolume(Settings.volume);
    engine().EngineBalance(Settings.balance);
    // As in O.K., a failed mute put is let go.
    engine().EngineMute(Settings.mute != 0);
    ApplySideTexts();
    close();
}

void Cont::Command3_Click()
{
    BrowseFolder();
    Label6->setText(QString::fromStdString(TempDir));
}

void Cont::Command4_Click()
{
    ShowForm3();
    hide();
}

void Cont::Form_Unload()
{
    // Only the stored mute decides about the volume; the engine's own mute stays as the last
    // mute click left it, so a close by the close box keeps what the user hears muted or not.
    if (Settings.mute != 1)
        engine().EngineVolume(Settings.volume);
    engine().EngineBalance(Settings.balance);
}

void Cont::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    if (loadedCont == this)
        loadedCont = nullptr;
    event->accept();
    deleteLater();
}

void ShowCont()
{
    if (!loadedCont) {
        loadedCont = new Cont;
        // The dialog lives no longer than the panel it was opened from.
        if (form1Exists()) {
            Cont* dialog = loadedCont;
            QObject::connect(&form1(), &QObject::destroyed, dialog, [dialog] { delete dialog; });
        }
    }
    loadedCont->show();
    loadedCont->raise();
    loadedCont->activateWindow();
}

Cont* contIfLoaded() { return loadedCont; }
