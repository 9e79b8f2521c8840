#pragma once

#include <gst/gst.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace gstdvd {

// Changes a pipeline's state on a thread of its own, one change after the other. Going from
// stopped to playing opens the disc inside the call (the DVD source reads its tables there), and
// a drive spinning up holds that call for seconds: the window thread only queues the change
// and waits a bounded time for what came of it.
class StateChanger {
public:
    using Id = uint64_t;
    enum class Outcome {
        Reached,     // the pipeline is in the state asked for
        Failed,      // it refused, or an error came while it was getting there
        StillGoing,  // the wait ended first; the change goes on, and an error comes on the bus
    };

    explicit StateChanger(GstElement* element);
    // Carries out what is queued, then ends.
    ~StateChanger();
    StateChanger(const StateChanger&) = delete;
    StateChanger& operator=(const StateChanger&) = delete;

    // Queues the change; `before` runs on the changing thread just ahead of it.
    Id change(GstState target, std::function<void()> before = {});
    // Waits up to waitMs for the change. `failed` tells whether an error has been recorded; it
    // counts only once the change has begun (an error of the disc before must not).
    Outcome wait(Id id, int waitMs, const std::function<bool()>& failed);
    // Wakes the waiters: an error has just been recorded.
    void notify();

private:
    struct Task {
        Id id;
        GstState target;
        std::function<void()> before;
    };
    void run();

    GstElement* element_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Task> tasks_;
    Id posted_ = 0;
    Id started_ = 0;
    Id done_ = 0;
    std::map<Id, Outcome> outcomes_;
    bool quitting_ = false;
    std::thread worker_;
};

}  // namespace gstdvd
