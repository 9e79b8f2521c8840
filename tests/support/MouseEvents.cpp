#include "support/MouseEvents.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

void sendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void sendMove(QWidget* widget, QPoint pos, Qt::MouseButtons buttons)
{
    sendMouse(widget, QEvent::MouseMove, pos, Qt::NoButton, buttons);
}

void sendClick(QWidget* widget, QPoint pos, Qt::MouseButton button)
{
    sendMouse(widget, QEvent::MouseButtonPress, pos, button, button);
    sendMouse(widget, QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
}
