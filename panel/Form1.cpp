#include "panel/Form1.h"

#include "core/Resources.h"
#include "core/AppLifecycle.h"
#include "core/Twips.h"
#include "core/WindowDrag.h"
#include "panel/PanelButtons.h"
#include "panel/PictureButton.h"
#include "panel/StatusDisplay.h"
#include "playback/DiscCommands.h"
#include "playback/TransportCommands.h"
#include "screen/ScreenFonts.h"
#include "screen/ScreenSize.h"

#include <QAction>
#include <QCloseEvent>
#include <QFont>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <functional>

namespace {

QPixmap picture(const char* name)
{
    return QPixmap(QStringLiteral(":/") + QLatin1String(name) + QStringLiteral(".png"));
}

struct ButtonLayout {
    PictureButton* Form1::*button;
    const char* name;
    double left;
    double top;
    const char* tooltip; // UTF-8
    const char* normal;
    const char* hover;
    std::function<void()> click;
};

} // namespace

Form1::Form1()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    loadResources();
    setWindowTitle(QStringLiteral("Quorvel"));
    QIcon icon;
    for (const char* name : {"app_icon", "app_icon_64", "app_icon_128"})
        icon.addPixmap(picture(name));
    setWindowIcon(icon);

    skin_ = picture("panel_skin");
    // Only the strip below the skin shows the window's own colour.
    QPalette back = palette();
    back.setColor(QPalette::Window, QColor(0, 0, 255));
    setPalette(back);
    setAutoFillBackground(true);
    // Bare-surface moves restore the buttons even without a mouse button held.
    setMouseTracking(true);

    resize(twipsToPixelsX(7305), twipsToPixelsY(3570));

    createButtons();
    createLabels();
    createMenus();

    Timer1 = new QTimer(this);
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, [] { StatusTimerTick(); });
    // The read-out follows the engine from the moment the panel exists; ticks are only
    // delivered once the event loop runs, after the load has written the idle texts.
    Timer1->start();
}

void Form1::createButtons()
{
    const ButtonLayout layout[] = {
        {&Form1::Image4, "Image4", 5400, 480, "DVDを再生する",
         "glyph_play_black", "glyph_play_green", DvdPlay},
        {&Form1::Image5, "Image5", 6120, 480, "DVDの再生を中止する",
         "glyph_stop_black", "glyph_stop_green", DvdStop},
        {&Form1::Image6, "Image6", 6720, 480, "DVDの再生を停止する",
         "glyph_pause_black", "glyph_pause_green", DvdPause},
        {&Form1::Image11, "Image11", 5160, 900, "巻戻しする",
         "glyph_rewind_black", "glyph_rewind_green", DvdRewind},
        {&Form1::Image12, "Image12", 5640, 900, "早送りする",
         "glyph_forward_black", "glyph_forward_green", DvdFastForward},
        {&Form1::Image13, "Image13", 6240, 900, "チャプターを戻る",
         "glyph_prev_black", "glyph_prev_green", DvdPrevChapter},
        {&Form1::Image14, "Image14", 6720, 900, "チャプターを進める",
         "glyph_next_black", "glyph_next_green", DvdNextChapter},
        {&Form1::Image22, "Image22", 120, 1080, "各メニューを開く",
         "oval_orange", "oval_yellow",
         [] {
             RestoreButtonImages();
             ShowPanelMenu(1);
         }},
        {&Form1::Image23, "Image23", 720, 1080, "ブックマークの操作",
         "oval_orange", "oval_yellow",
         [] {
             RestoreButtonImages();
             ShowPanelMenu(2);
         }},
        {&Form1::Image3, "Image3", 1320, 1080, "アングルを切り替える",
         "oval_orange", "oval_yellow", DvdNextAngle},
        {&Form1::Image1, "Image1", 1920, 1080, "詳細設定",
         "oval_orange", "oval_yellow", ShowSettingsDialog},
        {&Form1::Image2, "Image2", 2520, 1080, "スクリーンの大きさを切り替える",
         "oval_orange", "oval_yellow", [] { SetScreenSize(0); }},
        {&Form1::Image7, "Image7", 3120, 1080, "Quorvelを終了する",
         "oval_orange", "oval_yellow", AppEnd},
    };
    for (const ButtonLayout& entry : layout) {
        auto* button = new PictureButton(this);
        this->*entry.button = button;
        button->setObjectName(QString::fromLatin1(entry.name));
        setTwipsGeometry(button, entry.left, entry.top, 480, 480);
        button->setToolTip(QString::fromUtf8(entry.tooltip));
        button->setPictures(picture(entry.normal), picture(entry.hover));
        connect(button, &PictureButton::hovered, this, [button] { HoverButton(*button); });
        connect(button, &PictureButton::clicked, this, entry.click);
    }
    // The bookmark oval alone fills a slightly different box with its picture.
    setTwipsGeometry(Image23, 720, 1080, 495, 450);
    Image23->setScaledContents(true);
}

