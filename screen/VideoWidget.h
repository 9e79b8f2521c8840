#pragma once

#include "playback/VideoOutput.h"

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QWidget>
#include <optional>

// The playback control's rectangle on the screen window: shows the engine's pictures, keeping
// their aspect ratio, and passes pointer moves and left clicks on the picture back to the engine
// (for the buttons of disc menus).
class VideoWidget : public QWidget, public VideoOutput {
    Q_OBJECT
public:
    explicit VideoWidget(QWidget* parent = nullptr);

    void presentFrame(const QImage& frame) override;
    const QImage& currentFrame() const { return frame_; }

    // Where a picture of frameSize lands in an area of areaSize: scaled to fit, centred, with
    // black bars on the remaining sides.
    static QRect pictureRect(const QSize& frameSize, const QSize& areaSize);
    // A point of the area in the picture's own pixels; empty on the bars or without a picture.
    static std::optional<QPointF> toFrame(const QPointF& areaPoint, const QSize& frameSize, const QSize& areaSize);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The area in device pixels, and where the picture lands in it.
    QSize areaPixels() const;
    QRectF shownRect(const QSize& frameSize) const;
    // Tells the engine the area's size when it has changed since it was last told.
    void reportArea();

    QImage frame_;
    QSize reported_;
    // Where the last picture was drawn; the bars around it are painted only when it moves.
    QRectF drawn_;
};
