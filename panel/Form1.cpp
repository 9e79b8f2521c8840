#include "panel/Form1.h"

#include "core/AppLifecycle.h"
#include "core/Twips.h"
#include "panel/PictureButton.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QTimer>

Form1::Form1()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("Quorvel"));
    resize(twipsToPixelsX(7305), twipsToPixelsY(3570));

    auto button = [this](double left, double top) {
        auto* b = new PictureButton(this);
        setTwipsGeometry(b, left, top, 480, 480);
        return b;
    };
    Image4 = button(5400, 480);
    Image5 = button(6120, 480);
    Image6 = button(6720, 480);
    Image11 = button(5160, 900);
    Image12 = button(5640, 900);
    Image13 = button(6240, 900);
    Image14 = button(6720, 900);
    Image22 = button(120, 1080);
    Image23 = button(720, 1080);
    setTwipsGeometry(Image23, 720, 1080, 495, 450);
    Image3 = button(1320, 1080);
    Image1 = button(1920, 1080);
    Image2 = button(2520, 1080);
    Image7 = button(3120, 1080);

    auto label = [this](const char* name, double left, double top, double width, double height) {
        auto* l = new QLabel(QString::fromLatin1(name), this);
        setTwipsGeometry(l, left, top, width, height);
        return l;
    };
    Label1 = label("Label1", 240, 360, 975, 135);
    Label3 = label("Label3", 1200, 360, 1215, 135);
    Label6 = label("Label6", 2520, 360, 1215, 135);
    Label4 = label("Label4", 240, 600, 1455, 135);
    Label5 = label("Label5", 1800, 600, 1695, 135);
    Label7 = label("Label7", 240, 840, 2895, 135);
    Label2 = label("Label2", 3120, 840, 495, 255);

    Timer1 = new QTimer(this);
    Timer1->setInterval(500);

    M_Pop = new QMenu(QStringLiteral("Pop1"), this);
    M_Root = M_Pop->addAction(QStringLiteral("ルートメニュー"));
    M_Angle = M_Pop->addAction(QStringLiteral("アングルメニュー"));
    M_Title = M_Pop->addAction(QStringLiteral("タイトルメニュー"));
    M_Chap = M_Pop->addAction(QStringLiteral("チャプターメニュー"));
    M_Audio = M_Pop->addAction(QStringLiteral("オーディオメニュー"));
    M_SubP = M_Pop->addAction(QStringLiteral("サブピクチャメニュー"));
    Sen = M_Pop->addSeparator();
    M_Resume = M_Pop->addAction(QStringLiteral("リジューム"));
    B_Pop = new QMenu(QStringLiteral("Pop2"), this);
    S_Book = B_Pop->addAction(QStringLiteral("ブックマークに登録"));
    R_Book = B_Pop->addAction(QStringLiteral("ブックマークから開く"));
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->accept();
    AppEnd();
}
