#pragma once

#include <QEvent>
#include <QPoint>
#include <Qt>

class QWidget;

// Mouse events delivered as the window system's would be: through the application, so that
// mouse tracking, propagation to the parent and event filters all take part.
void sendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons);
void sendMove(QWidget* widget, QPoint pos, Qt::MouseButtons buttons = Qt::NoButton);
// Press and release of one button at one place.
void sendClick(QWidget* widget, QPoint pos, Qt::MouseButton button = Qt::LeftButton);
