#include "platform/QtPlatform.h"

#include "platform/PressActivation.h"
#include "platform/PrivateProfile.h"
#include "platform/WindowMove.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QUrl>
#include <cstdio>
#include <cstdlib>

QtPlatform::QtPlatform()
    : activation_(std::make_unique<PressActivation>())
    , move_(std::make_unique<WindowMove>())
{
    // Presses anywhere in the program count for the right-button poll, even those that a
    // child (the video area, a text) takes for itself.
    qApp->installEventFilter(this);
}

QtPlatform::~QtPlatform() = default;

bool QtPlatform::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton && watched->isWidgetType())
            rightPressWindow_ = static_cast<QWidget*>(watched)->window();
    } else if (event->type() == QEvent::MouseButtonRelease && trayPressed_) {
        // The press went to the icon, so this release does too, wherever the pointer now is.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            trayPressed_ = false;
            if (trayRelease_)
                trayRelease_();
        }
    }
    return QObject::eventFilter(watched, event);
}

void QtPlatform::messageOk(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok);
    box.exec();
}

MessageAnswer QtPlatform::messageYesNo(const QString& title, const QString& text, MessageAnswer defaultButton)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(defaultButton == MessageAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

QString QtPlatform::programFolder()
{
    return QCoreApplication::applicationDirPath();
}

QSize QtPlatform::displaySizePixels()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

// Qt lays windows out in device-independent pixels of 1/96 inch and scales them to the screen
// itself; the skins are drawn in those pixels, so the layout must be too, whatever DPI the
// desktop reports (a font DPI of 120 would otherwise spread the buttons off their grooves).
double QtPlatform::twipsPerPixelX()
{
    return 1440.0 / 96.0;
}

double QtPlatform::twipsPerPixelY()
{
    return 1440.0 / 96.0;
}

QString QtPlatform::profileRead(const QString& path, const QString& section, const QString& key)
{
    return PrivateProfile::read(path, section, key);
}

bool QtPlatform::profileWrite(const QString& path, const QString& section, const QString& key, const QString& value)
{
    return PrivateProfile::write(path, section, key, value);
}

bool QtPlatform::profileWriteAll(const QString& path, const QString& section,
                                 const std::vector<std::pair<QString, QString>>& pairs)
{
    return PrivateProfile::writeAll(path, section, pairs);
}

QWidget* QtPlatform::foregroundWindow()
{
    return activation_->foregroundWindow();
}

bool QtPlatform::rightButtonPressedSinceLastQuery()
{
    // A press counts only for the window that is in front now: a right click on the panel must
    // not open the screen's menu later, when the screen window comes to the front.
    QWidget* front = foregroundWindow();
    bool pressed = (QGuiApplication::mouseButtons() & Qt::RightButton)
        || (rightPressWindow_ && rightPressWindow_ == front);
    rightPressWindow_ = nullptr;
    return pressed;
}

void QtPlatform::popupMenuAtPointer(QMenu* menu)
{
    menu->exec(QCursor::pos());
}

void QtPlatform::trayAdd(const QIcon& icon, const QString& tip, std::function<void()> onLeftRelease)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        std::fprintf(stderr, "quorvel: no notification area on this desktop; running without the icon\n");
        return;
    }
    trayRelease_ = std::move(onLeftRelease);
    tray_ = std::make_unique<QSystemTrayIcon>(icon);
    tray_->setToolTip(tip);
    QObject::connect(tray_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // The second press of a double-click comes as the double-click; its release shows the
        // windows like the first one's.
        if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick)
            return;
        // An icon embedded in the X tray reports the press itself; a desktop's own panel
        // reports a whole click.
        if (QGuiApplication::mouseButtons() & Qt::LeftButton)
            trayPressed_ = true;
        else if (trayRelease_)
            trayRelease_();
    });
    tray_->show();
}

void QtPlatform::trayRemove()
{
    if (tray_)
        tray_->hide();
    tray_.reset();
    trayPressed_ = false;
}

void QtPlatform::startWindowDrag(QWidget* window)
{
    move_->start(window);
}

void QtPlatform::shellOpen(const QString& target)
{
    QDesktopServices::openUrl(QUrl(target));
}

QString QtPlatform::browseFolder(QWidget* owner, const QString& title)
{
    return QFileDialog::getExistingDirectory(owner, title);
}

void QtPlatform::endProcess(int code)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}
