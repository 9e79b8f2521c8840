#include "engine/ScanDecoder.h"

#include "engine/BusMessage.h"

#include <cstdio>

namespace gstdvd {

namespace {

// playbin's flags: video only, no sub-pictures, no deinterlacing; these pictures are only
// glimpses. The sink takes the decoder's own format: most pictures are never shown, so only
// the kept ones are converted, when they are shown.
constexpr guint kVideoOnly = 0x00000001;

// The source lands on a time-map entry up to a second before a stretch; a picture much lower
// is not of the title (a menu the decoder ran into at the title's end).
constexpr int64_t kLandingSlack = 2000000000;

}  // namespace

ScanDecoder::ScanDecoder()
{
    playbin_ = gst_element_factory_make("playbin", "quorvel-scan");
    gst_object_ref_sink(playbin_);
    sink_ = gst_element_factory_make("appsink", nullptr);
    GstCaps* caps = gst_caps_new_empty_simple("video/x-raw");
    g_object_set(sink_, "caps", caps, "sync", FALSE, "enable-last-sample", FALSE, "max-buffers", 1, nullptr);
    gst_caps_unref(caps);
    GstAppSinkCallbacks callbacks {};
    callbacks.new_sample = &ScanDecoder::onSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink_), &callbacks, this, nullptr);
    GstElement* audio = gst_element_factory_make("fakesink", nullptr);
    g_object_set(playbin_, "uri", "dvd://", "flags", kVideoOnly, "video-sink", sink_, "audio-sink", audio, nullptr);
    source_.attach(playbin_);
    bus_ = gst_element_get_bus(playbin_);
    // On the default main context, which Qt's event loop runs on the window thread.
    watch_ = gst_bus_add_watch(bus_, &ScanDecoder::onBusMessage, this);
}

ScanDecoder::~ScanDecoder()
{
    if (opener_.joinable())
        opener_.join();
    close();
    unwatch();
    gst_object_unref(bus_);
    gst_object_unref(playbin_);
}

void ScanDecoder::unwatch()
{
    if (watch_)
        g_source_remove(watch_);
    watch_ = 0;
}

gboolean ScanDecoder::onBusMessage(GstBus*, GstMessage* message, gpointer self)
{
    auto* decoder = static_cast<ScanDecoder*>(self);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
        // The playing pipeline reads the same disc: decryption is not what failed here.
        std::fprintf(stderr, "quorvel: rewind: %s\n", describeMessage(message).c_str());
        decoder->broken_ = true;
        break;
    case GST_MESSAGE_WARNING:
        std::fprintf(stderr, "quorvel: rewind: GStreamer warning: %s\n", describeMessage(message).c_str());
        break;
    default:
        break;
    }
    return TRUE;
}

bool ScanDecoder::isOpen(const std::string& device, int title) const
{
    return open_ && device_ == device && title_ == title;
}

bool ScanDecoder::open(const std::string& device, int title, int clearingMenu, int waitMs, std::string* error)
{
    if (broken_)
        close();
    if (isOpen(device, title))
        return true;
    if (open_ && device_ != device)
        close();
    if (!open_) {
        device_ = device;
        source_.setDevice(device);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            closing_ = false;
        }
        // A slow drive may still be busy when the wait ends; the seeks below then wait their turn.
        if (gst_element_set_state(playbin_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE
            || gst_element_get_state(playbin_, nullptr, nullptr, static_cast<GstClockTime>(waitMs) * GST_MSECOND)
                == GST_STATE_CHANGE_FAILURE) {
            if (error)
                *error = "the disc does not open a second time for scanning";
            close();
            return false;
        }
        open_ = true;
    }
    release();
    // Opened, the navigator sits in a menu.
    if (!source_.jumpToTitle(sink_, title, true, clearingMenu)) {
        if (error)
            *error = "the scanning navigator cannot go to title " + std::to_string(title);
        return false;
    }
    title_ = title;
    return true;
}

