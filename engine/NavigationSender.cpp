#include "engine/NavigationSender.h"

#include <gst/video/navigation.h>

namespace gstdvd {

namespace {

bool isPointerMove(GstEvent* event)
{
    return GST_EVENT_TYPE(event) == GST_EVENT_NAVIGATION
        && gst_navigation_event_get_type(event) == GST_NAVIGATION_EVENT_MOUSE_MOVE;
}

}  // namespace

NavigationSender::NavigationSender(GstElement* sink) : pad_(gst_element_get_static_pad(sink, "sink"))
{
    worker_ = std::thread([this] { run(); });
}

NavigationSender::~NavigationSender()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quitting_ = true;
        for (auto& queued : queue_)
            gst_event_unref(queued.event);
        queue_.clear();
    }
    changed_.notify_all();
    worker_.join();
    beside_.reset();
    gst_object_unref(pad_);
}

NavigationSender::Ticket NavigationSender::post(GstEvent* event)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (quitting_) {
        gst_event_unref(event);
        return posted_;
    }
    if (isPointerMove(event) && !queue_.empty() && isPointerMove(queue_.back().event)) {
        gst_event_unref(queue_.back().event);
        queue_.back().event = event;
        return queue_.back().ticket;
    }
    queue_.push_back({++posted_, event});
    changed_.notify_all();
    return posted_;
}

bool NavigationSender::handled(Ticket ticket) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    // Tickets leave the queue in order, so all below its head are done (or were dropped).
    return ticket != inFlight_ && (queue_.empty() || ticket < queue_.front().ticket);
}

bool NavigationSender::waitHandled(Ticket ticket, int waitMs) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(waitMs), [&] {
        return ticket != inFlight_ && (queue_.empty() || ticket < queue_.front().ticket);
    });
}

void NavigationSender::runBeside(std::function<void()> send)
{
    beside_->run(std::move(send));
}

bool NavigationSender::drop(int waitMs)
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (auto& queued : queue_)
        gst_event_unref(queued.event);
    queue_.clear();
    changed_.notify_all();
    return changed_.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return inFlight_ == 0; });
}

void NavigationSender::run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return quitting_ || !queue_.empty(); });
        if (quitting_)
            return;
        const Queued next = queue_.front();
        queue_.pop_front();
        inFlight_ = next.ticket;
        lock.unlock();
        gst_pad_push_event(pad_, next.event);
        lock.lock();
        inFlight_ = 0;
        changed_.notify_all();
    }
}

}  // namespace gstdvd
