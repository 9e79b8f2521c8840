#include "engine/StateChanger.h"

#include <chrono>

namespace gstdvd {

namespace {

// How long the changing thread follows a change that goes on by itself (a preroll) before it
// takes the next; a newer change is taken at once.
constexpr auto kFollowFor = std::chrono::seconds(10);
// Outcomes kept for waiters that come late.
constexpr size_t kOutcomesKept = 16;

}  // namespace

StateChanger::StateChanger(GstElement* element) : element_(GST_ELEMENT(gst_object_ref(element)))
{
    worker_ = std::thread([this] { run(); });
}

StateChanger::~StateChanger()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quitting_ = true;
    }
    changed_.notify_all();
    worker_.join();
    gst_object_unref(element_);
}

StateChanger::Id StateChanger::change(GstState target, std::function<void()> before)
{
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back({++posted_, target, std::move(before)});
    changed_.notify_all();
    return posted_;
}

StateChanger::Outcome StateChanger::wait(Id id, int waitMs, const std::function<bool()>& failed)
{
    std::unique_lock<std::mutex> lock(mutex_);
    const bool settled = changed_.wait_for(lock, std::chrono::milliseconds(waitMs), [&] {
        return done_ >= id || (started_ >= id && failed());
    });
    const auto found = outcomes_.find(id);
    if (done_ >= id && found != outcomes_.end() && found->second != Outcome::Reached)
        return found->second;
    if (started_ >= id && failed())
        return Outcome::Failed;
    if (settled && done_ >= id)
        return found != outcomes_.end() ? found->second : Outcome::Reached;
    return Outcome::StillGoing;
}

void StateChanger::notify()
{
    std::lock_guard<std::mutex> lock(mutex_);
    changed_.notify_all();
}

void StateChanger::run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return quitting_ || !tasks_.empty(); });
        if (tasks_.empty())
            return;
        Task task = std::move(tasks_.front());
        tasks_.pop_front();
        started_ = task.id;
        lock.unlock();
        if (task.before)
            task.before();
        GstStateChangeReturn result = gst_element_set_state(element_, task.target);
        const auto until = std::chrono::steady_clock::now() + kFollowFor;
        while (result == GST_STATE_CHANGE_ASYNC && std::chrono::steady_clock::now() < until) {
            {
                std::lock_guard<std::mutex> peek(mutex_);
                if (!tasks_.empty())
                    break;
            }
            result = gst_element_get_state(element_, nullptr, nullptr, 50 * GST_MSECOND);
        }
        lock.lock();
        Outcome outcome = Outcome::Reached;
        if (result == GST_STATE_CHANGE_FAILURE)
            outcome = Outcome::Failed;
        else if (result == GST_STATE_CHANGE_ASYNC)
            outcome = Outcome::StillGoing;
        outcomes_[task.id] = outcome;
        while (outcomes_.size() > kOutcomesKept)
            outcomes_.erase(outcomes_.begin());
        done_ = task.id;
        changed_.notify_all();
    }
}

}  // namespace gstdvd