void ScanDecoder::openInBackground(const std::string& device, int title, int clearingMenu, int waitMs)
{
    if (opener_.joinable())
        opener_.join();
    if (!broken_ && isOpen(device, title)) {
        release();
        readiness_ = Readiness::Ready;
        return;
    }
    readiness_ = Readiness::Opening;
    opener_ = std::thread([this, device, title, clearingMenu, waitMs] {
        std::string error;
        const bool opened = open(device, title, clearingMenu, waitMs, &error);
        if (!opened)
            openError_ = error;
        readiness_ = opened ? Readiness::Ready : Readiness::Failed;
    });
}

ScanDecoder::Readiness ScanDecoder::readiness(std::string* error)
{
    const Readiness now = readiness_;
    if (now != Readiness::Opening && opener_.joinable())
        opener_.join();
    if (now == Readiness::Failed && error)
        *error = openError_;
    return now;
}

void ScanDecoder::close()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
        capturing_ = false;
        captured_.clear();
    }
    released_.notify_all();
    gst_element_set_state(playbin_, GST_STATE_NULL);
    open_ = false;
    broken_ = false;
    title_ = 0;
}

void ScanDecoder::release()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        capturing_ = false;
        ++generation_;
        captured_.clear();
    }
    released_.notify_all();
}

bool ScanDecoder::fill(int64_t from, int64_t until, int64_t spacing)
{
    if (!open_ || broken_)
        return false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        capturing_ = true;
        ++generation_;
        from_ = from;
        until_ = until;
        spacing_ = spacing;
        lastKept_ = -1;
        passedUntil_ = false;
        captured_.clear();
    }
    // A streaming thread held after the last stretch must go before the seek flushes, or the
    // flush would wait on it.
    released_.notify_all();
    if (!gst_element_seek(playbin_, 1.0, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, GST_SEEK_TYPE_SET, from,
                          GST_SEEK_TYPE_NONE, -1)) {
        // Off its title (read on into the title's end): go there again at the next open.
        title_ = 0;
        return false;
    }
    return gst_element_set_state(playbin_, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
}

std::vector<CapturedFrame> ScanDecoder::takeCaptured(bool* passedUntil)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (passedUntil)
        *passedUntil = passedUntil_;
    std::vector<CapturedFrame> frames;
    frames.swap(captured_);
    return frames;
}

GstFlowReturn ScanDecoder::onSample(GstAppSink* sink, gpointer self)
{
    if (GstSample* sample = gst_app_sink_pull_sample(sink))
        static_cast<ScanDecoder*>(self)->handle(sample);
    return GST_FLOW_OK;
}

void ScanDecoder::handle(GstSample* sample)
{
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    const GstSegment* segment = gst_sample_get_segment(sample);
    const guint64 time = buffer && segment ? gst_segment_to_stream_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer))
                                           : GST_CLOCK_TIME_NONE;
    std::unique_lock<std::mutex> lock(mutex_);
    if (capturing_ && time != GST_CLOCK_TIME_NONE) {
        const auto t = static_cast<int64_t>(time);
        if (t >= until_) {
            // A late picture from before the seek must not end the stretch early.
            if (lastKept_ >= 0)
                passedUntil_ = true;
        } else if (t >= from_ - kLandingSlack && !passedUntil_
                   && (lastKept_ < 0 || t - lastKept_ >= spacing_ || t < lastKept_)) {
            lastKept_ = t;
            const uint64_t generation = generation_;
            lock.unlock();
            // A copy: held pictures must not starve the decoder's own pool.
            GstBuffer* copy = gst_buffer_copy_deep(buffer);
            Picture picture = pictureOf(gst_sample_new(copy, gst_sample_get_caps(sample), segment, nullptr));
            gst_buffer_unref(copy);
            lock.lock();
            if (capturing_ && generation == generation_)
                captured_.push_back({t, std::move(picture)});
        }
    }
    gst_sample_unref(sample);
    if (passedUntil_ || !capturing_) {
        // Stretch done: hold the streaming thread, so that the source stops once its queues
        // are full instead of reading on into the title's end.
        const uint64_t generation = generation_;
        released_.wait(lock, [&] { return closing_ || generation != generation_; });
    }
}

}  // namespace gstdvd
