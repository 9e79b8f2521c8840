#pragma once

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include "engine/PictureConverter.h"

#include <QImage>
#include <QObject>
#include <QSize>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

class VideoOutput;

namespace gstdvd {

// The video end of the pipeline: one conversion and scaling, straight from the decoder's
// pictures (with the disc-menu highlights drawn in) to RGB32 at the size the picture is shown
// at, so the window draws them pixel for pixel. Until that size is known, and in the engine's
// tests, pictures come at the display aspect in square pixels (a 4:3 PAL picture as 768x576).
// They are handed to the VideoOutput on the window thread; when that thread lags only the
// newest picture is handed over, nothing queues up.
class FrameSink {
public:
    explicit FrameSink(QObject* windowThreadContext);
    ~FrameSink();
    FrameSink(const FrameSink&) = delete;
    FrameSink& operator=(const FrameSink&) = delete;

    // The sink bin; the caller gives it to playbin (which then owns it).
    GstElement* element() const { return bin_; }
    // The element whose pad sends events upstream through the scaler, which maps pointer
    // positions from the shown picture back to the disc's.
    GstElement* upstreamEnd() const { return sink_; }

    // The area the picture is fitted into, in device pixels; an empty size for no fitting. The
    // pictures follow from the next one the decoder delivers (a still picture keeps its size).
    void setAreaSize(const QSize& area);

    void setOutput(VideoOutput* output);
    // Hands out the null picture and forgets any picture still on its way.
    void clear();
    // Shows a picture that did not come straight from the pipeline (backward scanning),
    // converted to the size the pipeline's own would have.
    void presentPicture(GstSample* sample);
    uint64_t framesShown() const { return shown_; }

    // While suppressed the pipeline's own pictures are not shown (backward scanning shows
    // pictures from elsewhere).
    void setSuppressed(bool suppressed);

private:
    static GstFlowReturn onSample(GstAppSink* sink, gpointer self);
    static GstFlowReturn onPreroll(GstAppSink* sink, gpointer self);
    static GstPadProbeReturn onInputEvent(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    static GstPadProbeReturn onInputQuery(GstPad* pad, GstPadProbeInfo* info, gpointer unused);
    void handle(GstSample* sample);
    void deliver();
    void present(const QImage& frame);
    // Pictures are made at the display size fitted into the area.
    void applySize();

    QObject* context_;
    GstElement* bin_;
    GstElement* filter_;
    GstElement* sink_;
    VideoOutput* output_ = nullptr;
    uint64_t shown_ = 0;

    std::mutex mutex_;
    GstSample* pending_ = nullptr;
    bool posted_ = false;
    bool suppressed_ = false;
    QSize area_;
    QSize display_;
    QSize applied_{-1, -1};
    PictureConverter scanPictures_;
};

// A picture of the sample, sharing its memory (the buffer stays alive as long as the image does).
QImage imageFromSample(GstSample* sample);
// What an appsink asks for so that imageFromSample can wrap its pictures: QImage's RGB32 in
// square pixels, at the given size when it is not empty.
GstCaps* frameCaps(const QSize& size = {});

}  // namespace gstdvd
