#pragma once

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <QImage>
#include <QObject>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

class VideoOutput;

namespace gstdvd {

// The video end of the pipeline: an appsink after playbin's own sub-picture overlay and scaler,
// so pictures arrive with the disc-menu highlights drawn in and in square pixels (the display
// aspect). They are handed to the VideoOutput on the window thread; when that thread lags only
// the newest picture is handed over, nothing queues up.
class FrameSink {
public:
    explicit FrameSink(QObject* windowThreadContext);
    ~FrameSink();
    FrameSink(const FrameSink&) = delete;
    FrameSink& operator=(const FrameSink&) = delete;

    // The appsink; the caller gives it to playbin (which then owns it).
    GstElement* element() const { return sink_; }

    void setOutput(VideoOutput* output);
    // Hands out the null picture and forgets any picture still on its way.
    void clear();
    // Shows a picture that did not come straight from the pipeline (backward scanning).
    void present(const QImage& frame);
    uint64_t framesShown() const { return shown_; }

    // While suppressed the pipeline's own pictures are not shown (backward scanning shows
    // pictures from elsewhere).
    void setSuppressed(bool suppressed);

private:
    static GstFlowReturn onSample(GstAppSink* sink, gpointer self);
    static GstFlowReturn onPreroll(GstAppSink* sink, gpointer self);
    void handle(GstSample* sample);
    void deliver();

    QObject* context_;
    GstElement* sink_;
    VideoOutput* output_ = nullptr;
    uint64_t shown_ = 0;

    std::mutex mutex_;
    GstSample* pending_ = nullptr;
    bool posted_ = false;
    bool suppressed_ = false;
};

// A picture of the sample, sharing its memory (the buffer stays alive as long as the image does).
QImage imageFromSample(GstSample* sample);
// What an appsink asks for so that imageFromSample can wrap its pictures: QImage's RGB32 in
// square pixels.
const char* frameCaps();

}  // namespace gstdvd
