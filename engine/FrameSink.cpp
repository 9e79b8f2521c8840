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

GstCaps* frameCaps(const QSize& size)
{
    // QImage's RGB32 is 0xffRRGGBB in native order; the scaler turns the DVD's non-square
    // pixels into square ones when asked for 1/1.
    GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING,
                                        Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "BGRx" : "xRGB", "pixel-aspect-ratio",
                                        GST_TYPE_FRACTION, 1, 1, nullptr);
    if (!size.isEmpty())
        gst_caps_set_simple(caps, "width", G_TYPE_INT, size.width(), "height", G_TYPE_INT, size.height(), nullptr);
    return caps;
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
    bin_ = gst_bin_new("quorvel-video");
    gst_object_ref_sink(bin_);
    GstElement* convert = gst_element_factory_make("videoconvertscale", nullptr);
    GstElement* first = convert;
    if (convert) {
        g_object_set(convert, "n-threads", pictureThreads(), nullptr);
        gst_bin_add(GST_BIN(bin_), convert);
    } else {
        // Before GStreamer 1.22: the two halves apart.
        first = gst_element_factory_make("videoconvert", nullptr);
        convert = gst_element_factory_make("videoscale", nullptr);
        g_object_set(first, "n-threads", pictureThreads(), nullptr);
        g_object_set(convert, "n-threads", pictureThreads(), nullptr);
        gst_bin_add_many(GST_BIN(bin_), first, convert, nullptr);
        gst_element_link(first, convert);
    }
    filter_ = gst_element_factory_make("capsfilter", nullptr);
    GstCaps* caps = frameCaps();
    g_object_set(filter_, "caps", caps, nullptr);
    gst_caps_unref(caps);
    sink_ = gst_element_factory_make("appsink", "quorvel-video-sink");
    // qos lets the decoder drop pictures it cannot deliver in time (scanning); no last-sample,
    // so no buffer is held back from the pool.
    g_object_set(sink_, "sync", TRUE, "qos", TRUE, "enable-last-sample", FALSE, "max-buffers", 2, nullptr);
    gst_bin_add_many(GST_BIN(bin_), filter_, sink_, nullptr);
    gst_element_link_many(convert, filter_, sink_, nullptr);
    GstPad* input = gst_element_get_static_pad(first, "sink");
    gst_element_add_pad(bin_, gst_ghost_pad_new("sink", input));
    gst_pad_add_probe(input, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &FrameSink::onInputEvent, this, nullptr);
    gst_pad_add_probe(input, GST_PAD_PROBE_TYPE_QUERY_DOWNSTREAM, &FrameSink::onInputQuery, nullptr, nullptr);
    gst_object_unref(input);
    GstAppSinkCallbacks callbacks {};
    callbacks.new_sample = &FrameSink::onSample;
    callbacks.new_preroll = &FrameSink::onPreroll;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink_), &callbacks, this, nullptr);
}

FrameSink::~FrameSink()
{
    GstAppSinkCallbacks none {};
    gst_app_sink_set_callbacks(GST_APP_SINK(sink_), &none, nullptr, nullptr);
    gst_object_unref(bin_);
    if (pending_)
        gst_sample_unref(pending_);
}

GstPadProbeReturn FrameSink::onInputQuery(GstPad*, GstPadProbeInfo* info, gpointer)
{
    // Asked what it takes, the scaler would put the size and format shown first, and playbin's
    // own scaler before it would take the scaling on: a pass of its own on one thread, which
    // with the conversion after it costs half as much again as this scaler's single pass (over
    // a third of the whole program's CPU at full screen). Pictures are taken as they come.
    GstQuery* query = GST_PAD_PROBE_INFO_QUERY(info);
    if (GST_QUERY_TYPE(query) != GST_QUERY_CAPS)
        return GST_PAD_PROBE_OK;
    GstCaps* filter = nullptr;
    gst_query_parse_caps(query, &filter);
    GstCaps* any = gst_caps_new_empty_simple("video/x-raw");
    GstCaps* result = filter ? gst_caps_intersect_full(filter, any, GST_CAPS_INTERSECT_FIRST) : gst_caps_ref(any);
    gst_caps_unref(any);
    gst_query_set_caps_result(query, result);
    gst_caps_unref(result);
    return GST_PAD_PROBE_HANDLED;
}

GstPadProbeReturn FrameSink::onInputEvent(GstPad*, GstPadProbeInfo* info, gpointer self)
{
    // The decoder's pictures change size and aspect between a menu and a title: the target
    // follows before the new pictures reach the scaler.
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) != GST_EVENT_CAPS)
        return GST_PAD_PROBE_OK;
    GstCaps* caps = nullptr;
    gst_event_parse_caps(event, &caps);
    GstVideoInfo video;
    if (!caps || !gst_video_info_from_caps(&video, caps))
        return GST_PAD_PROBE_OK;
    auto* frames = static_cast<FrameSink*>(self);
    std::lock_guard<std::mutex> lock(frames->mutex_);
    frames->display_ = displaySize(video);
    frames->applySize();
    return GST_PAD_PROBE_OK;
}

void FrameSink::setAreaSize(const QSize& area)
{
    std::lock_guard<std::mutex> lock(mutex_);
    area_ = area;
    applySize();
}

void FrameSink::applySize()
{
    // Fitting needs the display aspect; before the first picture the scaler picks it alone.
    const QSize size = area_.isEmpty() || display_.isEmpty() ? QSize() : display_.scaled(area_, Qt::KeepAspectRatio);
    if (size == applied_)
        return;
    applied_ = size;
    GstCaps* caps = frameCaps(size);
    // A new filter makes the scaler negotiate again at its next picture.
    g_object_set(filter_, "caps", caps, nullptr);
    gst_caps_unref(caps);
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

void FrameSink::presentPicture(GstSample* sample)
{
    GstVideoInfo video;
    GstCaps* caps = gst_sample_get_caps(sample);
    if (!caps || !gst_video_info_from_caps(&video, caps))
        return;
    QSize size;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const QSize display = displaySize(video);
        size = area_.isEmpty() ? display : display.scaled(area_, Qt::KeepAspectRatio);
    }
    const QImage frame = scanPictures_.convert(sample, size);
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
    // The scan's pictures are over.
    if (!suppressed)
        scanPictures_.release();
}

}  // namespace gstdvd
