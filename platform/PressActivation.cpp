#include "platform/PressActivation.h"

#include <QApplication>
#include <QWindow>
#include <QWidget>

namespace {

// Pop-up menus, tooltips and the notification icon are never made the active window.
bool activates(const QWidget* window)
{
    const Qt::WindowType type = window->windowType();
    if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen)
        return false;
    return !window->windowFlags().testFlag(Qt::BypassWindowManagerHint) && window->isVisible();
}

} // namespace

PressActivation::PressActivation()
{
    qApp->installEventFilter(this);
    // From the window system's next word on, its answer is the one that counts again.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this] {
        pressed_ = nullptr;
        changed();
    });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this] { changed(); });
}

PressActivation::~PressActivation()
{
    qApp->removeEventFilter(this);
}

QWidget* PressActivation::foregroundWindow() const
{
    if (pressed_)
        return pressed_;
    return QApplication::activeWindow();
}

bool PressActivation::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress || !watched->isWidgetType())
        return false;
    QWidget* window = static_cast<QWidget*>(watched)->window();
    if (window == pressed_ || window == QApplication::activeWindow() || !activates(window))
        return false;
    pressed_ = window;
    window->raise();
    window->activateWindow();
    changed();
    return false;
}

void PressActivation::changed()
{
    if (onChange)
        onChange();
}