void Form1::createLabels()
{
    QFont font(pGothicFamily());
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    const int lineHeight = QFontMetrics(font).height();

    auto label = [&](const char* name, double left, double top, double width, double height) {
        auto* l = new QLabel(QString::fromLatin1(name), this);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(font);
        QPalette text = l->palette();
        text.setColor(QPalette::WindowText, QColor(0, 255, 0));
        l->setPalette(text);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setTwipsGeometry(l, left, top, width, height);
        // The designed heights are a little short for the substituted font's line; growing
        // downwards keeps every line whole and still inside the black field.
        if (l->height() < lineHeight)
            l->resize(l->width(), lineHeight);
        // A press on a line of text stays with the label, so moving on from it neither drags
        // the panel nor restores the buttons, just as a plain move over it does not.
        l->setAttribute(Qt::WA_NoMousePropagation);
        return l;
    };
    Label1 = label("Label1", 240, 360, 975, 135);
    Label3 = label("Label3", 1200, 360, 1215, 135);
    Label6 = label("Label6", 2520, 360, 1215, 135);
    Label4 = label("Label4", 240, 600, 1455, 135);
    Label5 = label("Label5", 1800, 600, 1695, 135);
    Label7 = label("Label7", 240, 840, 2895, 135);
    Label2 = label("Label2", 3120, 840, 495, 255);
}

void Form1::createMenus()
{
    M_Pop = new QMenu(QStringLiteral("Pop1"), this);
    M_Root = M_Pop->addAction(QStringLiteral("ルートメニュー"), this, DvdRootMenu);
    M_Angle = M_Pop->addAction(QStringLiteral("アングルメニュー"), this, DvdAngleMenu);
    M_Title = M_Pop->addAction(QStringLiteral("タイトルメニュー"), this, DvdTitleMenu);
    M_Chap = M_Pop->addAction(QStringLiteral("チャプターメニュー"), this, DvdChapterMenu);
    M_Audio = M_Pop->addAction(QStringLiteral("オーディオメニュー"), this, DvdAudioMenu);
    M_SubP = M_Pop->addAction(QStringLiteral("サブピクチャメニュー"), this, DvdSubPictureMenu);
    Sen = M_Pop->addSeparator();
    M_Resume = M_Pop->addAction(QStringLiteral("リジューム"), this, DvdResume);
    B_Pop = new QMenu(QStringLiteral("Pop2"), this);
    S_Book = B_Pop->addAction(QStringLiteral("ブックマークに登録"), this, DvdSaveBookmark);
    R_Book = B_Pop->addAction(QStringLiteral("ブックマークから開く"), this, DvdLoadBookmark);
}

void Form1::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, skin_);
}

void Form1::mouseMoveEvent(QMouseEvent* event)
{
    // Moves over the bare panel, and over a disabled button (which passes its moves on).
    // The notification icon reaches TrayNotify through the platform's own tray callback, so
    // ordinary moves here never carry a tray message.
    RestoreButtonImages();
    DragForm1(buttonState(event->buttons()));
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->accept();
    AppEnd();
}
