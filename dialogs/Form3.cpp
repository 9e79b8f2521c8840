#include "dialogs/Form3.h"

#include "core/AppObjects.h"
#include "core/Resources.h"
#include "core/Twips.h"
#include "dialogs/Cont.h"
#include "panel/Form1.h"
#include "platform/Platform.h"
#include "screen/ScreenFonts.h"

#include <QCloseEvent>
#include <QFont>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {

Form3* loadedForm3 = nullptr;

const char* const ThankYouNote =
    "Quorvelをダウンロードしていただき、ありがとうございます。\n"
    "今後もバージョンアップを予定しています。使い方は同梱のReadMeをご覧ください。\n"
    "エラーが出た場合は、いつ、どのようなエラーが出るのかをメールでお知らせください。"
    "ご感想もお待ちしています。\n"
    "それでは、QuorvelでDVD鑑賞をお楽しみください。";

const char* const WebHost = "https://www.kiritani.example/";
const char* const WebFolder = "soft/quorvel/";

} // namespace

const QString Form3::MailAddress = QStringLiteral("haruka@kiritani.example");
const QString Form3::WebAddress = QString::fromLatin1(WebHost) + QString::fromLatin1(WebFolder);

Form3::Form3()
    // Owned by the panel, so it stays out of the taskbar.
    : QWidget(form1Exists() ? &form1() : nullptr,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                  Qt::MSWindowsFixedSizeDialogHint)
{
    loadResources();
    setWindowTitle(QStringLiteral("Quorvel"));
    setWindowIcon(QIcon(QStringLiteral(":/about_icon.png")));
    QFont font(pGothicFamily());
    font.setPointSizeF(9);
    setFont(font);
    setFixedSize(twipsToPixelsX(6855), twipsToPixelsY(3045));
    const QSize display = platform().displaySizePixels();
    move((display.width() - width()) / 2, (display.height() - height()) / 2);

    auto label = [this](const QString& text, double left, double top, double width, double height) {
        auto* l = new QLabel(text, this);
        setTwipsGeometry(l, left, top, width, height);
        return l;
    };
    auto button = [this](const char* caption, double left, double top, double width, double height) {
        auto* push = new QPushButton(QString::fromUtf8(caption), this);
        setTwipsGeometry(push, left, top, width, height);
        push->setAutoDefault(false);
        return push;
    };

    Label1 = label(QString::fromUtf8(ThankYouNote), 120, 120, 6495, 1335);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Command1 = button("Mail", 120, 1560, 2055, 255);
    Label3 = label(MailAddress, 2400, 1560, 2415, 255);
    Command2 = button("WebSite", 120, 1800, 2055, 255);
    Label4 = label(QString(), 2400, 1800, 3135, 495);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The shape first: the project label and the author's name lie over it and let it show.
    Shape1 = new QFrame(this);
    setTwipsGeometry(Shape1, 4680, 2280, 2055, 735);
    Shape1->setStyleSheet(QStringLiteral("background-color: rgb(255, 255, 0); border: 1px solid black;"));
    Image1 = label(QString(), 3360, 2400, 600, 510);
    Image1->setPixmap(QPixmap(QStringLiteral(":/about_picture.png")));
    Image2 = label(QString(), 4080, 2400, 480, 480);
    Image2->setPixmap(QPixmap(QStringLiteral(":/app_icon.png")));
    Label5 = label(QStringLiteral("Kiritani Soft Project"), 4800, 2400, 1935, 255);
    Label2 = label(QStringLiteral("桐谷 遥"), 5520, 2760, 1335, 255);
    for (QLabel* over : {Label5, Label2})
        over->setAutoFillBackground(false);

    Command3 = button("<<  設定画面へ戻る", 120, 2520, 2535, 375);

    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);

    // The shell's answer is not looked at: without a mail program or browser nothing happens.
    connect(Command1, &QPushButton::clicked, this,
            [] { platform().shellOpen(QStringLiteral("mailto:") + MailAddress); });
    connect(Command2, &QPushButton::clicked, this, [] { platform().shellOpen(WebAddress); });
    connect(Command3, &QPushButton::clicked, this, [this] {
        ShowCont();
        close();
    });

    Form_Load();
}

Form3::~Form3()
{
    if (loadedForm3 == this)
        loadedForm3 = nullptr;
}

void Form3::Form_Load()
{
    Label4->setText(QString::fromLatin1(WebHost) + QStringLiteral("\r\n") + QString::fromLatin1(WebFolder));
}

void Form3::closeEvent(QCloseEvent* event)
{
    // However the window is left, the settings dialog comes back with the edits it held.
    if (loadedForm3 == this)
        loadedForm3 = nullptr;
    event->accept();
    deleteLater();
    ShowCont();
}

void ShowForm3()
{
    if (!loadedForm3)
        loadedForm3 = new Form3;
    loadedForm3->show();
    loadedForm3->raise();
    loadedForm3->activateWindow();
}

Form3* form3IfLoaded() { return loadedForm3; }
