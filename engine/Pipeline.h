#pragma once

#include "engine/DvdSource.h"
#include "engine/NavigationSender.h"
#include "engine/StateChanger.h"

#include <gst/gst.h>
#include <gst/video/navigation.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

class QSocketNotifier;

namespace gstdvd {

// One playbin on a dvd:// source: the pipeline's states, its queries and seeks in the DVD
// formats, navigation events, the audio chain, and its bus, watched on the window thread.
class Pipeline {
public:
    struct Handlers {
        // A streaming error has ended playback; the reason is GStreamer's message and detail.
        std::function<void(const std::string& reason)> failed;
        // The disc's program has ended.
        std::function<void()> ended;
    };

    // The video sink is given to playbin; events and queries for the source start at
    // videoEnd's pad inside it, so that they pass its scaler. The audio sink, a new element
    // (floating reference), becomes the pipeline's; null means the system's default output.
    Pipeline(GstElement* videoSink, GstElement* videoEnd, GstElement* audioSink, bool runFirstPlay, Handlers handlers);
    ~Pipeline();
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;

    // From stopped: opens the disc and plays, away from the window thread; waits up to waitMs
    // for what comes of it, so that a disc that fails at once fails here. False with the
    // reason in *error; a failure after the wait comes on the bus.
    bool start(const std::string& device, int waitMs, std::string* error);
    bool play(int waitMs, std::string* error);
    bool pause(int waitMs, std::string* error);
    // Closes the disc and forgets whatever the bus still held from it.
    void stop();
    bool running() const { return running_; }
    // The state the pipeline last reached, as its bus told; what the program asked for may
    // still be on its way.
    GstState reached() const { return reached_; }
    // Waiting for its queues to fill again (a slow drive or mount): paused until they have.
    bool buffering() const { return buffering_; }
    // The pipeline's bus (a reference the caller drops), for what watches or posts on it.
    GstBus* bus() const { return GST_BUS(gst_object_ref(bus_)); }

    std::optional<int64_t> position() const;
    std::optional<int64_t> duration() const;
    // Position in the source's own formats: "title" (0 in a menu) and "chapter" (the menu id in
    // a menu).
    std::optional<int64_t> positionIn(const char* formatNick) const;
    // Current angle and number of angles.
    std::optional<std::pair<int, int>> angles() const;

    bool seekTime(double rate, int64_t position, GstSeekFlags flags);
    bool seekIn(const char* formatNick, int64_t value);
    // See DvdSource: a title jump that is safe from a menu's still picture.
    bool jumpToTitle(int title, bool fromMenu, int clearingMenu);
    bool inStill() const { return source_.inStill(); }
    // Sends a navigation event (pointer, command; taken) up the video branch only, so the
    // source sees it once, from the navigation thread; 0 when nothing plays.
    NavigationSender::Ticket navigate(GstEvent* event);
    bool navigated(NavigationSender::Ticket ticket) const;
    bool waitNavigated(NavigationSender::Ticket ticket, int waitMs) const;
    // A navigation command for a source stuck in a seek of its own (see DvdSource), from a
    // thread of its own.
    void commandStuckSource(GstNavigationCommand command);

    void setVolume(double linear);
    void setMute(bool muted);
    void setPanorama(double panorama);
    // Silences the output without touching the user's mute (scanning).
    void setSilenced(bool silenced) { silenced_ = silenced; }

private:
    static gboolean onBusMessage(GstBus* bus, GstMessage* message, gpointer self);
    static GstBusSyncReply onSyncMessage(GstBus* bus, GstMessage* message, gpointer self);
    static GstPadProbeReturn onAudioBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self);

    GstElement* makeAudioBin(GstElement* audioSink);
    // What came of a state change within waitMs: false (with the reason) only when it failed.
    bool settle(StateChanger::Id change, int waitMs, std::string* error);
    // What the program asked for, carried out unless the pipeline waits for its queues.
    bool changeTo(GstState target, int waitMs, std::string* error);
    void onBuffering(int percent);
    void onClockLost();
    std::string takeError();
    GstFormat format(const char* nick) const;

    GstElement* playbin_ = nullptr;
    // Where events and queries for the source start (see the constructor).
    GstElement* videoSink_ = nullptr;
    GstElement* panorama_ = nullptr;
    GstBus* bus_ = nullptr;
    guint watch_ = 0;
    QSocketNotifier* busNotifier_ = nullptr;
    DvdSource source_;
    std::unique_ptr<NavigationSender> navigation_;
    std::unique_ptr<StateChanger> states_;
    Handlers handlers_;
    bool running_ = false;
    GstState wanted_ = GST_STATE_NULL;
    GstState reached_ = GST_STATE_NULL;
    bool buffering_ = false;
    std::atomic<bool> silenced_{false};

    std::mutex errorMutex_;
    std::string error_;
    std::atomic<bool> failed_{false};
    // An error has come since the source was made: the next start makes a new one.
    std::atomic<bool> sourceFailed_{false};
};

}  // namespace gstdvd
