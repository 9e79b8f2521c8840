#include "panel/PictureButton.h"

#include <QMouseEvent>

PictureButton::PictureButton(QWidget* parent)
    : QLabel(parent)
{
    // Moves are wanted without a button held, like the hover reactions of the original controls.
    setMouseTracking(true);
}

void PictureButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        pressed_ = true;
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event)
{
    bool wasPressed = pressed_;
    pressed_ = false;
    if (event->button() == Qt::LeftButton && wasPressed && isEnabled() && rect().contains(event->position().toPoint()))
        emit clicked();
}

void PictureButton::mouseMoveEvent(QMouseEvent*)
{
    if (isEnabled())
        emit hovered();
}

void PictureButton::enterEvent(QEnterEvent*)
{
    if (isEnabled())
        emit hovered();
}
