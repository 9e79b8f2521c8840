#include "engine/Pipeline.h"

#include "engine/BusMessage.h"

#include <gst/video/navigation.h>

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace gstdvd {

namespace {

// How long a stop waits for the pipeline to close on the window thread.
constexpr int kStopWaitMs = 40;

}  // namespace

Pipeline::Pipeline(GstElement* videoSink, GstElement* videoEnd, GstElement* audioSink, bool runFirstPlay,
                   Handlers handlers)
    : source_(runFirstPlay), handlers_(std::move(handlers))
{
    playbin_ = gst_element_factory_make("playbin", "quorvel-dvd");
    gst_object_ref_sink(playbin_);
    videoSink_ = GST_ELEMENT(gst_object_ref(videoEnd));
    // playbin's own converter stays (with native-video the disc's sub-pictures and button
    // highlights go missing) but has nothing to do: the video sink takes any raw format and
    // converts and scales in one pass.
    g_object_set(playbin_, "uri", "dvd://", "video-sink", videoSink, "audio-sink", makeAudioBin(audioSink), nullptr);
    source_.attach(playbin_);
    navigation_ = std::make_unique<NavigationSender>(videoSink_);
    states_ = std::make_unique<StateChanger>(playbin_);

    bus_ = gst_element_get_bus(playbin_);
    gst_bus_set_sync_handler(bus_, &Pipeline::onSyncMessage, this, nullptr);
    const QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher || dispatcher->inherits("QEventDispatcherGlib")) {
        // Attached to the default main context, which Qt's event loop runs on the window thread.
        watch_ = gst_bus_add_watch(bus_, &Pipeline::onBusMessage, this);
    } else {
        // Qt built or started without GLib (QT_NO_GLIB): watch the bus's descriptor instead.
        GPollFD fd {};
        gst_bus_get_pollfd(bus_, &fd);
        busNotifier_ = new QSocketNotifier(fd.fd, QSocketNotifier::Read);
        QObject::connect(busNotifier_, &QSocketNotifier::activated, busNotifier_, [this] {
            while (GstMessage* message = gst_bus_pop(bus_)) {
                onBusMessage(bus_, message, this);
                gst_message_unref(message);
            }
        });
    }
    gst_bus_set_flushing(bus_, TRUE);
}

Pipeline::~Pipeline()
{
    // First: the streaming threads post errors while the pipeline closes, and the handler
    // reaches into what is being taken apart below.
    gst_bus_set_sync_handler(bus_, nullptr, nullptr, nullptr);
    states_->change(GST_STATE_NULL);
    // Carries out the stop; stopped, the source lets go of a navigation call it held.
    states_.reset();
    navigation_.reset();
    if (watch_)
        g_source_remove(watch_);
    delete busNotifier_;
    gst_object_unref(bus_);
    gst_object_unref(videoSink_);
    if (panorama_)
        gst_object_unref(panorama_);
    gst_object_unref(playbin_);
}

GstElement* Pipeline::makeAudioBin(GstElement* audioSink)
{
    GstElement* bin = gst_bin_new("quorvel-audio");
    GstElement* in = gst_element_factory_make("audioconvert", nullptr);
    GstElement* panorama = gst_element_factory_make("audiopanorama", nullptr);
    GstElement* out = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    GstElement* sink = audioSink ? audioSink : gst_element_factory_make("autoaudiosink", nullptr);
    // "simple" turns one channel down and leaves the other at full level: a balance control,
    // where the default method would move sound from one side to the other.
    gst_util_set_object_arg(G_OBJECT(panorama), "method", "simple");
    gst_bin_add_many(GST_BIN(bin), in, panorama, out, resample, sink, nullptr);
    gst_element_link_many(in, panorama, out, resample, sink, nullptr);
    GstPad* pad = gst_element_get_static_pad(in, "sink");
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", pad));
    gst_object_unref(pad);
    pad = gst_element_get_static_pad(panorama, "src");
    gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, &Pipeline::onAudioBuffer, this, nullptr);
    gst_object_unref(pad);
    panorama_ = GST_ELEMENT(gst_object_ref(panorama));
    return bin;
}

GstPadProbeReturn Pipeline::onAudioBuffer(GstPad*, GstPadProbeInfo* info, gpointer self)
{
    if (!static_cast<Pipeline*>(self)->silenced_)
        return GST_PAD_PROBE_OK;
    // Zero samples keep the clock and the sink running, unlike dropped buffers.
    GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
    GstMapInfo map;
    if (gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
        std::memset(map.data, 0, map.size);
        gst_buffer_unmap(buffer, &map);
    }
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    return GST_PAD_PROBE_OK;
}

GstBusSyncReply Pipeline::onSyncMessage(GstBus*, GstMessage* message, gpointer self)
{
    // Recorded on the streaming thread so that a bounded wait on the window thread sees it.
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        auto* pipeline = static_cast<Pipeline*>(self);
        std::lock_guard<std::mutex> lock(pipeline->errorMutex_);
        if (pipeline->error_.empty())
            pipeline->error_ = describeMessage(message);
        pipeline->failed_ = true;
        pipeline->sourceFailed_ = true;
        pipeline->states_->notify();
    }
    return GST_BUS_PASS;
}

