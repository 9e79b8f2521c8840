#include "panel/PictureButton.h"

#include <QMouseEvent>
#include <QPainter>

PictureButton::PictureButton(QWidget* parent)
    : QLabel(parent)
{
    // Moves are wanted without a button held: they drive the hover picture.
    setMouseTracking(true);
}

void PictureButton::setPictures(const QPixmap& normal, const QPixmap& hover)
{
    normal_ = normal;
    hover_ = hover;
    showNormalPicture();
}

void PictureButton::showNormalPicture()
{
    showsHover_ = false;
    setPixmap(normal_);
}

void PictureButton::showHoverPicture()
{
    showsHover_ = true;
    setPixmap(hover_);
}

void PictureButton::paintEvent(QPaintEvent*)
{
    // A disabled button keeps its ordinary look (QLabel would grey it out): while stopped the
    // panel shows all its glyphs, they just do not react.
    const QPixmap picture = pixmap();
    if (picture.isNull())
        return;
    QPainter painter(this);
    if (hasScaledContents())
        painter.drawPixmap(rect(), picture);
    else
        painter.drawPixmap(0, 0, picture);
}

// Qt hands a disabled widget no mouse presses, releases or moves (they go on to the parent), so
// the handlers below only ever run for an enabled button.

void PictureButton::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (event->button() == Qt::LeftButton && wasPressed && rect().contains(event->position().toPoint()))
        emit clicked();
}

void PictureButton::mouseMoveEvent(QMouseEvent*)
{
    emit hovered();
}
