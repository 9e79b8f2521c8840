#include "platform/WindowMove.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QWidget>

WindowMove::WindowMove()
{
    qApp->installEventFilter(this);
}

WindowMove::~WindowMove()
{
    qApp->removeEventFilter(this);
}

void WindowMove::start(QWidget* window)
{
    if (window_ == window)
        return;
    window_ = window;
    if (pressWindow_ == window) {
        startPointer_ = pressPointer_;
        startOrigin_ = pressOrigin_;
    } else {
        // No press of ours began it: count from here.
        startPointer_ = havePointer_ ? lastPointer_ : QPointF(QCursor::pos());
        startOrigin_ = window->pos();
    }
    // The move that started the loop is already a motion of the gesture.
    if (havePointer_)
        follow(lastPointer_);
}

void WindowMove::follow(QPointF pointer)
{
    const QPointF motion = pointer - startPointer_;
    window_->move(startOrigin_ + motion.toPoint());
}

bool WindowMove::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    if (!watched->isWidgetType())
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPointF pointer = mouse->globalPosition();
    lastPointer_ = pointer;
    havePointer_ = true;

    switch (type) {
    case QEvent::MouseButtonPress:
        if (mouse->button() == Qt::LeftButton && mouse->buttons() == Qt::LeftButton) {
            QWidget* window = static_cast<QWidget*>(watched)->window();
            pressWindow_ = window;
            pressPointer_ = pointer;
            pressOrigin_ = window->pos();
        } else {
            // Another button ends the gesture, and what the pointer does with two buttons down
            // is no part of a later move: left and right together never move the window.
            window_ = nullptr;
            pressWindow_ = nullptr;
        }
        return false;
    case QEvent::MouseMove:
        if (!window_)
            return false;
        if (mouse->buttons() != Qt::LeftButton) {
            window_ = nullptr;
            return false;
        }
        follow(pointer);
        // While the loop runs the window under the pointer sees no moves, as in the system's loop.
        return true;
    case QEvent::MouseButtonRelease:
        if (mouse->button() == Qt::LeftButton) {
            window_ = nullptr;
            pressWindow_ = nullptr;
        }
        return false;
    default:
        return false;
    }
}