gboolean Pipeline::onBusMessage(GstBus*, GstMessage* message, gpointer self)
{
    auto* pipeline = static_cast<Pipeline*>(self);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR: {
        const std::string reason = pipeline->takeError();
        if (pipeline->running_ && pipeline->handlers_.failed)
            pipeline->handlers_.failed(reason.empty() ? describeMessage(message) : reason);
        break;
    }
    case GST_MESSAGE_WARNING:
        std::fprintf(stderr, "quorvel: GStreamer warning: %s\n", describeMessage(message).c_str());
        break;
    case GST_MESSAGE_EOS:
        if (pipeline->running_ && pipeline->handlers_.ended)
            pipeline->handlers_.ended();
        break;
    case GST_MESSAGE_STATE_CHANGED:
        if (GST_MESSAGE_SRC(message) == GST_OBJECT(pipeline->playbin_) && pipeline->running_) {
            GstState now = GST_STATE_NULL;
            gst_message_parse_state_changed(message, nullptr, &now, nullptr);
            pipeline->reached_ = now;
        }
        break;
    case GST_MESSAGE_BUFFERING: {
        gint percent = 100;
        gst_message_parse_buffering(message, &percent);
        pipeline->onBuffering(percent);
        break;
    }
    case GST_MESSAGE_CLOCK_LOST:
        pipeline->onClockLost();
        break;
    case GST_MESSAGE_LATENCY:
        // A sink's latency changed (the sound server's, say): the pipeline must account for it,
        // or the picture and the sound drift apart.
        gst_bin_recalculate_latency(GST_BIN(pipeline->playbin_));
        break;
    default:
        break;
    }
    return TRUE;
}

std::string Pipeline::takeError()
{
    std::lock_guard<std::mutex> lock(errorMutex_);
    std::string text;
    text.swap(error_);
    failed_ = false;
    return text;
}

bool Pipeline::settle(StateChanger::Id change, int waitMs, std::string* error)
{
    switch (states_->wait(change, waitMs, [this] { return failed_.load(); })) {
    case StateChanger::Outcome::Failed: {
        std::string reason = takeError();
        if (error)
            *error = reason.empty() ? "the pipeline refused the state change" : reason;
        return false;
    }
    case StateChanger::Outcome::StillGoing:
        // Busy still (a slow drive): the change goes on, and should it fail, the error comes on
        // the bus and ends playback by itself. Not a failure yet, nor a success the caller can
        // count on beyond that.
    case StateChanger::Outcome::Reached:
        return true;
    }
    return true;
}

void Pipeline::onBuffering(int percent)
{
    if (!running_)
        return;
    // Queues running dry would otherwise stutter the picture and sound a frame at a time: wait
    // paused until they are full, then go on as the program asked.
    if (percent < 100 && !buffering_) {
        buffering_ = true;
        if (wanted_ == GST_STATE_PLAYING)
            states_->change(GST_STATE_PAUSED);
    } else if (percent >= 100 && buffering_) {
        buffering_ = false;
        if (wanted_ == GST_STATE_PLAYING)
            states_->change(GST_STATE_PLAYING);
    }
}

void Pipeline::onClockLost()
{
    // The clock's provider (an audio sink closing its device) went away: pausing and playing
    // again makes the pipeline choose another.
    if (!running_ || wanted_ != GST_STATE_PLAYING || buffering_)
        return;
    states_->change(GST_STATE_PAUSED);
    states_->change(GST_STATE_PLAYING);
}

bool Pipeline::changeTo(GstState target, int waitMs, std::string* error)
{
    wanted_ = target;
    if (buffering_)
        return true;
    return settle(states_->change(target), waitMs, error);
}

bool Pipeline::start(const std::string& device, int waitMs, std::string* error)
{
    if (running_)
        stop();
    running_ = true;
    wanted_ = GST_STATE_PLAYING;
    buffering_ = false;
    const bool renew = sourceFailed_.exchange(false);
    const auto change = states_->change(GST_STATE_PLAYING, [this, device, renew] {
        source_.setDevice(device);
        // A source that failed stays failed in playbin, and every later start would be refused
        // without a word: naming the URI again makes playbin build a new one.
        if (renew)
            g_object_set(playbin_, "uri", "dvd://", nullptr);
        takeError();
        gst_bus_set_flushing(bus_, FALSE);
    });
    if (!settle(change, waitMs, error)) {
        if (error && error->empty())
            *error = "cannot start playing '" + device + "'";
        stop();
        return false;
    }
    return true;
}

bool Pipeline::play(int waitMs, std::string* error)
{
    if (!running_) {
        if (error)
            *error = "no disc is open yet";
        return false;
    }
    return changeTo(GST_STATE_PLAYING, waitMs, error);
}

