#pragma once

#include <QImage>

// The picture side of the playback control: the engine hands it finished frames on the
// window thread; the widget behind it sends pointer events on the picture back to the engine
// in the picture's own coordinates (for the buttons of disc menus).
//
// Frames come in square pixels at the disc's display aspect, with disc-menu highlights drawn
// in: at the size they are shown once the engine has been told the area's size
// (Engine::videoAreaResized), else at the display size (a 720x576 4:3 picture as 768x576,
// 16:9 as 1024x576). The widget fits the image into its area, keeping its width:height (which
// for a picture made at the shown size is drawing it 1:1), and maps the pointer back to the
// image's pixels. Frames share the decoder's memory; keep the last one (or a copy), not a
// stream of them.
class VideoOutput {
public:
    virtual ~VideoOutput() = default;
    // A null image means "nothing to show" (stopped).
    virtual void presentFrame(const QImage& frame) = 0;
};
