#include "platform/QtPlatform.h"

#include "platform/PressActivation.h"
#include "platform/PrivateProfile.h"
#include "platform/WindowMove.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTemporaryFile>
#include <QUrl>
#include <QWindow>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The signal handler's only way to the window thread: one byte per signal into a pipe that the
// window thread watches.
int endSignalPipe[2] = {-1, -1};

void onEndSignal(int signo)
{
    const int saved = errno;
    const char byte = static_cast<char>(signo);
    // Non-blocking: should the pipe ever be full, a byte is already waiting, which is enough.
    [[maybe_unused]] const ssize_t n = ::write(endSignalPipe[1], &byte, 1);
    errno = saved;
}

// Runs at exit() when it comes from somewhere else than shutdown, which ends with _Exit: Qt ends
// the process that way when the display connection is lost, with no event or signal before.
std::function<void()> saveAtUnaskedExit;

void saveOnUnaskedExit()
{
    if (saveAtUnaskedExit)
        saveAtUnaskedExit();
}

} // namespace

QtPlatform::QtPlatform()
    : activation_(std::make_unique<PressActivation>())
    , move_(std::make_unique<WindowMove>())
{
    // Presses anywhere in the program count for the right-button poll, even those that a
    // child (the video area, a text) takes for itself.
    qApp->installEventFilter(this);
}

QtPlatform::~QtPlatform()
{
    saveAtUnaskedExit = nullptr;
}

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

bool QtPlatform::canCreateFilesIn(const QString& folder)
{
    QTemporaryFile probe(folder + QStringLiteral("/.quorvel-probe-XXXXXX"));
    return probe.open();
}

QString QtPlatform::userConfigFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return {};
    return folder;
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

void QtPlatform::watchForegroundChanges(std::function<void()> onChange)
{
    activation_->onChange = std::move(onChange);
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

void QtPlatform::watchEndRequests(std::function<void()> onEnd, std::function<void()> onSave)
{
    const bool first = !onEnd_;
    onEnd_ = std::move(onEnd);
    onSave_ = std::move(onSave);
    if (!first)
        return;

    if (::pipe2(endSignalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        endSignals_ = std::make_unique<QSocketNotifier>(endSignalPipe[0], QSocketNotifier::Read);
        QObject::connect(endSignals_.get(), &QSocketNotifier::activated, this, [this] {
            // Signals that came together are one request.
            char bytes[16];
            while (::read(endSignalPipe[0], bytes, sizeof bytes) > 0) {
            }
            onEnd_();
        });
        struct sigaction action {};
        action.sa_handler = onEndSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int signo : {SIGTERM, SIGINT, SIGHUP}) {
            struct sigaction old {};
            // A signal ignored when the program started (nohup, a background job) stays ignored:
            // whoever started it asked for that.
            if (::sigaction(signo, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
                continue;
            ::sigaction(signo, &action, nullptr);
        }
    } else {
        std::perror("quorvel: termination signals will end the program without saving");
    }

#if QT_CONFIG(sessionmanager)
    // The session manager asks for the data before a logout, which may still be cancelled; the
    // end itself comes as a quit of the application.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { onSave_(); },
                     Qt::DirectConnection);
#endif
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { onEnd_(); });

    saveAtUnaskedExit = [this] { onSave_(); };
    std::atexit(saveOnUnaskedExit);
}

void QtPlatform::endProcess(int code)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}
