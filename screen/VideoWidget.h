#pragma once

#include "playback/VideoOutput.h"

#include <QImage>
#include <QWidget>

// The playback control's rectangle on the screen window: shows the engine's pictures, keeping
// their aspect ratio, and passes pointer moves and clicks on the picture back to the engine.
class VideoWidget : public QWidget, public VideoOutput {
    Q_OBJECT
public:
    explicit VideoWidget(QWidget* parent = nullptr);

    void presentFrame(const QImage& frame) override;
    const QImage& currentFrame() const { return frame_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage frame_;
};
