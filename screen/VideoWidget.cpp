#include "screen/VideoWidget.h"

#include "core/AppObjects.h"
#include "playback/Engine.h"

#include <QMouseEvent>
#include <QPainter>

VideoWidget::VideoWidget(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Disc menus highlight their buttons under the pointer, with no button held.
    setMouseTracking(true);
    // The video area takes its own presses: pressing on it never drags the window.
    setAttribute(Qt::WA_NoMousePropagation);
}

void VideoWidget::presentFrame(const QImage& frame)
{
    frame_ = frame;
    update();
}

QRect VideoWidget::pictureRect(const QSize& frameSize, const QSize& areaSize)
{
    if (frameSize.isEmpty() || areaSize.isEmpty())
        return {};
    const QSize shown = frameSize.scaled(areaSize, Qt::KeepAspectRatio);
    return QRect(QPoint((areaSize.width() - shown.width()) / 2, (areaSize.height() - shown.height()) / 2), shown);
}

std::optional<QPointF> VideoWidget::toFrame(const QPointF& areaPoint, const QSize& frameSize, const QSize& areaSize)
{
    const QRect shown = pictureRect(frameSize, areaSize);
    if (shown.isEmpty())
        return std::nullopt;
    const double x = (areaPoint.x() - shown.x()) * frameSize.width() / shown.width();
    const double y = (areaPoint.y() - shown.y()) * frameSize.height() / shown.height();
    if (x < 0 || y < 0 || x >= frameSize.width() || y >= frameSize.height())
        return std::nullopt;
    return QPointF(x, y);
}

void VideoWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (frame_.isNull())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(pictureRect(frame_.size(), size()), frame_);
}

void VideoWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (auto point = toFrame(event->position(), frame_.size(), size()))
        engine().pointerMoved(point->x(), point->y());
}

void VideoWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (auto point = toFrame(event->position(), frame_.size(), size()))
        engine().pointerClicked(point->x(), point->y());
}

// Releases and double-clicks stay here too, so none of them reaches the window's surface.
void VideoWidget::mouseReleaseEvent(QMouseEvent*) {}
void VideoWidget::mouseDoubleClickEvent(QMouseEvent*) {}
