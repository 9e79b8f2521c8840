#include "screen/VideoWidget.h"

#include "core/AppObjects.h"
#include "playback/Engine.h"

#include <QMouseEvent>
#include <QPaintEvent>
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
    const bool sameRect = !frame.isNull() && !frame_.isNull() && frame.size() == frame_.size();
    frame_ = frame;
    reportArea();
    // A picture the size of the last one covers the same pixels: only those need painting.
    if (sameRect && shownRect(frame_.size()) == drawn_)
        update(drawn_.toAlignedRect());
    else
        update();
}

QSize VideoWidget::areaPixels() const
{
    return (QSizeF(size()) * devicePixelRatioF()).toSize();
}

QRectF VideoWidget::shownRect(const QSize& frameSize) const
{
    const QRect pixels = pictureRect(frameSize, areaPixels());
    const qreal ratio = devicePixelRatioF();
    return QRectF(pixels.x() / ratio, pixels.y() / ratio, pixels.width() / ratio, pixels.height() / ratio);
}

void VideoWidget::reportArea()
{
    const QSize area = areaPixels();
    if (area == reported_ || !engineExists())
        return;
    reported_ = area;
    engine().videoAreaResized(area.width(), area.height());
}

void VideoWidget::resizeEvent(QResizeEvent*)
{
    reportArea();
}

void VideoWidget::showEvent(QShowEvent*)
{
    reportArea();
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

void VideoWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (frame_.isNull()) {
        painter.fillRect(rect(), Qt::black);
        drawn_ = QRectF();
        return;
    }
    const QRectF target = shownRect(frame_.size());
    // The bars: whatever the event asks for outside the picture.
    const QRegion bars = event->region() - target.toAlignedRect();
    for (const QRect& bar : bars)
        painter.fillRect(bar, Qt::black);
    // The engine makes pictures at the size they are shown, which draw pixel for pixel; one
    // of another size (a still picture from before a resize, a stand-in engine's) is scaled.
    if (QSizeF(frame_.size()) != target.size() * devicePixelRatioF())
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, frame_);
    drawn_ = target;
}

void VideoWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (auto point = toFrame(event->position() * devicePixelRatioF(), frame_.size(), areaPixels()))
        engine().pointerMoved(point->x(), point->y());
}

void VideoWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (auto point = toFrame(event->position() * devicePixelRatioF(), frame_.size(), areaPixels()))
        engine().pointerClicked(point->x(), point->y());
}

// Releases and double-clicks stay here too, so none of them reaches the window's surface.
void VideoWidget::mouseReleaseEvent(QMouseEvent*) {}
void VideoWidget::mouseDoubleClickEvent(QMouseEvent*) {}
