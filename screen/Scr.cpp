#include "screen/Scr.h"

#include "core/AppLifecycle.h"
#include "core/Resources.h"
#include "core/AppObjects.h"
#include "core/Twips.h"
#include "core/WindowDrag.h"
#include "panel/Form1.h"
#include "panel/PictureButton.h"
#include "platform/Platform.h"
#include "playback/TransportCommands.h"
#include "screen/Notice.h"
#include "screen/RightButtonPoll.h"
#include "screen/ScreenFonts.h"
#include "screen/VideoWidget.h"

#include <QAction>
#include <QCloseEvent>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>

namespace {

QLineEdit* makeOnScreenText(QWidget* parent)
{
    auto* text = new QLineEdit(parent);
    text->setReadOnly(true);
    text->setFocusPolicy(Qt::NoFocus);
    text->setFrame(false);
    text->setTextMargins(0, 0, 0, 0);
    text->setContextMenuPolicy(Qt::NoContextMenu);
    text->setCursor(Qt::ArrowCursor);
    QPalette colours = text->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::Base, Qt::black);
        colours.setColor(group, QPalette::Text, QColor(0, 255, 0));
    }
    text->setPalette(colours);
    text->setAutoFillBackground(true);
    QFont font(pGothicFamily());
    font.setPointSizeF(14.25);
    font.setBold(true);
    text->setFont(font);
    return text;
}

} // namespace

Scr::Scr()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    loadResources();
    setWindowTitle(QStringLiteral("Quorvel"));
    QIcon icon;
    for (const char* file : {":/app_icon.png", ":/app_icon_64.png", ":/app_icon_128.png"})
        icon.addFile(QString::fromLatin1(file));
    setWindowIcon(icon);
    resize(twipsToPixelsX(11490), twipsToPixelsY(7650));
    skin_.load(QStringLiteral(":/scr_skin.png"));
    if (!skin_.isNull())
        skinEdge_ = skin_.toImage().pixelColor(skin_.width() - 1, skin_.height() - 1);
    // The exit picture follows the pointer, and the bare surface resets it, without a button held.
    setMouseTracking(true);

    // Children are stacked in creation order, last on top. The exit picture belongs to the window's
    // own surface, so it comes first: in full size the cover lies over it.
    Image1 = new PictureButton(this);
    setTwipsGeometry(Image1, 10800, 120, 480, 240);
    Image1->setScaledContents(true);
    Image1->setToolTip(QStringLiteral("Quorvelを終了する"));

    DVD = new VideoWidget(this);
    setTwipsGeometry(DVD, 120, 360, 11355, 7215);

    auto holder = [this](const char* picture, double left, double top, double width, double height) {
        auto* label = new QLabel(this);
        setTwipsGeometry(label, left, top, width, height);
        label->setPixmap(QPixmap(QString::fromLatin1(picture)));
        label->hide();
        return label;
    };
    Picture1 = holder(":/exit_hover.png", 2040, 7680, 615, 495);
    Picture2 = holder(":/exit_normal.png", 2640, 7680, 615, 495);

    Picture3 = new QLabel(this);
    setTwipsGeometry(Picture3, 120, 480, 11250, 7065);
    Picture3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette black = Picture3->palette();
    black.setColor(QPalette::Window, Qt::black);
    Picture3->setPalette(black);
    Picture3->setAutoFillBackground(true);
    // The cover stands for the video area: presses on it stay there and never drag the window.
    Picture3->setAttribute(Qt::WA_NoMousePropagation);

    Picture4 = holder(":/cover_full.png", 3240, 7680, 615, 615);
    Picture5 = holder(":/cover_normal.png", 3840, 7680, 615, 495);

    Text2 = makeOnScreenText(this);
    setTwipsGeometry(Text2, 480, 480, 5295, 375);
    Text1 = makeOnScreenText(this);
    setTwipsGeometry(Text1, 7560, 480, 3495, 375);
    // Neither text is for selecting or dragging; the application-wide right-button watch still
    // sees presses on them because application filters run before this one.
    Text1->installEventFilter(this);
    Text2->installEventFilter(this);

    Picture3->setPixmap(Picture5->pixmap());
    Image1->setPixmap(Picture2->pixmap());

    // The notice and the hint live for a count of ticks; a coarse timer would let each tick
    // slip by up to 5 %.
    Timer1 = new QTimer(this);
    Timer1->setInterval(300);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer2 = new QTimer(this);
    Timer2->setInterval(1000);
    Timer2->setTimerType(Qt::PreciseTimer);
    Timer3 = new QTimer(this);
    Timer3->setInterval(RightButtonPollMs);
    connect(Timer1, &QTimer::timeout, this, [] { HintTimerTick(); });
    connect(Timer2, &QTimer::timeout, this, [] { NoticeTimerTick(); });
    connect(Timer3, &QTimer::timeout, this, [] { RightButtonPoll(); });

    R_Pop = new QMenu(QStringLiteral("r_pop"), this);
    R_ShowRimort = R_Pop->addAction(QStringLiteral("リモコンの表示"));
    sen1 = R_Pop->addSeparator();
    R_Play = R_Pop->addAction(QStringLiteral("再生"));
    R_Stop = R_Pop->addAction(QStringLiteral("再生中止"));
    R_Pause = R_Pop->addAction(QStringLiteral("一時停止"));
    sen2 = R_Pop->addSeparator();
    R_End = R_Pop->addAction(QStringLiteral("Quorvelの終了"));

    connect(R_ShowRimort, &QAction::triggered, this, [] {
        Form1& panel = form1();
        panel.show();
        panel.raise();
        panel.activateWindow();
    });
    connect(R_Play, &QAction::triggered, this, [] { DvdPlay(); });
    connect(R_Stop, &QAction::triggered, this, [] { DvdStop(); });
    connect(R_Pause, &QAction::triggered, this, [] { DvdPause(); });
    connect(R_End, &QAction::triggered, this, [] { AppEnd(); });

    connect(Image1, &PictureButton::clicked, this, [] { AppEnd(); });
    connect(Image1, &PictureButton::hovered, this, [this] { Image1Hovered(); });

    load();
}

void Scr::load()
{
    Sec = 0;
    Timer3->start();
    platform().watchForegroundChanges([timer = QPointer<QTimer>(Timer3)] {
        if (timer)
            WakeRightButtonPoll(*timer);
    });
}

void Scr::Image1Hovered()
{
    Image1->setPixmap(Picture1->pixmap());
    ShowHint(Image1->toolTip());
}

void Scr::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // Where the window is larger than the skin, the skin's outer edge colour carries on.
    if (width() > skin_.width() || height() > skin_.height())
        painter.fillRect(rect(), skinEdge_);
    painter.drawPixmap(0, 0, skin_);
}

void Scr::mouseMoveEvent(QMouseEvent* event)
{
    Image1->setPixmap(Picture2->pixmap());
    DragScr(buttonState(event->buttons()));
}

bool Scr::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Text1 || watched == Text2) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Scr::closeEvent(QCloseEvent* event)
{
    // Closing the screen window by any means ends the program; a close that shutdown itself
    // causes only closes the window.
    event->accept();
    AppEnd();
}