bool Pipeline::pause(int waitMs, std::string* error)
{
    if (!running_) {
        if (error)
            *error = "no disc is open yet";
        return false;
    }
    return changeTo(GST_STATE_PAUSED, waitMs, error);
}

void Pipeline::stop()
{
    running_ = false;
    wanted_ = GST_STATE_NULL;
    buffering_ = false;
    // The bus flushes from here on and tells no more: closed is what the pipeline is heading
    // for, and all it will be seen doing.
    reached_ = GST_STATE_NULL;
    // Pointer events and commands meant for the closed disc must not reach the next one.
    navigation_->drop(0);
    const auto change = states_->change(GST_STATE_NULL);
    // Queued behind the change to stopped: errors and end-of-stream of the closed disc must not
    // reach the next one.
    states_->change(GST_STATE_NULL, [this] {
        gst_bus_set_flushing(bus_, TRUE);
        takeError();
    });
    // A stop is quick, but on a drive that is slow to answer it is let go on by itself.
    states_->wait(change, kStopWaitMs, [] { return false; });
}

GstFormat Pipeline::format(const char* nick) const
{
    // Registered by the DVD source when its type first loads.
    return gst_format_get_by_nick(nick);
}

std::optional<int64_t> Pipeline::position() const
{
    gint64 value = 0;
    if (!running_ || !gst_element_query_position(playbin_, GST_FORMAT_TIME, &value) || value < 0)
        return std::nullopt;
    return value;
}

std::optional<int64_t> Pipeline::duration() const
{
    gint64 value = 0;
    if (!running_ || !gst_element_query_duration(playbin_, GST_FORMAT_TIME, &value) || value < 0)
        return std::nullopt;
    return value;
}

std::optional<int64_t> Pipeline::positionIn(const char* formatNick) const
{
    const GstFormat fmt = format(formatNick);
    if (!running_ || fmt == GST_FORMAT_UNDEFINED)
        return std::nullopt;
    GstQuery* query = gst_query_new_position(fmt);
    std::optional<int64_t> result;
    gint64 value = 0;
    if (source_.query(query)) {
        gst_query_parse_position(query, nullptr, &value);
        result = value;
    }
    gst_query_unref(query);
    return result;
}

std::optional<std::pair<int, int>> Pipeline::angles() const
{
    if (!running_)
        return std::nullopt;
    GstQuery* query = gst_navigation_query_new_angles();
    std::optional<std::pair<int, int>> result;
    guint current = 0;
    guint count = 0;
    if (gst_element_query(videoSink_, query) && gst_navigation_query_parse_angles(query, &current, &count))
        result = std::make_pair(static_cast<int>(current), static_cast<int>(count));
    gst_query_unref(query);
    return result;
}

bool Pipeline::seekTime(double rate, int64_t position, GstSeekFlags flags)
{
    if (!running_)
        return false;
    GstEvent* seek = gst_event_new_seek(rate, GST_FORMAT_TIME, static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | flags),
                                        GST_SEEK_TYPE_SET, position, GST_SEEK_TYPE_NONE, -1);
    return gst_element_send_event(videoSink_, seek);
}

bool Pipeline::seekIn(const char* formatNick, int64_t value)
{
    const GstFormat fmt = format(formatNick);
    if (!running_ || fmt == GST_FORMAT_UNDEFINED)
        return false;
    GstEvent* seek = gst_event_new_seek(1.0, fmt, GST_SEEK_FLAG_FLUSH, GST_SEEK_TYPE_SET, value, GST_SEEK_TYPE_NONE, -1);
    return gst_element_send_event(videoSink_, seek);
}

bool Pipeline::jumpToTitle(int title, bool fromMenu, int clearingMenu)
{
    return running_ && source_.jumpToTitle(videoSink_, title, fromMenu, clearingMenu);
}

NavigationSender::Ticket Pipeline::navigate(GstEvent* event)
{
    if (!running_) {
        gst_event_unref(event);
        return 0;
    }
    return navigation_->post(event);
}

bool Pipeline::navigated(NavigationSender::Ticket ticket) const
{
    return navigation_->handled(ticket);
}

bool Pipeline::waitNavigated(NavigationSender::Ticket ticket, int waitMs) const
{
    return navigation_->waitHandled(ticket, waitMs);
}

void Pipeline::commandStuckSource(GstNavigationCommand command)
{
    if (!running_)
        return;
    navigation_->runBeside([this, command] { source_.sendToSource(gst_navigation_event_new_command(command)); });
}

void Pipeline::setVolume(double linear)
{
    g_object_set(playbin_, "volume", linear, nullptr);
}

void Pipeline::setMute(bool muted)
{
    g_object_set(playbin_, "mute", muted ? TRUE : FALSE, nullptr);
}

void Pipeline::setPanorama(double panorama)
{
    g_object_set(panorama_, "panorama", static_cast<gfloat>(panorama), nullptr);
}

}  // namespace gstdvd
