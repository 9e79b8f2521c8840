#include "engine/FrameSink.h"

#include "playback/VideoOutput.h"

#include <gst/video/video.h>

#include <QMetaObject>
#include <QtGlobal>

namespace gstdvd {

namespace {

void releaseFrame(void* info)
{
    auto* frame = static_cast<GstVideoFrame*>(info);
    gst_video_frame_unmap(frame);
    delete frame;
}

}  // namespace

const char* frameCaps()
{
    // QImage's RGB32 is 0xffRRGGBB in native order; playbin's scaler turns the DVD's
    // non-square pixels into square ones when asked for 1/1.
    return Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "video/x-raw,format=BGRx,pixel-aspect-ratio=1/1"
                                           : "video/x-raw,format=xRGB,pixel-aspect-ratio=1/1";
}

QImage imageFromSample(GstSample* sample)
{
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstCaps* caps = gst_sample_get_caps(sample);
    GstVideoInfo info;
    if (!buffer || !caps || !gst_video_info_from_caps(&info, caps))
        return {};
    auto* frame = new GstVideoFrame;
    if (!gst_video_frame_map(frame, &info, buffer, GST_MAP_READ)) {
        delete frame;
        return {};
    }
    return QImage(static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(frame, 0)), GST_VIDEO_FRAME_WIDTH(frame),
                  GST_VIDEO_FRAME_HEIGHT(frame), GST_VIDEO_FRAME_PLANE_STRIDE(frame, 0), QImage::Format_RGB32,
                  releaseFrame, frame);
}

FrameSink::FrameSink(QObject* windowThreadContext) : context_(windowThreadContext)
{
    sink_ = gst_element_factory_make("appsink", "quorvel-video");
    gst_object_ref_sink(sink_);
    GstCaps* caps = gst_caps_from_string(frameCaps());
    // qos lets the decoder drop pictures it cannot deliver in time (scanning); no last-sample,
    // so no buffer is held back from the pool.
    g_object_set(sink_, "caps", caps, "sync", TRUE, "qos", TRUE, "enable-last-sample", FALSE, "max-buffers", 2,
                 nullptr);
    gst_caps_unref(caps);
    GstAppSinkCallbacks callbacks {};
    callbacks.new_sample = &FrameSink::onSample;
    callbacks.new_preroll = &FrameSink::onPreroll;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink_), &callbacks, this, nullptr);
}

FrameSink::~FrameSink()
{
    GstAppSinkCallbacks none {};
    gst_app_sink_set_callbacks(GST_APP_SINK(sink_), &none, nullptr, nullptr);
    gst_object_unref(sink_);
    if (pending_)
        gst_sample_unref(pending_);
}

void FrameSink::setOutput(VideoOutput* output)
{
    output_ = output;
}

GstFlowReturn FrameSink::onSample(GstAppSink* sink, gpointer self)
{
    if (GstSample* sample = gst_app_sink_pull_sample(sink))
        static_cast<FrameSink*>(self)->handle(sample);
    return GST_FLOW_OK;
}

GstFlowReturn FrameSink::onPreroll(GstAppSink* sink, gpointer self)
{
    // Paused pictures and disc-menu stills arrive only as preroll.
    if (GstSample* sample = gst_app_sink_pull_preroll(sink))
        static_cast<FrameSink*>(self)->handle(sample);
    return GST_FLOW_OK;
}

void FrameSink::handle(GstSample* sample)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (suppressed_) {
        gst_sample_unref(sample);
        return;
    }
    if (pending_)
        gst_sample_unref(pending_);
    pending_ = sample;
    if (!posted_) {
        posted_ = true;
        QMetaObject::invokeMethod(context_, [this] { deliver(); }, Qt::QueuedConnection);
    }
}

void FrameSink::deliver()
{
    GstSample* sample = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        sample = pending_;
        pending_ = nullptr;
        posted_ = false;
    }
    if (!sample)
        return;
    const QImage frame = imageFromSample(sample);
    gst_sample_unref(sample);
    if (!frame.isNull())
        present(frame);
}

void FrameSink::present(const QImage& frame)
{
    ++shown_;
    if (output_)
        output_->presentFrame(frame);
}

void FrameSink::clear()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (pending_)
            gst_sample_unref(pending_);
        pending_ = nullptr;
    }
    if (output_)
        output_->presentFrame(QImage());
}

void FrameSink::setSuppressed(bool suppressed)
{
    std::lock_guard<std::mutex> lock(mutex_);
    suppressed_ = suppressed;
    if (suppressed && pending_) {
        gst_sample_unref(pending_);
        pending_ = nullptr;
    }
}

}  // namespace gstdvd
