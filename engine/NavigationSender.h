#pragma once

#include "engine/BackgroundJobs.h"

#include <gst/gst.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace gstdvd {

// Delivers navigation events (pointer, menu commands) to the DVD source from a thread of its
// own, in order. The source handles a navigation event inside the sender's call, and a button
// that branches makes it seek itself there and read until the next navigation packet; after a
// button whose command stays in a menu's still picture that packet never comes and the call
// does not return until something else branches the source (see the engine's click watch).
// The window thread therefore never sends them itself.
class NavigationSender {
public:
    using Ticket = uint64_t;

    // The events go up from the sink pad of `sink` (the video sink), through the picture's
    // scaler (which maps the pointer to the disc's picture) to the source. Pushed from the pad,
    // not sent to the element: sending would hold the sink's state lock for the whole call, and
    // a stuck call would then also hold up stopping the pipeline.
    explicit NavigationSender(GstElement* sink);
    // The pipeline must be stopped first: a call stuck in the source ends only then.
    ~NavigationSender();
    NavigationSender(const NavigationSender&) = delete;
    NavigationSender& operator=(const NavigationSender&) = delete;

    // Queues the event (taken) and tells which ticket it has. A pointer move still waiting
    // replaces the one before it: only where the pointer is now matters.
    Ticket post(GstEvent* event);
    // Whether the event of the ticket (and all before it) has been handled by the source.
    bool handled(Ticket ticket) const;
    // Waits up to waitMs for the ticket; true when it was handled in time.
    bool waitHandled(Ticket ticket, int waitMs) const;
    // Runs `send` at once on a further thread, past a queue that a stuck call holds up.
    void runBeside(std::function<void()> send);
    // Forgets what is still queued (the disc is closing) and waits up to waitMs for the call
    // under way; true when none is left.
    bool drop(int waitMs);

private:
    void run();

    GstPad* pad_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    struct Queued {
        Ticket ticket;
        GstEvent* event;
    };
    std::deque<Queued> queue_;
    Ticket posted_ = 0;
    // The ticket being handled by the source right now, 0 when none.
    Ticket inFlight_ = 0;
    bool quitting_ = false;
    std::thread worker_;

    // Sends beside the queue (runBeside); reset before the pad goes.
    std::unique_ptr<BackgroundJobs> beside_ = std::make_unique<BackgroundJobs>();
};

}  // namespace gstdvd
