#include "screen/Scr.h"

#include "core/AppLifecycle.h"
#include "core/Twips.h"
#include "screen/VideoWidget.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

Scr::Scr()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("Quorvel"));
    resize(twipsToPixelsX(11490), twipsToPixelsY(7650));

    auto holder = [this](double left, double top, double width, double height) {
        auto* label = new QLabel(this);
        setTwipsGeometry(label, left, top, width, height);
        label->hide();
        return label;
    };
    Picture1 = holder(2040, 7680, 615, 495);
    Picture2 = holder(2640, 7680, 615, 495);
    Picture4 = holder(3240, 7680, 615, 615);
    Picture5 = holder(3840, 7680, 615, 495);

    DVD = new VideoWidget(this);
    setTwipsGeometry(DVD, 120, 360, 11355, 7215);

    Picture3 = new QLabel(this);
    setTwipsGeometry(Picture3, 120, 480, 11250, 7065);

    Image1 = new QLabel(this);
    setTwipsGeometry(Image1, 10800, 120, 480, 240);

    Text2 = new QLineEdit(this);
    setTwipsGeometry(Text2, 480, 480, 5295, 375);
    Text1 = new QLineEdit(this);
    setTwipsGeometry(Text1, 7560, 480, 3495, 375);
    for (QLineEdit* text : {Text1, Text2}) {
        text->setReadOnly(true);
        text->setFocusPolicy(Qt::NoFocus);
        text->setFrame(false);
    }

    Timer1 = new QTimer(this);
    Timer1->setInterval(300);
    Timer2 = new QTimer(this);
    Timer2->setInterval(1000);
    Timer3 = new QTimer(this);
    Timer3->setInterval(10);

    R_Pop = new QMenu(QStringLiteral("r_pop"), this);
    R_ShowRimort = R_Pop->addAction(QStringLiteral("リモコンの表示"));
    sen1 = R_Pop->addSeparator();
    R_Play = R_Pop->addAction(QStringLiteral("再生"));
    R_Stop = R_Pop->addAction(QStringLiteral("再生中止"));
    R_Pause = R_Pop->addAction(QStringLiteral("一時停止"));
    sen2 = R_Pop->addSeparator();
    R_End = R_Pop->addAction(QStringLiteral("Quorvelの終了"));

    Sec = 0;
}

void Scr::closeEvent(QCloseEvent* event)
{
    // Closing the screen window by any means ends the program; a close that shutdown itself
    // causes only closes the window.
    event->accept();
    AppEnd();
}
