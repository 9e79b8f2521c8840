#pragma once

#include <QImage>

// The picture side of the playback control: the engine hands it finished frames on the
// window thread; the widget behind it sends pointer events on the picture back to the engine
// in the picture's own coordinates (for the buttons of disc menus).
class VideoOutput {
public:
    virtual ~VideoOutput() = default;
    // A null image means "nothing to show" (stopped).
    virtual void presentFrame(const QImage& frame) = 0;
};
